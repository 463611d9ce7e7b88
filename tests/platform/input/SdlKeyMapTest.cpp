// The SDL scan code table: known keys, keys without a code, and the table's shape (no
// accidental duplicates, every letter, digit and function key reachable).
#include "platform/backend/sdl2/SdlKeyMap.h"

#include <vireo/platform/DInput8.h>

#include <SDL_scancode.h>
#include <gtest/gtest.h>

#include <map>
#include <vector>

using vireo::platform::DikFromSdlScancode;

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
