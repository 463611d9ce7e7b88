// The process-wide "ANSI" code page and conversions between it (or any Windows code page
// number) and wide strings. The code page is chosen once: VIREO_CODEPAGE, else the locale's
// character set, else UTF-8 where the locale is plain ASCII.
#pragma once

#include <vireo/platform/Win32.h>

#include <string>
#include <string_view>

namespace vireo::platform {

struct CodePageInfo {
    std::string iconvName; // as iconv_open spells it; "UTF-8" for the built-in codec
    UINT number;           // what GetACP answers
};

const CodePageInfo& AnsiCodePage();
// Replaces the process code page (a name as VIREO_CODEPAGE takes it); nullptr goes back to
// the environment's choice. For tests; not thread-safe against running conversions.
void OverrideAnsiCodePage(const char* name);

// The conversion cores behind MultiByteToWideChar/WideCharToMultiByte. Return false with a
// Win32 error in *error for an unknown code page, or (strict only) an invalid sequence.
bool DecodeCodePage(UINT codePage, std::string_view src, bool strict, std::wstring& out, DWORD* error);
bool EncodeCodePage(UINT codePage, std::wstring_view src, char defaultChar, bool* usedDefault, std::string& out,
                    DWORD* error);

// Convenience for the layer itself: ANSI code page, never failing ('?' for what cannot map).
std::string AnsiFromWide(std::wstring_view text);
std::wstring WideFromAnsi(std::string_view text);

} // namespace vireo::platform
