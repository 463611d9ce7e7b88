// ParseRect and ParseIntW: the _wtoi rules and the missing-comma rule of rectangle text.
#include <vireo/support.h>

#include <gtest/gtest.h>

#include <climits>
#include <tuple>
#include <vector>

namespace {

TEST(ParseIntW, FollowsWtoiRules)
{
    std::tuple<const wchar_t*, int> rows[] = {
        // clang-format off
        {L"42", 42}, {L"  \t-17xyz", -17}, {L"+8", 8}, {L"0x10", 0}, {L"", 0}, {L"abc", 0}, {L"- 5", 0},
        {L"99999999999", INT_MAX}, {L"-99999999999", INT_MIN}, {L"2147483647", INT_MAX},
        {L"-2147483648", INT_MIN},
        // clang-format on
    };
    for (const auto& [text, expected] : rows)
        EXPECT_EQ(ParseIntW(text), expected) << "text: " << testing::PrintToString(std::wstring(text));
    EXPECT_EQ(ParseIntW(nullptr), 0);
}

TEST(ParseRect, FourNumbersAndMissingCommas)
{
    std::tuple<const wchar_t*, RECT> rows[] = {
        // clang-format off
        {L"0,0,64,32", {0, 0, 64, 32}}, {L"5", {0, 0, 0, 5}}, {L" 1, -2 ,+3,4", {1, -2, 3, 4}},
        {L"1,2", {1, 0, 0, 2}}, {L"1,2,3", {1, 2, 0, 3}}, {L"1,2,3,4,5", {1, 2, 3, 4}}, {L"", {0, 0, 0, 0}},
        {L",,,", {0, 0, 0, 0}}, {nullptr, {0, 0, 0, 0}},
        // clang-format on
    };
    auto sides = [](const RECT& r) { return std::vector<LONG>{r.left, r.top, r.right, r.bottom}; };
    for (const auto& [text, expected] : rows)
        EXPECT_EQ(sides(ParseRect(text)), sides(expected)) << (text ? "" : "(null)");
}

} // namespace
