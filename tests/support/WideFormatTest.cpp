// The engine's wide printf: Microsoft string rules, integer fields, and the cut at the buffer.
// Cases are grouped by what could break.
#include "support/WideFormat.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <tuple>

using vireo::FormatWide;

namespace {

template <class... Args> std::wstring Fmt(const wchar_t* format, Args... args)
{
    wchar_t buffer[512];
    FormatWide(buffer, 512, format, args...);
    return buffer;
}

TEST(WideFormat, StringsFollowMicrosoftWideRules)
{
    EXPECT_EQ(Fmt(L"[%s]", L"wide"), L"[wide]");
    EXPECT_EQ(Fmt(L"[%S]", "narrow"), L"[narrow]");
    EXPECT_EQ(Fmt(L"[%c%C]", L'w', 'n'), L"[wn]");
    EXPECT_EQ(Fmt(L"[%hs|%ls|%ws]", "h", L"l", L"w"), L"[h|l|w]");
    EXPECT_EQ(Fmt(L"[%s|%S]", static_cast<const wchar_t*>(nullptr), static_cast<const char*>(nullptr)),
              L"[(null)|(null)]");
    EXPECT_EQ(Fmt(L"[%.2s|%.3S|%.*s]", L"abcdef", "abcdef", 1, L"xyz"), L"[ab|abc|x]");
    EXPECT_EQ(Fmt(L"[%6s|%-6s|%3s]", L"ab", L"ab", L"abcdef"), L"[    ab|ab    |abcdef]");
    // Precision never reads past its count.
    const wchar_t unterminated[3] = {L'a', L'b', L'c'};
    EXPECT_EQ(Fmt(L"%.3s", unterminated), L"abc");
}

TEST(WideFormat, IntegerAndPointerFields)
{
    std::tuple<const wchar_t*, std::wstring> rows[] = {
        {L"   42|42   |00042", Fmt(L"%5d|%-5d|%05d", 42, 42, 42)},
        {L"ff|FF|0xff|0XFF|377|0377|0", Fmt(L"%x|%X|%#x|%#X|%o|%#o|%#x", 255, 255, 255, 255, 255, 255, 0)},
        {L"4294967295", Fmt(L"%u", -1)},
        {L"-9223372036854775808|-9223372036854775808", Fmt(L"%lld|%I64d", LLONG_MIN, LLONG_MIN)},
        {L"ffffffffffffffff|18446744073709551615", Fmt(L"%I64x|%llu", ~0ULL, ~0ULL)},
        {L"005||  007|-003", Fmt(L"%.3d|%.0d|%5.3d|%04.3d", 5, 0, 7, -3)},
        {L"    1|1   |1   ", Fmt(L"%*d|%-*d|%*d", 5, 1, 4, 1, -4, 1)},
        {L"-1|65535|-1|255", Fmt(L"%hd|%hu|%hhd|%hhu", 0xFFFF, 0xFFFF, 0xFF, 0xFF)},
    };
    for (const auto& [expected, actual] : rows)
        EXPECT_EQ(actual, expected);
    // Pointers print whole and upper case.
    const void* p = reinterpret_cast<const void*>(static_cast<std::uintptr_t>(0xABCDEF12u));
    EXPECT_EQ(Fmt(L"%p", p), sizeof(void*) == 8 ? L"00000000ABCDEF12" : L"ABCDEF12");
}

TEST(WideFormat, CutsAtTheBufferAndAlwaysTerminates)
{
    wchar_t buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), L'#');
    EXPECT_EQ(FormatWide(buffer, 5, L"abcdefgh"), 4);
    EXPECT_EQ(std::wstring(buffer), L"abcd");
    EXPECT_EQ(buffer[5], L'#');
    EXPECT_EQ(FormatWide(buffer, 1, L"abc"), 0);
    EXPECT_EQ(buffer[0], L'\0');

    buffer[0] = L'#';
    EXPECT_EQ(FormatWide(buffer, 0, L"abc"), 0);
    EXPECT_EQ(buffer[0], L'#');
    // Padding and fields stop at the buffer too, however wide they ask to be.
    EXPECT_EQ(FormatWide(buffer, 8, L"%999999999d", 1), 7);
    EXPECT_EQ(std::wstring(buffer), L"       ");
    EXPECT_EQ(FormatWide(buffer, 8, L"%.999999999d", 1), 7);
    EXPECT_EQ(std::wstring(buffer), L"0000000");
    EXPECT_EQ(FormatWide(buffer, 8, L"%s%s", L"abcd", L"efgh"), 7);
    EXPECT_EQ(std::wstring(buffer), L"abcdefg");
    // A null format or buffer is harmless.
    buffer[0] = L'x';
    EXPECT_EQ(FormatWide(buffer, 4, nullptr), 0);
    EXPECT_EQ(buffer[0], L'\0');
    EXPECT_EQ(FormatWide(nullptr, 4, L"abc"), 0);
}

} // namespace
