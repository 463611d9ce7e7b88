// Byte-limited conversions to and from the ANSI code page, over the platform's
// WideCharToMultiByte / MultiByteToWideChar. The fitting cut measures prefixes rather than
// decoding the code page itself, so it works for any code page the platform offers.
#include "support/AnsiText.h"

#include <vireo/platform/Win32.h>

#include <algorithm>
#include <climits>

namespace vireo {
namespace {

// ANSI bytes needed for the first count characters; -1 if the platform refuses them.
int AnsiLength(const wchar_t* text, std::size_t count)
{
    if (count == 0)
        return 0;
    const int n = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(count), nullptr, 0, nullptr, nullptr);
    return n > 0 ? n : -1;
}

std::string Convert(const wchar_t* text, std::size_t count, int bytes)
{
    std::string out(static_cast<std::size_t>(bytes), '\0');
    const int done = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(count), out.data(), bytes, nullptr, nullptr);
    out.resize(done > 0 ? static_cast<std::size_t>(done) : 0);
    return out;
}

} // namespace

std::string WideToAnsi(const wchar_t* text, std::size_t length, std::size_t maxBytes)
{
    if (!text || length == 0 || maxBytes == 0)
        return std::string();
    length = std::min<std::size_t>(length, INT_MAX / 8);
    const int whole = AnsiLength(text, length);
    if (whole >= 0 && static_cast<std::size_t>(whole) <= maxBytes)
        return Convert(text, length, whole);

    if (whole < 0) {
        // The platform refused the text (it only does so for invalid input): keep ASCII.
        std::string out;
        for (std::size_t i = 0; i < length && out.size() < maxBytes; ++i)
            out.push_back(text[i] >= 0 && text[i] < 0x80 ? static_cast<char>(text[i]) : '?');
        return out;
    }
    // Longest prefix that fits: every character takes at least one byte, so the answer lies
    // below maxBytes + 1 characters; bisect on the measured length.
    std::size_t low = 0;
    std::size_t high = std::min(length, maxBytes);
    while (low < high) {
        const std::size_t mid = (low + high + 1) / 2;
        const int n = AnsiLength(text, mid);
        if (n >= 0 && static_cast<std::size_t>(n) <= maxBytes)
            low = mid;
        else
            high = mid - 1;
    }
    return low == 0 ? std::string() : Convert(text, low, AnsiLength(text, low));
}

std::wstring AnsiToWide(const char* text, std::size_t length)
{
    std::wstring wide;
    if (!text || length == 0)
        return wide;
    const int bytes = static_cast<int>(std::min<std::size_t>(length, INT_MAX / 8));
    const int needed = MultiByteToWideChar(CP_ACP, 0, text, bytes, nullptr, 0);
    if (needed > 0) {
        wide.resize(static_cast<std::size_t>(needed));
        const int done = MultiByteToWideChar(CP_ACP, 0, text, bytes, wide.data(), needed);
        if (done > 0) {
            wide.resize(static_cast<std::size_t>(done));
            return wide;
        }
    }
    wide.clear();
    for (int i = 0; i < bytes; ++i)
        wide.push_back(static_cast<unsigned char>(text[i]) < 0x80 ? static_cast<wchar_t>(text[i]) : L'?');
    return wide;
}

} // namespace vireo
