// The key tables of the SDL2 back end: DirectInput codes by scan code (known keys, keys
// without a code, the table's shape), virtual keys for the window messages, and the control
// characters the edit box depends on (Backspace, Enter, Ctrl+V) that SDL's text input never
// sends. Pure functions: no display needed.
#include "platform/backend/sdl2/SdlKeyMap.h"
#include "platform/backend/sdl2/SdlVirtualKey.h"

#include <vireo/platform/DInput8.h>

#include <SDL_scancode.h>
#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

using vireo::platform::ControlCharFromSdl;
using vireo::platform::DikFromSdlScancode;
using vireo::platform::VirtualKeyFromSdl;

TEST(SdlKeyMap, KnownKeysByPosition)
{
    const struct {
        int sdl;
        int dik;
    } rows[] = {
        {SDL_SCANCODE_A, DIK_A},
        {SDL_SCANCODE_Z, DIK_Z},
        {SDL_SCANCODE_1, DIK_1},
        {SDL_SCANCODE_0, DIK_0},
        {SDL_SCANCODE_ESCAPE, 1},
        {SDL_SCANCODE_GRAVE, 41},
        {SDL_SCANCODE_RSHIFT, 54},
        {SDL_SCANCODE_RCTRL, 157},
        {SDL_SCANCODE_LALT, 56},
        {SDL_SCANCODE_RALT, 184},
        {SDL_SCANCODE_F10, 68},
        {SDL_SCANCODE_F11, 87},
        {SDL_SCANCODE_PRINTSCREEN, 183},
        {SDL_SCANCODE_UP, 200},
        {SDL_SCANCODE_DOWN, 208},
        {SDL_SCANCODE_KP_ENTER, 156},
        {SDL_SCANCODE_KP_DIVIDE, 0xB5},
        {SDL_SCANCODE_KP_MULTIPLY, 0x37},
        {SDL_SCANCODE_NONUSBACKSLASH, 0x56},
        {SDL_SCANCODE_INTERNATIONAL1, 0x73},
        {SDL_SCANCODE_INTERNATIONAL3, 0x7D},
        {SDL_SCANCODE_AUDIOPREV, 0x90},
        {SDL_SCANCODE_AC_BOOKMARKS, 0xE6},
        // No DirectInput code, or outside SDL's range.
        {SDL_SCANCODE_F16, 0},
        {SDL_SCANCODE_STOP, 0},
        {SDL_SCANCODE_LANG1, 0},
        {SDL_SCANCODE_UNKNOWN, 0},
        {SDL_SCANCODE_EJECT, 0},
        {-1, 0},
        {SDL_NUM_SCANCODES, 0},
        {100000, 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(DikFromSdlScancode(row.sdl), row.dik) << "SDL scancode " << row.sdl;
}

TEST(SdlKeyMap, OnlyIntendedKeysShareACodeAndLettersDigitsFunctionKeysAreReached)
{
    std::map<int, std::vector<int>> byDik;
    for (int sdl = 0; sdl < SDL_NUM_SCANCODES; ++sdl)
        if (int dik = DikFromSdlScancode(sdl))
            byDik[dik].push_back(sdl);
    const std::map<int, std::vector<int>> shared = {
        {DIK_BACKSLASH, {SDL_SCANCODE_BACKSLASH, SDL_SCANCODE_NONUSHASH}},
        {DIK_SYSRQ, {SDL_SCANCODE_PRINTSCREEN, SDL_SCANCODE_SYSREQ}},
        {DIK_MUTE, {SDL_SCANCODE_MUTE, SDL_SCANCODE_AUDIOMUTE}},
    };
    for (const auto& [dik, sdls] : byDik) {
        if (sdls.size() > 1) {
            auto it = shared.find(dik);
            ASSERT_NE(it, shared.end()) << "DIK " << dik << " reached from " << sdls.size() << " SDL keys";
            EXPECT_EQ(sdls, it->second);
        }
    }
    // Letters and digits are not contiguous in either numbering, so each is asked for.
    for (int dik : {DIK_Q, DIK_P, DIK_A, DIK_L, DIK_Z, DIK_M, DIK_1, DIK_9, DIK_0, DIK_F1, DIK_F10, DIK_F11, DIK_F12,
                    DIK_F13, DIK_F15})
        EXPECT_TRUE(byDik.count(dik)) << "DIK " << dik << " has no SDL key";
    for (int i = 0; i < 26; ++i)
        EXPECT_TRUE(byDik.count(DikFromSdlScancode(SDL_SCANCODE_A + i))) << char('A' + i);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_F1 + i), DIK_F1 + i);
}

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
