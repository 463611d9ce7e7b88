// CGWnd in a running engine: size from picture 0 and the missing package, the second Create
// box, the root that stays put, the show rule, routing by flags, overlap and capture, the drag
// and its log lines, raising the clicked dialog, the drawing order of the tree and its layers.
#include "gui/GuiTest.h"

namespace vireo::test {
namespace {

// Records the messages routed to it, and the drawing layers (6002, 6003) of every spy in order.
class CSpyWnd : public CGWnd {
  public:
    std::vector<UINT> got;
    static inline std::vector<std::pair<const CGWnd*, UINT>> layers;

  protected:
    int MessageProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        got.push_back(msg);
        if (msg == EMSG_UI_DRAW_BACKGROUND || msg == EMSG_UI_DRAW_FOREGROUND)
            layers.emplace_back(this, msg);
        return CGWnd::MessageProc(msg, wParam, lParam);
    }
};

TEST_F(GuiTest, CreateSizesAndShowRule)
{
    const std::wstring path = Package("plain", {0xFF336699});
    CGWnd sized;
    sized.Create(Main(), 1, GWT_WINDOW, 0, 10, 20, path.c_str(), 0, 0, nullptr);
    EXPECT_EQ(std::pair(sized.Width(), sized.Height()), std::pair(40, 20));
    sized.Create(Main(), 1, GWT_WINDOW, 0, 10, 20, path.c_str(), 0, 0, nullptr);
    EXPECT_EQ(Boxes(), std::vector<std::wstring>{L"Vireo Engine: CGWnd::Create 函数被调用了两次  ResPath=" + path});

    // The root window stays put; a child centres in its parent.
    Main()->OffsetWindow(7, 7);
    Main()->MoveWindow(7, 7);
    sized.CenterWindow();
    RECT centred;
    sized.GetWindowRectAbs(&centred);
    EXPECT_EQ(centred, (RECT{300, 230, 340, 250}));

    sized.ShowWindow(SW_HIDE);
    sized.ShowWindow(1);
    EXPECT_FALSE(sized.IsVisible());
    EXPECT_FALSE(sized.IsEnabled()); // hidden, though enabled
}

TEST_F(GuiTest, TopChildTakesTheClickAndCaptureFollowsTheDrag)
{
    // Hidden and disabled windows on top get neither the update nor the mouse.
    CSpyWnd under, over, hidden, disabled;
    under.Create(Main(), 1, GWT_WINDOW, 0, 0, 0, nullptr, 100, 100, nullptr);
    over.Create(Main(), 2, GWT_WINDOW, 0, 50, 50, nullptr, 100, 100, nullptr);
    for (CSpyWnd* w : {&hidden, &disabled})
        w->Create(Main(), 3, GWT_WINDOW, 0, 0, 0, nullptr, 100, 100, nullptr);
    hidden.ShowWindow(SW_HIDE);
    disabled.EnableWindow(FALSE);
    over.LockPosition(FALSE);
    Cursor(60, 60);
    MarkLog();
    Left(true);
    Frame();
    EXPECT_GT(Count(over.got, EMSG_EG_UI_UPDATE), 0);
    for (CSpyWnd* w : {&under, &hidden, &disabled})
        EXPECT_EQ(Count(w->got, EMSG_IS_UI_MOUSE_INPUT), 0);
    for (CSpyWnd* w : {&hidden, &disabled})
        EXPECT_EQ(Count(w->got, EMSG_EG_UI_UPDATE), 0);
    EXPECT_EQ(Main()->GetFocus(), &over);
    EXPECT_TRUE(Main()->GetCapture() == &over && over.IsCapture());

    // With the cursor far outside, the capture window alone gets the mouse and drags along.
    Cursor(300, 200);
    Frame();
    EXPECT_EQ(Count(under.got, EMSG_IS_UI_MOUSE_INPUT), 0);
    RECT rect;
    over.GetWindowRect(&rect);
    EXPECT_EQ(rect, (RECT{290, 190, 390, 290}));
    Left(false);
    Frame();
    EXPECT_TRUE(Main()->GetCapture() == nullptr && !over.IsCapture());

    EXPECT_EQ(CountPrefix(LogSinceMark(), "Capture=1, Pointer=0x"), 1); // logged both ways
    EXPECT_EQ(CountPrefix(LogSinceMark(), "Capture=0, Pointer=0x"), 1);
}

TEST_F(GuiTest, ClickingAControlRaisesItsDialog)
{
    CGDialog back, front;
    back.Create(Main(), 1, 0, 0, nullptr, 200, 200);
    front.Create(Main(), 2, 100, 0, nullptr, 200, 200);
    back.AddCtrl(10, GWT_BUTTON, 10, 10, nullptr, 0, 50, 20);
    Cursor(20, 15);
    Left(true);
    Frame();
    EXPECT_EQ(Main()->GetChild(Main()->GetChildCount() - 1), &back);
}

TEST_F(GuiTest, DrawsTheTreeInOrderAndSkipsHiddenWindows)
{
    const std::wstring red = Package("red", {0xFFFF0000});
    const std::wstring blue = Package("blue", {0xFF0000FF}, 10, 10);
    CSpyWnd parent, child;
    CGWnd hiddenChild, gone;
    parent.Create(Main(), 1, GWT_WINDOW, 0, 100, 100, red.c_str(), 0, 0, nullptr);
    child.Create(&parent, 2, GWT_WINDOW, 0, 10, 0, blue.c_str(), 0, 0, nullptr);
    hiddenChild.Create(&parent, 3, GWT_WINDOW, 0, 25, 0, blue.c_str(), 0, 0, nullptr);
    hiddenChild.ShowWindow(SW_HIDE);
    gone.Create(Main(), 4, GWT_WINDOW, 0, 300, 300, L"missing", 0, 0, nullptr);
    EXPECT_EQ(gone.Width() + gone.Height(), 0); // no package, no size to take
    parent.EnableWindow(FALSE);                 // disabled windows still draw
    CSpyWnd::layers.clear();
    const auto frame = Frame();
    // A window's background layer comes before its children, its foreground layer after them.
    EXPECT_EQ(CSpyWnd::layers, (std::vector<std::pair<const CGWnd*, UINT>>{
                                   {&parent, 6002}, {&child, 6002}, {&child, 6003}, {&parent, 6003}}));
    EXPECT_EQ(Pixel(frame, 105, 105), 0xFFFF0000u);
    EXPECT_EQ(Pixel(frame, 115, 105), 0xFF0000FFu); // child over parent
    EXPECT_EQ(Pixel(frame, 130, 105), 0xFFFF0000u); // hidden child not drawn
    EXPECT_EQ(Drawn(frame), (RECT{100, 100, 140, 120}));

    // Debug mode writes each shown window's rectangle in white at its top-left: past the red
    // window's right edge, at the root's corner, for the empty window too; nowhere else.
    m_game->SetDebugMode(TRUE);
    const auto debug = Frame();
    const auto whiteIn = [&](RECT area) {
        return Bounds(debug, area, [](std::uint32_t p) { return p == 0xFFFFFFFFu; }).right > 0;
    };
    EXPECT_TRUE(whiteIn({141, 100, 300, 115}));
    EXPECT_TRUE(whiteIn({0, 0, 100, 15}));
    EXPECT_TRUE(whiteIn({300, 300, 500, 315}));
    EXPECT_FALSE(whiteIn({0, 130, 640, 290}));
}

} // namespace
} // namespace vireo::test
