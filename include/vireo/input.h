// The input system: per-frame key and mouse states and events read from the DirectInput
// keyboard and mouse, the cursor in scene coordinates, the four input messages it sends at the
// start of every frame, and the recording and replay of keyboard states.
#pragma once

#include <vireo/platform/D3DX9.h>
#include <vireo/platform/DInput8.h>
#include <vireo/types.h>

#include <memory>
#include <string>

namespace vireo {
class CLineReader;
} // namespace vireo

// State of one input index, as this frame's event or as the held state.
enum KEYSTATE : int {
    KS_NONE = 0, // event: nothing happened; state: up
    KS_DOWN = 1, // event: pressed this frame; state: held
    KS_UP = 2,   // event and state: released this frame
};

// Keys 0-255 are DirectInput scan codes; mouse button n is 256 + n; 264-266 are reserved.
constexpr int MOUSE_LBUTTON = 256;
constexpr int MOUSE_RBUTTON = 257;
constexpr int MOUSE_MBUTTON = 258;
constexpr int INPUT_KEY_COUNT = 256;
constexpr int INPUT_MOUSE_COUNT = 11;
constexpr int INPUT_INDEX_COUNT = INPUT_KEY_COUNT + INPUT_MOUSE_COUNT;

class CInputSystem : public CEngineSystem {
  public:
    CInputSystem();
    ~CInputSystem() override;

    BOOL Init() override;
    BOOL CanUpdate() override { return TRUE; }
    void Update() override;
    // WM_ACTIVATE clears the live block; EMSG_EG_DESTROY ends a recording. Always 0.
    int MessageProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // Queries read the current block. Indices outside 0-266 read as KS_NONE.
    KEYSTATE CheckKeyEvent(int nIndex) const;
    KEYSTATE CheckKeyState(int nIndex) const;
    KEYSTATE CheckSingleKey(BYTE key) const;
    // The event of key when the held modifiers are exactly `modifiers`: 1 Alt, 2 Ctrl, 4 Shift.
    KEYSTATE CheckKeyCombo(BYTE key, BYTE modifiers) const;
    POINT GetCursorPos() const { return m_ptCursor; }
    POINT GetCursorPosPre() const { return m_ptCursorPre; }
    // Cursor movement in scene pixels since the previous frame; z is the wheel movement.
    D3DXVECTOR3 GetCursorMove() const;

    // Recording needs nGameUpdateCount 0 and a path; replay always reads "Record.dat".
    BOOL RecordInput(BOOL bRecord, const wchar_t* path);
    BOOL ReplayInput(BOOL bReplay);

    void ClearUserInput();
    void ClearAllInputState();

  private:
    struct SInputBlock {
        KEYSTATE state[INPUT_INDEX_COUNT];
        KEYSTATE event[INPUT_INDEX_COUNT];
        float fMove[3];
    };

    void ReadKeyboard();
    void ReadMouse();
    void ReadCursor();
    // Acquire again while DirectInput says the input was lost, a bounded number of times.
    HRESULT Reacquire(IDirectInputDevice8* device);
    void WriteChangedKeys();
    void ApplyReplayLines();
    BOOL ReadReplayLine();
    void EndOfReplay();
    void StopRecording();
    void CloseFile();

    IDirectInput8* m_pDirectInput = nullptr;
    IDirectInputDevice8* m_pKeyboard = nullptr;
    IDirectInputDevice8* m_pMouse = nullptr;
    HWND m_hWnd = nullptr;
    SInputBlock m_Live{};
    SInputBlock m_Second{};
    SInputBlock* m_pCurrent = &m_Live;
    POINT m_ptCursor{0, 0};
    POINT m_ptCursorPre{0, 0};
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    BOOL m_bRecording = FALSE;
    BOOL m_bReplaying = FALSE;
    std::wstring m_strReplayLine;
    // Reads the replay file in blocks across lines; only while replaying.
    std::unique_ptr<vireo::CLineReader> m_pReplayReader;
};
