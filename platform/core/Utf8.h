// UTF-8 <-> wchar_t (one whole code point per wchar_t) for the platform layer's own use:
// file names on disk and SDL strings are UTF-8. Not the ANSI code page: see CodePage.h.
#pragma once

#include <string>
#include <string_view>

namespace vireo::platform {

// Malformed input becomes U+FFFD (decoding) or the encoding of U+FFFD (encoding); never fails.
std::string Utf8FromWide(std::wstring_view text);
std::wstring WideFromUtf8(std::string_view text);

// Decodes one code point at text[pos]; advances pos; returns -1 for a malformed sequence
// (pos then moves past the first byte only).
long DecodeUtf8(std::string_view text, std::size_t& pos);
// Appends the encoding of cp; returns false (and appends nothing) for surrogates and values
// above U+10FFFF.
bool EncodeUtf8(char32_t cp, std::string& out);

} // namespace vireo::platform
