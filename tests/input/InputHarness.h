// Whole-engine harness for the input tests: a headless host window, a game that records the
// input messages of the last frame, and frames of 20 ms on the virtual clock.
#pragma once

#include "common/HostWindow.h"
#include "common/ScratchDir.h"

#include <vireo/engine.h>
#include <vireo/platform/Testing.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace inputtest {

using vireo::testing::InjectKey;
inline void Tap(int dik) // press and release within one frame
{
    InjectKey(dik, true);
    InjectKey(dik, false);
}

class CTestGame : public CGameEngine {
  public:
    std::vector<UINT> inputMessages;    // 5001-5004 of the last frame, in order
    std::function<int(UINT)> onMessage; // answer for a message, 0 to pass it on

  protected:
    int MessageProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

class InputEngineTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    void Frames(int count = 1);
    void SetForeground(bool gameInFront) { vireo::testing::SetForeground(m_hWnd, gameInFront); }
    void SetCursor(int x, int y) { vireo::testing::SetCursorClientPos(m_hWnd, x, y); }
    std::string LogText() const { return vireo::test::ReadFileBytes("VireoEngine.log"); }
    CInputSystem* Input() { return m_game.GetInputSystem(); }
    CTestGame& Game() { return m_game; }

    vireo::test::ScratchDir m_dir;
    HWND m_hWnd = nullptr;
    CTestGame m_game;
};

} // namespace inputtest
