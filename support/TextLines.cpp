// Line readers and text writers for the ANSI code page and UTF-16LE files: ReadLineAnsi,
// ReadLineUnicode, WriteTextAnsi, WriteTextFormat, WriteTextUnicode. A carriage return ends a
// line and a line feed is skipped. These never open or close files: callers own the handle.
#include "support/AnsiText.h"
#include "support/WideFormat.h"

#include <vireo/support.h>

#include <cstdarg>
#include <cwchar>
#include <string>

namespace {

constexpr std::size_t kAnsiLineBytes = 1023;
constexpr std::size_t kUnicodeLineChars = 1023;
constexpr std::size_t kWriteBufferChars = 4096;

} // namespace

BOOL ReadLineAnsi(HANDLE file, std::wstring& line)
{
    std::string bytes;
    bool endOfFile = false;
    for (;;) {
        char c = 0;
        DWORD read = 0;
        // A read error counts as the end of the file.
        if (!ReadFile(file, &c, 1, &read, nullptr) || read != 1) {
            endOfFile = true;
            break;
        }
        if (c == '\n')
            continue;
        if (c == '\r')
            break;
        // Bytes past the line buffer are read and dropped, so the next call starts on the
        // next line.
        if (bytes.size() < kAnsiLineBytes)
            bytes.push_back(c);
    }
    std::wstring wide = vireo::AnsiToWide(bytes.data(), bytes.size());
    // A cut through a multibyte character leaves a stray '?' from its lead byte: drop it.
    if (bytes.size() == kAnsiLineBytes && !wide.empty() && wide.back() == L'?' && bytes.back() != '?')
        wide.pop_back();
    line = std::move(wide);
    return endOfFile && bytes.empty() ? FALSE : TRUE;
}

BOOL ReadLineUnicode(HANDLE file, std::wstring& line)
{
    std::u16string units;
    bool endOfFile = false;
    for (;;) {
        unsigned char pair[2];
        DWORD read = 0;
        if (!ReadFile(file, pair, 2, &read, nullptr) || read != 2) {
            endOfFile = true;
            break;
        }
        const char16_t unit = static_cast<char16_t>(pair[0] | (pair[1] << 8));
        if (unit == u'\n')
            continue;
        if (unit == u'\r')
            break;
        if (units.size() < kUnicodeLineChars)
            units.push_back(unit);
    }
    // UTF-16 to whole code points; a lone surrogate is kept as its own value.
    std::wstring wide;
    wide.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t u = units[i];
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
            wide.push_back(static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00)));
            ++i;
        } else {
            wide.push_back(static_cast<wchar_t>(u));
        }
    }
    line = std::move(wide);
    return endOfFile && units.empty() ? FALSE : TRUE;
}

BOOL WriteTextAnsi(HANDLE file, const wchar_t* text)
{
    const std::string bytes = text ? vireo::WideToAnsi(text, std::wcslen(text), kWriteBufferChars - 1) : std::string();
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

int WriteTextFormat(HANDLE file, const wchar_t* format, ...)
{
    wchar_t buffer[kWriteBufferChars];
    va_list args;
    va_start(args, format);
    const int count = vireo::FormatWideV(buffer, kWriteBufferChars, format, args);
    va_end(args);

    std::wstring text;
    text.reserve(static_cast<std::size_t>(count) + 16);
    for (int i = 0; i < count; ++i) {
        if (buffer[i] == L'\n')
            text.push_back(L'\r');
        text.push_back(buffer[i]);
    }
    WriteTextAnsi(file, text.c_str());
    return count;
}

BOOL WriteTextUnicode(HANDLE file, const wchar_t* text)
{
    if (!text)
        return TRUE;
    BOOL ok = TRUE;
    // One write per UTF-16 unit, little-endian; characters beyond the BMP become a pair.
    auto writeUnit = [&](unsigned unit) {
        const unsigned char bytes[2] = {static_cast<unsigned char>(unit & 0xFF),
                                        static_cast<unsigned char>((unit >> 8) & 0xFF)};
        DWORD written = 0;
        if (!WriteFile(file, bytes, 2, &written, nullptr))
            ok = FALSE;
    };
    for (const wchar_t* p = text; *p != L'\0'; ++p) {
        const unsigned c = static_cast<unsigned>(*p);
        if (c >= 0x10000 && c <= 0x10FFFF) {
            writeUnit(0xD800 + ((c - 0x10000) >> 10));
            writeUnit(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            writeUnit(c);
        }
    }
    return ok;
}
