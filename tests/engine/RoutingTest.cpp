// SendMessage routing: the GUI range, the main window and focus window roads, 5003 withheld
// while a child has the focus, and messages the focus window consumes. Hidden children are
// skipped in the GUI tests.
#include "common/EngineHarness.h"

#include <vireo/platform/Testing.h>

#include <algorithm>
#include <tuple>

namespace vireo::test {
namespace {

using ::testing::ElementsAre;

// A child window that records what the engine routes to it and consumes one chosen id.
class CRecordingWnd : public CGWnd {
  public:
    std::vector<UINT> routed;
    UINT consume = 0;

    int SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        routed.push_back(msg);
        if (msg == consume)
            return 1;
        return CGWnd::SendMessage(msg, wParam, lParam);
    }
};

class RoutingTest : public EngineTest {
  protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        Start(0);
        m_child = std::make_unique<CRecordingWnd>();
        m_child->Create(m_game->GetMainGWnd(), 7, GWT_DIALOG, 0, 0, 0, nullptr, 100, 100, nullptr);
    }
    void TearDown() override
    {
        // Windows the game made go before the engine that holds their context.
        m_child.reset();
        EngineTest::TearDown();
    }
    bool GameSaw(UINT msg) const { return std::count(m_game->seen.begin(), m_game->seen.end(), msg) != 0; }

    std::unique_ptr<CRecordingWnd> m_child;
};

TEST_F(RoutingTest, EachMessageTakesItsRoad)
{
    // childSees: as the focus window or as part of the main window's tree
    std::tuple<UINT, bool, int, bool, bool> rows[] = {
        // clang-format off
        // The GUI range goes straight to the game.
        {EMSG_UI_FIRST, true, 0, false, true}, {EMSG_UI_LAST, true, 0, false, true},
        // 5003 is withheld while a child has the focus; 5004 goes on through it.
        {EMSG_IS_GAME_KEYBOARD_INPUT, true, 1, false, false},
        {EMSG_IS_GAME_KEYBOARD_INPUT, false, 0, false, true}, {EMSG_IS_GAME_MOUSE_INPUT, true, 0, true, true},
        // The main window passes these down its tree (the child is under the cursor at 0,0).
        {EMSG_EG_UI_UPDATE, false, 0, true, true},
        // The window under the cursor consumes the mouse message.
        {EMSG_IS_UI_MOUSE_INPUT, false, 1, true, false}, {WM_ACTIVATE, true, 0, true, true},
        // clang-format on
    };
    for (const auto& [msg, childHasFocus, result, childSees, gameSees] : rows) {
        SCOPED_TRACE(::testing::Message() << "msg " << msg << " child focus " << childHasFocus);
        (childHasFocus ? static_cast<CGWnd*>(m_child.get()) : m_game->GetMainGWnd())->SetFocus();
        m_child->routed.clear();
        m_game->seen.clear();
        EXPECT_EQ(m_game->SendMessage(msg, 0, 0), result);
        EXPECT_EQ(!m_child->routed.empty(), childSees);
        EXPECT_EQ(GameSaw(msg), gameSees);
    }
    // The input system took WM_ACTIVATE between the focus window and the game.
    EXPECT_EQ(LogMessages().back(), "ClearUserInput");
}

TEST_F(RoutingTest, AConsumedMessageStopsAtTheFocusWindow)
{
    m_child->SetFocus();
    m_child->consume = WM_ACTIVATE;
    m_game->seen.clear();
    const std::size_t logLines = LogMessages().size();
    EXPECT_EQ(m_game->SendMessage(WM_ACTIVATE, WA_ACTIVE, 0), 1);
    EXPECT_FALSE(GameSaw(WM_ACTIVATE));
    EXPECT_EQ(LogMessages().size(), logLines + 1); // only the routing line: no system saw it
}

} // namespace
} // namespace vireo::test
