// Line readers and text writers for the ANSI code page and UTF-16LE files: ReadLineAnsi,
// ReadLineUnicode, WriteTextAnsi, WriteTextFormat, WriteTextUnicode. A carriage return ends a
// line and a line feed is skipped. These never open or close files: callers own the handle.
#include "support/AnsiText.h"
#include "support/LineReader.h"
#include "support/WideFormat.h"

#include <vireo/support.h>

#include <cstdarg>
#include <cwchar>
#include <string>

namespace {

// Most lines (record lines, INI entries) fit in one block; longer ones take more reads.
constexpr std::size_t kLineBlockBytes = 512;
constexpr std::size_t kWriteBufferChars = 4096;

} // namespace

// One line per call from a block read: the bytes read past the line are given back by moving
// the file pointer, so a read costs two calls instead of one per byte and the next caller
// finds the file where a byte-by-byte reader would have left it. A handle that cannot seek
// (none the engine reads lines from) would lose them.
BOOL ReadLineAnsi(HANDLE file, std::wstring& line)
{
    vireo::CLineReader reader(file, false, kLineBlockBytes);
    const BOOL result = reader.Next(line);
    reader.GiveBack();
    return result;
}

BOOL ReadLineUnicode(HANDLE file, std::wstring& line)
{
    vireo::CLineReader reader(file, true, kLineBlockBytes);
    const BOOL result = reader.Next(line);
    reader.GiveBack();
    return result;
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
