// The engine's own windows: CGWnd, one tree rooted at the main window that EngineInit makes.
// This part holds what message routing needs: creation, the tree links, visibility, focus,
// capture and the routing of SendMessage. Drawing, resources, fonts and dragging are added
// by the GUI work.
#pragma once

#include <vireo/types.h>

#include <string>
#include <vector>

class CGDialog;

// Four border widths.
struct tagSIZE4 {
    int nLeft;
    int nTop;
    int nRight;
    int nBottom;
};

// Window types.
constexpr BYTE GWT_WINDOW = 0;
constexpr BYTE GWT_STATIC = 1;
constexpr BYTE GWT_DIALOG = 2;
constexpr BYTE GWT_BUTTON = 3;
constexpr BYTE GWT_EDIT = 4;
constexpr BYTE GWT_CHECKBOX = 5;

// Style bits.
constexpr DWORD GWS_CONTROL = 0x1;
constexpr DWORD GWS_DEFBUTTON = 0x2;
constexpr DWORD GWS_FIXEDSTATE = 0x4;
constexpr DWORD GWS_FOCUSONHOVER = 0x8;

class CGWnd {
  public:
    CGWnd();
    // Detaches from the parent and gives up the focus and capture it holds; children are
    // not destroyed (their owners do that).
    virtual ~CGWnd();
    CGWnd(const CGWnd&) = delete;
    CGWnd& operator=(const CGWnd&) = delete;

    // Routing of the tree: 2003 to every enabled, visible child (last first) and then here;
    // 5001 and WM_CHAR bubble up to the root; 5002 to the capture window, or down the
    // children under the cursor; the GUI range to this window's MessageProc.
    virtual int SendMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // Takes the context's focus and tells this window (and its dialog) with EMSG_UI_SET_FOCUS.
    virtual void SetFocus();

    // Without a parent the context must already be attached (AttachContext); the root then
    // takes the focus. Returns OnCreate().
    int Create(CGWnd* pParent, UINT nID, BYTE byType, DWORD dwStyle, int x, int y, const wchar_t* szResPath, int cx,
               int cy, const tagSIZE4* pSize4);
    // Gives a root window its context; the engine does this for the main window.
    void AttachContext(SGuiContext* pContext) { m_pContext = pContext; }

    CGWnd* GetFocus() const { return m_pContext ? m_pContext->pFocusWnd : nullptr; }
    CGWnd* GetCapture() const { return m_pContext ? m_pContext->pCaptureWnd : nullptr; }
    void SetCapture(int bCapture);
    BOOL IsCapture() const { return m_bCapture; }

    CGWnd* GetParent() const { return m_pParent; }
    // Child i in drawing order (0 <= i < GetChildCount(); out of range gives null).
    CGWnd* GetChild(int i) const;
    int GetChildCount() const { return static_cast<int>(m_Children.size()); }

    // 0 hides, 5 shows, anything else changes nothing.
    void ShowWindow(int nCmdShow);
    BOOL IsVisible() const { return m_bVisible; }
    void EnableWindow(BOOL bEnable) { m_bEnabled = bEnable; }
    // Enabled only while also visible.
    BOOL IsEnabled() const { return m_bEnabled && m_bVisible; }

    void GetWindowRect(RECT* pRect) const;
    // The rectangle in scene coordinates: offset by every ancestor's top-left.
    void GetWindowRectAbs(RECT* pRect) const;
    // Scene point inside the absolute rectangle, right and bottom edges excluded.
    BOOL IsPtInWindow(POINT pt) const;

    UINT GetID() const { return m_nID; }
    BYTE GetType() const { return m_byType; }
    DWORD GetStyle() const { return m_dwStyle; }
    DWORD CheckStyle(DWORD dwMask) const { return m_dwStyle & dwMask; }
    CGDialog* GetDialog() const { return m_pDialog; }
    void SetDialog(CGDialog* pDialog) { m_pDialog = pDialog; }

  protected:
    virtual int MessageProc(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual int OnCreate() { return 1; }
    CGameEngine* GetGameEngine() const { return m_pContext ? m_pContext->pGameEngine : nullptr; }

    std::wstring m_strResPath;
    std::wstring m_strText;
    tagSIZE4 m_size4{2, 2, 2, 2};
    CGWnd* m_pParent = nullptr;
    std::vector<CGWnd*> m_Children;
    SGuiContext* m_pContext = nullptr;
    CGDialog* m_pDialog = nullptr;
    RECT m_rcWindow{0, 0, 0, 0};
    UINT m_nID = 0;
    DWORD m_dwStyle = 0;
    BYTE m_byType = GWT_WINDOW;
    BOOL m_bLockPosition = TRUE;
    BOOL m_bCapture = FALSE;
    BOOL m_bEnabled = TRUE;
    BOOL m_bVisible = TRUE;
};
