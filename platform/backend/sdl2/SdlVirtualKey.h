// SDL key codes to Win32 virtual-key codes for the WM_KEY*/WM_SYSKEY* messages, and the
// control characters Windows' TranslateMessage makes from keys SDL sends no text for.
#pragma once

#include <vireo/platform/Win32.h>

#include <SDL.h>

namespace vireo::platform {

UINT VirtualKeyFromSdl(SDL_Keycode key); // 0 when Windows has no virtual key for it
// The WM_CHAR a key press gives that SDL's text input does not: Backspace 8, Tab 9,
// Enter 13, Escape 27, Ctrl+letter 1-26. 0 for none.
wchar_t ControlCharFromSdl(SDL_Keycode key, Uint16 modifiers);

} // namespace vireo::platform
