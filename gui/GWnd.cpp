// CGWnd: creation with its package and font, the tree, focus and capture, the routing of
// SendMessage, drawing (DoRender/OnRender), the mouse step that focuses, raises and drags,
// moves and sizes. Dialog, button and edit behaviour live in their own files.
#include "gui/TextCaret.h"
#include "support/WideFormat.h"

#include <vireo/engine.h>
#include <vireo/support.h>

#include <algorithm>

namespace {
constexpr DWORD kTextColor = 0xFF000000;
constexpr DWORD kDebugTextColor = 0xFFFFFFFF;
} // namespace

CGWnd::CGWnd() = default;

CGWnd::~CGWnd()
{
    // A dead window must not stay reachable from its parent or the context.
    if (m_pParent) {
        auto& siblings = m_pParent->m_Children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    for (CGWnd* child : m_Children)
        child->m_pParent = nullptr;
    if (m_pContext) {
        if (m_pContext->pFocusWnd == this)
            m_pContext->pFocusWnd = nullptr;
        if (m_pContext->pCaptureWnd == this)
            m_pContext->pCaptureWnd = nullptr;
    }
}

int CGWnd::Create(CGWnd* pParent, UINT nID, BYTE byType, DWORD dwStyle, int x, int y, const wchar_t* szResPath, int cx,
                  int cy, const tagSIZE4* pSize4)
{
    if (pParent)
        m_pContext = pParent->m_pContext;
    if (szResPath && *szResPath) {
        if (m_pResource)
            ShowMessageBox(L"CGWnd::Create 函数被调用了两次  ResPath=%s", szResPath);
        m_strResPath = szResPath;
        CGameEngine* engine = GetGameEngine();
        m_pResource = engine ? engine->GetRenderSystem()->CreateResource(szResPath) : nullptr;
        // A package that could not be made leaves no background and a zero size as given.
        if (m_pResource && m_pResource->IsPictureExist(0)) {
            CPicture* background = m_pResource->GetPicture(0);
            if (cx == 0)
                cx = background->Width();
            if (cy == 0)
                cy = background->Height();
        }
    }
    m_pParent = pParent;
    if (pParent)
        pParent->m_Children.push_back(this);
    m_nID = nID;
    m_byType = byType;
    m_dwStyle = dwStyle;
    if (!pParent && m_pContext)
        m_pContext->pFocusWnd = this;
    m_rcWindow = MakeRect(x, y, cx, cy);
    if (pSize4)
        m_size4 = *pSize4;
    if (CGameEngine* engine = GetGameEngine())
        m_pFont = engine->GetRenderSystem()->CreateEngineFont(L"Tahoma", 13, 0, 3);
    return OnCreate();
}

int CGWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == EMSG_EG_UI_UPDATE) {
        // Copy: a handler may add or remove windows while the update walks the tree.
        const std::vector<CGWnd*> children = m_Children;
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            if ((*it)->m_bEnabled && (*it)->m_bVisible)
                (*it)->SendMessage(msg, wParam, lParam);
        return MessageProc(msg, wParam, lParam);
    }
    if (msg == EMSG_IS_UI_KEYBOARD_INPUT || msg == WM_CHAR) {
        if (m_bEnabled && m_bVisible && MessageProc(msg, wParam, lParam))
            return 1;
        return m_pParent ? m_pParent->SendMessage(msg, wParam, lParam) : 0;
    }
    if (msg == EMSG_IS_UI_MOUSE_INPUT) {
        if (!m_bEnabled || !m_bVisible)
            return 0;
        if (CGWnd* capture = GetCapture())
            return capture->MessageProc(msg, wParam, lParam);
        const CInputSystem* input = GetInput();
        const POINT cursor = input ? input->GetCursorPos() : POINT{0, 0};
        const std::vector<CGWnd*> children = m_Children;
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            if ((*it)->IsPtInWindow(cursor) && (*it)->SendMessage(msg, wParam, lParam))
                return 1;
        return MessageProc(msg, wParam, lParam);
    }
    if (msg >= EMSG_UI_FIRST && msg <= EMSG_UI_LAST)
        return MessageProc(msg, wParam, lParam);
    return 0;
}

int CGWnd::MessageProc(UINT msg, WPARAM, LPARAM)
{
    if (msg == EMSG_IS_UI_MOUSE_INPUT && MouseStep())
        return 1;
    return 0;
}

int CGWnd::MouseStep()
{
    const CInputSystem* input = GetInput();
    if (!input)
        return 0;
    const POINT cursor = input->GetCursorPos();
    if (!IsPtInWindow(cursor) && GetCapture() != this)
        return 0;
    const KEYSTATE left = input->CheckKeyState(MOUSE_LBUTTON);
    if (left == KS_UP) {
        if (m_bDragging)
            SetCapture(0);
        m_bDragging = FALSE;
        return 1;
    }
    if (left == KS_DOWN) {
        if (!m_bDragging) {
            if (!CheckStyle(GWS_FOCUSONHOVER))
                SetFocus();
            SetCapture(1);
            BringWindowToTop();
            m_ptDragCursor = cursor;
            m_rcDragWindow = m_rcWindow;
            m_bDragging = TRUE;
        } else if (!m_bLockPosition) {
            MoveWindow(m_rcDragWindow.left + cursor.x - m_ptDragCursor.x,
                       m_rcDragWindow.top + cursor.y - m_ptDragCursor.y);
        }
        return 1;
    }
    if (input->CheckKeyState(MOUSE_RBUTTON) == KS_UP && !CheckStyle(GWS_FOCUSONHOVER))
        SetFocus();
    return 1;
}

void CGWnd::SetFocus()
{
    WriteLog(4, L"SetFocus p=0x%08llx, Res=%s", vireo::AddressValue(this), m_strResPath.c_str());
    if (m_pContext)
        m_pContext->pFocusWnd = this;
    const LPARAM self = reinterpret_cast<LPARAM>(this);
    MessageProc(EMSG_UI_SET_FOCUS, m_nID, self);
    if (m_pDialog)
        m_pDialog->SendMessage(EMSG_UI_SET_FOCUS, m_nID, self);
}

void CGWnd::SendCtrlEvent(UINT msg)
{
    const LPARAM self = reinterpret_cast<LPARAM>(this);
    MessageProc(msg, m_nID, self);
    if (m_pDialog)
        m_pDialog->SendMessage(msg, m_nID, self);
}

void CGWnd::SetCapture(int bCapture)
{
    if (!m_pContext)
        return;
    m_pContext->pCaptureWnd = bCapture ? this : nullptr;
    const std::wstring file = m_pResource ? m_pResource->GetResFilePath() : std::wstring();
    WriteLog(1, L"Capture=%d, Pointer=0x%08llx, Res=%s", bCapture, vireo::AddressValue(this), file.c_str());
}

CGWnd* CGWnd::GetChild(int i) const
{
    return i >= 0 && i < static_cast<int>(m_Children.size()) ? m_Children[static_cast<std::size_t>(i)] : nullptr;
}

void CGWnd::BringWindowToTop()
{
    CGWnd* dialog = this;
    while (dialog && !(dialog->m_byType == GWT_DIALOG && dialog->m_pParent))
        dialog = dialog->m_pParent;
    if (!dialog)
        return;
    auto& siblings = dialog->m_pParent->m_Children;
    auto found = std::find(siblings.begin(), siblings.end(), dialog);
    if (found != siblings.end())
        std::rotate(found, found + 1, siblings.end());
}

void CGWnd::ShowWindow(int nCmdShow)
{
    if (nCmdShow == SW_HIDE) {
        m_bVisible = FALSE;
        vireo::gui::ReleaseTextCaretWithin(this);
    } else if (nCmdShow == SW_SHOW) {
        m_bVisible = TRUE;
    }
}

void CGWnd::EnableWindow(BOOL bEnable)
{
    m_bEnabled = bEnable;
    if (!bEnable)
        vireo::gui::ReleaseTextCaretWithin(this);
}

void CGWnd::GetWindowRect(RECT* pRect) const
{
    if (pRect)
        *pRect = m_rcWindow;
}

POINT CGWnd::AbsOrigin() const
{
    POINT origin{m_rcWindow.left, m_rcWindow.top};
    for (const CGWnd* p = m_pParent; p; p = p->m_pParent) {
        origin.x += p->m_rcWindow.left;
        origin.y += p->m_rcWindow.top;
    }
    return origin;
}

void CGWnd::GetWindowRectAbs(RECT* pRect) const
{
    if (!pRect)
        return;
    const POINT origin = AbsOrigin();
    *pRect = MakeRect(origin.x, origin.y, Width(), Height());
}

void CGWnd::MoveWindow(int x, int y)
{
    if (m_pParent)
        m_rcWindow = MakeRect(x, y, Width(), Height());
}

void CGWnd::OffsetWindow(int dx, int dy)
{
    if (m_pParent)
        MoveWindow(m_rcWindow.left + dx, m_rcWindow.top + dy);
}

void CGWnd::CenterWindow()
{
    if (m_pParent)
        MoveWindow((m_pParent->Width() - Width()) / 2, (m_pParent->Height() - Height()) / 2);
}

void CGWnd::SetWindowSize(int cx, int cy)
{
    m_rcWindow.right = m_rcWindow.left + cx;
    m_rcWindow.bottom = m_rcWindow.top + cy;
}

BOOL CGWnd::IsPtInWindow(POINT pt) const
{
    RECT rect;
    GetWindowRectAbs(&rect);
    return pt.x >= rect.left && pt.x < rect.right && pt.y >= rect.top && pt.y < rect.bottom;
}

BOOL CGWnd::IsCursorInWindow() const
{
    const CInputSystem* input = GetInput();
    return input ? IsPtInWindow(input->GetCursorPos()) : FALSE;
}

void CGWnd::SetWindowTextValue(int n)
{
    wchar_t text[16];
    vireo::FormatWide(text, 16, L"%d", n);
    m_strText = text;
}

CInputSystem* CGWnd::GetInput() const
{
    CGameEngine* engine = GetGameEngine();
    return engine ? engine->GetInputSystem() : nullptr;
}

void CGWnd::DoRender()
{
    if (!m_bVisible)
        return;
    OnRender(kTextColor);
    SendMessage(EMSG_UI_DRAW_BACKGROUND, 0, 0);
    // Copy: a drawing handler may change the tree.
    const std::vector<CGWnd*> children = m_Children;
    for (CGWnd* child : children)
        child->DoRender();
    SendMessage(EMSG_UI_DRAW_FOREGROUND, 0, 0);
}

void CGWnd::OnRender(DWORD) const
{
    const POINT origin = AbsOrigin();
    if (m_pResource && m_pResource->IsPictureExist(0))
        m_pResource->GetPicture(0)->Draw(origin.x, origin.y);
    CGameEngine* engine = GetGameEngine();
    if (engine && engine->GetEngineParam()->bDebugMode) {
        wchar_t text[96];
        vireo::FormatWide(text, 96, L"x1=%d, y1=%d, x2=%d, y2=%d", m_rcWindow.left, m_rcWindow.top, m_rcWindow.right,
                          m_rcWindow.bottom);
        if (CEngineFont* font = engine->GetRenderSystem()->GetEngineFont())
            font->Draw(text, origin.x, origin.y, 0, 0, kDebugTextColor, DT_SINGLELINE | DT_WORDBREAK);
    }
    if (!m_strText.empty() && m_pFont)
        m_pFont->Draw(m_strText.c_str(), origin.x, origin.y, Width(), Height(), kTextColor,
                      DT_SINGLELINE | DT_WORDBREAK | DT_VCENTER);
}
