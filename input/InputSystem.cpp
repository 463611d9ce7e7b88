// CInputSystem's share of the frame: the foreground test, the input blocks and the four input
// messages (5002, 5001, then 5004 and 5003 unless consumed or paused), and the clearing on
// WM_ACTIVATE. Reading the DirectInput devices, the cursor, and recording and replay are
// added with the input work; until then the blocks carry no device input.
#include <vireo/engine.h>
#include <vireo/support.h>

#include <cstring>

CInputSystem::CInputSystem() = default;

CInputSystem::~CInputSystem() = default;

BOOL CInputSystem::Init()
{
    m_hWnd = m_pGameEngine->GetEngineParam()->hWnd;
    ClearAllInputState();
    return TRUE;
}

void CInputSystem::Update()
{
    // Another window in front: nothing is read and nothing is sent.
    if (GetForegroundWindow() != m_hWnd && !m_bReplaying)
        return;
    m_ptCursorPre = m_ptCursor;

    m_pCurrent = &m_Live;
    m_pGameEngine->SendMessage(EMSG_IS_UI_MOUSE_INPUT, 0, 0);
    // The GUI or the game took the keyboard: no game input this frame.
    if (m_pGameEngine->SendMessage(EMSG_IS_UI_KEYBOARD_INPUT, 0, 0))
        return;
    if (m_pGameEngine->GetEngineStatus()->bPaused)
        return;
    m_pGameEngine->SendMessage(EMSG_IS_GAME_MOUSE_INPUT, 0, 0);
    m_pGameEngine->SendMessage(EMSG_IS_GAME_KEYBOARD_INPUT, 0, 0);
}

int CInputSystem::MessageProc(UINT msg, WPARAM, LPARAM)
{
    if (msg == WM_ACTIVATE)
        ClearUserInput();
    else if (msg == EMSG_EG_DESTROY)
        WriteLog(1, L"RecordInput(%d)", 0);
    return 0;
}

KEYSTATE CInputSystem::CheckKeyEvent(int nIndex) const
{
    return nIndex >= 0 && nIndex < INPUT_INDEX_COUNT ? m_pCurrent->event[nIndex] : KS_NONE;
}

KEYSTATE CInputSystem::CheckKeyState(int nIndex) const
{
    return nIndex >= 0 && nIndex < INPUT_INDEX_COUNT ? m_pCurrent->state[nIndex] : KS_NONE;
}

void CInputSystem::ClearUserInput()
{
    WriteLog(1, L"ClearUserInput");
    std::memset(&m_Live, 0, sizeof m_Live);
}

void CInputSystem::ClearAllInputState()
{
    WriteLog(1, L"ClearAllInputState");
    std::memset(&m_Live, 0, sizeof m_Live);
    std::memset(&m_Second, 0, sizeof m_Second);
}
