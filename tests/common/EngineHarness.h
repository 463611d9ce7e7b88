// A headless host for whole-engine tests: a real window of the platform layer whose window
// procedure forwards into the engine, a game that records every message it is offered, the
// virtual clock, and the log file read back as lines.
#pragma once

#include "common/HostWindow.h"
#include "common/ScratchDir.h"

#include <vireo/engine.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vireo::test {

class CTestGame : public CGameEngine {
  public:
    // Every message that reached the game's MessageProc, in order.
    std::vector<UINT> seen;
    // Optional behaviour per message: a result >= 0 is returned as the game's answer, -1
    // passes the message on to the engine's defaults.
    std::function<int(UINT msg)> onMessage;

    // The engine's own messages seen since the last call (Win32 ids that the platform sends
    // to the window procedure, such as WM_SHOWWINDOW and WM_ACTIVATE, are left out).
    std::vector<UINT> Take()
    {
        std::vector<UINT> out;
        for (UINT msg : seen)
            if (msg >= EMSG_EG_INIT)
                out.push_back(msg);
        seen.clear();
        return out;
    }

  protected:
    int MessageProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        seen.push_back(msg);
        if (onMessage) {
            const int result = onMessage(msg);
            if (result >= 0)
                return result;
        }
        return CGameEngine::MessageProc(msg, wParam, lParam);
    }
};

class EngineTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // A fresh host window, game and clock for the next row of a table (same scratch folder).
    void Restart()
    {
        TearDown();
        SetUp();
    }

    // 800 x 600 scene on a 640 x 480 client, sizeWindow (0, 0) unless changed.
    SEngineParam Param(WORD fps) const;
    // EngineInit with the window in front; the game's EMSG_EG_INIT work takes initWorkMs.
    void Start(WORD fps, DWORD initWorkMs = 0);
    // The same with parameters of the test's own (depth, debug mode, scene size).
    void StartWith(const SEngineParam& param, DWORD initWorkMs = 0);
    // The log's messages (text after " > ", without CR LF), in order.
    std::vector<std::string> LogMessages() const;
    // The same as "level:text", for the lines that carry a level ("[1] ... > text").
    std::vector<std::string> LeveledLogMessages() const;
    // Messages waiting in the thread's queue (removed), WM_QUIT included.
    std::vector<UINT> DrainQueue();
    // The messages from `first` to `last` the game has seen (m_game->seen), in order.
    std::vector<UINT> SeenBetween(UINT first, UINT last) const;

    ScratchDir m_dir;
    HWND m_hwnd = nullptr;
    std::unique_ptr<CTestGame> m_game;
    POINT m_cursorAtStart{0, 0};
};

} // namespace vireo::test
