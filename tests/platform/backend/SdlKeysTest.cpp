// The key tables of the SDL2 back end: virtual keys for the window messages, and the
// control characters the edit box depends on (Backspace, Enter, Ctrl+V) that SDL's text
// input never sends. Pure functions: no display needed.
#include "platform/backend/sdl2/SdlVirtualKey.h"

#include <gtest/gtest.h>

namespace {

using vireo::platform::ControlCharFromSdl;
using vireo::platform::VirtualKeyFromSdl;

TEST(SdlKeys, VirtualKeysFollowWin32Numbering)
{
    const struct {
        SDL_Keycode key;
        UINT vk;
    } rows[] = {
        {SDLK_a, 'A'},
        {SDLK_z, 'Z'},
        {SDLK_0, '0'},
        {SDLK_9, '9'},
        {SDLK_F1, VK_F1},
        {SDLK_F12, VK_F12},
        {SDLK_RETURN, VK_RETURN},
        {SDLK_KP_ENTER, VK_RETURN},
        {SDLK_ESCAPE, VK_ESCAPE},
        {SDLK_LALT, VK_MENU},
        {SDLK_RCTRL, VK_CONTROL},
        {SDLK_KP_1, VK_NUMPAD0 + 1},
        {SDLK_KP_0, VK_NUMPAD0},
        {SDLK_LEFT, VK_LEFT},
        {SDLK_BACKQUOTE, VK_OEM_3},
        {SDLK_F13, 0},
        {SDLK_AUDIOPLAY, 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(VirtualKeyFromSdl(row.key), row.vk) << SDL_GetKeyName(row.key);
}

TEST(SdlKeys, ControlCharactersAsTranslateMessageWouldMakeThem)
{
    // Plain letters come as text input; Alt makes system keys, not characters.
    const struct {
        SDL_Keycode key;
        Uint16 modifiers;
        wchar_t expected;
    } rows[] = {
        {SDLK_v, KMOD_LCTRL, 22},
        {SDLK_a, KMOD_RCTRL, 1},
        {SDLK_z, KMOD_LCTRL, 26},
        {SDLK_BACKSPACE, KMOD_NONE, 8},
        {SDLK_RETURN, KMOD_NONE, 13},
        {SDLK_KP_ENTER, KMOD_NONE, 13},
        {SDLK_ESCAPE, KMOD_NONE, 27},
        {SDLK_TAB, KMOD_NONE, 9},
        {SDLK_TAB, KMOD_LCTRL, 0},
        {SDLK_v, KMOD_NONE, 0},
        {SDLK_v, KMOD_LALT, 0},
        {SDLK_BACKSPACE, KMOD_LALT, 0},
        {SDLK_v, KMOD_LCTRL | KMOD_LALT, 0},
        {SDLK_F1, KMOD_NONE, 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ControlCharFromSdl(row.key, row.modifiers), row.expected)
            << SDL_GetKeyName(row.key) << " with modifiers " << row.modifiers;
}

} // namespace
