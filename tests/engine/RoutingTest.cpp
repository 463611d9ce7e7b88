// SendMessage routing: the GUI range, the main window and focus window roads, 5003 withheld
// while a child has the focus, what the systems see, and the start-up logging that stops
// after the first frame.
#include "common/EngineHarness.h"

#include <vireo/platform/Testing.h>

#include <algorithm>

namespace vireo::test {
namespace {

using ::testing::ElementsAre;

// A child window that records what the engine routes to it and consumes one chosen id.
class CRecordingWnd : public CGWnd {
  public:
    std::vector<UINT> routed;
    std::vector<UINT> handled;
    UINT consume = 0;

    int SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        routed.push_back(msg);
        if (msg == consume)
            return 1;
        return CGWnd::SendMessage(msg, wParam, lParam);
    }

  protected:
    int MessageProc(UINT msg, WPARAM, LPARAM) override
    {
        handled.push_back(msg);
        return 0;
    }
};

class RoutingTest : public EngineTest {
  protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        Start(0);
        m_childOwner = std::make_unique<CRecordingWnd>();
        m_child = m_childOwner.get();
        m_child->Create(m_game->GetMainGWnd(), 7, GWT_DIALOG, 0, 0, 0, nullptr, 100, 100, nullptr);
    }
    void TearDown() override
    {
        // Windows the game made go before the engine that holds their context.
        m_childOwner.reset();
        EngineTest::TearDown();
    }
    bool GameSaw(UINT msg) const { return std::count(m_game->seen.begin(), m_game->seen.end(), msg) != 0; }

    std::unique_ptr<CRecordingWnd> m_childOwner;
    CRecordingWnd* m_child = nullptr;
};

TEST_F(RoutingTest, GuiRangeGoesStraightToTheGame)
{
    m_child->SetFocus();
    m_child->routed.clear();
    for (UINT msg : {EMSG_UI_FIRST, EMSG_UI_SET_FOCUS, EMSG_UI_LAST}) {
        m_game->seen.clear();
        EXPECT_EQ(m_game->SendMessage(msg, 0, 0), 0);
        EXPECT_THAT(m_game->seen, ElementsAre(msg));
    }
    EXPECT_TRUE(m_child->routed.empty());
    // No system saw them either: WM_ACTIVATE would have cleared input and said so.
    const auto log = LogMessages();
    EXPECT_EQ(std::count(log.begin(), log.end(), "ClearUserInput"), 0);
}

TEST_F(RoutingTest, GameKeyboardIsWithheldWhileAChildHasTheFocus)
{
    m_child->SetFocus();
    EXPECT_EQ(m_game->GetMainGWnd()->GetFocus(), m_child);
    EXPECT_EQ(m_game->SendMessage(EMSG_IS_GAME_KEYBOARD_INPUT, 0, 0), 1);
    EXPECT_FALSE(GameSaw(EMSG_IS_GAME_KEYBOARD_INPUT));
    EXPECT_TRUE(m_child->routed.empty());

    // 5004 still goes to the focus window and on to the game.
    EXPECT_EQ(m_game->SendMessage(EMSG_IS_GAME_MOUSE_INPUT, 0, 0), 0);
    EXPECT_THAT(m_child->routed, ElementsAre(EMSG_IS_GAME_MOUSE_INPUT));
    EXPECT_TRUE(GameSaw(EMSG_IS_GAME_MOUSE_INPUT));

    // Back on the main window, 5003 reaches the game.
    m_game->GetMainGWnd()->SetFocus();
    m_game->SendMessage(EMSG_IS_GAME_KEYBOARD_INPUT, 0, 0);
    EXPECT_TRUE(GameSaw(EMSG_IS_GAME_KEYBOARD_INPUT));
}

TEST_F(RoutingTest, UiUpdateAndUiMouseGoToTheMainWindowTree)
{
    m_child->SetFocus();
    m_child->routed.clear();
    // The main window passes them down its tree: the child (under the cursor at 0,0 for
    // the mouse) receives them although it was not asked as the focus window.
    m_game->SendMessage(EMSG_EG_UI_UPDATE, 0, 0);
    m_game->SendMessage(EMSG_IS_UI_MOUSE_INPUT, 0, 0);
    EXPECT_THAT(m_child->routed, ElementsAre(EMSG_EG_UI_UPDATE, EMSG_IS_UI_MOUSE_INPUT));

    // A hidden child is skipped by the tree.
    m_child->ShowWindow(SW_HIDE);
    m_child->routed.clear();
    m_game->SendMessage(EMSG_EG_UI_UPDATE, 0, 0);
    EXPECT_TRUE(m_child->routed.empty());
}

TEST_F(RoutingTest, FocusWindowThenSystemsThenGame)
{
    m_child->SetFocus();
    m_child->routed.clear();
    // Not consumed by the focus window: the input system clears on WM_ACTIVATE, the game
    // sees it last.
    EXPECT_EQ(m_game->SendMessage(WM_ACTIVATE, WA_ACTIVE, 0), 0);
    EXPECT_THAT(m_child->routed, ElementsAre(static_cast<UINT>(WM_ACTIVATE)));
    EXPECT_TRUE(GameSaw(WM_ACTIVATE));
    EXPECT_EQ(LogMessages().back(), "ClearUserInput");

    // Consumed by the focus window: result 1, neither systems nor game see it.
    m_child->consume = WM_ACTIVATE;
    m_game->seen.clear();
    const std::size_t logLines = LogMessages().size();
    EXPECT_EQ(m_game->SendMessage(WM_ACTIVATE, WA_ACTIVE, 0), 1);
    EXPECT_FALSE(GameSaw(WM_ACTIVATE));
    EXPECT_EQ(LogMessages().size(), logLines + 1); // only the routing line itself
}

TEST_F(RoutingTest, UiKeyboardBubblesFromTheFocusWindowToTheRoot)
{
    m_child->SetFocus();
    m_child->routed.clear();
    // The focus window does not consume 5001; it bubbles up through the main window and then
    // reaches the game.
    EXPECT_EQ(m_game->SendMessage(EMSG_IS_UI_KEYBOARD_INPUT, 0, 0), 0);
    EXPECT_THAT(m_child->handled, ElementsAre(EMSG_UI_SET_FOCUS, EMSG_IS_UI_KEYBOARD_INPUT));
    EXPECT_TRUE(GameSaw(EMSG_IS_UI_KEYBOARD_INPUT));
}

TEST_F(RoutingTest, RoutedMessagesAreLoggedUntilTheFirstFrameEnds)
{
    m_game->Run();
    m_game->Run();
    m_game->SendMessage(WM_DESTROY, 0, 0);
    EXPECT_THAT(RoutedLines(), ElementsAre("CGameEngine::SendMessage  msg=2001 (EMSG_EG_INIT)",
                                           "CGameEngine::SendMessage  msg=2007 (EMSG_EG_FRAME_BEGIN)",
                                           "CGameEngine::SendMessage  msg=5002 (EMSG_IS_UI_MOUSE_INPUT)",
                                           "CGameEngine::SendMessage  msg=5001 (EMSG_IS_UI_KEYBOARD_INPUT)",
                                           "CGameEngine::SendMessage  msg=5004 (EMSG_IS_GAME_MOUSE_INPUT)",
                                           "CGameEngine::SendMessage  msg=5003 (EMSG_IS_GAME_KEYBOARD_INPUT)",
                                           "CGameEngine::SendMessage  msg=2003 (EMSG_EG_UI_UPDATE)",
                                           "CGameEngine::SendMessage  msg=2004 (EMSG_EG_GAME_UPDATE)",
                                           "CGameEngine::SendMessage  msg=3001 (EMSG_RS_RENDER_BEGIN)",
                                           "CGameEngine::SendMessage  msg=3002 (EMSG_RS_RENDER)",
                                           "CGameEngine::SendMessage  msg=2008 (EMSG_EG_FRAME_END)"));
}

TEST(EngineRouting, MessagesBeforeEngineInitSkipTheGui)
{
    ScratchDir dir;
    CTestGame game;
    EXPECT_EQ(game.GetMainGWnd(), nullptr);
    EXPECT_EQ(game.SendMessage(WM_ACTIVATE, 0, 0), 0);
    EXPECT_EQ(game.SendMessage(WM_SYSKEYDOWN, 0, 0), 1);
    EXPECT_THAT(game.seen, ElementsAre(static_cast<UINT>(WM_ACTIVATE), static_cast<UINT>(WM_SYSKEYDOWN)));
    EXPECT_EQ(vireo::test::ReadFileBytes(dir.Path() / "VireoEngine.log").find("msg=0006 ()") != std::string::npos,
              true);
}

} // namespace
} // namespace vireo::test
