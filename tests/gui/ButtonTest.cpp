// CGButton: the events of a mouse click in order, keys held and released, the dialog's Enter
// on its default button, check boxes, fixed state, the focus following the mouse, the picture
// chosen by state (with the brightened stand-in for a missing hover picture) and the pressed
// caption's offset.
#include "gui/GuiTest.h"

#include <tuple>

namespace vireo::test {
namespace {

using V = std::vector<UINT>;
constexpr UINT FOCUS = EMSG_UI_SET_FOCUS, DOWN = EMSG_UI_BUTTON_DOWN, UP = EMSG_UI_BUTTON_UP,
               STATE = EMSG_UI_BUTTON_STATE_CHANGE;

class ButtonTest : public GuiTest {
  protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        m_dialog = std::make_unique<CGDialog>();
        m_dialog->Create(Main(), 1, 100, 100, nullptr, 300, 200);
    }
    CGButton* Add(UINT id, BYTE type, DWORD style, const std::wstring& path = L"")
    {
        return static_cast<CGButton*>(
            m_dialog->AddCtrl(id, type, 10 + 50 * static_cast<int>(id - 1), 10, path.c_str(), style, 40, 20));
    }
};

TEST_F(ButtonTest, MouseClickSendsEventsInOrderAndADragOffCancels)
{
    CGButton* button = Add(1, GWT_BUTTON, 0);
    Cursor(120, 115);
    EXPECT_EQ(FrameEvents(), V{STATE}); // hover
    Left(true);
    EXPECT_EQ(FrameEvents(), (V{STATE, DOWN, FOCUS}));
    EXPECT_EQ(button->GetButtonState(), GBS_DOWN);
    // The release, then the frame update lights up the button that now has the focus.
    Left(false);
    EXPECT_EQ(FrameEvents(), (V{STATE, UP, STATE}));
    EXPECT_EQ(button->GetButtonState(), GBS_HOVER);
    EXPECT_EQ(FrameEvents(), V{});

    // A press dragged off the (position-locked) button is cancelled at the update; its release
    // sends no 6007, and the focus the press gave lights the button up again.
    Left(true);
    Frame();
    Cursor(600, 400);
    EXPECT_EQ(FrameEvents(), V{STATE});
    EXPECT_EQ(button->GetButtonState(), GBS_NORMAL);
    Left(false);
    EXPECT_EQ(FrameEvents(), V{STATE});
    EXPECT_EQ(button->GetButtonState(), GBS_HOVER);
    // Hover is announced again; any other state only when it changes.
    m_game->Take();
    for (GBUTTONSTATE state : {GBS_HOVER, GBS_NORMAL, GBS_NORMAL})
        button->SetButtonState(state);
    EXPECT_EQ(m_game->Take(), (V{STATE, STATE}));
}

TEST_F(ButtonTest, KeysPressOnceAndCheckBoxesToggle)
{
    CGButton* box = Add(1, GWT_CHECKBOX, GWS_DEFBUTTON);
    CGButton* fixed = Add(2, GWT_BUTTON, GWS_FIXEDSTATE);
    box->SetFocus();
    Frame();
    EXPECT_EQ(Key(DIK_SPACE, true), (V{STATE, DOWN}));
    EXPECT_EQ(FrameEvents(), V{}); // held: no second press
    EXPECT_EQ(Key(DIK_SPACE, false), (V{STATE, UP, STATE}));
    EXPECT_EQ(box->GetCheck(), 1);
    // The dialog's Enter presses its default button, which need not have the focus.
    m_dialog->SetFocus();
    Frame();
    EXPECT_EQ(Key(DIK_RETURN, true), (V{STATE, DOWN}));
    EXPECT_EQ(Key(DIK_RETURN, false), (V{STATE, UP}));
    EXPECT_EQ(box->GetCheck(), 0);

    fixed->SetFocus();
    Frame();
    EXPECT_EQ(Key(DIK_NUMPADENTER, true), V{DOWN});
    EXPECT_EQ(Key(DIK_NUMPADENTER, false), V{UP});
    EXPECT_EQ(fixed->GetButtonState(), GBS_NORMAL);
}

TEST_F(ButtonTest, FocusFollowsTheMouseAmongPushButtons)
{
    CGButton* hover = Add(1, GWT_BUTTON, GWS_FOCUSONHOVER);
    CGButton* plain = Add(2, GWT_BUTTON, 0);
    CGWnd* edit = m_dialog->AddCtrl(3, GWT_EDIT, 200, 100, nullptr, 0, 40, 20);
    // Each row: a window given the focus first (or none), the cursor, the focus after a frame.
    const std::tuple<CGWnd*, POINT, CGWnd*> rows[] = {
        {nullptr, {120, 115}, hover}, // moved onto a focus-on-hover button
        {edit, {120, 115}, edit},     // still lit there, but the mouse did not move
        {nullptr, {121, 115}, hover}, //
        {nullptr, {170, 115}, plain}, // a button lighting up takes the focus from a push button
        {edit, {600, 400}, edit},     //
        {nullptr, {170, 115}, edit},  // but not from an edit box
    };
    for (const auto& [focus, cursor, expected] : rows) {
        if (focus)
            focus->SetFocus();
        Cursor(cursor.x, cursor.y);
        Frame();
        EXPECT_EQ(Main()->GetFocus(), expected) << cursor.x;
    }
}

TEST_F(ButtonTest, PictureFollowsStateAndCheck)
{
    // 0 normal, 1 hover, 2 down; 4-6 checked; the plain button has no hover picture.
    CGButton* box = Add(1, GWT_CHECKBOX, 0,
                        Package("box", {0xFF101010, 0xFF202020, 0xFF303030, 0, 0xFF404040, 0xFF505050, 0xFF606060}));
    CGButton* plain = Add(2, GWT_BUTTON, 0, Package("plain", {0xFF204060}));
    const auto at = [this](CGButton* b) {
        RECT r;
        b->GetWindowRectAbs(&r);
        return Pixel(Frame(), r.left + 1, r.top + 1);
    };
    std::tuple<GBUTTONSTATE, int, std::uint32_t> rows[] = {{GBS_NORMAL, 0, 0xFF101010}, {GBS_HOVER, 0, 0xFF202020},
                                                           {GBS_DOWN, 0, 0xFF303030},   {GBS_NORMAL, 1, 0xFF404040},
                                                           {GBS_HOVER, 1, 0xFF505050},  {GBS_DOWN, 1, 0xFF606060}};
    for (const auto& [state, check, rowBox] : rows) {
        // Only a focused button stays highlighted through the frame update.
        (state == GBS_HOVER ? static_cast<CGWnd*>(box) : Main())->SetFocus();
        box->SetCheck(check);
        box->SetButtonState(state);
        EXPECT_EQ(at(box), rowBox) << state << "/" << check;
    }
    EXPECT_EQ(at(plain), 0xFF204060u);
    plain->SetFocus();
    const std::uint32_t lit = at(plain);
    for (int shift : {0, 8, 16})
        EXPECT_GT((lit >> shift) & 0xFF, (0xFF204060u >> shift) & 0xFF) << shift;

    // A pressed button's caption moves by half its right and bottom borders (2 / 2).
    plain->SetWindowText(L"Go");
    Main()->SetFocus();
    const auto ink = [this] {
        return Bounds(Frame(), {160, 110, 200, 130}, [](std::uint32_t p) { return p != 0xFF204060u; });
    };
    const RECT normal = ink();
    plain->SetButtonState(GBS_DOWN);
    const RECT pressed = ink();
    EXPECT_EQ(std::pair(pressed.left - normal.left, pressed.top - normal.top), std::pair(1, 1));
}

} // namespace
} // namespace vireo::test
