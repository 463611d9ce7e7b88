// The input update through the whole engine: the state rule, mouse gating
// and scaling, background and minimised windows, overflowing buffers.
#include "tests/input/InputHarness.h"

#include <vireo/platform/DInput8.h>

#include <array>
#include <tuple>

using namespace inputtest;
using vireo::testing::InjectMouseButton;

TEST_F(InputEngineTest, StateRuleAcrossFrames)
{
    // what, key (-1: no input), down, event, state
    const std::tuple<const char*, int, bool, KEYSTATE, KEYSTATE> steps[] = {
        {"press", DIK_A, true, KS_DOWN, KS_DOWN},
        {"held", -1, false, KS_NONE, KS_DOWN},
        {"release", DIK_A, false, KS_UP, KS_UP},
        {"after release", -1, false, KS_NONE, KS_NONE},
    };
    for (const auto& [what, key, down, event, state] : steps) {
        if (key >= 0)
            InjectKey(key, down);
        Frames();
        EXPECT_EQ(Input()->CheckKeyEvent(DIK_A), event) << what;
        EXPECT_EQ(Input()->CheckKeyState(DIK_A), state) << what;
        EXPECT_EQ(Input()->CheckSingleKey(DIK_A), state) << what;
    }
    Tap(DIK_SPACE);
    Frames();
    EXPECT_EQ(Input()->CheckKeyEvent(DIK_SPACE), KS_UP);
    EXPECT_EQ(Input()->CheckKeyState(DIK_SPACE), KS_UP); // a tap within a frame: the last item counts
    for (int index : {-1, 267, 100000})
        EXPECT_EQ(Input()->CheckKeyState(index), KS_NONE) << index;
}

TEST_F(InputEngineTest, MouseButtonsCountOnlyOverTheSceneAndTheCursorIsScaledIntoIt)
{
    SetCursor(400, 300);
    InjectMouseButton(0, true);
    Frames();
    EXPECT_EQ(Input()->CheckKeyState(MOUSE_LBUTTON), KS_DOWN);
    // Outside the scene the held button reads as up; the frame's event is still delivered.
    for (const POINT& pt : {POINT{-1, 300}, POINT{800, 300}, POINT{400, 600}}) {
        SetCursor(pt.x, pt.y);
        Frames();
        EXPECT_EQ(Input()->CheckKeyState(MOUSE_LBUTTON), KS_NONE) << pt.x << "," << pt.y;
    }
    InjectMouseButton(1, true);
    Frames();
    EXPECT_EQ(Input()->CheckKeyEvent(MOUSE_RBUTTON), KS_DOWN);
    EXPECT_EQ(Input()->CheckKeyState(MOUSE_RBUTTON), KS_NONE);
    // Back over the scene, a button that is still held shows only after a new press.
    SetCursor(0, 0);
    Frames();
    EXPECT_EQ(Input()->CheckKeyState(MOUSE_LBUTTON), KS_NONE);
    InjectMouseButton(0, false);
    InjectMouseButton(1, false);
    // Scaling: truncated, and positions left of the client area stay negative.
    vireo::testing::SetClientSize(m_hwnd, 300, 400); // the scene is 800 x 600: x 8/3, y 3/2
    SetCursor(100, 50);
    Frames();
    SetCursor(101, 51);
    vireo::testing::InjectMouseMotion(1, 1);
    vireo::testing::InjectWheel(-120);
    Frames();
    EXPECT_EQ(std::pair(Input()->GetCursorPosPre().x, Input()->GetCursorPosPre().y), std::pair(266, 75));
    EXPECT_EQ(std::pair(Input()->GetCursorPos().x, Input()->GetCursorPos().y), std::pair(269, 76));
    const D3DXVECTOR3 move = Input()->GetCursorMove();
    EXPECT_EQ((std::array{move.x, move.y, move.z}), (std::array{3.0f, 1.0f, -120.0f}));
    SetCursor(-4, 1);
    Frames();
    EXPECT_EQ(std::pair(Input()->GetCursorPos().x, Input()->GetCursorPos().y), std::pair(-10, 1));
}

TEST_F(InputEngineTest, BackgroundWindowGetsNothingUntilActivated)
{
    InjectKey(DIK_W, true);
    Frames();
    SetForeground(false);
    InjectKey(DIK_W, false);
    InjectKey(DIK_E, true);
    Frames(2);
    EXPECT_TRUE(SeenBetween(EMSG_IS_UI_KEYBOARD_INPUT, EMSG_IS_GAME_MOUSE_INPUT).empty()); // no input message
    EXPECT_EQ(Input()->CheckKeyState(DIK_W), KS_DOWN); // what the last active frame saw
    EXPECT_EQ(Input()->CheckKeyState(DIK_E), KS_NONE);
    Game().SendMessage(WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(Input()->CheckKeyState(DIK_W), KS_NONE);
    // In front again: the device is acquired anew and only new input arrives.
    SetForeground(true);
    InjectKey(DIK_E, false);
    Frames(2);
    InjectKey(DIK_R, true);
    Frames();
    EXPECT_EQ(Input()->CheckKeyEvent(DIK_R), KS_DOWN);
    EXPECT_EQ(Input()->CheckKeyState(DIK_E), KS_NONE);
    // Minimised but active reads the keyboard only; the mouse press waits in its buffer.
    vireo::testing::SetMinimised(m_hwnd, true);
    SetForeground(true);
    InjectMouseButton(0, true);
    InjectKey(DIK_Q, true);
    Frames();
    EXPECT_EQ(Input()->CheckKeyEvent(DIK_Q), KS_DOWN);
    EXPECT_EQ(Input()->CheckKeyEvent(MOUSE_LBUTTON), KS_NONE);
    vireo::testing::SetMinimised(m_hwnd, false);
    Frames();
    EXPECT_EQ(Input()->CheckKeyEvent(MOUSE_LBUTTON), KS_DOWN);
    InjectKey(DIK_R, false);
    InjectKey(DIK_Q, false);
    InjectMouseButton(0, false);
}

TEST_F(InputEngineTest, OverflowingDeviceBufferGivesNoEvents)
{
    // Eleven items for a buffer of ten: none is delivered; ten are fine.
    for (int i = 0; i < 5; ++i)
        Tap(DIK_1 + i);
    InjectKey(DIK_6, true);
    Frames();
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Input()->CheckKeyEvent(DIK_1 + i), KS_NONE) << i;
    EXPECT_NE(LogText().find("m_pKeyboard->GetDeviceData, hr="), std::string::npos);
    for (int i = 0; i < 5; ++i)
        Tap(DIK_Q + i);
    Frames();
    EXPECT_EQ(Input()->CheckKeyEvent(DIK_Q), KS_UP);
    EXPECT_EQ(Input()->CheckKeyEvent(DIK_Q + 4), KS_UP);
    InjectKey(DIK_6, false);
}
