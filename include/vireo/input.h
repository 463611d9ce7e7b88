// The input system: per-frame key and mouse states, and the four input messages it sends at
// the start of every frame. Reading the DirectInput devices and recording and replay are
// added by the input work; until then the blocks hold no device input.
#pragma once

#include <vireo/types.h>

// State of one input index, as this frame's event or as the held state.
enum KEYSTATE : int {
    KS_NONE = 0, // event: nothing happened; state: up
    KS_DOWN = 1, // event: pressed this frame; state: held
    KS_UP = 2,   // event and state: released this frame
};

// Keys 0-255 are DirectInput scan codes; mouse button n is 256 + n.
constexpr int MOUSE_LBUTTON = 256;
constexpr int MOUSE_RBUTTON = 257;
constexpr int MOUSE_MBUTTON = 258;
constexpr int INPUT_INDEX_COUNT = 267;

class CInputSystem : public CEngineSystem {
  public:
    CInputSystem();
    ~CInputSystem() override;

    BOOL Init() override;
    BOOL CanUpdate() override { return TRUE; }
    void Update() override;
    int MessageProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // Out-of-range indices read as KS_NONE.
    KEYSTATE CheckKeyEvent(int nIndex) const;
    KEYSTATE CheckKeyState(int nIndex) const;
    POINT GetCursorPos() const { return m_ptCursor; }
    POINT GetCursorPosPre() const { return m_ptCursorPre; }

    void ClearUserInput();
    void ClearAllInputState();

  private:
    struct SInputBlock {
        KEYSTATE state[INPUT_INDEX_COUNT];
        KEYSTATE event[INPUT_INDEX_COUNT];
        float fMove[3];
    };

    HWND m_hWnd = nullptr;
    SInputBlock m_Live{};
    SInputBlock m_Second{};
    SInputBlock* m_pCurrent = &m_Live;
    POINT m_ptCursor{0, 0};
    POINT m_ptCursorPre{0, 0};
    BOOL m_bReplaying = FALSE;
};
