// Whole-engine harness for the input tests: a headless host window, a game that records the
// input messages it gets and what its queries answer, frames on the virtual clock, and
// short names for injecting keyboard and mouse input and changing the window's state.
#pragma once

#include "tests/common/ScratchDir.h"

#include <vireo/engine.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace inputtest {

// Injected input, as the back ends deliver it.
void Key(int dik, bool down);
void Tap(int dik);  // press and release within one frame
void MouseButton(int button, bool down);
void MouseMove(int dx, int dy);
void Wheel(int delta);

class CTestGame : public CGameEngine {
public:
    std::vector<UINT> inputMessages;            // 5001-5004 of the last frame, in order
    std::function<int(UINT)> onMessage;         // answer for a message, 0 to pass it on

protected:
    int MessageProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

class InputEngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void Frame();
    void Frames(int count);
    void SetForeground(bool gameInFront);
    void SetMinimized(bool minimized);
    void SetClientSize(int width, int height);
    void SetCursorClientPos(int x, int y);
    std::vector<std::wstring> TakeMessageBoxes();
    std::string LogText() const;

    CInputSystem* Input() { return m_game.GetInputSystem(); }
    CTestGame& Game() { return m_game; }
    HWND Window() const { return m_hWnd; }

    vireo::test::ScratchDir m_dir;
    HWND m_hWnd = nullptr;
    CTestGame m_game;
};

}  // namespace inputtest
