// Records, message ids and the system base class shared by every family of the engine:
// SEngineParam, SEngineStatus, SGuiContext, the EMSG_* ids and CEngineSystem.
// Deliberately no behaviour beyond CEngineSystem's start and update protocol.
#pragma once

#include <vireo/platform/Win32.h>

class CGameEngine;
class CGWnd;

// ---- engine messages ---------------------------------------------------------------------
// One id with two pointer-sized parameters, handled by MessageProc; non-zero means handled.
constexpr UINT EMSG_EG_INIT = 2001;
constexpr UINT EMSG_EG_CLEAR = 2002; // never sent; kept for the name table
constexpr UINT EMSG_EG_UI_UPDATE = 2003;
constexpr UINT EMSG_EG_GAME_UPDATE = 2004;
constexpr UINT EMSG_EG_DESTROY = 2005;
constexpr UINT EMSG_EG_PAUSE_CHANGE = 2006;
constexpr UINT EMSG_EG_FRAME_BEGIN = 2007;
constexpr UINT EMSG_EG_FRAME_END = 2008;

constexpr UINT EMSG_RS_RENDER_BEGIN = 3001;
constexpr UINT EMSG_RS_RENDER = 3002;
constexpr UINT EMSG_RS_DEVICE_LOST = 3003;
constexpr UINT EMSG_RS_DEVICE_RESET = 3004;

constexpr UINT EMSG_IS_UI_KEYBOARD_INPUT = 5001;
constexpr UINT EMSG_IS_UI_MOUSE_INPUT = 5002;
constexpr UINT EMSG_IS_GAME_KEYBOARD_INPUT = 5003;
constexpr UINT EMSG_IS_GAME_MOUSE_INPUT = 5004;

constexpr UINT EMSG_UI_FIRST = 6001; // lower end of the GUI range; never sent
constexpr UINT EMSG_UI_DRAW_BACKGROUND = 6002;
constexpr UINT EMSG_UI_DRAW_FOREGROUND = 6003;
constexpr UINT EMSG_UI_SET_FOCUS = 6005;
constexpr UINT EMSG_UI_BUTTON_DOWN = 6006;
constexpr UINT EMSG_UI_BUTTON_UP = 6007;
constexpr UINT EMSG_UI_BUTTON_STATE_CHANGE = 6008;
constexpr UINT EMSG_UI_LAST = 6009; // upper end of the GUI range; never sent

// ---- records -----------------------------------------------------------------------------
// Filled by the game and copied by CGameEngine::EngineInit.
struct SEngineParam {
    HWND hWnd;
    SIZE sizeScene;  // logical scene size in pixels (the back buffer)
    SIZE sizeWindow; // client size; (0, 0) means "take the client size of hWnd"
    WORD wFPS;       // target frames per second; 0 means no cap
    BOOL bCenterWindow;
    BOOL bDebugMode;
    BOOL bEnableDepth;
};

// Kept by the engine; GetEngineStatus returns a pointer to the live record.
struct SEngineStatus {
    WORD wFPS;              // frames counted in the last complete second
    DWORD nUIUpdateCount;   // completed frames; 0 until the first frame has ended
    DWORD nGameUpdateCount; // completed frames in which the game was not paused
    BOOL bMinimized;
    BOOL bPaused;
    BOOL bShowStatus;
    BOOL bWireframe;
};

// Shared by every window of one GUI tree; made and freed by the engine.
struct SGuiContext {
    DWORD dwReserved;
    CGWnd* pFocusWnd;
    CGWnd* pCaptureWnd;
    CGameEngine* pGameEngine;
};

// ---- engine systems ----------------------------------------------------------------------
// Base of the render, input and sound systems: the engine starts each with InitEngineSystem
// and drives it once a frame with UpdateEngineSystem.
class CEngineSystem {
  public:
    CEngineSystem() = default;
    CEngineSystem(const CEngineSystem&) = delete;
    CEngineSystem& operator=(const CEngineSystem&) = delete;

    // Passes the message to MessageProc; the same in every system.
    virtual int SendMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual int MessageProc(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual BOOL Init() = 0;
    virtual BOOL CanUpdate() = 0;
    virtual void Update() = 0;
    virtual ~CEngineSystem() = default;

    // Stores the back-pointer, runs Init and remembers whether it succeeded.
    BOOL InitEngineSystem(CGameEngine* engine);
    // Update() when the engine is active, CanUpdate() agrees and Init succeeded. CanUpdate is
    // asked first, so a system can recover (a lost device) even before it may draw.
    void UpdateEngineSystem();

    CGameEngine* GetGameEngine() const { return m_pGameEngine; }
    BOOL IsInitialized() const { return m_bInitialized; }

  protected:
    CGameEngine* m_pGameEngine = nullptr;
    BOOL m_bInitialized = FALSE;
};
