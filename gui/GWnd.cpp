// CGWnd's tree, focus, capture and message routing. Drawing (DoRender/OnRender), resources,
// fonts and the mouse step that drags and focuses windows are added by the GUI work; until
// then MessageProc handles nothing and the routing is complete.
#include "support/WideFormat.h"

#include <vireo/engine.h>
#include <vireo/support.h>

#include <algorithm>

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
    if (szResPath && *szResPath) {
        // The package behind the path (background picture, default size) is made by the
        // render registry, which the GUI work connects; the path is kept for it.
        m_strResPath = szResPath;
    }
    m_pParent = pParent;
    if (pParent)
        pParent->m_Children.push_back(this);
    m_nID = nID;
    m_byType = byType;
    m_dwStyle = dwStyle;
    if (pParent) {
        m_pContext = pParent->m_pContext;
    } else if (m_pContext) {
        m_pContext->pFocusWnd = this;
    }
    m_rcWindow = MakeRect(x, y, cx, cy);
    if (pSize4)
        m_size4 = *pSize4;
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
        CGameEngine* engine = GetGameEngine();
        const POINT cursor = engine ? engine->GetInputSystem()->GetCursorPos() : POINT{0, 0};
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

int CGWnd::MessageProc(UINT, WPARAM, LPARAM)
{
    return 0;
}

void CGWnd::SetFocus()
{
    WriteLog(4, L"SetFocus p=0x%08llx, Res=%s", vireo::AddressValue(this), m_strResPath.c_str());
    if (m_pContext)
        m_pContext->pFocusWnd = this;
    MessageProc(EMSG_UI_SET_FOCUS, m_nID, reinterpret_cast<LPARAM>(this));
    // The dialog's routing joins here with the dialog class.
}

void CGWnd::SetCapture(int bCapture)
{
    if (!m_pContext)
        return;
    m_pContext->pCaptureWnd = bCapture ? this : nullptr;
    WriteLog(1, L"Capture=%d, Pointer=0x%08llx, Res=%s", bCapture, vireo::AddressValue(this), L"");
}

CGWnd* CGWnd::GetChild(int i) const
{
    return i >= 0 && i < static_cast<int>(m_Children.size()) ? m_Children[static_cast<std::size_t>(i)] : nullptr;
}

void CGWnd::ShowWindow(int nCmdShow)
{
    if (nCmdShow == SW_HIDE)
        m_bVisible = FALSE;
    else if (nCmdShow == SW_SHOW)
        m_bVisible = TRUE;
}

void CGWnd::GetWindowRect(RECT* pRect) const
{
    if (pRect)
        *pRect = m_rcWindow;
}

void CGWnd::GetWindowRectAbs(RECT* pRect) const
{
    if (!pRect)
        return;
    RECT rect = m_rcWindow;
    for (const CGWnd* p = m_pParent; p; p = p->m_pParent) {
        rect.left += p->m_rcWindow.left;
        rect.right += p->m_rcWindow.left;
        rect.top += p->m_rcWindow.top;
        rect.bottom += p->m_rcWindow.top;
    }
    *pRect = rect;
}

BOOL CGWnd::IsPtInWindow(POINT pt) const
{
    RECT rect;
    GetWindowRectAbs(&rect);
    return pt.x >= rect.left && pt.x < rect.right && pt.y >= rect.top && pt.y < rect.bottom;
}
