// The font layer's log hook: face matches and font failures are reported through it, so the
// engine can route them into its own log without the platform layer including engine headers.
// Unconnected, the lines are dropped. Not thread-safe, like everything the engine calls.
#pragma once

namespace vireo::font {

// level follows the engine's log levels (1 trace, 2 warning, 3 error).
using FontLogHook = void (*)(void* user, int level, const wchar_t* text);

void SetFontLogHook(FontLogHook hook, void* user);

// Formats with the C library's wide printf (%ls for wide strings, %s for narrow ones).
void FontLog(int level, const wchar_t* format, ...);

}  // namespace vireo::font
