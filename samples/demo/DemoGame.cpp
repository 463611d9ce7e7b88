// The demo game's message handling: it loads nothing yet (no pictures in this build), counts
// its game ticks and frames, and leaves every default to the engine.
#include "DemoGame.h"

#include <vireo/support.h>

int CDemoGame::MessageProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case EMSG_EG_INIT:
        WriteLog(1, L"Demo: init, data folder '%s'", m_strDataFolder.c_str());
        break;
    case EMSG_EG_GAME_UPDATE:
        ++m_nGameTicks;
        break;
    case EMSG_EG_FRAME_END:
        ++m_nFrames;
        break;
    case EMSG_EG_DESTROY:
        WriteLog(1, L"Demo: destroy after %u frames, %u game ticks", m_nFrames, m_nGameTicks);
        break;
    default:
        break;
    }
    return CGameEngine::MessageProc(msg, wParam, lParam);
}
