// CGDialog: makes and owns its controls, cycles the keyboard focus among its children with
// Tab and the arrows, presses the default button on Enter, and hands control events that
// nobody consumed to the game. Buttons and edit boxes behave in their own files.
#include <vireo/engine.h>

#include <algorithm>
#include <new>

CGDialog::~CGDialog()
{
    for (CGWnd* control : m_Controls)
        delete control;
    m_Controls.clear();
}

int CGDialog::Create(CGWnd* pParent, UINT nID, int x, int y, const wchar_t* szResPath, int cx, int cy)
{
    return CGWnd::Create(pParent, nID, GWT_DIALOG, 0, x, y, szResPath, cx, cy, nullptr);
}

CGWnd* CGDialog::AddCtrl(UINT nID, BYTE byType, int x, int y, const wchar_t* szResPath, DWORD dwStyle, int cx, int cy,
                         const tagSIZE4* pSize4)
{
    CGWnd* control = nullptr;
    if (byType == GWT_BUTTON || byType == GWT_CHECKBOX)
        control = new (std::nothrow) CGButton;
    else if (byType == GWT_EDIT)
        control = new (std::nothrow) CGEdit;
    else
        control = new (std::nothrow) CGWnd;
    if (!control)
        return nullptr;
    control->Create(this, nID, byType, dwStyle | GWS_CONTROL, x, y, szResPath, cx, cy, pSize4);
    control->SetDialog(this);
    m_Controls.push_back(control);
    if (dwStyle & GWS_DEFBUTTON)
        m_pDefaultButton = control;
    return control;
}

CGWnd* CGDialog::GetCtrl(UINT nID) const
{
    for (CGWnd* child : m_Children)
        if (child->GetID() == nID)
            return child;
    return nullptr;
}

void CGDialog::LockAllCtrl(BOOL bLock)
{
    for (CGWnd* child : m_Children)
        child->LockPosition(bLock);
}

int CGDialog::MessageProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == EMSG_IS_UI_KEYBOARD_INPUT)
        return KeyboardStep();
    const int result = CGWnd::MessageProc(msg, wParam, lParam);
    if (result == 0 && msg >= EMSG_UI_FIRST && msg <= EMSG_UI_LAST) {
        CGameEngine* engine = GetGameEngine();
        return engine ? engine->SendMessage(msg, wParam, lParam) : 0;
    }
    return result;
}

int CGDialog::KeyboardStep()
{
    const CInputSystem* input = GetInput();
    if (m_byType != GWT_DIALOG || !input)
        return 0;
    // The arrows take no modifier set: CheckKeyCombo with 0 asks for none held.
    if (input->CheckKeyCombo(DIK_TAB, 0) == KS_UP || input->CheckKeyCombo(DIK_DOWN, 0) == KS_UP ||
        input->CheckKeyCombo(DIK_RIGHT, 0) == KS_UP) {
        MoveFocus(1);
        return 1;
    }
    if (input->CheckKeyCombo(DIK_TAB, 4) == KS_UP || input->CheckKeyCombo(DIK_UP, 0) == KS_UP ||
        input->CheckKeyCombo(DIK_LEFT, 0) == KS_UP) {
        MoveFocus(-1);
        return 1;
    }
    if (!m_pDefaultButton)
        return 0;
    const KEYSTATE enter = input->CheckKeyCombo(DIK_RETURN, 0);
    const KEYSTATE padEnter = input->CheckKeyCombo(DIK_NUMPADENTER, 0);
    if (enter == KS_DOWN || padEnter == KS_DOWN) {
        m_pDefaultButton->SendCtrlEvent(EMSG_UI_BUTTON_DOWN);
        return 1;
    }
    if (enter == KS_UP || padEnter == KS_UP) {
        m_pDefaultButton->SendCtrlEvent(EMSG_UI_BUTTON_UP);
        return 1;
    }
    return 0;
}

void CGDialog::MoveFocus(int nStep)
{
    const int count = GetChildCount();
    if (count < 1)
        return;
    const auto found = std::find(m_Children.begin(), m_Children.end(), GetFocus());
    if (found == m_Children.end()) {
        m_Children.front()->SetFocus();
        return;
    }
    int index = static_cast<int>(found - m_Children.begin());
    for (int tries = 0; tries < count; ++tries) {
        index = (index + nStep + count) % count;
        CGWnd* child = m_Children[static_cast<std::size_t>(index)];
        if (child->IsEnabled() && child->GetType() != GWT_STATIC) {
            child->SetFocus();
            return;
        }
    }
}
