// Whole-engine fixture for package and animation tests: a started headless engine, package
// folders and package files written into the test's scratch folder (solid-colour PNGs so
// pixels can be checked exactly), and the log read with its levels.
#pragma once

#include "platform/gfx/image/ImageFixtures.h"
#include "render/RenderTest.h"
#include "resource/PackageFile.h"
#include "resource/TestFiles.h"
#include "support/AnsiText.h"

#include <vireo/resource.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace vireo::test {

inline std::vector<std::uint8_t> SolidPng(int width, int height, std::uint32_t argb)
{
    using namespace vireo::image::fixtures;
    return BuildPng(
        PngFromArgb(std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, argb), width, height));
}

class PackageTest : public StartedRenderTest {
  protected:
    std::filesystem::path At(const std::string& relative) const { return m_dir.Path() / relative; }
    static std::wstring W(const std::string& text) { return std::wstring(text.begin(), text.end()); }

    std::string ReadFile(const std::string& relative) const { return ReadFileBytes(At(relative)); }
    // The back buffer's pixel at (x, y).
    std::uint32_t Pixel(int x, int y) { return RenderTest::Pixel(vireo::testing::ReadBackBuffer(Device()), x, y); }

    // A folder package: Desc.ini (skipped when null) and pictures by file name.
    void MakeFolder(const std::string& folder, const char* desc,
                    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& pictures = {}) const
    {
        std::filesystem::create_directories(At(folder));
        if (desc)
            WriteFile(folder + "/Desc.ini", desc);
        for (const auto& [name, bytes] : pictures)
            WriteFile(folder + "/" + name, bytes);
    }

    // A package file from its description and records, laid out by the packer's writer.
    void MakePackageFile(const std::string& file, const std::string& desc,
                         const std::vector<std::pair<std::wstring, std::vector<std::uint8_t>>>& records) const
    {
        std::vector<SPackagePicture> pictures;
        for (const auto& [name, bytes] : records)
            pictures.push_back({name, std::vector<BYTE>(bytes.begin(), bytes.end())});
        std::vector<BYTE> out;
        ASSERT_TRUE(CPackageFile::Build(desc, pictures, out));
        WriteFile(file, std::string(out.begin(), out.end()));
    }

    // Boxes shown since the last call, in the tests' code page (UTF-8).
    std::vector<std::string> TakeBoxes()
    {
        std::vector<std::string> out;
        for (const auto& box : vireo::testing::MessageBoxesShown())
            out.push_back(vireo::WideToAnsi(box.text.data(), box.text.size(), box.text.size() * 4));
        vireo::testing::ClearMessageBoxes();
        return out;
    }
    // Log lines since the mark as "level:text".
    std::vector<std::string> LeveledLogSinceMark() const { return Since(LeveledLogMessages(), m_logMark); }
    void MarkLeveledLog() { m_logMark = LeveledLogMessages().size(); }
};

} // namespace vireo::test
