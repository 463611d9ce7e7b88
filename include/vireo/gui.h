// The engine's own GUI: CGWnd (one tree rooted at the main window that EngineInit makes),
// CGDialog with the controls it owns, CGButton (push buttons and check boxes) and CGEdit
// (one-line text entry). Windows draw with the engine's sprites and fonts inside the scene;
// there is no native window behind any of them.
#pragma once

#include <vireo/types.h>

#include <vireo/platform/Win32.h>

#include <string>
#include <vector>

class CGDialog;
class CResource;
class CEngineFont;
class CInputSystem;

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
    // not destroyed (their owners do that). The package and font belong to the registry.
    virtual ~CGWnd();
    CGWnd(const CGWnd&) = delete;
    CGWnd& operator=(const CGWnd&) = delete;

    // Routing of the tree: 2003 to every enabled, visible child (last first) and then here;
    // 5001 and WM_CHAR bubble up to the root; 5002 to the capture window, or down the
    // children under the cursor; the GUI range to this window's MessageProc.
    virtual int SendMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // Takes the context's focus and tells this window (and its dialog) with EMSG_UI_SET_FOCUS.
    virtual void SetFocus();
    // Draws this window (OnRender), then 6002, the children in order, then 6003. The caller
    // has begun the sprite batch. Hidden windows draw nothing, children included.
    virtual void DoRender();

    // With a resource path the package's picture 0 is the background, and a cx or cy of 0
    // takes its size. Without a parent the context must already be attached
    // (AttachContext); the root then takes the focus. Every window gets its own Tahoma
    // font. Returns OnCreate().
    int Create(CGWnd* pParent, UINT nID, BYTE byType, DWORD dwStyle, int x, int y, const wchar_t* szResPath, int cx,
               int cy, const tagSIZE4* pSize4);
    // Gives a root window its context; the engine does this for the main window.
    void AttachContext(SGuiContext* pContext) { m_pContext = pContext; }

    // Own MessageProc, then the dialog's SendMessage, with wParam = id and lParam = this.
    void SendCtrlEvent(UINT msg);

    CGWnd* GetFocus() const { return m_pContext ? m_pContext->pFocusWnd : nullptr; }
    CGWnd* GetCapture() const { return m_pContext ? m_pContext->pCaptureWnd : nullptr; }
    void SetCapture(int bCapture);
    // Whether this window holds the capture (what GetCapture tells), so a game can ask the
    // window itself during a drag.
    BOOL IsCapture() const { return GetCapture() == this; }

    CGWnd* GetParent() const { return m_pParent; }
    // Child i in drawing order (0 <= i < GetChildCount(); out of range gives null).
    CGWnd* GetChild(int i) const;
    int GetChildCount() const { return static_cast<int>(m_Children.size()); }
    // Raises the nearest dialog (this window or an ancestor) that has a parent to the end of
    // its parent's children: drawn last, hit-tested first.
    void BringWindowToTop();

    // 0 hides, 5 shows, anything else changes nothing. Hiding or disabling a window takes the
    // input method's caret from an edit box inside it.
    void ShowWindow(int nCmdShow);
    BOOL IsVisible() const { return m_bVisible; }
    void EnableWindow(BOOL bEnable);
    // Enabled only while also visible.
    BOOL IsEnabled() const { return m_bEnabled && m_bVisible; }
    // 1: dragging with the left button does not move the window (the default).
    void LockPosition(BOOL bLock) { m_bLockPosition = bLock; }

    void GetWindowRect(RECT* pRect) const;
    // The rectangle in scene coordinates: offset by every ancestor's top-left.
    void GetWindowRectAbs(RECT* pRect) const;
    int Width() const { return m_rcWindow.right - m_rcWindow.left; }
    int Height() const { return m_rcWindow.bottom - m_rcWindow.top; }
    // Moves, offsets and centres apply only to windows with a parent; the root stays put.
    void MoveWindow(int x, int y);
    void OffsetWindow(int dx, int dy);
    void CenterWindow();
    void SetWindowSize(int cx, int cy);
    void SetWindowSize(SIZE size) { SetWindowSize(size.cx, size.cy); }
    // Scene point inside the absolute rectangle, right and bottom edges excluded.
    BOOL IsPtInWindow(POINT pt) const;
    // The same for the input system's cursor (0 without an engine).
    BOOL IsCursorInWindow() const;

    // Null gives an empty text.
    void SetWindowText(const wchar_t* szText) { m_strText = szText ? szText : L""; }
    std::wstring GetWindowText() const { return m_strText; }
    void SetWindowTextValue(int n);

    UINT GetID() const { return m_nID; }
    BYTE GetType() const { return m_byType; }
    void SetType(BYTE byType) { m_byType = byType; }
    DWORD GetStyle() const { return m_dwStyle; }
    DWORD CheckStyle(DWORD dwMask) const { return m_dwStyle & dwMask; }
    CResource* GetResource() const { return m_pResource; }
    CEngineFont* GetWindowFont() { return m_pFont; }
    CGDialog* GetDialog() const { return m_pDialog; }
    void SetDialog(CGDialog* pDialog) { m_pDialog = pDialog; }

    void SetUserData(DWORD dwData) { m_dwUserData = dwData; }
    DWORD GetUserData() const { return m_dwUserData; }
    void SetUserDataPtr(void* pData) { m_pUserData = pData; }
    void* GetUserDataPtr() const { return m_pUserData; }

  protected:
    // CGWnd's own: 5002 runs the mouse step (focus, capture, raise, drag); 0 for the rest.
    virtual int MessageProc(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual int OnCreate() { return 1; }
    // Background (picture 0), the debug rectangle text in debug mode, and the window text.
    virtual void OnRender(DWORD dwColor) const;
    CGameEngine* GetGameEngine() const { return m_pContext ? m_pContext->pGameEngine : nullptr; }
    // The engine's input system, null when the window has no engine.
    CInputSystem* GetInput() const;
    // Absolute top-left of the window (scene coordinates).
    POINT AbsOrigin() const;

    CResource* m_pResource = nullptr;
    std::wstring m_strResPath;
    std::wstring m_strText;
    tagSIZE4 m_size4{2, 2, 2, 2};
    CEngineFont* m_pFont = nullptr;
    CGWnd* m_pParent = nullptr;
    std::vector<CGWnd*> m_Children;
    SGuiContext* m_pContext = nullptr;
    CGDialog* m_pDialog = nullptr;
    RECT m_rcWindow{0, 0, 0, 0};
    UINT m_nID = 0;
    DWORD m_dwStyle = 0;
    BYTE m_byType = GWT_WINDOW;
    BOOL m_bLockPosition = TRUE;
    BOOL m_bEnabled = TRUE;
    BOOL m_bVisible = TRUE;
    BOOL m_bDragging = FALSE;
    POINT m_ptDragCursor{0, 0};
    RECT m_rcDragWindow{0, 0, 0, 0};
    DWORD m_dwUserData = 0;
    void* m_pUserData = nullptr;

  private:
    int MouseStep();
};

// A window of type GWT_DIALOG that makes and owns its controls, moves the focus among them
// with Tab and the arrow keys, presses its default button on Enter, and passes control
// events nobody consumed on to the game.
class CGDialog : public CGWnd {
  public:
    CGDialog() = default;
    // Destroys every control AddCtrl made (not other windows attached to it).
    ~CGDialog() override;

    int Create(CGWnd* pParent, UINT nID, int x, int y, const wchar_t* szResPath, int cx, int cy);
    // Makes a CGButton for GWT_BUTTON and GWT_CHECKBOX, a CGEdit for GWT_EDIT, else a plain
    // CGWnd; GWS_CONTROL is added to the style; GWS_DEFBUTTON makes it the default button.
    CGWnd* AddCtrl(UINT nID, BYTE byType, int x, int y, const wchar_t* szResPath, DWORD dwStyle = 0, int cx = 0,
                   int cy = 0, const tagSIZE4* pSize4 = nullptr);
    // The first child with this id, null when none has it.
    CGWnd* GetCtrl(UINT nID) const;
    CGWnd* GetDefaultButton() const { return m_pDefaultButton; }
    // Sets the position lock of every child.
    void LockAllCtrl(BOOL bLock);

  protected:
    int MessageProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    int KeyboardStep();
    void MoveFocus(int nStep);

    std::vector<CGWnd*> m_Controls;
    CGWnd* m_pDefaultButton = nullptr;
};

enum GBUTTONSTATE {
    GBS_NORMAL = 0,
    GBS_HOVER = 1, // under the mouse or holding the focus
    GBS_DOWN = 2,
};

// Push button (GWT_BUTTON) and check box (GWT_CHECKBOX): a visual state that follows the
// mouse, the keyboard and the focus, drawn from picture state + 4 * check of its package;
// presses (6006), releases (6007) and state changes (6008) go to itself and its dialog.
class CGButton : public CGWnd {
  public:
    CGButton() = default;
    ~CGButton() override = default;

    // Stores the state and sends 6008, unless GWS_FIXEDSTATE is set or the state is the same
    // (GBS_HOVER is sent again even then).
    void SetButtonState(GBUTTONSTATE eState);
    GBUTTONSTATE GetButtonState() const { return m_eState; }
    // Stored for the game; no behaviour of the button reads it.
    void SetButtonStyle(BYTE byStyle) { m_byButtonStyle = byStyle; }
    BYTE GetButtonStyle() const { return m_byButtonStyle; }
    int GetCheck() const { return m_nCheck; }
    void SetCheck(int nCheck) { m_nCheck = nCheck ? 1 : 0; }

  protected:
    int MessageProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    int OnCreate() override { return 1; }
    void OnRender(DWORD dwColor) const override;

  private:
    int KeyboardStep();
    void MouseStep();
    void UpdateStep();

    BYTE m_byButtonStyle = 0;
    int m_nCheck = 0;
    GBUTTONSTATE m_eState = GBS_NORMAL;
};

// One-line text entry: typed characters (WM_CHAR) are appended to the window text,
// Backspace removes the last character, Ctrl+V replaces the text with the clipboard's. No
// caret position, selection or length limit: editing happens at the end of the text.
class CGEdit : public CGWnd {
  public:
    CGEdit();
    // Gives the input method's caret back if this box holds it.
    ~CGEdit() override;

  protected:
    int MessageProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnRender(DWORD dwColor) const override;

  private:
    void OnChar(wchar_t ch);
    void Paste();
    // Scene rectangles of the text line and of the caret after the text.
    RECT TextRect() const;
    RECT CaretRect() const;
    void DrawFrame() const;

    // A high surrogate waiting for its low half: characters outside the basic plane arrive
    // as two WM_CHAR, as on Win32, and are stored as one code point.
    wchar_t m_chHighSurrogate = 0;
};
