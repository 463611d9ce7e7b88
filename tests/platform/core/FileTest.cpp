// CreateFile and the handle functions: share modes and what a refused open leaves, the errors
// for bad paths, ANSI names, and the scripted file faults (short reads, a disk that fills, refused opens).
#include "common/LastError.h"
#include "common/ScratchDir.h"

#include <vireo/platform/Testing.h>
#include <vireo/platform/Win32.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <tuple>

namespace {

using vireo::test::ReadFileBytes;
using vireo::test::WriteFileBytes;

TEST(File, ShareModesDecideWhetherASecondOpenIsAdmitted)
{
    vireo::test::ScratchDir folder;
    const std::wstring path = folder / L"shared.txt";
    WriteFileBytes(path, "content");
    constexpr DWORD R = GENERIC_READ, W = GENERIC_WRITE, SR = FILE_SHARE_READ, SW = FILE_SHARE_WRITE;
    std::tuple<DWORD, DWORD, DWORD, DWORD, bool> rows[] = {
        {W, SR, W, SR | SW, false}, // a writer sharing only reads refuses a second writer
        {W, SR, R, SR | SW, true},  // ...but lets a reader in that shares its writing
        {W, SR, R, SR, false},      // a reader that does not share writing conflicts with the writer
        {R, SR, R, SR, true},       // readers that share reading
        {R, SR, W, SR | SW, false}, // a reader not sharing writes keeps writers out
        {R, SR | SW, W, SW, false}, // a newcomer that will not share reading, while a reader holds it
        {R, 0, R, SR, false},       // exclusive open
        {W | R, SR | SW, W, SR | SW, true},
        {0, 0, R, 0, true}, // an open for attributes only conflicts with nobody
    };
    for (const auto& [access1, share1, access2, share2, admitted] : rows) {
        SCOPED_TRACE(::testing::Message()
                     << std::hex << access1 << "/" << share1 << " then " << access2 << "/" << share2);
        HANDLE first = CreateFileW(path.c_str(), access1, share1, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(first, INVALID_HANDLE_VALUE);
        HANDLE second = CreateFileW(path.c_str(), access2, share2, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(ErrorOf(second), admitted ? ERROR_SUCCESS : ERROR_SHARING_VIOLATION);
        CloseHandle(first);
        // Closing the first handle lifts the conflict.
        EXPECT_EQ(ErrorOf(CreateFileW(path.c_str(), access2, share2, nullptr, OPEN_EXISTING, 0, nullptr)),
                  ERROR_SUCCESS);
    }
}

TEST(File, RefusedCreateAlwaysLeavesTheFileAndDeleteRespectsShareDelete)
{
    vireo::test::ScratchDir folder;
    const std::wstring path = folder / L"kept.txt";
    WriteFileBytes(path, "keep me");
    HANDLE reader = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ErrorOf(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr)),
              ERROR_SHARING_VIOLATION);
    EXPECT_EQ(ErrorOf(DeleteFileW(path.c_str())), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(ErrorOf(MoveFileExW(path.c_str(), (folder / L"moved.txt").c_str(), 0)), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(ReadFileBytes(path), "keep me");
    CloseHandle(reader);

    reader = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                         nullptr);
    EXPECT_TRUE(DeleteFileW(path.c_str()));
    CloseHandle(reader);
    EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(File, BadPathsFailWithTheirOwnErrors)
{
    vireo::test::ScratchDir folder;
    WriteFileBytes(folder / L"plain.txt", "x");
    CreateDirectoryW((folder / L"dir").c_str(), nullptr);
    const std::wstring overLong(5000, L'a');
    const std::wstring missingFolder = folder / L"nowhere\\file.txt";
    const std::wstring dir = folder / L"dir";
    const std::tuple<const wchar_t*, const wchar_t*, DWORD> rows[] = {
        {L"empty", L"", ERROR_PATH_NOT_FOUND},
        {L"longer than the OS allows", overLong.c_str(), ERROR_FILENAME_EXCED_RANGE},
        {L"missing folder", missingFolder.c_str(), ERROR_PATH_NOT_FOUND},
        {L"folder where a file is expected", dir.c_str(), ERROR_ACCESS_DENIED},
    };
    for (const auto& [label, path, error] : rows) {
        SCOPED_TRACE(label);
        EXPECT_EQ(ErrorOf(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)), error);
        EXPECT_EQ(ErrorOf(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)), error);
    }
}

TEST(File, AnsiPathsAreReadInTheAnsiCodePage)
{
    vireo::test::ScratchDir folder;
    vireo::testing::SetAnsiCodePage("GBK");
    // "中文.txt" in GBK bytes.
    const std::string ansi = folder.Path().string() + "/\xD6\xD0\xCE\xC4.txt";
    HANDLE file = CreateFileA(ansi.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    vireo::testing::SetAnsiCodePage(nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    // On disk the name is UTF-8, and the wide functions find it by its characters.
    EXPECT_TRUE(std::ifstream(folder.Path() / u8"中文.txt").good());
    EXPECT_NE(GetFileAttributesW((folder / L"中文.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(FileFaults, ScriptedOpensFullDisksAndShortReads)
{
    vireo::test::ScratchDir folder;
    const std::wstring log = folder / L"Game.log";
    const std::wstring other = folder / L"other.txt";
    WriteFileBytes(log, "0123456789");
    HANDLE early =
        CreateFileW(log.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(early, INVALID_HANDLE_VALUE);

    vireo::testing::SetFileFaults({L"\\Game.log", false, 4, 3});
    char buffer[16];
    DWORD n = 0;
    // Short reads on a handle opened before the plan; other files are untouched.
    ASSERT_TRUE(ReadFile(early, buffer, sizeof(buffer), &n, nullptr));
    EXPECT_EQ(n, 3u);
    WriteFileBytes(other, "not faulty at all");
    HANDLE plain = CreateFileW(other.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_TRUE(ReadFile(plain, buffer, sizeof(buffer), &n, nullptr));
    EXPECT_EQ(n, sizeof(buffer));
    CloseHandle(plain);
    // The disk takes 4 bytes: a 6-byte write stops there, then every write fails.
    SetFilePointer(early, 0, nullptr, FILE_END);
    EXPECT_EQ(ErrorOf(WriteFile(early, "abcdef", 6, &n, nullptr)), ERROR_DISK_FULL);
    EXPECT_EQ(n, 4u);
    EXPECT_FALSE(WriteFile(early, "g", 1, &n, nullptr));
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(vireo::testing::FaultyFileWriteCalls(), 2);
    CloseHandle(early);

    vireo::testing::SetFileFaults({L"Game.log", true, -1, 0});
    EXPECT_EQ(ErrorOf(CreateFileW(log.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)),
              ERROR_ACCESS_DENIED);
    vireo::testing::ClearFileFaults();
    EXPECT_EQ(ReadFileBytes(log), "0123456789abcd");
}

} // namespace
