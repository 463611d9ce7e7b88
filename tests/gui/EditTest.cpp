// CGEdit: the character rules (as typed through the window, surrogate pairs included),
// Backspace, Ctrl+V replacing the text or leaving it, and the caret: drawn at the end of the
// text or at the right edge, absent without the focus, and placed for the input method.
#include "gui/GuiTest.h"

#include <memory>
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
        Cursor(600, 400);
    }
    void TearDown() override
    {
        m_dialog.reset();
        GuiTest::TearDown();
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
    std::unique_ptr<CGDialog> m_dialog;
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
    };
    for (const auto& [start, typed, result] : rows) {
        m_edit->SetWindowText(start.c_str());
        Type(typed);
        EXPECT_EQ(m_edit->GetWindowText(), result);
    }
    // Only the focus window edits.
    Main()->SetFocus();
    Type(L"q");
    EXPECT_EQ(m_edit->GetWindowText(), L"z");
}

TEST_F(EditTest, PasteReplacesTheTextOrLeavesIt)
{
    m_edit->SetWindowText(L"xyz");
    vireo::testing::SetClipboardText(L"");
    Type(L"\x16");
    EXPECT_EQ(m_edit->GetWindowText(), L"xyz");
    vireo::testing::SetClipboardText(L"abc");
    Type(L"\x16");
    EXPECT_EQ(m_edit->GetWindowText(), L"abc");
}

TEST_F(EditTest, CaretFollowsTheTextAndTheFocus)
{
    // Frames 0-49 of each 100 show the caret; the fixture's frames are in the first half.
    const int empty = CaretX(Frame());
    EXPECT_EQ(empty, 101); // left border of 1
    m_edit->SetWindowText(L"iii");
    const int shortText = CaretX(Frame());
    EXPECT_GT(shortText, empty);
    m_edit->SetWindowText(std::wstring(200, L'W').c_str());
    EXPECT_EQ(CaretX(Frame()), 100 + 120 - 4 - 1); // the text rectangle's right edge

    // The input method is told where the caret is (client = scene here).
    POINT caret{};
    ASSERT_TRUE(GetCaretPos(&caret));
    EXPECT_EQ(caret.x, 215);

    Main()->SetFocus();
    EXPECT_EQ(CaretX(Frame()), -1);
    EXPECT_FALSE(GetCaretPos(&caret));
}

} // namespace
} // namespace vireo::test
