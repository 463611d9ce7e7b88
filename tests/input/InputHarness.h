// Whole-engine input tests on the shared engine harness: an 800 x 600 client and scene with no
// frame cap, the input messages the game saw in the last frame, frames of 20 ms on the virtual
// clock.
#pragma once

#include "common/EngineHarness.h"

#include <vireo/platform/Testing.h>

#include <string>

namespace inputtest {

using vireo::testing::InjectKey;
inline void Tap(int dik) // press and release within one frame
{
    InjectKey(dik, true);
    InjectKey(dik, false);
}

class InputEngineTest : public vireo::test::EngineTest {
  protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (HasFatalFailure())
            return;
        vireo::testing::SetClientSize(m_hwnd, 800, 600);
        Start(0);
        vireo::testing::ClearMessageBoxes();
        Frames();
    }
    void Frames(int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            m_game->seen.clear();
            vireo::testing::AdvanceClock(20);
            m_game->Run();
        }
    }
    void SetForeground(bool gameInFront) { vireo::testing::SetForeground(m_hwnd, gameInFront); }
    void SetCursor(int x, int y) { vireo::testing::SetCursorClientPos(m_hwnd, x, y); }
    std::string LogText() const { return vireo::test::ReadFileBytes("VireoEngine.log"); }
    CInputSystem* Input() { return m_game->GetInputSystem(); }
    vireo::test::CTestGame& Game() { return *m_game; }
};

} // namespace inputtest
