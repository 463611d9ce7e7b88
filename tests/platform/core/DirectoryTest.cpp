// Directory search: wildcards on the last component, without case, with either separator.
#include "common/LastError.h"
#include "common/ScratchDir.h"

#include <vireo/platform/Win32.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>

namespace {

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
        vireo::test::WriteFileBytes(folder / name, "");
    CreateDirectoryW((folder / L"sub.d").c_str(), nullptr);
    using Names = std::set<std::wstring>;
    std::tuple<const wchar_t*, Names> rows[] = {
        {L"*.txt", {L"a.txt", L"b.TXT", L"c1.txt", L"c22.txt"}},
        {L"c?.txt", {L"c1.txt"}},
        {L"*b*", {L"ab.bmp", L"b.TXT", L"sub.d"}},
        {L"*.*", {L".", L"..", L"a.txt", L"b.TXT", L"ab.bmp", L"readme", L"c1.txt", L"c22.txt", L"sub.d"}},
        {L"readme", {L"readme"}},
    };
    for (const auto& [pattern, expected] : rows) {
        SCOPED_TRACE(pattern);
        DWORD error = 0;
        EXPECT_EQ(Find(folder / pattern, &error), expected);
        EXPECT_EQ(error, ERROR_NO_MORE_FILES);
        // The same search with a backslash before the pattern.
        EXPECT_EQ(Find(folder.Path().wstring() + L"\\" + pattern), expected);
    }
}

} // namespace
