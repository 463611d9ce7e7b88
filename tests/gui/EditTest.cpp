// CGEdit: the character rules (typed through the window, surrogate pairs included), Ctrl+V,
// the nine-slice frame, and the caret: at the end of the text or the right edge, blinking,
// absent without the focus, and placed for the input method.
#include "gui/GuiTest.h"

#include <tuple>

namespace vireo::test {
namespace {

class EditTest : public GuiTest {
  protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        m_dialog = std::make_unique<CGDialog>();
        m_dialog->Create(Main(), 1, 0, 0, nullptr, 640, 480);
        m_edit = m_dialog->AddCtrl(1, GWT_EDIT, 100, 100, Package("frame", {0xFFFFFFFF}).c_str(), 0, 120, 24);
        m_edit->SetFocus();
    }
    void Type(const std::wstring& text)
    {
        for (wchar_t ch : text)
            vireo::testing::InjectChar(m_hwnd, ch);
        Frame();
    }
    // The caret's left edge in the edit box's middle row, -1 when no caret is drawn.
    int CaretX(const vireo::testing::Frame& frame)
    {
        for (int x = 100; x < 220; ++x)
            if (Pixel(frame, x, 112) == 0xFF000000u && Pixel(frame, x + 1, 112) == 0xFF000000u &&
                Pixel(frame, x, 107) == 0xFF000000u)
                return x;
        return -1;
    }
    CGWnd* m_edit = nullptr;
};

TEST_F(EditTest, CharacterRules)
{
    std::tuple<std::wstring, std::wstring, std::wstring> rows[] = {
        {L"", L"\b", L""},
        {L"ab", L"\b", L"a"},
        {L"x", L"\t\r\x1B\x01\x03\x18", L"x"},                                // Tab, Enter, Escape, Ctrl+A/C/X
        {L"x", L"\x02", L"x\x02"},                                            // Ctrl+B is appended
        {L"", std::wstring(L"a") + wchar_t(0x1F600) + L"b", L"a\U0001F600b"}, // arrives as two halves
        {L"a\U0001F600", L"\b", L"a"},                                        // the pair goes at once
        {L"", std::wstring(1, wchar_t(0xDC00)) + L"z", L"z"},                 // a stray low half is no character
        {L"z", L"\x16", L"z"},                                                // Ctrl+V with no text on the clipboard
    };
    vireo::testing::SetClipboardText(L"");
    for (const auto& [start, typed, result] : rows) {
        m_edit->SetWindowText(start.c_str());
        Type(typed);
        EXPECT_EQ(m_edit->GetWindowText(), result);
    }
    vireo::testing::SetClipboardText(L"abc");
    Type(L"\x16");
    EXPECT_EQ(m_edit->GetWindowText(), L"abc"); // replaced, not extended
    Main()->SetFocus();
    Type(L"q"); // only the focus window edits
    EXPECT_EQ(m_edit->GetWindowText(), L"abc");
}

TEST_F(EditTest, CaretFollowsTheTextAndTheFocus)
{
    // Frames 0-49 of each 100 show the caret; the fixture's frames are in the first half.
    const auto frame = Frame();
    const auto white = [](std::uint32_t p) { return p == 0xFFFFFFFFu; };
    EXPECT_EQ(Bounds(frame, {0, 0, 640, 480}, white), (RECT{100, 100, 220, 124})); // the nine pieces
    const int empty = CaretX(frame);
    EXPECT_EQ(empty, 101); // left border of 1
    m_edit->SetWindowText(L"WWW");
    const auto typed = Frame();
    const int x = CaretX(typed);
    EXPECT_GT(x, empty);
    EXPECT_GE(Bounds(typed, {101, 100, x, 124}, [&](std::uint32_t p) { return !white(p); }).right, x - 3); // at the ink
    m_edit->SetWindowText(std::wstring(100000, L'W').c_str());
    const auto full = Frame();
    EXPECT_EQ(CaretX(full), 100 + 120 - 4 - 1); // the text rectangle's right edge, with ink up to it
    EXPECT_GE(Bounds(full, {101, 100, 215, 124}, [&](std::uint32_t p) { return !white(p); }).right, 212);

    // The input method is told where the caret is (client = scene here).
    POINT caret{};
    ASSERT_TRUE(GetCaretPos(&caret));
    EXPECT_EQ(caret.x, 215);
    int shown = 0; // it blinks: 50 frames of every 100
    for (int i = 0; i < 100; ++i)
        shown += CaretX(Frame()) >= 0;
    EXPECT_EQ(shown, 50);

    Main()->SetFocus();
    EXPECT_EQ(CaretX(Frame()), -1);
    EXPECT_FALSE(GetCaretPos(&caret));
    m_edit->SetFocus();
    Frame();
    ASSERT_TRUE(GetCaretPos(&caret));
    m_dialog->ShowWindow(SW_HIDE); // the box keeps the focus but gives the caret back
    EXPECT_FALSE(GetCaretPos(&caret));
}

} // namespace
} // namespace vireo::test
