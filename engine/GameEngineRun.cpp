// CGameEngine's frame loop: Run with its frame cap, pause hand-over, minimised state and the
// one-second FPS window, plus PauseGame, SetGameUpdateCount and TickToFrame.
// Timing reads the performance counter only; no frame ever fails.
#include <vireo/engine.h>
#include <vireo/support.h>

LONGLONG CGameEngine::TicksToMs(LONGLONG ticks) const
{
    // Multiply first, then divide, truncating, as the frame cap is defined.
    return ticks * 1000 / m_llFrequency;
}

void CGameEngine::Run()
{
    if (!m_bActive)
        return;

    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    m_llCurFrame = counter.QuadPart;

    if (m_Param.wFPS != 0) {
        const LONGLONG elapsed = TicksToMs(m_llCurFrame - m_llPrevFrame);
        // Too early (or a counter that went back): the next call measures from the same point.
        if (elapsed < 0 || elapsed < 1000 / m_Param.wFPS)
            return;
    }

    m_Status.bMinimized = IsIconic(m_Param.hWnd);

    if (m_Status.bPaused != m_bPauseRequest) {
        m_Status.bPaused = m_bPauseRequest;
        SendMessage(EMSG_EG_PAUSE_CHANGE, 0, 0);
    }

    SendMessage(EMSG_EG_FRAME_BEGIN, 0, 0);
    m_InputSystem.UpdateEngineSystem();
    SendMessage(EMSG_EG_UI_UPDATE, 0, 0);
    if (!m_Status.bPaused)
        SendMessage(EMSG_EG_GAME_UPDATE, 0, 0);
    m_RenderSystem.UpdateEngineSystem();
    m_SoundSystem.UpdateEngineSystem();

    SendMessage(EMSG_EG_FRAME_END, 0, 0);
    QueryPerformanceCounter(&counter);
    const LONGLONG sinceSecond = TicksToMs(counter.QuadPart - m_llSecondStart);
    if (sinceSecond >= 1000) {
        m_Status.wFPS = m_wFrameCount;
        m_wFrameCount = 0;
        m_llSecondStart = counter.QuadPart;
    }
    ++m_wFrameCount;
    ++m_Status.nUIUpdateCount;
    if (!m_Status.bPaused)
        ++m_Status.nGameUpdateCount;

    m_llPrevFrame = m_llCurFrame;
    Sleep(0);
}

void CGameEngine::PauseGame(BOOL bPause)
{
    m_bPauseRequest = bPause;
}

void CGameEngine::SetGameUpdateCount(DWORD n)
{
    m_Status.nGameUpdateCount = n;
    WriteLog(2, L"GameUpdateCount set to %d", static_cast<int>(n));
}

DWORD CGameEngine::TickToFrame(DWORD ms) const
{
    if (m_ParamInit.wFPS == 0)
        return 0;
    const DWORD frameLength = 1000u / m_ParamInit.wFPS;
    // Above 1000 FPS a frame is shorter than a millisecond: count each millisecond as one.
    return frameLength == 0 ? ms : ms / frameLength;
}
