// The input update through the whole engine with injected input: the state rule, modifier
// combinations, mouse gating and scaling, background and minimised windows, overflowing
// device buffers and the stop rules of the input messages.
#include "tests/input/InputHarness.h"

#include <vireo/platform/DInput8.h>

using namespace inputtest;

namespace {

struct Step {
    const char* what;
    int key;  // -1: no input this frame
    bool down;
    KEYSTATE event;
    KEYSTATE state;
};

}  // namespace

TEST_F(InputEngineTest, StateRuleAcrossFrames)
{
    const Step steps[] = {
        {"press", DIK_A, true, KS_DOWN, KS_DOWN},
        {"held", -1, false, KS_NONE, KS_DOWN},
        {"still held", -1, false, KS_NONE, KS_DOWN},
        {"release", DIK_A, false, KS_UP, KS_UP},
        {"after release", -1, false, KS_NONE, KS_NONE},
    };
    for (const Step& step : steps) {
        if (step.key >= 0)
            Key(step.key, step.down);
        Frame();
        EXPECT_EQ(Input()->CheckKeyEvent(DIK_A), step.event) << step.what;
        EXPECT_EQ(Input()->CheckKeyState(DIK_A), step.state) << step.what;
        EXPECT_EQ(Input()->CheckSingleKey(DIK_A), step.state) << step.what;
    }

    // Pressed and released inside one frame: only the last item counts.
    Tap(DIK_SPACE);
    Frame();
    EXPECT_EQ(Input()->CheckKeyEvent(DIK_SPACE), KS_UP);
    EXPECT_EQ(Input()->CheckKeyState(DIK_SPACE), KS_UP);
    Frame();
    EXPECT_EQ(Input()->CheckKeyState(DIK_SPACE), KS_NONE);

    // Out-of-range indices are quiet.
    for (int index : {-1, 267, 100000})
        EXPECT_EQ(Input()->CheckKeyState(index), KS_NONE) << index;
}

TEST_F(InputEngineTest, KeyComboNeedsExactlyTheModifiers)
{
    struct Row {
        const char* what;
        std::vector<int> held;
        BYTE modifiers;
        KEYSTATE expected;
    };
    const Row rows[] = {
        {"ctrl", {DIK_LCONTROL}, 2, KS_UP},
        {"right ctrl", {DIK_RCONTROL}, 2, KS_UP},
        {"ctrl and shift", {DIK_LCONTROL, DIK_LSHIFT}, 2, KS_NONE},
        {"ctrl and shift asked", {DIK_LCONTROL, DIK_RSHIFT}, 6, KS_UP},
        {"nothing held, nothing asked", {}, 0, KS_UP},
        {"alt held, nothing asked", {DIK_RMENU}, 0, KS_NONE},
        {"alt", {DIK_LMENU}, 1, KS_UP},
        {"shift asked, nothing held", {}, 4, KS_NONE},
    };
    for (const Row& row : rows) {
        for (int key : row.held)
            Key(key, true);
        Key(DIK_F9, true);
        Frame();
        Key(DIK_F9, false);
        Frame();
        EXPECT_EQ(Input()->CheckKeyCombo(DIK_F9, row.modifiers), row.expected) << row.what;
        for (int key : row.held)
            Key(key, false);
        Frames(2);
    }
}

TEST_F(InputEngineTest, MouseButtonsCountOnlyOverTheScene)
{
    SetCursorClientPos(400, 300);
    MouseButton(0, true);
    Frame();
    EXPECT_EQ(Input()->CheckKeyEvent(MOUSE_LBUTTON), KS_DOWN);
    EXPECT_EQ(Input()->CheckKeyState(MOUSE_LBUTTON), KS_DOWN);

    // Outside the scene (left, right edge, bottom edge) the held button reads as up.
    const POINT outside[] = {{-1, 300}, {800, 300}, {400, 600}};
    for (const POINT& pt : outside) {
        SetCursorClientPos(pt.x, pt.y);
        Frame();
        EXPECT_EQ(Input()->CheckKeyState(MOUSE_LBUTTON), KS_NONE) << pt.x << "," << pt.y;
    }
    // The event of the frame still reads as delivered.
    MouseButton(1, true);
    Frame();
    EXPECT_EQ(Input()->CheckKeyEvent(MOUSE_RBUTTON), KS_DOWN);
    EXPECT_EQ(Input()->CheckKeyState(MOUSE_RBUTTON), KS_NONE);

    // Back over the scene, a button that is still held shows only after a new press.
    SetCursorClientPos(0, 0);
    Frame();
    EXPECT_EQ(Input()->CheckKeyState(MOUSE_LBUTTON), KS_NONE);
    MouseButton(0, false);
    MouseButton(1, false);
    Frame();
}

TEST_F(InputEngineTest, CursorIsScaledIntoTheScene)
{
    SetClientSize(400, 300);  // the scene is 800 x 600
    SetCursorClientPos(100, 50);
    Frame();
    EXPECT_EQ(Input()->GetCursorPos().x, 200);
    EXPECT_EQ(Input()->GetCursorPos().y, 100);

    SetCursorClientPos(101, 51);  // 202, 102
    MouseMove(1, 1);
    Wheel(-120);
    Frame();
    EXPECT_EQ(Input()->GetCursorPosPre().x, 200);
    EXPECT_EQ(Input()->GetCursorPos().y, 102);
    const D3DXVECTOR3 move = Input()->GetCursorMove();
    EXPECT_EQ(move.x, 2.0f);
    EXPECT_EQ(move.y, 2.0f);
    EXPECT_EQ(move.z, -120.0f);

    // Truncation, and positions left of the client area stay negative.
    SetCursorClientPos(-3, 1);
    Frame();
    EXPECT_EQ(Input()->GetCursorPos().x, -6);
    EXPECT_EQ(Input()->GetCursorPos().y, 2);
}

TEST_F(InputEngineTest, BackgroundWindowGetsNothingUntilActivated)
{
    Key(DIK_W, true);
    Frame();
    ASSERT_EQ(Input()->CheckKeyState(DIK_W), KS_DOWN);
    ASSERT_FALSE(Game().inputMessages.empty());

    SetForeground(false);
    Key(DIK_W, false);
    Key(DIK_E, true);
    Frames(2);
    EXPECT_TRUE(Game().inputMessages.empty());
    EXPECT_EQ(Input()->CheckKeyState(DIK_W), KS_DOWN);  // what the last active frame saw
    EXPECT_EQ(Input()->CheckKeyState(DIK_E), KS_NONE);

    Game().SendMessage(WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(Input()->CheckKeyState(DIK_W), KS_NONE);
    EXPECT_NE(LogText().find("ClearUserInput"), std::string::npos);

    // In front again: the device is acquired anew and only new input arrives.
    SetForeground(true);
    Key(DIK_E, false);
    Frames(2);
    Key(DIK_R, true);
    Frame();
    EXPECT_EQ(Input()->CheckKeyEvent(DIK_R), KS_DOWN);
    EXPECT_EQ(Input()->CheckKeyState(DIK_E), KS_NONE);
    Key(DIK_R, false);
}

TEST_F(InputEngineTest, MinimisedWindowReadsTheKeyboardOnly)
{
    SetCursorClientPos(10, 10);
    SetMinimized(true);
    // Minimised but still the active window (as SW_SHOWMINIMIZED leaves it); a minimised
    // window in the background reads nothing at all.
    SetForeground(true);
    MouseButton(0, true);
    Key(DIK_Q, true);
    Frame();
    EXPECT_EQ(Input()->CheckKeyEvent(DIK_Q), KS_DOWN);
    EXPECT_EQ(Input()->CheckKeyEvent(MOUSE_LBUTTON), KS_NONE);

    // Restored: the press still waits in the mouse's buffer.
    SetMinimized(false);
    Frame();
    EXPECT_EQ(Input()->CheckKeyEvent(MOUSE_LBUTTON), KS_DOWN);
    MouseButton(0, false);
    Key(DIK_Q, false);
    Frame();
}

TEST_F(InputEngineTest, OverflowingDeviceBufferGivesNoEvents)
{
    // Eleven items for a buffer of ten.
    for (int i = 0; i < 5; ++i)
        Tap(DIK_1 + i);
    Key(DIK_6, true);
    Frame();
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Input()->CheckKeyEvent(DIK_1 + i), KS_NONE) << i;
    EXPECT_NE(LogText().find("m_pKeyboard->GetDeviceData, hr="), std::string::npos);

    // Ten items are fine.
    for (int i = 0; i < 5; ++i)
        Tap(DIK_Q + i);
    Frame();
    EXPECT_EQ(Input()->CheckKeyEvent(DIK_Q), KS_UP);
    EXPECT_EQ(Input()->CheckKeyEvent(DIK_Q + 4), KS_UP);
    Key(DIK_6, false);
}

TEST_F(InputEngineTest, InputMessagesAndTheirStopRules)
{
    Frame();
    EXPECT_EQ(Game().inputMessages,
              (std::vector<UINT>{EMSG_IS_UI_MOUSE_INPUT, EMSG_IS_UI_KEYBOARD_INPUT, EMSG_IS_GAME_MOUSE_INPUT,
                                 EMSG_IS_GAME_KEYBOARD_INPUT}));

    Game().onMessage = [](UINT msg) { return msg == EMSG_IS_UI_KEYBOARD_INPUT ? 1 : 0; };
    Frame();
    EXPECT_EQ(Game().inputMessages, (std::vector<UINT>{EMSG_IS_UI_MOUSE_INPUT, EMSG_IS_UI_KEYBOARD_INPUT}));
    Game().onMessage = nullptr;

    Game().PauseGame(TRUE);
    Frame();
    EXPECT_EQ(Game().inputMessages, (std::vector<UINT>{EMSG_IS_UI_MOUSE_INPUT, EMSG_IS_UI_KEYBOARD_INPUT}));
    Game().PauseGame(FALSE);
    Frame();
    EXPECT_EQ(Game().inputMessages.size(), 4u);
}
