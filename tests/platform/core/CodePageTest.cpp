// Code-page conversion: what cannot map, both ways. GBK text itself is pinned by the log, INI
// and ANSI path tests, which run in that code page.
#include <vireo/platform/Win32.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string ToBytes(UINT codePage, const std::wstring& text, BOOL* usedDefault = nullptr)
{
    char buffer[256] = {};
    const int n = WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()), buffer, sizeof(buffer),
                                      nullptr, usedDefault);
    return std::string(buffer, n);
}

std::wstring FromBytes(UINT codePage, const std::string& bytes, DWORD flags = 0)
{
    wchar_t buffer[256] = {};
    const int n = MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), buffer, 256);
    return std::wstring(buffer, n);
}

TEST(CodePage, WhatCannotMapBecomesAQuestionMark)
{
    BOOL used = FALSE;
    EXPECT_EQ(ToBytes(936, L"a\U0001F600b", &used), "a?b"); // an emoji has no GBK bytes
    EXPECT_TRUE(used);
    EXPECT_EQ(ToBytes(936, L"abc", &used), "abc");
    EXPECT_FALSE(used);
    char buffer[8];
    const char star = '*';
    EXPECT_EQ(WideCharToMultiByte(1252, 0, L"x\u4E2D", 2, buffer, 8, &star, &used), 2);
    EXPECT_EQ(std::string(buffer, 2), "x*");
    // A lone GBK lead byte at the end, and a byte pair that is no character.
    EXPECT_EQ(FromBytes(936, "ab\xD6"), L"ab?");
    EXPECT_EQ(FromBytes(936, "\xD6\xD0\xFF"), L"中?");
    // Malformed UTF-8 becomes U+FFFD, or fails when the caller asks for strictness.
    EXPECT_EQ(FromBytes(CP_UTF8, "a\xC3(b"), L"a\uFFFD(b");
    EXPECT_EQ(FromBytes(CP_UTF8, "\xED\xA0\x80"), L"\uFFFD\uFFFD\uFFFD"); // an encoded surrogate
    wchar_t wide[8];
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\xC3(b", 4, wide, 8), 0);
    EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
    EXPECT_EQ(MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, "ab\xD6", 3, wide, 8), 0);
    EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
}

} // namespace
