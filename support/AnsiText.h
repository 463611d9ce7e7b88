// Conversions between wide text and the process's ANSI code page that respect a byte limit:
// a cut never splits a multibyte character. Used by the log, the text-file writers and the
// wide formatter's narrow arguments. Deliberately no other code pages.
#pragma once

#include <cstddef>
#include <string>

namespace vireo {

// The longest prefix of text[0..length) whose ANSI form fits in maxBytes, in ANSI.
// Characters the code page cannot hold come out as '?'.
std::string WideToAnsi(const wchar_t* text, std::size_t length, std::size_t maxBytes);

// ANSI bytes to wide text; bytes the code page rejects become '?' (ASCII is kept).
std::wstring AnsiToWide(const char* text, std::size_t length);

} // namespace vireo
