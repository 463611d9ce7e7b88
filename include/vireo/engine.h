// CGameEngine: the one object a game creates. It owns the render, input and sound systems
// and the main GUI window, runs one frame per due call of Run, and routes every engine
// message through SendMessage to the GUI, the systems and the game's MessageProc.
#pragma once

#include <vireo/gui.h>
#include <vireo/input.h>
#include <vireo/render.h>
#include <vireo/resource.h>
#include <vireo/scene3d.h>
#include <vireo/sound.h>
#include <vireo/types.h>

#include <string>

class CGameEngine {
  public:
    CGameEngine();
    virtual ~CGameEngine();
    CGameEngine(const CGameEngine&) = delete;
    CGameEngine& operator=(const CGameEngine&) = delete;

    // Offers the message to the GUI, then the render, sound and input systems, and last to
    // MessageProc. Non-zero: the GUI or the game consumed it.
    virtual int SendMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    // Once, before anything else. FALSE: DirectX below 9.0 or a system failed to start.
    BOOL EngineInit(const SEngineParam* pParam);
    // Ends the game: inactive, window hidden, EMSG_EG_DESTROY sent, quit message posted.
    void EngineDestroy();
    // One frame when the frame cap allows it; call it from the idle loop.
    void Run();
    // Takes effect at the start of the next frame, announced there by EMSG_EG_PAUSE_CHANGE.
    void PauseGame(BOOL bPause);
    void SetGameUpdateCount(DWORD n);
    // Milliseconds to frames at the initial frame rate; 0 when it is uncapped.
    DWORD TickToFrame(DWORD ms) const;
    // Keeps the text (none stores the empty text) and counts the call.
    void PrintMessage(const wchar_t* text);

    CRenderSystem* GetRenderSystem() { return &m_RenderSystem; }
    CInputSystem* GetInputSystem() { return &m_InputSystem; }
    CSoundSystem* GetSoundSystem() { return &m_SoundSystem; }
    CGWnd* GetMainGWnd() { return m_pMainGWnd; }
    SIZE GetSceneSize() const { return m_RenderSystem.GetSceneSize(); }
    const SEngineParam* GetEngineParam() const { return &m_Param; }
    const SEngineStatus* GetEngineStatus() const { return &m_Status; }
    BOOL IsActive() { return m_bActive; }
    void SetDebugMode(BOOL bDebug) { m_Param.bDebugMode = bDebug; }

  protected:
    // The game overrides this and passes on what it does not handle. The default ends the
    // engine on WM_DESTROY, swallows WM_SYSKEYDOWN / WM_SYSKEYUP, draws the GUI and the status
    // overlay on EMSG_RS_RENDER, runs the debug hot keys on EMSG_IS_UI_KEYBOARD_INPUT and
    // steers the camera on EMSG_IS_GAME_KEYBOARD_INPUT and EMSG_IS_GAME_MOUSE_INPUT.
    virtual int MessageProc(UINT msg, WPARAM wParam, LPARAM lParam);

  private:
    void CenterGameWindow();
    // Start-up picture shown while the game loads; arrives with pictures (see EngineInit).
    void ShowStartupLogo();
    LONGLONG TicksToMs(LONGLONG ticks) const;
    // The defaults of MessageProc (GameEngineDefaults.cpp).
    void DrawDefaultLayers();
    void DrawStatusOverlay();
    // 1 when a hot key fired.
    int HandleHotKeys();
    void SteerCameraByKeys();
    void SteerCameraByMouse();

    CGWnd* m_pMainGWnd = nullptr;
    SGuiContext* m_pGuiContext = nullptr;
    CRenderSystem m_RenderSystem;
    CInputSystem m_InputSystem;
    CSoundSystem m_SoundSystem;
    BOOL m_bActive = FALSE;
    BOOL m_bPauseRequest = FALSE;
    std::wstring m_strMessage;
    DWORD m_nMessageCount = 0;
    SEngineParam m_Param{};
    SEngineParam m_ParamInit{};
    SEngineStatus m_Status{};
    WORD m_wFrameCount = 0;
    LONGLONG m_llSecondStart = 0;
    LONGLONG m_llFrequency = 0;
    LONGLONG m_llPrevFrame = 0;
    LONGLONG m_llCurFrame = 0;
};
