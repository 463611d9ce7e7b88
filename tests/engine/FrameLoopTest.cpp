// Run under the virtual clock: the message order of one frame, the frame cap, pause and its
// announcement, the minimised and background states, the FPS window and the counters.
#include "common/EngineHarness.h"

#include <vireo/platform/Testing.h>

namespace vireo::test {
namespace {

using ::testing::ElementsAre;

// Calls Run once after moving the clock; true when a frame ran.
bool Step(CTestGame& game, long long ms)
{
    vireo::testing::AdvanceClock(ms);
    const DWORD before = game.GetEngineStatus()->nUIUpdateCount;
    game.Run();
    return game.GetEngineStatus()->nUIUpdateCount != before;
}

TEST_F(EngineTest, OneFrameInOrder)
{
    Start(0);
    m_game->Run();
    EXPECT_THAT(m_game->Take(),
                ElementsAre(EMSG_EG_FRAME_BEGIN, EMSG_IS_UI_MOUSE_INPUT, EMSG_IS_UI_KEYBOARD_INPUT,
                            EMSG_IS_GAME_MOUSE_INPUT, EMSG_IS_GAME_KEYBOARD_INPUT, EMSG_EG_UI_UPDATE,
                            EMSG_EG_GAME_UPDATE, EMSG_RS_RENDER_BEGIN, EMSG_RS_RENDER, EMSG_EG_FRAME_END));
}

TEST_F(EngineTest, PausedFrameKeepsUiAndRenderOnly)
{
    Start(0);
    m_game->PauseGame(TRUE);
    m_game->Run();
    EXPECT_THAT(m_game->Take(), ElementsAre(EMSG_EG_PAUSE_CHANGE, EMSG_EG_FRAME_BEGIN, EMSG_IS_UI_MOUSE_INPUT,
                                            EMSG_IS_UI_KEYBOARD_INPUT, EMSG_EG_UI_UPDATE, EMSG_RS_RENDER_BEGIN,
                                            EMSG_RS_RENDER, EMSG_EG_FRAME_END));
    EXPECT_TRUE(m_game->GetEngineStatus()->bPaused);
    // Announced once; asking again for the same state sends nothing.
    m_game->PauseGame(TRUE);
    m_game->Run();
    const auto second = m_game->Take();
    EXPECT_EQ(second.front(), EMSG_EG_FRAME_BEGIN);
    EXPECT_EQ(m_game->GetEngineStatus()->nUIUpdateCount, 2u);
    EXPECT_EQ(m_game->GetEngineStatus()->nGameUpdateCount, 0u);
}

TEST_F(EngineTest, ConsumedUiKeyboardStopsGameInput)
{
    Start(0);
    m_game->onMessage = [](UINT msg) { return msg == EMSG_IS_UI_KEYBOARD_INPUT ? 1 : -1; };
    m_game->Run();
    EXPECT_THAT(m_game->Take(),
                ElementsAre(EMSG_EG_FRAME_BEGIN, EMSG_IS_UI_MOUSE_INPUT, EMSG_IS_UI_KEYBOARD_INPUT, EMSG_EG_UI_UPDATE,
                            EMSG_EG_GAME_UPDATE, EMSG_RS_RENDER_BEGIN, EMSG_RS_RENDER, EMSG_EG_FRAME_END));
}

TEST_F(EngineTest, MinimisedAndBackgroundFrames)
{
    Start(0);
    vireo::testing::SetMinimised(m_hwnd, true);
    ASSERT_TRUE(IsIconic(m_hwnd));
    m_game->Run();
    const auto minimised = m_game->Take();
    EXPECT_TRUE(m_game->GetEngineStatus()->bMinimized);
    // Game updates go on; only the render messages stop.
    EXPECT_NE(std::find(minimised.begin(), minimised.end(), EMSG_EG_GAME_UPDATE), minimised.end());
    EXPECT_EQ(std::find(minimised.begin(), minimised.end(), EMSG_RS_RENDER_BEGIN), minimised.end());
    EXPECT_EQ(std::find(minimised.begin(), minimised.end(), EMSG_RS_RENDER), minimised.end());

    vireo::testing::SetMinimised(m_hwnd, false);
    vireo::testing::SetForeground(m_hwnd, false);
    ASSERT_NE(GetForegroundWindow(), m_hwnd);
    m_game->Run();
    EXPECT_THAT(m_game->Take(), ElementsAre(EMSG_EG_FRAME_BEGIN, EMSG_EG_UI_UPDATE, EMSG_EG_GAME_UPDATE,
                                            EMSG_RS_RENDER_BEGIN, EMSG_RS_RENDER, EMSG_EG_FRAME_END));
    EXPECT_FALSE(m_game->GetEngineStatus()->bMinimized);
}

TEST_F(EngineTest, FrameCapAt60AlternatesForCallsTenMillisecondsApart)
{
    Start(60);
    ASSERT_TRUE(Step(*m_game, 0));
    std::string pattern;
    for (int i = 0; i < 8; ++i)
        pattern += Step(*m_game, 10) ? 'R' : '-';
    EXPECT_EQ(pattern, "-R-R-R-R");
    // A frame runs at 16 ms, not only at 16.67.
    EXPECT_FALSE(Step(*m_game, 15));
    EXPECT_TRUE(Step(*m_game, 1));
}

TEST_F(EngineTest, FrameCapEdges)
{
    Start(1);
    ASSERT_TRUE(Step(*m_game, 0));
    int frames = 0;
    for (int i = 0; i < 30; ++i)
        frames += Step(*m_game, 100) ? 1 : 0;
    EXPECT_EQ(frames, 3); // one frame per second at wFPS 1

    // A counter that went back skips, and the next call still measures from the last frame.
    EXPECT_FALSE(Step(*m_game, -500));
    EXPECT_FALSE(Step(*m_game, 1400));
    EXPECT_TRUE(Step(*m_game, 100));
}

TEST_F(EngineTest, CapAbove1000FpsStillSkipsWhenTheCounterGoesBack)
{
    // 1000 / 2000 is 0 ms: only the negative-time rule stops a frame here.
    Start(2000);
    ASSERT_TRUE(Step(*m_game, 0));
    EXPECT_TRUE(Step(*m_game, 0));
    EXPECT_FALSE(Step(*m_game, -5));
    EXPECT_TRUE(Step(*m_game, 5));
}

TEST_F(EngineTest, UncappedRunsEveryCall)
{
    Start(0);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(Step(*m_game, 0));
    EXPECT_EQ(m_game->TickToFrame(1000), 0u);
    EXPECT_EQ(m_game->TickToFrame(0xFFFFFFFFu), 0u);
}

TEST_F(EngineTest, TickToFrameUsesTheInitialRate)
{
    struct {
        WORD fps;
        DWORD ms;
        DWORD frames;
    } rows[] = {{60, 1000, 62}, {60, 15, 0}, {60, 16, 1}, {30, 100, 3}, {1, 2999, 2}, {1000, 7, 7}, {2000, 7, 7}};
    for (const auto& row : rows) {
        CTestGame game;
        const SEngineParam param = Param(row.fps);
        ASSERT_TRUE(game.EngineInit(&param));
        EXPECT_EQ(game.TickToFrame(row.ms), row.frames) << row.fps << " FPS, " << row.ms << " ms";
    }
}

TEST_F(EngineTest, FpsWindowCountsFramesOfTheLastWholeSecond)
{
    Start(0);
    // The window opened before the start-up wait, so the first frame end closes it at once.
    ASSERT_TRUE(Step(*m_game, 0));
    EXPECT_EQ(m_game->GetEngineStatus()->wFPS, 0);
    std::vector<int> fps;
    for (int i = 0; i < 10; ++i) {
        Step(*m_game, 100);
        fps.push_back(m_game->GetEngineStatus()->wFPS);
    }
    // Frames at +100 ... +900 ms still fall in the window; the one at +1000 closes it with
    // the ten frames counted before it.
    EXPECT_EQ(fps, (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 10}));
    // The status pointer is the live record, the same on every call.
    EXPECT_EQ(m_game->GetEngineStatus(), m_game->GetEngineStatus());
}

TEST_F(EngineTest, PauseRequestedDuringGameUpdateTakesEffectNextFrame)
{
    Start(0);
    m_game->onMessage = [this](UINT msg) {
        if (msg == EMSG_EG_GAME_UPDATE)
            m_game->PauseGame(TRUE);
        return -1;
    };
    m_game->Run();
    EXPECT_FALSE(m_game->GetEngineStatus()->bPaused);
    EXPECT_EQ(m_game->GetEngineStatus()->nGameUpdateCount, 1u);
    m_game->Take();
    m_game->Run();
    const auto next = m_game->Take();
    EXPECT_EQ(next.front(), EMSG_EG_PAUSE_CHANGE);
    EXPECT_EQ(std::find(next.begin(), next.end(), EMSG_EG_GAME_UPDATE), next.end());
    EXPECT_EQ(m_game->GetEngineStatus()->nGameUpdateCount, 1u);
    EXPECT_EQ(m_game->GetEngineStatus()->nUIUpdateCount, 2u);
}

TEST_F(EngineTest, CountersAndSetGameUpdateCount)
{
    Start(0);
    DWORD uiCountAtFirstFrameEnd = 99;
    m_game->onMessage = [&](UINT msg) {
        if (msg == EMSG_EG_FRAME_END && uiCountAtFirstFrameEnd == 99)
            uiCountAtFirstFrameEnd = m_game->GetEngineStatus()->nUIUpdateCount;
        return -1;
    };
    m_game->Run();
    m_game->Run();
    EXPECT_EQ(uiCountAtFirstFrameEnd, 0u);
    EXPECT_EQ(m_game->GetEngineStatus()->nGameUpdateCount, 2u);
    m_game->SetGameUpdateCount(0);
    EXPECT_EQ(LogMessages().back(), "GameUpdateCount set to 0");
    m_game->Run();
    EXPECT_EQ(m_game->GetEngineStatus()->nGameUpdateCount, 1u);
    EXPECT_EQ(m_game->GetEngineStatus()->nUIUpdateCount, 3u);
}

} // namespace
} // namespace vireo::test
