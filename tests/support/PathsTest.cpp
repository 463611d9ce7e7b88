// Path and file helpers on Linux paths. Where the original cases speak of drive letters the
// test names say how they translate: a full path is the native absolute path, "C:\" style
// rules apply only to text that has a drive letter, and '\' and '/' both separate.
#include "common/ScratchDir.h"

#include <vireo/support.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

namespace {

namespace fs = std::filesystem;

TEST(GetPathTail, ComponentsFromTheEnd)
{
    std::tuple<const wchar_t*, int, const wchar_t*> rows[] = {
        // clang-format off
        {L"C:\\game\\pic\\a.png", 0, L"a.png"}, {L"C:\\game\\pic\\a.png", 1, L"pic\\a.png"},
        {L"C:\\game\\a.png", -1, L"C:\\game\\a.png"}, {L"/game\\pic/a.png", 1, L"pic/a.png"},
        {L"dir/", 0, L""}, {L"", 0, L""},
        // clang-format on
    };
    for (const auto& [path, count, expected] : rows)
        EXPECT_EQ(GetPathTail(path, count), expected)
            << testing::PrintToString(std::wstring(path)) << " count " << count;
}

TEST(GetFolderOfPath, RelativeNameTakesTheWorkingDirectory_RootFileKeepsSlash)
{
    vireo::test::ScratchDir dir;
    EXPECT_EQ(GetFolderOfPath(L"data.ini"), dir.WPath());
    EXPECT_EQ(GetFolderOfPath(L"/etc/data.ini"), L"/etc");
    EXPECT_EQ(GetFolderOfPath(L"/data.ini"), L"/");
    EXPECT_EQ(GetFolderOfPath(L""), L"");
}

TEST(FileExists, FilesFoldersAndWildcards)
{
    vireo::test::ScratchDir dir;
    vireo::test::WriteFileBytes("a.txt", "");
    fs::create_directory(dir.Path() / "folder");
    const std::wstring overLong(5000, L'x');
    for (const wchar_t* name : {L"a.txt", L"folder", L"*.txt"})
        EXPECT_TRUE(FileExists(name)) << testing::PrintToString(std::wstring(name));
    for (const wchar_t* name : {L"*.png", L"missing.txt", L"", static_cast<const wchar_t*>(nullptr), overLong.c_str()})
        EXPECT_FALSE(FileExists(name)) << (name ? testing::PrintToString(std::wstring(name)) : "null");
}

TEST(CreateFolderTree, CreatesMissingLevelsOutermostFirst_DriveLettersTranslatedToScratchDir)
{
    vireo::test::ScratchDir dir;
    fs::create_directory(dir.Path() / "a");
    // D:\a\b\c with only D:\a present, as an absolute Linux path under the scratch folder.
    EXPECT_TRUE(CreateFolderTree((dir.WPath() + L"/a/b/c").c_str(), nullptr));
    EXPECT_TRUE(fs::is_directory(dir.Path() / "a/b/c"));
    // Relative, with backslashes and a trailing separator.
    EXPECT_TRUE(CreateFolderTree(L"x\\y\\z\\", nullptr));
    EXPECT_TRUE(fs::is_directory(dir.Path() / "x/y/z"));
    // Already there.
    EXPECT_TRUE(CreateFolderTree(L"a", nullptr));
}

TEST(CreateFolderTree, BadInput)
{
    vireo::test::ScratchDir dir;
    vireo::test::WriteFileBytes("file", "");
    const std::wstring overLong(4000, L'd');
    for (const wchar_t* path : {L"file/sub/deeper", L"ab", L"", static_cast<const wchar_t*>(nullptr), overLong.c_str()})
        EXPECT_FALSE(CreateFolderTree(path, nullptr)) << (path ? testing::PrintToString(std::wstring(path)) : "null");
}

} // namespace
