// The key tables of the SDL2 back end: DirectInput codes by scan code, and the control
// characters the edit box depends on (Backspace, Enter, Ctrl+V) that SDL's text input never
// sends. Pure functions: no display needed.
#include "platform/backend/sdl2/SdlKeyMap.h"
#include "platform/backend/sdl2/SdlVirtualKey.h"

#include <vireo/platform/DInput8.h>

#include <SDL_scancode.h>
#include <gtest/gtest.h>

#include <tuple>

namespace {

using vireo::platform::ControlCharFromSdl;
using vireo::platform::DikFromSdlScancode;
using vireo::platform::VirtualKeyFromSdl;

TEST(SdlKeyMap, KnownKeysByPosition)
{
    const std::tuple<int, int> rows[] = {
        // clang-format off
        {SDL_SCANCODE_A, DIK_A}, {SDL_SCANCODE_Z, DIK_Z}, {SDL_SCANCODE_0, DIK_0}, {SDL_SCANCODE_ESCAPE, 1},
        {SDL_SCANCODE_RCTRL, 157}, {SDL_SCANCODE_RALT, 184}, {SDL_SCANCODE_F11, 87},
        {SDL_SCANCODE_PRINTSCREEN, 183}, {SDL_SCANCODE_UP, 200}, {SDL_SCANCODE_KP_ENTER, 156},
        {SDL_SCANCODE_KP_DIVIDE, 0xB5}, {SDL_SCANCODE_NONUSBACKSLASH, 0x56},
        {SDL_SCANCODE_INTERNATIONAL1, 0x73}, {SDL_SCANCODE_AUDIOPREV, 0x90},
        {SDL_SCANCODE_AC_BOOKMARKS, 0xE6},
        // No DirectInput code, or outside SDL's range.
        {SDL_SCANCODE_F16, 0}, {SDL_SCANCODE_UNKNOWN, 0}, {-1, 0}, {SDL_NUM_SCANCODES, 0}, {100000, 0},
        // clang-format on
    };
    for (const auto& [sdl, dik] : rows)
        EXPECT_EQ(DikFromSdlScancode(sdl), dik) << "SDL scancode " << sdl;
}

TEST(SdlKeys, ControlCharactersAsTranslateMessageWouldMakeThem)
{
    // Plain letters come as text input; Alt makes system keys, not characters.
    const std::tuple<SDL_Keycode, Uint16, wchar_t> rows[] = {
        // clang-format off
        {SDLK_v, KMOD_LCTRL, 22}, {SDLK_a, KMOD_RCTRL, 1}, {SDLK_BACKSPACE, KMOD_NONE, 8},
        {SDLK_RETURN, KMOD_NONE, 13}, {SDLK_KP_ENTER, KMOD_NONE, 13}, {SDLK_ESCAPE, KMOD_NONE, 27},
        {SDLK_TAB, KMOD_NONE, 9}, {SDLK_TAB, KMOD_LCTRL, 0}, {SDLK_v, KMOD_NONE, 0}, {SDLK_v, KMOD_LALT, 0},
        {SDLK_v, KMOD_LCTRL | KMOD_LALT, 0}, {SDLK_F1, KMOD_NONE, 0},
        // clang-format on
    };
    for (const auto& [key, modifiers, expected] : rows)
        EXPECT_EQ(ControlCharFromSdl(key, modifiers), expected)
            << SDL_GetKeyName(key) << " with modifiers " << modifiers;
}

} // namespace
