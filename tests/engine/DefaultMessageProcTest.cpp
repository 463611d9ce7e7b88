// The base MessageProc's defaults through whole frames: the hot-key table with its exact
// modifiers (the quit keys among them), a game that takes the keyboard first, the screen
// capture, the GUI and the status overlay in pixels, and the camera steps for keys and mouse.
#include "render/RenderTest.h"

#include <vireo/platform/DInput8.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <tuple>

namespace vireo::test {
namespace {

using vireo::testing::InjectKey;

class DefaultMessageProcTest : public RenderTest {
  protected:
    // Frames `interval` ms apart on the virtual clock (a second: even slow motion draws).
    void Frames(int count = 1, int interval = 1000)
    {
        for (int i = 0; i < count; ++i, m_game->Run())
            vireo::testing::AdvanceClock(interval);
    }
    void Keys(const std::vector<int>& keys, bool down)
    {
        for (int key : keys)
            InjectKey(key, down);
    }
    // `key` pressed and released in one frame while `held` are down; true when that frame's
    // game keyboard message was stopped (a hot key fired).
    bool Chord(const std::vector<int>& held, int key)
    {
        Keys(held, true);
        Keys({key}, true);
        Keys({key}, false);
        m_game->seen.clear();
        Frames();
        const bool stopped = Count(m_game->seen, EMSG_IS_GAME_KEYBOARD_INPUT) == 0;
        Keys(held, false);
        Frames();
        return stopped;
    }
    CCamera* Camera() { return Render()->GetCamera(); }
};

// Effects muted, music muted, status shown, wire-frame, debug mode, live frame cap, running.
using Settings = std::array<int, 7>;

TEST_F(DefaultMessageProcTest, HotKeysFireOnReleaseWithExactlyTheirModifiers)
{
    StartWith(Param(60));
    const auto now = [this, s = m_game->GetEngineStatus(), p = m_game->GetEngineParam()] {
        CSoundSystem* sound = m_game->GetSoundSystem();
        return Settings{sound->IsMuteEffect(), sound->IsMuteMusic(), s->bShowStatus,
                        s->bWireframe,         p->bDebugMode,        p->wFPS,
                        m_game->IsActive()};
    };
    const int ctrl = DIK_LCONTROL, alt = DIK_LMENU, shift = DIK_LSHIFT;
    std::tuple<const char*, std::vector<int>, int, Settings> rows[] = {
        {"Ctrl+F7 mutes effects", {ctrl}, DIK_F7, {1, 0, 0, 0, 0, 60, 1}},
        {"right Ctrl+F7 unmutes them", {DIK_RCONTROL}, DIK_F7, {0, 0, 0, 0, 0, 60, 1}},
        {"Ctrl+F8 mutes music", {ctrl}, DIK_F8, {0, 1, 0, 0, 0, 60, 1}},
        {"Ctrl+F8 again unmutes it", {ctrl}, DIK_F8, {0, 0, 0, 0, 0, 60, 1}},
        {"Ctrl+F9 shows the status", {ctrl}, DIK_F9, {0, 0, 1, 0, 0, 60, 1}},
        {"Ctrl+Shift+F9 does nothing", {ctrl, shift}, DIK_F9, {0, 0, 1, 0, 0, 60, 1}},
        {"nor with the right Shift", {ctrl, DIK_RSHIFT}, DIK_F9, {0, 0, 1, 0, 0, 60, 1}},
        {"F9 alone does nothing", {}, DIK_F9, {0, 0, 1, 0, 0, 60, 1}},
        {"Alt+F9 lifts the cap", {alt}, DIK_F9, {0, 0, 1, 0, 0, 0, 1}},
        {"Alt+F9 again restores it", {DIK_RMENU}, DIK_F9, {0, 0, 1, 0, 0, 60, 1}},
        {"Alt+F10 is slow motion", {alt}, DIK_F10, {0, 0, 1, 0, 0, 1, 1}},
        {"Alt+F9 from slow motion lifts the cap", {alt}, DIK_F9, {0, 0, 1, 0, 0, 0, 1}},
        {"Alt+F10 from no cap is slow motion", {alt}, DIK_F10, {0, 0, 1, 0, 0, 1, 1}},
        {"Alt+F10 again restores the cap", {alt}, DIK_F10, {0, 0, 1, 0, 0, 60, 1}},
        {"Ctrl+F11 draws wire-frame", {ctrl}, DIK_F11, {0, 0, 1, 1, 0, 60, 1}},
        {"Ctrl+grave switches debug mode on", {ctrl}, DIK_GRAVE, {0, 0, 1, 1, 1, 60, 1}},
        {"Alt+F4 ends the engine", {alt}, DIK_F4, {0, 0, 1, 1, 1, 60, 0}},
    };
    Settings before = now();
    for (const auto& [name, held, key, after] : rows) {
        SCOPED_TRACE(name);
        const bool stopped = Chord(held, key);
        EXPECT_EQ(now(), after);
        EXPECT_EQ(stopped, after != before) << "a hot key that fired answers 1, which stops game input";
        before = now();
    }
    EXPECT_THAT(m_game->Take(), ::testing::Contains(EMSG_EG_DESTROY));

    // With no initial cap: Alt+F9 twice stays uncapped, and Alt+F10 leaves slow motion for it.
    Restart();
    Start(0);
    for (auto [key, expected] :
         {std::pair{DIK_F9, 0}, std::pair{DIK_F9, 0}, std::pair{DIK_F10, 1}, std::pair{DIK_F10, 0}}) {
        Chord({DIK_LMENU}, key);
        EXPECT_EQ(m_game->GetEngineParam()->wFPS, expected) << int(key);
    }
    Chord({}, DIK_ESCAPE); // Escape alone ends it too
    EXPECT_FALSE(m_game->IsActive());
}

TEST_F(DefaultMessageProcTest, AGameTakingTheUiKeyboardFirstDisablesEveryHotKeyUntilItPassesItOn)
{
    StartWith(Param(60));
    m_game->onMessage = [](UINT msg) { return msg == EMSG_IS_UI_KEYBOARD_INPUT ? 1 : -1; };
    for (auto [held, key] : {std::pair{DIK_LCONTROL, DIK_F9}, {DIK_LMENU, DIK_F9}, {0, DIK_SYSRQ}, {0, DIK_ESCAPE}})
        Chord(std::vector<int>(held != 0, held), key);
    EXPECT_TRUE(m_game->IsActive());
    EXPECT_FALSE(m_game->GetEngineStatus()->bShowStatus);
    EXPECT_EQ(m_game->GetEngineParam()->wFPS, 60);
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path("ScreenCapture.bmp")));

    // Passed on, Print Screen saves the scene as ScreenCapture.bmp.
    m_game->onMessage = [this](UINT msg) {
        if (msg == EMSG_RS_RENDER_BEGIN)
            Render()->ClearCanvas(0xFF2060A0);
        return -1;
    };
    Frames();
    Chord({}, DIK_SYSRQ);
    const std::string bmp = ReadFileBytes(m_dir.Path("ScreenCapture.bmp"));
    ASSERT_EQ(bmp.size(), 54u + 800u * 600u * 4u);
    // The frame drawn before the key: the game's canvas colour, blue green red in the file.
    EXPECT_EQ(bmp.substr(54, 3), std::string("\xA0\x60\x20"));
}

// A GUI child that paints a grey square with an explicit colour, so the colour operation it is
// drawn under shows: ADDSMOOTH brightens 0x80 by 0x40 to 0xA0, MODULATE would darken it.
class CPaintedWnd : public CGWnd {
  public:
    CPicture* picture = nullptr;
    void DoRender() override
    {
        RECT r;
        GetWindowRectAbs(&r);
        DWORD tint = 0xFF404040;
        picture->Draw(r.left, r.top, nullptr, nullptr, &tint);
        CGWnd::DoRender();
    }
};

TEST_F(DefaultMessageProcTest, PassedOnRenderDrawsTheGuiOverTheSceneAndNothingElse)
{
    StartWith(Param(60));
    CPicture* green = FromBytes(Bmp(40, 40, 0xFF00C000));
    CPaintedWnd gui;
    gui.picture = FromBytes(Bmp(40, 40, 0xFF808080));
    gui.Create(m_game->GetMainGWnd(), 9, GWT_WINDOW, 0, 120, 120, nullptr, 40, 40, nullptr);
    DrawEachFrame([&] { green->Draw(100, 100); }, true, true);
    // The second frame's game picture shows the GUI's colour operation did not outlive it.
    Frames(2);
    const vireo::testing::Frame f = vireo::testing::ReadBackBuffer(Device());
    EXPECT_EQ(Drawn(f), (RECT{100, 100, 160, 160}));
    EXPECT_EQ(Pixel(f, 110, 110), 0xFF00C000u);
    for (auto [x, y] : {std::pair{125, 125}, std::pair{155, 155}})
        EXPECT_NEAR(static_cast<int>(Pixel(f, x, y) & 0xFF), 0xA0, 1) << x << "," << y;
}

TEST_F(DefaultMessageProcTest, StatusOverlayColourAndPlace)
{
    enum Colour { None, Yellow, Red };
    // frames, interval: the last frame draws with nUIUpdateCount frames - 1; 1000 ms: 1 FPS
    std::tuple<const char*, BOOL, BOOL, int, int, Colour> rows[] = {
        {"both off", FALSE, FALSE, 8, 1000, None},
        {"status on", TRUE, FALSE, 8, 1000, Yellow},
        {"debug, short of the cap, first frame past it", FALSE, TRUE, 7, 1000, Red},
        {"debug, cap reached", TRUE, TRUE, 8, 200, Yellow},
        {"debug, short but within the first cap-many frames", FALSE, TRUE, 6, 1000, None},
    };
    for (const auto& [name, showStatus, debug, frames, interval, expected] : rows) {
        SCOPED_TRACE(name);
        Restart();
        SEngineParam param = Param(5);
        param.bDebugMode = debug;
        StartWith(param);
        vireo::testing::SetCursorClientPos(m_hwnd, 80, 400);
        const_cast<SEngineStatus*>(m_game->GetEngineStatus())->bShowStatus = showStatus;
        DrawEachFrame([] {}, false, true);
        Frames(frames, interval);
        const vireo::testing::Frame f = vireo::testing::ReadBackBuffer(Device());
        // Only the overlay draws in the right half's top: its bounds and colours.
        const RECT box = Bounds(f, {400, 0, 800, 300}, [](std::uint32_t p) { return p != 0xFF000000u; });
        // Whether some pixel there has red over 0x80 and green, blue in (lo, hi).
        const auto any = [&](int gLo, int gHi, int bHi) {
            return Bounds(f, {400, 0, 800, 300}, [&](std::uint32_t p) {
                       const int r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
                       return r > 0x80 && g > gLo && g < gHi && b < bHi;
                   }).right > 0;
        };
        EXPECT_EQ(any(0x80, 0x100, 0x40), expected == Yellow);
        EXPECT_EQ(any(-1, 0x40, 0x100), expected == Red);
        if (expected != None) {
            EXPECT_GE(box.left, 602);
            EXPECT_LE(box.left, 606); // the lines start 4 pixels inside the 202-wide box
            EXPECT_GE(box.top, 100);
            EXPECT_GE(box.bottom, 140); // three lines, 16 pixels apart
            EXPECT_LE(box.bottom, 150);
        }
        // Debug mode adds the cursor's scene position in white, from 20 right and 3 below it.
        const POINT cursor = m_game->GetInputSystem()->GetCursorPos();
        const RECT white = Bounds(f, {cursor.x - 10, cursor.y - 10, cursor.x + 150, cursor.y + 40},
                                  [](std::uint32_t p) { return p == 0xFFFFFFFFu; });
        EXPECT_EQ(white.right > 0, debug != FALSE) << "cursor read-out at " << cursor.x << "," << cursor.y;
        if (debug) {
            EXPECT_GE(white.left, cursor.x + 20);
            EXPECT_LE(white.left, cursor.x + 24);
            EXPECT_GE(white.top, cursor.y + 3);
        }
    }
}

TEST_F(DefaultMessageProcTest, ArrowKeysStepTheCameraOncePerPress)
{
    StartWith(Param(60));
    // strafe, walk: expected step along the camera's right and look axes
    std::tuple<const char*, std::vector<int>, float, float> rows[] = {
        {"up walks", {DIK_UP}, 0, 0.1f},
        {"down walks back", {DIK_DOWN}, 0, -0.1f},
        {"left strafes", {DIK_LEFT}, -0.1f, 0},
        {"right strafes", {DIK_RIGHT}, 0.1f, 0},
        {"up and left: up comes first", {DIK_LEFT, DIK_UP}, 0, 0.1f},
        {"with Ctrl: nothing", {DIK_LCONTROL, DIK_UP}, 0, 0},
    };
    for (const auto& [name, pressed, strafe, walk] : rows) {
        SCOPED_TRACE(name);
        CCamera expected = *Camera();
        expected.DoStrafe(strafe);
        expected.DoWalk(walk);
        Keys(pressed, true);
        Frames(3); // held over three frames: still one step
        Keys(pressed, false);
        Frames();
        EXPECT_NEAR(Camera()->m_vPosition.x, expected.m_vPosition.x, 1e-5f);
        EXPECT_NEAR(Camera()->m_vPosition.z, expected.m_vPosition.z, 1e-5f);
    }
}

TEST_F(DefaultMessageProcTest, MouseTurnsOnlyOnTheButtonsPressFrameAndTheWheelAlwaysFlies)
{
    StartWith(Param(60));
    vireo::testing::SetCursorClientPos(m_hwnd, 320, 240);
    Frames();
    const auto look = [this] { return Camera()->m_vLook; };
    const D3DXVECTOR3 start = look();

    vireo::testing::SetCursorClientPos(m_hwnd, 360, 260); // moving alone turns nothing
    Frames();
    EXPECT_TRUE(look() == start);

    CCamera expected = *Camera();
    vireo::testing::InjectMouseButton(0, true);
    vireo::testing::SetCursorClientPos(m_hwnd, 400, 300);
    Frames();
    const D3DXVECTOR3 move = m_game->GetInputSystem()->GetCursorMove();
    ASSERT_NE(move.x, 0.0f);
    expected.DoYaw(move.x * 0.01f);
    expected.DoPitch(move.y * 0.01f);
    EXPECT_NEAR(D3DXVec3Dot(&Camera()->m_vLook, &expected.m_vLook), 1.0f, 1e-5f);
    EXPECT_GT(std::fabs(D3DXVec3Dot(&Camera()->m_vLook, &start) - 1.0f), 1e-3f);

    const D3DXVECTOR3 turned = look(); // held and moved further: no more turning
    vireo::testing::SetCursorClientPos(m_hwnd, 440, 320);
    Frames();
    EXPECT_TRUE(look() == turned);
    vireo::testing::InjectMouseButton(0, false);

    const float height = Camera()->m_vPosition.y;
    vireo::testing::InjectWheel(120);
    Frames();
    // One notch reads as 120 and lifts the camera 0.12 units; no button is needed.
    EXPECT_NEAR(Camera()->m_vPosition.y - height, 0.12f, 1e-6f);
}

} // namespace
} // namespace vireo::test
