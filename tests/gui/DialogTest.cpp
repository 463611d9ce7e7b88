// CGDialog: focus cycling by key releases (skipping static, hidden and disabled controls,
// exact modifiers) and what destroying a dialog takes with it. Enter on the default button is
// tested with the buttons.
#include "gui/GuiTest.h"

#include <memory>

namespace vireo::test {
namespace {

TEST_F(GuiTest, TabMovesTheFocusOncePerReleaseSkippingWhatCannotTakeIt)
{
    CGDialog dialog;
    dialog.Create(Main(), 1, 0, 0, nullptr, 300, 300);
    CGWnd* label = dialog.AddCtrl(10, GWT_STATIC, 0, 0, nullptr, 0, 10, 10);
    CGWnd* a = dialog.AddCtrl(11, GWT_BUTTON, 0, 20, nullptr, 0, 10, 10);
    dialog.AddCtrl(12, GWT_BUTTON, 0, 40, nullptr, 0, 10, 10)->ShowWindow(SW_HIDE);
    dialog.AddCtrl(13, GWT_BUTTON, 0, 60, nullptr, 0, 10, 10)->EnableWindow(FALSE);
    CGWnd* edit = dialog.AddCtrl(14, GWT_EDIT, 0, 80, nullptr, 0, 10, 10);
    CGWnd* b = dialog.AddCtrl(15, GWT_BUTTON, 0, 100, nullptr, 0, 10, 10);
    dialog.SetFocus();

    const std::pair<std::vector<std::pair<int, bool>>, CGWnd*> rows[] = {
        {{{DIK_TAB, true}}, &dialog},                                   // press alone: nothing yet
        {{}, &dialog},                                                  // held
        {{{DIK_TAB, false}}, label},                                    // from the dialog: child 0, static or not
        {{{DIK_TAB, true}, {DIK_TAB, false}}, a},                       //
        {{{DIK_DOWN, true}, {DIK_DOWN, false}}, edit},                  // hidden and disabled skipped
        {{{DIK_RIGHT, true}, {DIK_RIGHT, false}}, b},                   //
        {{{DIK_RIGHT, true}, {DIK_RIGHT, false}}, a},                   // wraps past the static label
        {{{DIK_LSHIFT, true}, {DIK_TAB, true}, {DIK_TAB, false}}, b},   // back, wrapping
        {{{DIK_LCONTROL, true}, {DIK_TAB, true}, {DIK_TAB, false}}, b}, // Shift+Ctrl: nothing
        {{{DIK_LCONTROL, false}, {DIK_LSHIFT, false}, {DIK_UP, true}, {DIK_UP, false}}, edit},
        {{{DIK_LEFT, true}, {DIK_LEFT, false}}, a},
    };
    int i = 0;
    for (const auto& [keys, focus] : rows) {
        SCOPED_TRACE(i++);
        for (const auto& [key, down] : keys)
            vireo::testing::InjectKey(key, down);
        Frame();
        EXPECT_EQ(Main()->GetFocus(), focus);
    }
}

TEST_F(GuiTest, DestroyingADialogDestroysExactlyItsControls)
{
    auto dialog = std::make_unique<CGDialog>();
    dialog->Create(Main(), 1, 0, 0, nullptr, 300, 300);
    CGWnd extra; // not the dialog's to destroy: deleting it would crash the test
    extra.Create(dialog.get(), 5, GWT_WINDOW, 0, 0, 0, nullptr, 10, 10, nullptr);
    CGWnd* edit = dialog->AddCtrl(6, GWT_EDIT, 0, 0, nullptr, 0, 10, 10);
    edit->SetFocus();
    dialog.reset();
    EXPECT_EQ(extra.GetParent(), nullptr);
    EXPECT_EQ(Main()->GetFocus(), nullptr); // the focused control took its pointer with it
    EXPECT_EQ(Main()->GetChildCount(), 0);
    Frame();
}

} // namespace
} // namespace vireo::test
