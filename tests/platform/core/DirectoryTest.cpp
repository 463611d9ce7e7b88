// Name-based file functions: directory search with wildcards, full and current paths,
// folders, copy and move, and their errors.
#include "common/LastError.h"
#include "common/ScratchDir.h"

#include <vireo/platform/Win32.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <unistd.h>

namespace {

void Touch(const std::wstring& path, DWORD bytes = 0)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    std::string data(bytes, 'z');
    DWORD put = 0;
    WriteFile(file, data.data(), bytes, &put, nullptr);
    CloseHandle(file);
}

std::set<std::wstring> Find(const std::wstring& pattern, DWORD* error = nullptr)
{
    std::set<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        if (error)
            *error = GetLastError();
        return names;
    }
    do
        names.insert(data.cFileName);
    while (FindNextFileW(find, &data));
    if (error)
        *error = GetLastError();
    EXPECT_TRUE(FindClose(find));
    return names;
}

TEST(Directory, WildcardsMatchTheLastComponentWithoutCase)
{
    vireo::test::ScratchDir folder;
    for (const wchar_t* name : {L"a.txt", L"b.TXT", L"ab.bmp", L"readme", L"c1.txt", L"c22.txt"})
        Touch(folder / name);
    CreateDirectoryW((folder / L"sub.d").c_str(), nullptr);
    using Names = std::set<std::wstring>;
    struct Row {
        const wchar_t* pattern;
        Names expected;
    } rows[] = {
        {L"*.txt", {L"a.txt", L"b.TXT", L"c1.txt", L"c22.txt"}},
        {L"c?.txt", {L"c1.txt"}},
        {L"c??.TXT", {L"c22.txt"}},
        {L"*b*", {L"ab.bmp", L"b.TXT", L"sub.d"}},
        {L"*.*", {L".", L"..", L"a.txt", L"b.TXT", L"ab.bmp", L"readme", L"c1.txt", L"c22.txt", L"sub.d"}},
        {L"*", {L".", L"..", L"a.txt", L"b.TXT", L"ab.bmp", L"readme", L"c1.txt", L"c22.txt", L"sub.d"}},
        {L"readme", {L"readme"}},
        {L"*.d", {L"sub.d"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.pattern);
        DWORD error = 0;
        EXPECT_EQ(Find(folder / row.pattern, &error), row.expected);
        EXPECT_EQ(error, ERROR_NO_MORE_FILES);
        // The same search with a backslash before the pattern.
        EXPECT_EQ(Find(folder.Path().wstring() + L"\\" + row.pattern), row.expected);
    }
}

TEST(Directory, SearchReportsSizesFoldersAndFailures)
{
    vireo::test::ScratchDir folder;
    Touch(folder / L"five.bin", 5);
    CreateDirectoryW((folder / L"inner").c_str(), nullptr);
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder / L"f*").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_EQ(data.nFileSizeLow, 5u);
    EXPECT_FALSE(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    FindClose(find);
    find = FindFirstFileW((folder / L"inner").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_STREQ(data.cFileName, L"inner");
    FindClose(find);

    struct Row {
        std::wstring pattern;
        DWORD error;
    } rows[] = {
        {folder / L"nothing*", ERROR_FILE_NOT_FOUND},
        {folder / L"absent.txt", ERROR_FILE_NOT_FOUND},
        {folder / L"nowhere\\*", ERROR_PATH_NOT_FOUND},
        {folder / L"inner\\", ERROR_FILE_NOT_FOUND},
        {L"", ERROR_PATH_NOT_FOUND},
        {std::wstring(5000, L'x') + L"*", ERROR_FILENAME_EXCED_RANGE},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.pattern.size() << " characters");
        EXPECT_EQ(ErrorOf(FindFirstFileW(row.pattern.c_str(), &data)), row.error);
    }
    EXPECT_FALSE(FindClose(INVALID_HANDLE_VALUE));
    EXPECT_EQ(ErrorOf(FindNextFileW(nullptr, &data)), ERROR_INVALID_HANDLE);
}

TEST(Directory, FullPathNamesAreCleanAbsoluteAndFollowTheBufferRule)
{
    vireo::test::ScratchDir folder;
    wchar_t saved[4096];
    ASSERT_GT(GetCurrentDirectoryW(4096, saved), 0u);
    ASSERT_TRUE(SetCurrentDirectoryW(folder.Path().wstring().c_str()));
    // Where the test's temp folder is a symbolic link, the OS answers the resolved path.
    wchar_t cwd[4096];
    const DWORD cwdLength = GetCurrentDirectoryW(4096, cwd);
    ASSERT_GT(cwdLength, 0u);
    const std::wstring base(cwd, cwdLength);

    wchar_t buffer[4096];
    LPWSTR filePart = nullptr;
    const std::wstring expected = base + L"/b/c.txt";
    EXPECT_EQ(GetFullPathNameW(L"a\\..\\b\\.\\\\c.txt", 4096, buffer, &filePart), expected.size());
    EXPECT_EQ(std::wstring(buffer), expected);
    ASSERT_NE(filePart, nullptr);
    EXPECT_STREQ(filePart, L"c.txt");

    EXPECT_EQ(GetFullPathNameW(L"/x/../../y/", 4096, buffer, &filePart), 3u);
    EXPECT_STREQ(buffer, L"/y/");
    EXPECT_EQ(filePart, nullptr);

    // Too small: the size needed, terminator included, and the buffer untouched.
    buffer[0] = L'#';
    EXPECT_EQ(GetFullPathNameW(L"c.txt", static_cast<DWORD>(base.size() + 6), buffer, nullptr), base.size() + 7);
    EXPECT_EQ(buffer[0], L'#');
    EXPECT_EQ(GetFullPathNameW(L"c.txt", static_cast<DWORD>(base.size() + 7), buffer, nullptr), base.size() + 6);
    EXPECT_EQ(GetCurrentDirectoryW(3, buffer), cwdLength + 1);
    EXPECT_EQ(GetCurrentDirectoryW(0, nullptr), cwdLength + 1);

    EXPECT_EQ(GetFullPathNameW(L"", 4096, buffer, nullptr), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_NAME);
    EXPECT_EQ(ErrorOf(SetCurrentDirectoryW(L"no/such/folder")), ERROR_PATH_NOT_FOUND);
    EXPECT_TRUE(SetCurrentDirectoryW(saved));
}

TEST(Directory, FoldersCopiesAndMoves)
{
    vireo::test::ScratchDir folder;
    const std::wstring dir = folder / L"made";
    EXPECT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
    EXPECT_EQ(ErrorOf(CreateDirectoryW(dir.c_str(), nullptr)), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(ErrorOf(CreateDirectoryW((folder / L"a\\b\\c").c_str(), nullptr)), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(GetFileAttributesW(dir.c_str()) & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);

    const std::wstring source = folder / L"made\\src.bin";
    Touch(source, 70000); // more than one copy chunk
    EXPECT_EQ(ErrorOf(RemoveDirectoryW(dir.c_str())), ERROR_DIR_NOT_EMPTY);
    EXPECT_EQ(ErrorOf(RemoveDirectoryW(source.c_str())), ERROR_DIRECTORY);

    const std::wstring copy = folder / L"copy.bin";
    EXPECT_TRUE(CopyFileW(source.c_str(), copy.c_str(), TRUE));
    EXPECT_EQ(ErrorOf(CopyFileW(source.c_str(), copy.c_str(), TRUE)), ERROR_FILE_EXISTS);
    EXPECT_TRUE(CopyFileW(source.c_str(), copy.c_str(), FALSE));
    EXPECT_EQ(ErrorOf(CopyFileW(dir.c_str(), (folder / L"dircopy").c_str(), FALSE)), ERROR_ACCESS_DENIED);
    EXPECT_EQ(ErrorOf(CopyFileW((folder / L"missing").c_str(), copy.c_str(), FALSE)), ERROR_FILE_NOT_FOUND);
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(copy.c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_EQ(data.nFileSizeLow, 70000u);
    FindClose(find);

    const std::wstring moved = folder / L"moved.bin";
    EXPECT_TRUE(MoveFileExW(copy.c_str(), moved.c_str(), 0));
    EXPECT_EQ(GetFileAttributesW(copy.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ErrorOf(MoveFileExW(source.c_str(), moved.c_str(), 0)), ERROR_ALREADY_EXISTS);
    EXPECT_TRUE(MoveFileExW(source.c_str(), moved.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_TRUE(RemoveDirectoryW(dir.c_str()));

    EXPECT_EQ(ErrorOf(DeleteFileW((folder / L"gone").c_str())), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ErrorOf(DeleteFileW(folder.Path().wstring().c_str())), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(DeleteFileW(moved.c_str()));
}

} // namespace
