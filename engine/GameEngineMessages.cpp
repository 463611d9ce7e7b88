// CGameEngine's message road: SendMessage routing (GUI, then the render, sound and input
// systems, then the game), the default MessageProc's dispatch, and PrintMessage. What the
// drawing, hot-key and camera defaults do is in GameEngineDefaults.cpp.
#include <vireo/engine.h>
#include <vireo/support.h>

#include "engine/MessageNames.h"

int CGameEngine::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // Everything routed during EngineInit and the first frame goes to the log.
    if (m_Status.nUIUpdateCount == 0)
        WriteLog(1, L"CGameEngine::SendMessage  msg=%04d (%s)", static_cast<int>(msg), vireo::GetMessageName(msg));

    if (msg >= EMSG_UI_FIRST && msg <= EMSG_UI_LAST)
        return MessageProc(msg, wParam, lParam);

    if (m_pMainGWnd) {
        if (msg == EMSG_EG_UI_UPDATE || msg == EMSG_IS_UI_MOUSE_INPUT) {
            if (m_pMainGWnd->SendMessage(msg, wParam, lParam))
                return 1;
        } else {
            CGWnd* focus = m_pMainGWnd->GetFocus();
            // Game keyboard input is withheld while any child window has the focus.
            if (msg == EMSG_IS_GAME_KEYBOARD_INPUT && focus && focus != m_pMainGWnd)
                return 1;
            if (focus && focus->SendMessage(msg, wParam, lParam))
                return 1;
        }
    }

    // Every system sees what got this far; their answers do not stop the message.
    m_RenderSystem.SendMessage(msg, wParam, lParam);
    m_SoundSystem.SendMessage(msg, wParam, lParam);
    m_InputSystem.SendMessage(msg, wParam, lParam);

    return MessageProc(msg, wParam, lParam);
}

int CGameEngine::MessageProc(UINT msg, WPARAM, LPARAM)
{
    switch (msg) {
    case EMSG_RS_RENDER:
        DrawDefaultLayers();
        return 0;
    case EMSG_IS_UI_KEYBOARD_INPUT:
        return HandleHotKeys();
    case EMSG_IS_GAME_KEYBOARD_INPUT:
        SteerCameraByKeys();
        return 0;
    case EMSG_IS_GAME_MOUSE_INPUT:
        SteerCameraByMouse();
        return 0;
    case WM_DESTROY:
        EngineDestroy();
        return 1;
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        return 1;
    default:
        return 0;
    }
}

void CGameEngine::PrintMessage(const wchar_t* text)
{
    m_strMessage = text ? text : L"";
    ++m_nMessageCount;
}
