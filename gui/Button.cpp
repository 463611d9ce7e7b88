// CGButton: the push button and check box. Its visual state follows the mouse, keys and
// focus; each change is a 6008 control event, presses and releases are 6006 and 6007. The
// drag, focus and capture of a left press stay with CGWnd's mouse step.
#include <vireo/engine.h>
#include <vireo/support.h>

namespace {
constexpr DWORD kBrighten = 0xFF7F7F7F; // added to a normal picture that stands in for a hover one
}

void CGButton::SetButtonState(GBUTTONSTATE eState)
{
    if (CheckStyle(GWS_FIXEDSTATE))
        return;
    if (eState == m_eState && eState != GBS_HOVER)
        return;
    m_eState = eState;
    SendCtrlEvent(EMSG_UI_BUTTON_STATE_CHANGE);
}

int CGButton::MessageProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case EMSG_EG_UI_UPDATE:
        UpdateStep();
        break;
    case EMSG_IS_UI_KEYBOARD_INPUT:
        if (KeyboardStep())
            return 1;
        break;
    case EMSG_IS_UI_MOUSE_INPUT:
        MouseStep();
        break;
    case EMSG_UI_SET_FOCUS:
        if (m_eState == GBS_NORMAL)
            SetButtonState(GBS_HOVER);
        break;
    case EMSG_UI_BUTTON_DOWN:
        if (m_eState == GBS_DOWN)
            return 1;
        SetButtonState(GBS_DOWN);
        break;
    case EMSG_UI_BUTTON_UP:
        SetButtonState(GBS_NORMAL);
        if (m_byType == GWT_CHECKBOX)
            m_nCheck = m_nCheck ? 0 : 1;
        break;
    case EMSG_UI_BUTTON_STATE_CHANGE: {
        // The focus jumps from one push button to the one that lights up.
        CGWnd* focus = GetFocus();
        if (m_eState == GBS_HOVER && focus && focus != this && focus->GetType() == GWT_BUTTON)
            SetFocus();
        break;
    }
    default:
        break;
    }
    return CGWnd::MessageProc(msg, wParam, lParam);
}

int CGButton::KeyboardStep()
{
    const CInputSystem* input = GetInput();
    if (!input || GetFocus() != this)
        return 0;
    const KEYSTATE keys[] = {input->CheckKeyEvent(DIK_RETURN), input->CheckKeyEvent(DIK_NUMPADENTER),
                             input->CheckKeyEvent(DIK_SPACE)};
    for (KEYSTATE key : keys)
        if (key == KS_DOWN) {
            SendCtrlEvent(EMSG_UI_BUTTON_DOWN);
            return 1;
        }
    for (KEYSTATE key : keys)
        if (key == KS_UP) {
            SendCtrlEvent(EMSG_UI_BUTTON_UP);
            return 1;
        }
    return 0;
}

void CGButton::MouseStep()
{
    const CInputSystem* input = GetInput();
    if (!input)
        return;
    const GBUTTONSTATE entry = m_eState;
    const bool over = IsCursorInWindow();
    const D3DXVECTOR3 move = input->GetCursorMove();
    if (over && (move.x != 0 || move.y != 0) && CheckStyle(GWS_FOCUSONHOVER) && GetFocus() != this)
        SetFocus();
    const KEYSTATE left = input->CheckKeyEvent(MOUSE_LBUTTON);
    if (over && left == KS_UP)
        SendCtrlEvent(EMSG_UI_BUTTON_UP);
    if (!over && GetCapture() != this)
        return;
    if (left == KS_DOWN) {
        RECT rect;
        GetWindowRectAbs(&rect);
        CGameEngine* engine = GetGameEngine();
        WriteLog(4,
                 L"pIS->CheckKeyEvent(MOUSE_LBUTTON) == KS_DOWN    WndID=%d, UIUpdateCount=%d, "
                 L"WndRect=%d,%d,%d,%d",
                 m_nID, engine ? static_cast<int>(engine->GetEngineStatus()->nUIUpdateCount) : 0, rect.left, rect.top,
                 rect.right, rect.bottom);
        SendCtrlEvent(EMSG_UI_BUTTON_DOWN);
        return;
    }
    if (entry == GBS_NORMAL)
        SetButtonState(GBS_HOVER);
}

void CGButton::UpdateStep()
{
    const CInputSystem* input = GetInput();
    if (!input)
        return;
    if (GetFocus() == this && m_eState == GBS_NORMAL) {
        SetButtonState(GBS_HOVER);
        return;
    }
    const bool held = input->CheckKeyState(MOUSE_LBUTTON) == KS_DOWN;
    if (!IsCursorInWindow()) {
        if (m_eState == GBS_HOVER && GetFocus() != this)
            SetButtonState(GBS_NORMAL);
        else if (m_eState == GBS_DOWN && held)
            SetButtonState(GBS_NORMAL); // the press is cancelled: no 6007
        return;
    }
    if (held && m_eState != GBS_DOWN)
        SetButtonState(GBS_DOWN);
}

void CGButton::OnRender(DWORD dwColor) const
{
    const POINT origin = AbsOrigin();
    CPicture* picture = nullptr;
    if (m_pResource) {
        int index = m_eState + 4 * m_nCheck;
        if (!m_pResource->IsPictureExist(index)) {
            if (m_eState == GBS_HOVER)
                dwColor = kBrighten;
            index = 4 * m_nCheck;
            if (!m_pResource->IsPictureExist(index))
                index = 0;
        }
        if (m_pResource->IsPictureExist(index))
            picture = m_pResource->GetPicture(index);
    }
    // The colour operation ends as MODULATE even without a picture, so what the windows after
    // this one draw does not depend on whether it had one.
    if (CGameEngine* engine = GetGameEngine()) {
        CRenderSystem* render = engine->GetRenderSystem();
        render->SetPictureColorOP(D3DTOP_ADDSMOOTH);
        if (picture)
            picture->Draw(origin.x, origin.y, nullptr, nullptr, &dwColor);
        render->SetPictureColorOP(D3DTOP_MODULATE);
    }
    int x = origin.x;
    int y = origin.y;
    if (m_eState == GBS_DOWN) {
        x += m_size4.nRight / 2;
        y += m_size4.nBottom / 2;
    }
    if (!m_strText.empty() && m_pFont)
        m_pFont->Draw(m_strText.c_str(), x, y, Width(), Height(), 0xFF000000,
                      DT_SINGLELINE | DT_WORDBREAK | DT_VCENTER | DT_CENTER);
}
