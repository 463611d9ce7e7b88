// The DirectX version check: the file-version table at its boundaries through a replaced
// source without DxDiag, and the platform's DxDiag provider before the files.
#include "support/DxVersion.h"

#include <vireo/platform/Testing.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>

namespace {

using vireo::MakeFileVersion;

class FakeSource : public vireo::DxVersionSource {
  public:
    bool QueryDxDiag(DWORD&, DWORD&, wchar_t&) override { return false; }
    bool GetSystemFileVersion(const wchar_t* fileName, ULONGLONG& version) override
    {
        const auto it = files.find(fileName);
        if (it != files.end())
            version = it->second;
        return it != files.end();
    }

    std::map<std::wstring, ULONGLONG> files;
};

TEST(DxVersion, EveryFileVersionRowAndItsBoundary)
{
    // packed: 0 means: below every row
    std::tuple<const wchar_t*, ULONGLONG, DWORD, const wchar_t*> rows[] = {
        {L"ddraw.dll", MakeFileVersion(4, 2, 0, 94), 0x00000, L"0.0"},
        {L"d3drg8x.dll", MakeFileVersion(4, 4, 0, 70), 0x30001, L"3.0a"},
        {L"dinput.dll", MakeFileVersion(4, 7, 0, 716), 0x70001, L"7.0a"},
        {L"ddraw.dll", MakeFileVersion(5, 1, 2258, 400), 0x80000, L"8.0"},
        // Major 5 below its own threshold: the earlier "at least 4.7.0.700" row still holds.
        {L"ddraw.dll", MakeFileVersion(5, 1, 2258, 399), 0x70000, L"7.0"},
        // Major 6 meets neither branch of the 8.0 row.
        {L"ddraw.dll", MakeFileVersion(6, 0, 0, 0), 0x70000, L"7.0"},
        {L"d3d8.dll", MakeFileVersion(5, 1, 2600, 901), 0x80101, L"8.1a"},
        {L"d3d8.dll", MakeFileVersion(5, 1, 2600, 880), 0x00000, L"0.0"},
        {L"dpnet.dll", MakeFileVersion(5, 2, 3677, 134), 0x80200, L"8.2"},
        {L"dpnet.dll", MakeFileVersion(5, 2, 3677, 133), 0x00000, L"0.0"},
        {L"d3d9.dll", 0, 0x90000, L"9.0"},
    };
    for (const auto& [file, version, packed, text] : rows) {
        FakeSource source;
        source.files[file] = version;
        DWORD got = 0;
        wchar_t buffer[16] = L"garbage"; // longer than the 10 it is said to hold
        EXPECT_EQ(GetDXVersion(source, &got, buffer, 10), S_OK);
        EXPECT_EQ(std::wstring(buffer), text)
            << testing::PrintToString(std::wstring(file)) << " " << std::hex << version;
        EXPECT_EQ(got, packed) << testing::PrintToString(std::wstring(buffer));
    }
}

// The platform's own source, through the DxDiag provider and the version functions.
class PlatformDxVersion : public ::testing::Test {
  protected:
    void TearDown() override
    {
        vireo::testing::SetDxDiagSystemInfo(vireo::testing::DxDiagSystemInfo{});
        vireo::testing::ClearFileVersions();
        vireo::testing::SetSystemDirectoryAvailable(true);
    }
};

TEST_F(PlatformDxVersion, ProviderFirstThenFiles)
{
    namespace vt = vireo::testing;
    const std::tuple<const char*, vt::DxDiagSystemInfo, bool, bool, bool, DWORD, const wchar_t*> rows[] = {
        {"the provider's answer", {}, true, false, true, 0x90003, L"9.0c"},
        {"a blank letter is no letter", {.letter = std::wstring(L" ")}, false, false, true, 0x90000, L"9.0"},
        {"no provider, d3d9 present", {.providerAvailable = false}, true, true, true, 0x90000, L"9.0"},
        // Without a system directory no file is found: 0.0, still an answer.
        {"no provider, no system directory", {.providerAvailable = false}, true, true, false, 0, L"0.0"},
    };
    for (const auto& [what, dxdiag, ddraw7, d3d9, systemDirectory, packed, text] : rows) {
        SCOPED_TRACE(what);
        vt::SetDxDiagSystemInfo(dxdiag);
        vt::ClearFileVersions();
        if (ddraw7)
            vt::SetFileVersion(L"ddraw.dll", 4, 7, 0, 700);
        if (d3d9)
            vt::SetFileVersion(L"d3d9.dll", 9, 0, 0, 0);
        vt::SetSystemDirectoryAvailable(systemDirectory);
        DWORD got = 0;
        wchar_t buffer[10] = L"garbage";
        EXPECT_EQ(GetDXVersion(&got, buffer, 10), S_OK);
        EXPECT_EQ(got, packed);
        EXPECT_EQ(std::wstring(buffer), text);
    }
}

} // namespace
