// CInputSystem: device set-up, the per-frame update (read, state rule, cursor, mouse gating,
// the four input messages), the queries and the clearing operations. Recording and replay
// live in InputRecord.cpp. Nothing here allocates per frame.
#include "support/LineReader.h"

#include <vireo/engine.h>
#include <vireo/input.h>
#include <vireo/support.h>

#include <cstring>

namespace {

constexpr int kReadCapacity = 16;       // items taken from a device per frame
constexpr DWORD kDeviceBufferSize = 10; // DirectInput's own buffer; more is an overflow
constexpr int kMaxReacquire = 16;       // Acquire tries while DirectInput reports lost input

// A key or button changes only through an event; a release shows for one frame.
void ApplyStateRule(KEYSTATE* state, const KEYSTATE* event, int first, int count)
{
    for (int i = first; i < first + count; ++i) {
        if (state[i] != KS_DOWN)
            state[i] = KS_NONE;
        if (event[i] != KS_NONE)
            state[i] = event[i];
    }
}

KEYSTATE Pressed(DWORD data)
{
    return (data & 0x80) ? KS_DOWN : KS_UP;
}

} // namespace

CInputSystem::CInputSystem() = default;

CInputSystem::~CInputSystem()
{
    // The devices go with the engine so nothing stays registered with the platform layer.
    SafeRelease(m_pKeyboard);
    SafeRelease(m_pMouse);
    SafeRelease(m_pDirectInput);
    CloseFile();
}

BOOL CInputSystem::Init()
{
    m_hWnd = m_pGameEngine->GetEngineParam()->hWnd;
    ClearAllInputState();

    HRESULT hr = DirectInput8Create(GetModuleHandleW(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8W,
                                    reinterpret_cast<void**>(&m_pDirectInput), nullptr);
    if (FAILED(hr)) {
        ShowMessageBox(L"Creat DirectInput failed!");
        return FALSE;
    }
    hr = m_pDirectInput->CreateDevice(GUID_SysKeyboard, &m_pKeyboard, nullptr);
    if (FAILED(hr)) {
        ShowMessageBox(L"Creat Keyboard device failed!");
        SafeRelease(m_pDirectInput);
        return FALSE;
    }
    hr = m_pDirectInput->CreateDevice(GUID_SysMouse, &m_pMouse, nullptr);
    if (FAILED(hr)) {
        SafeRelease(m_pKeyboard);
        SafeRelease(m_pDirectInput);
        return FALSE;
    }

    DIPROPDWORD buffer = {{sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), 0, DIPH_DEVICE}, kDeviceBufferSize};
    const DIDATAFORMAT* formats[2] = {&c_dfDIKeyboard, &c_dfDIMouse};
    IDirectInputDevice8* devices[2] = {m_pKeyboard, m_pMouse};
    for (int i = 0; i < 2; ++i) {
        if (FAILED(hr = devices[i]->SetDataFormat(formats[i])))
            return FALSE;
    }
    for (IDirectInputDevice8* device : devices) {
        if (FAILED(hr = device->SetCooperativeLevel(m_hWnd, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND)))
            return FALSE;
    }
    for (IDirectInputDevice8* device : devices) {
        if (FAILED(hr = device->SetProperty(DIPROP_BUFFERSIZE, &buffer.diph)))
            return FALSE;
    }
    m_pKeyboard->Acquire();
    m_pMouse->Acquire();
    return TRUE;
}

HRESULT CInputSystem::Reacquire(IDirectInputDevice8* device)
{
    HRESULT hr = device->Acquire();
    for (int tries = 1; hr == DIERR_INPUTLOST && tries < kMaxReacquire; ++tries)
        hr = device->Acquire();
    return hr;
}

void CInputSystem::ReadKeyboard()
{
    if (!m_pKeyboard)
        return;
    DIDEVICEOBJECTDATA items[kReadCapacity];
    DWORD count = kReadCapacity;
    const HRESULT hr = m_pKeyboard->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), items, &count, 0);
    if (hr != DI_OK) {
        const HRESULT acquired = Reacquire(m_pKeyboard);
        if (acquired != DI_OK && acquired != DIERR_OTHERAPPHASPRIO)
            WriteLog(3, L"m_pKeyboard->GetDeviceData, hr=%d", static_cast<int>(acquired));
        return;
    }
    for (DWORD i = 0; i < count; ++i)
        if (items[i].dwOfs < INPUT_KEY_COUNT)
            m_Live.event[items[i].dwOfs] = Pressed(items[i].dwData);
}

void CInputSystem::ReadMouse()
{
    if (!m_pMouse)
        return;
    DIDEVICEOBJECTDATA items[kReadCapacity];
    DWORD count = kReadCapacity;
    const HRESULT hr = m_pMouse->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), items, &count, 0);
    if (hr != DI_OK) {
        Reacquire(m_pMouse);
        return;
    }
    for (DWORD i = 0; i < count; ++i) {
        const DWORD offset = items[i].dwOfs;
        // Axes: the last item of the frame wins; the low 16 bits are the signed movement.
        const float move = static_cast<float>(static_cast<SHORT>(items[i].dwData & 0xFFFF));
        if (offset == DIMOFS_X)
            m_Live.fMove[0] = move;
        else if (offset == DIMOFS_Y)
            m_Live.fMove[1] = move;
        else if (offset == DIMOFS_Z)
            m_Live.fMove[2] = move;
        else if (offset >= DIMOFS_BUTTON0 && offset <= DIMOFS_BUTTON7)
            m_Live.event[MOUSE_LBUTTON + (offset - DIMOFS_BUTTON0)] = Pressed(items[i].dwData);
    }
}

void CInputSystem::ReadCursor()
{
    POINT pt;
    if (!::GetCursorPos(&pt))
        return;
    POINT origin = {0, 0};
    ClientToScreen(m_hWnd, &origin);
    pt.x -= origin.x;
    pt.y -= origin.y;
    RECT client = {0, 0, 0, 0};
    GetClientRect(m_hWnd, &client);
    if (client.right >= 1 && client.bottom >= 1) {
        const SIZE scene = m_pGameEngine->GetEngineParam()->sizeScene;
        // 32-bit results, computed wide so a far-away cursor cannot overflow.
        pt.x = static_cast<LONG>(static_cast<long long>(pt.x) * scene.cx / client.right);
        pt.y = static_cast<LONG>(static_cast<long long>(pt.y) * scene.cy / client.bottom);
    }
    m_ptCursor = pt;
}

void CInputSystem::Update()
{
    const bool foreground = GetForegroundWindow() == m_hWnd;
    if (!foreground && !m_bReplaying)
        return;

    m_ptCursorPre = m_ptCursor;
    if (m_bRecording)
        m_Second = m_Live;

    for (int i = 0; i < INPUT_KEY_COUNT; ++i)
        m_Live.event[i] = KS_NONE;
    ReadKeyboard();
    ApplyStateRule(m_Live.state, m_Live.event, 0, INPUT_KEY_COUNT);

    if (m_bReplaying)
        ApplyReplayLines();

    if (!m_pGameEngine->GetEngineStatus()->bMinimized) {
        m_Live.fMove[0] = m_Live.fMove[1] = m_Live.fMove[2] = 0.0f;
        for (int i = INPUT_KEY_COUNT; i < INPUT_INDEX_COUNT; ++i)
            m_Live.event[i] = KS_NONE;
        ReadMouse();
        ApplyStateRule(m_Live.state, m_Live.event, INPUT_KEY_COUNT, INPUT_MOUSE_COUNT);
        for (int i = INPUT_KEY_COUNT; i < INPUT_INDEX_COUNT; ++i)
            if (m_Live.event[i] == KS_UP)
                WriteLog(4, L"Mouse Event: nIndex=%d, Event=%d", i, static_cast<int>(m_Live.event[i]));
        ReadCursor();
    }

    // Mouse buttons count only over the scene of the active window; their events stay.
    const SIZE scene = m_pGameEngine->GetEngineParam()->sizeScene;
    const bool overScene = m_ptCursor.x >= 0 && m_ptCursor.y >= 0 && m_ptCursor.x < scene.cx && m_ptCursor.y < scene.cy;
    if (!overScene || GetForegroundWindow() != m_hWnd) {
        for (int i = INPUT_KEY_COUNT; i < INPUT_INDEX_COUNT; ++i)
            m_Live.state[i] = m_Second.state[i] = KS_NONE;
    }

    m_pCurrent = &m_Live;
    m_pGameEngine->SendMessage(EMSG_IS_UI_MOUSE_INPUT, 0, 0);
    if (m_pGameEngine->SendMessage(EMSG_IS_UI_KEYBOARD_INPUT, 0, 0))
        return;
    if (m_pGameEngine->GetEngineStatus()->bPaused)
        return;
    if (m_bRecording)
        WriteChangedKeys();
    if (m_bReplaying)
        m_pCurrent = &m_Second;
    m_pGameEngine->SendMessage(EMSG_IS_GAME_MOUSE_INPUT, 0, 0);
    m_pGameEngine->SendMessage(EMSG_IS_GAME_KEYBOARD_INPUT, 0, 0);
}

int CInputSystem::MessageProc(UINT msg, WPARAM, LPARAM)
{
    if (msg == WM_ACTIVATE) {
        ClearUserInput();
    } else if (msg == EMSG_EG_DESTROY) {
        WriteLog(1, L"RecordInput(%d)", 0);
        if (m_bRecording && m_hFile != INVALID_HANDLE_VALUE)
            StopRecording();
    }
    return 0;
}

KEYSTATE CInputSystem::CheckKeyEvent(int nIndex) const
{
    if (nIndex < 0 || nIndex >= INPUT_INDEX_COUNT)
        return KS_NONE;
    return m_pCurrent->event[nIndex];
}

KEYSTATE CInputSystem::CheckKeyState(int nIndex) const
{
    if (nIndex < 0 || nIndex >= INPUT_INDEX_COUNT)
        return KS_NONE;
    return m_pCurrent->state[nIndex];
}

KEYSTATE CInputSystem::CheckSingleKey(BYTE key) const
{
    return m_pCurrent->state[key];
}

KEYSTATE CInputSystem::CheckKeyCombo(BYTE key, BYTE modifiers) const
{
    const KEYSTATE* state = m_pCurrent->state;
    BYTE held = 0;
    if (state[DIK_LMENU] == KS_DOWN || state[DIK_RMENU] == KS_DOWN)
        held |= 1;
    if (state[DIK_LCONTROL] == KS_DOWN || state[DIK_RCONTROL] == KS_DOWN)
        held |= 2;
    if (state[DIK_LSHIFT] == KS_DOWN || state[DIK_RSHIFT] == KS_DOWN)
        held |= 4;
    return held == modifiers ? m_pCurrent->event[key] : KS_NONE;
}

D3DXVECTOR3 CInputSystem::GetCursorMove() const
{
    return D3DXVECTOR3(static_cast<float>(m_ptCursor.x - m_ptCursorPre.x),
                       static_cast<float>(m_ptCursor.y - m_ptCursorPre.y), m_pCurrent->fMove[2]);
}

void CInputSystem::ClearUserInput()
{
    WriteLog(1, L"ClearUserInput");
    std::memset(static_cast<void*>(&m_Live), 0, sizeof(m_Live));
}

void CInputSystem::ClearAllInputState()
{
    WriteLog(1, L"ClearAllInputState");
    std::memset(static_cast<void*>(&m_Live), 0, sizeof(m_Live));
    std::memset(static_cast<void*>(&m_Second), 0, sizeof(m_Second));
}
