// Run under the virtual clock: the message order of a frame in each state (pause taking
// effect included), the frame cap and the FPS window, and the tick-to-frame rule.
#include "common/EngineHarness.h"

#include <tuple>
#include <vireo/platform/Testing.h>

namespace vireo::test {
namespace {

using ::testing::ElementsAreArray;

// Calls Run once after moving the clock; true when a frame ran.
bool Step(CTestGame& game, long long ms)
{
    vireo::testing::AdvanceClock(ms);
    const DWORD before = game.GetEngineStatus()->nUIUpdateCount;
    game.Run();
    return game.GetEngineStatus()->nUIUpdateCount != before;
}

TEST_F(EngineTest, MessageOrderOfOneFramePerState)
{
    enum State { Normal, UiKeyboardConsumed, Paused, Background };
    const UINT begin = EMSG_EG_FRAME_BEGIN, uiMouse = EMSG_IS_UI_MOUSE_INPUT, uiKeys = EMSG_IS_UI_KEYBOARD_INPUT,
               uiUpdate = EMSG_EG_UI_UPDATE, gameUpdate = EMSG_EG_GAME_UPDATE, renderBegin = EMSG_RS_RENDER_BEGIN,
               render = EMSG_RS_RENDER, end = EMSG_EG_FRAME_END;
    std::tuple<State, std::vector<UINT>> rows[] = {
        {Normal,
         {begin, uiMouse, uiKeys, EMSG_IS_GAME_MOUSE_INPUT, EMSG_IS_GAME_KEYBOARD_INPUT, uiUpdate, gameUpdate,
          renderBegin, render, end}},
        {UiKeyboardConsumed, {begin, uiMouse, uiKeys, uiUpdate, gameUpdate, renderBegin, render, end}},
        {Background, {begin, uiUpdate, gameUpdate, renderBegin, render, end}},
        {Paused, {EMSG_EG_PAUSE_CHANGE, begin, uiMouse, uiKeys, uiUpdate, renderBegin, render, end}},
    };
    // One engine goes through the states in turn, each undone before the next.
    Start(0);
    for (const auto& [state, messages] : rows) {
        SCOPED_TRACE(state);
        if (state == UiKeyboardConsumed)
            m_game->onMessage = [](UINT msg) { return msg == EMSG_IS_UI_KEYBOARD_INPUT ? 1 : -1; };
        // A pause asked for during a game update takes effect on the next frame.
        if (state == Background)
            m_game->onMessage = [this](UINT msg) {
                if (msg == EMSG_EG_GAME_UPDATE)
                    m_game->PauseGame(TRUE);
                return -1;
            };
        vireo::testing::SetForeground(m_hwnd, state != Background);
        m_game->Take();
        m_game->Run();
        EXPECT_THAT(m_game->Take(), ElementsAreArray(messages));
        EXPECT_EQ(m_game->GetEngineStatus()->bPaused, state == Paused);
        m_game->onMessage = nullptr;
    }
    // Pause is announced once; asking again for the same state sends nothing.
    m_game->PauseGame(TRUE);
    m_game->Run();
    EXPECT_EQ(m_game->Take().front(), EMSG_EG_FRAME_BEGIN);
    EXPECT_EQ(m_game->GetEngineStatus()->nGameUpdateCount, 3u);
}

TEST_F(EngineTest, FrameCapDecidesEachCallFromTheLastFrame)
{
    // fps; clock moves before each Run after the first frame; R: a frame ran, -: skipped; the
    // FPS status after the last step (-1: not checked)
    const std::tuple<WORD, std::vector<long long>, std::string, int> rows[] = {
        // Calls 10 ms apart alternate at 60; a frame is due at 16 ms, not only at 16.67.
        {60, {10, 10, 10, 10, 10, 10, 10, 10, 15, 1}, "-R-R-R-R-R", -1},
        // A counter that went back skips, and the next call still measures from the last frame.
        {1, {100, 900, -500, 1400, 100}, "-R--R", -1},
        // 1000 / 2000 is 0 ms: only the negative-time rule stops a frame.
        {2000, {0, -5, 5}, "R-R", -1},
        // The FPS window opened before the start-up wait, so the first frame closed it; the
        // frame at +1000 ms closes the next with the ten frames counted before it.
        {0, std::vector<long long>(9, 100), "RRRRRRRRR", 0},
        {0, std::vector<long long>(10, 100), "RRRRRRRRRR", 10},
    };
    for (const auto& [fps, steps, frames, fpsAfter] : rows) {
        SCOPED_TRACE(::testing::Message() << fps << " FPS, " << frames);
        Restart();
        Start(fps);
        ASSERT_TRUE(Step(*m_game, 0));
        std::string pattern;
        for (long long ms : steps)
            pattern += Step(*m_game, ms) ? 'R' : '-';
        EXPECT_EQ(pattern, frames);
        EXPECT_TRUE(fpsAfter < 0 || m_game->GetEngineStatus()->wFPS == fpsAfter) << m_game->GetEngineStatus()->wFPS;
    }
}

TEST_F(EngineTest, TickToFrameUsesTheInitialRate)
{
    std::tuple<WORD, DWORD, DWORD> rows[] = {{60, 1000, 62}, {60, 15, 0},  {60, 16, 1},  {30, 100, 3},
                                             {1, 2999, 2},   {1000, 7, 7}, {2000, 7, 7}, {0, 0xFFFFFFFFu, 0}};
    for (const auto& [fps, ms, frames] : rows) {
        CTestGame game;
        const SEngineParam param = Param(fps);
        ASSERT_TRUE(game.EngineInit(&param));
        EXPECT_EQ(game.TickToFrame(ms), frames) << fps << " FPS, " << ms << " ms";
    }
}

} // namespace
} // namespace vireo::test
