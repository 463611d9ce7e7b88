// The font layer's log lines go to the hook the engine connects (SetFontLogHook, declared
// with the D3DX font), so the platform layer never includes engine headers. Not thread-safe,
// like everything the engine calls.
#pragma once

#include <vireo/platform/D3DX9Font.h>

namespace vireo::font {

// Formats with the C library's wide printf: pass strings wide (%ls); a narrow %s goes through
// the C locale and fails on anything but ASCII.
void FontLog(int level, const wchar_t* format, ...);

} // namespace vireo::font
