// Rectangles from text and from position and size: ParseRect, MakeRect, and ParseIntW, the
// decimal reader with the Microsoft _wtoi rules that ParseRect and the INI reader share.
// Deliberately decimal only: no hexadecimal or octal prefixes.
#include "support/CommaFields.h"

#include <vireo/support.h>

#include <climits>
#include <string>

int ParseIntW(const wchar_t* text)
{
    if (!text)
        return 0;
    const wchar_t* p = text;
    while (*p == L' ' || (*p >= L'\t' && *p <= L'\r'))
        ++p;
    bool negative = false;
    if (*p == L'+' || *p == L'-')
        negative = *p++ == L'-';
    long long value = 0;
    // Saturates instead of wrapping, as the current Microsoft runtime does.
    for (; *p >= L'0' && *p <= L'9'; ++p)
        if (value <= static_cast<long long>(INT_MAX) + 1)
            value = value * 10 + (*p - L'0');
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

namespace vireo {

int TakeCommaField(std::wstring& rest)
{
    const std::size_t comma = rest.find(L',');
    if (comma == std::wstring::npos)
        return 0;
    const int value = ParseIntW(rest.substr(0, comma).c_str());
    rest.erase(0, comma + 1);
    return value;
}

} // namespace vireo

RECT ParseRect(const wchar_t* text)
{
    std::wstring rest = text ? text : L"";
    LONG values[4] = {0, 0, 0, 0};
    for (int i = 0; i < 3; ++i)
        values[i] = vireo::TakeCommaField(rest);
    values[3] = ParseIntW(rest.c_str());
    return RECT{values[0], values[1], values[2], values[3]};
}

// Sums wrap instead of overflowing: a rectangle off the end of the range is a caller error.
RECT MakeRect(int x, int y, int cx, int cy)
{
    const auto add = [](int a, int b) {
        return static_cast<LONG>(static_cast<unsigned>(a) + static_cast<unsigned>(b));
    };
    return RECT{x, y, add(x, cx), add(y, cy)};
}
