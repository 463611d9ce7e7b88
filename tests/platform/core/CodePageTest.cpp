// Code-page conversion: GBK bytes, replacement of what cannot map, -1 lengths, buffer
// sizes, invalid arguments, and the choice of the process code page.
#include <vireo/platform/Testing.h>
#include <vireo/platform/Win32.h>

#include <gtest/gtest.h>

#include <string>

namespace {

class CodePage : public ::testing::Test {
  protected:
    void TearDown() override { vireo::testing::SetAnsiCodePage(nullptr); }
};

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

TEST_F(CodePage, GbkBytesOfChineseTextBothWays)
{
    const std::string gbk = "\xD6\xD0\xCE\xC4 ok"; // "中文 ok"
    EXPECT_EQ(ToBytes(936, L"中文 ok"), gbk);
    EXPECT_EQ(FromBytes(936, gbk), L"中文 ok");
    for (const char* name : {"GBK", "CP936", "936"}) {
        SCOPED_TRACE(name);
        vireo::testing::SetAnsiCodePage(name);
        EXPECT_EQ(GetACP(), 936u);
        EXPECT_EQ(ToBytes(CP_ACP, L"中文 ok"), gbk);
        EXPECT_EQ(FromBytes(CP_ACP, gbk), L"中文 ok");
    }
}

TEST_F(CodePage, WhatCannotMapBecomesAQuestionMark)
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

TEST_F(CodePage, LengthsBuffersAndArguments)
{
    wchar_t wide[8];
    char narrow[8];
    // -1 converts and counts the terminator.
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", -1, nullptr, 0), 4);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", -1, wide, 8), 4);
    EXPECT_EQ(wide[3], L'\0');
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"中", -1, nullptr, 0, nullptr, nullptr), 4);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"中", -1, narrow, 4, nullptr, nullptr), 4);
    EXPECT_STREQ(narrow, "\xE4\xB8\xAD");
    // One wchar_t per code point, also outside the BMP.
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xF0\x9F\x98\x80", 4, wide, 8), 1);
    EXPECT_EQ(wide[0], static_cast<wchar_t>(0x1F600));

    // Exactly enough is enough; one less is an error that writes nothing useful.
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abcd", 4, wide, 4), 4);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abcd", 4, wide, 3), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(WideCharToMultiByte(936, 0, L"中文", 2, narrow, 3, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);

    struct Row {
        const char* label;
        int result;
    };
    const char defaultChar = '?';
    BOOL used = FALSE;
    const Row rows[] = {
        {"null source", MultiByteToWideChar(CP_UTF8, 0, nullptr, 3, wide, 8)},
        {"zero length", MultiByteToWideChar(CP_UTF8, 0, "abc", 0, wide, 8)},
        {"length -2", MultiByteToWideChar(CP_UTF8, 0, "abc", -2, wide, 8)},
        {"null buffer with a size", MultiByteToWideChar(CP_UTF8, 0, "abc", 3, nullptr, 8)},
        {"negative buffer size", WideCharToMultiByte(CP_UTF8, 0, L"abc", 3, narrow, -1, nullptr, nullptr)},
        {"default char with UTF-8", WideCharToMultiByte(CP_UTF8, 0, L"abc", 3, narrow, 8, &defaultChar, nullptr)},
        {"used flag with UTF-8", WideCharToMultiByte(CP_UTF8, 0, L"abc", 3, narrow, 8, nullptr, &used)},
        {"unknown code page", MultiByteToWideChar(12345, 0, "abc", 3, wide, 8)},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.result, 0) << row.label;
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(12345, 0, "abc", 3, wide, 8), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(CodePage, ProcessCodePageFollowsTheNameGiven)
{
    struct Row {
        const char* name;
        UINT acp;
    } rows[] = {
        {"UTF-8", CP_UTF8}, {"ANSI_X3.4-1968", CP_UTF8}, // the C locale: plain ASCII counts as UTF-8
        {"GB18030", 54936}, {"windows-1252", 1252},      {"no-such-charset", CP_UTF8},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        vireo::testing::SetAnsiCodePage(row.name);
        EXPECT_EQ(GetACP(), row.acp);
    }
    vireo::testing::SetAnsiCodePage("windows-1252");
    EXPECT_EQ(ToBytes(CP_ACP, L"caf\u00E9"), "caf\xE9");
    vireo::testing::SetAnsiCodePage("UTF-8");
    EXPECT_EQ(ToBytes(CP_ACP, L"caf\u00E9"), "caf\xC3\xA9");
}

} // namespace
