// Helpers for the resource and tool tests: a scratch folder (also the working directory, so
// the log of each test is its own) with relative paths, byte-exact files, UTF-16 text and a
// comparable view of an INI model.
#pragma once

#include "common/ScratchDir.h"

#include <vireo/resource.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

class CTempDir : public vireo::test::ScratchDir {
  public:
    std::filesystem::path Path(const std::string& relative = "") const
    {
        return relative.empty() ? ScratchDir::Path() : ScratchDir::Path() / relative;
    }
    std::wstring Wide(const std::string& relative = "") const { return Path(relative).wstring(); }
};

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::filesystem::path& path)
{
    return vireo::test::ReadFileBytes(path);
}

// UTF-16LE bytes of a text of BMP characters, optionally with the FF FE mark.
inline std::string Utf16Bytes(const std::wstring& text, bool mark = true)
{
    std::string bytes = mark ? std::string("\xFF\xFE", 2) : std::string();
    for (wchar_t ch : text) {
        bytes.push_back(static_cast<char>(ch & 0xFF));
        bytes.push_back(static_cast<char>((ch >> 8) & 0xFF));
    }
    return bytes;
}

// The text fields of every line, for whole-model comparisons.
struct LineView {
    std::wstring section, key, value, comment;
    bool operator==(const LineView&) const = default;
};

inline std::vector<LineView> Lines(const CIniFile& ini)
{
    std::vector<LineView> out;
    for (const SIniLine& line : ini.GetLines())
        out.push_back({line.strSection, line.strKey, line.strValue, line.strComment});
    return out;
}
