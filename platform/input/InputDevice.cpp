// Keyboard and mouse devices in buffered mode. Acquisition follows DirectInput: a foreground
// device whose window is no longer the foreground window loses it (DIERR_INPUTLOST once, then
// DIERR_NOTACQUIRED) and gets nothing until Acquire succeeds again in the foreground.
#include "platform/input/InputDevice.h"

#include "platform/input/InputDispatcher.h"

#include <algorithm>
#include <cstring>

namespace vireo::platform {
namespace {

constexpr DWORD kFlushAll = 0xFFFFFFFF; // INFINITE: GetDeviceData(…, nullptr, &n, 0) flushes

DWORD MouseButtonCount(DWORD dataSize)
{
    return dataSize - offsetof(DIMOUSESTATE2, rgbButtons);
}

// The only property offered: DIPROP_BUFFERSIZE of the whole device, as a DIPROPDWORD.
HRESULT CheckBufferSizeProperty(REFGUID property, LPCDIPROPHEADER header)
{
    if (!header || header->dwHeaderSize != sizeof(DIPROPHEADER))
        return DIERR_INVALIDPARAM;
    if (!(property == DIPROP_BUFFERSIZE))
        return DIERR_UNSUPPORTED;
    if (header->dwSize != sizeof(DIPROPDWORD) || header->dwHow != DIPH_DEVICE || header->dwObj != 0)
        return DIERR_INVALIDPARAM;
    return DI_OK;
}

} // namespace

CInputDevice::CInputDevice(bool keyboard) : m_bKeyboard(keyboard)
{
    CInputDispatcher::Instance().Attach(this);
}

CInputDevice::~CInputDevice()
{
    CInputDispatcher::Instance().Detach(this);
}

HRESULT CInputDevice::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (riid == IID_IDirectInputDevice8W) {
        AddRef();
        *object = static_cast<IDirectInputDevice8W*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT CInputDevice::SetDataFormat(LPCDIDATAFORMAT format)
{
    if (!format || format->dwSize != sizeof(DIDATAFORMAT) || format->dwObjSize != sizeof(DIOBJECTDATAFORMAT))
        return DIERR_INVALIDPARAM;
    if (m_bAcquired)
        return DIERR_ACQUIRED;
    if (m_bKeyboard) {
        if (format->dwDataSize != 256)
            return DIERR_INVALIDPARAM;
    } else {
        if (format->dwDataSize != sizeof(DIMOUSESTATE) && format->dwDataSize != sizeof(DIMOUSESTATE2))
            return DIERR_INVALIDPARAM;
        // Only relative axes exist: the back ends report movement, not positions.
        if (format->dwFlags & DIDF_ABSAXIS)
            return DIERR_UNSUPPORTED;
    }
    m_dwDataSize = format->dwDataSize;
    return DI_OK;
}

HRESULT CInputDevice::SetCooperativeLevel(HWND hwnd, DWORD flags)
{
    const DWORD sharing = flags & (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE);
    const DWORD focus = flags & (DISCL_FOREGROUND | DISCL_BACKGROUND);
    if (sharing != DISCL_EXCLUSIVE && sharing != DISCL_NONEXCLUSIVE)
        return DIERR_INVALIDPARAM;
    if (focus != DISCL_FOREGROUND && focus != DISCL_BACKGROUND)
        return DIERR_INVALIDPARAM;
    if (!hwnd && (flags & (DISCL_FOREGROUND | DISCL_EXCLUSIVE)))
        return DIERR_INVALIDPARAM;
    if (m_bKeyboard && sharing == DISCL_EXCLUSIVE && focus == DISCL_BACKGROUND)
        return DIERR_UNSUPPORTED;
    if (m_bAcquired)
        return DIERR_ACQUIRED;
    m_hWnd = hwnd;
    m_dwCoopFlags = flags;
    return DI_OK;
}

HRESULT CInputDevice::SetProperty(REFGUID property, LPCDIPROPHEADER header)
{
    if (const HRESULT hr = CheckBufferSizeProperty(property, header); hr != DI_OK)
        return hr;
    if (m_bAcquired)
        return DIERR_ACQUIRED;
    const DWORD size = std::min(reinterpret_cast<const DIPROPDWORD*>(header)->dwData, kMaxBufferSize);
    m_items.assign(size, DIDEVICEOBJECTDATA{});
    m_head = 0;
    m_count = 0;
    m_bOverflow = false;
    return DI_OK;
}

HRESULT CInputDevice::GetProperty(REFGUID property, LPDIPROPHEADER header)
{
    if (const HRESULT hr = CheckBufferSizeProperty(property, header); hr != DI_OK)
        return hr;
    reinterpret_cast<DIPROPDWORD*>(header)->dwData = static_cast<DWORD>(m_items.size());
    return DI_OK;
}

bool CInputDevice::MayReceive() const
{
    if (m_dwCoopFlags & DISCL_BACKGROUND)
        return true;
    return m_hWnd != nullptr && GetForegroundWindow() == m_hWnd;
}

HRESULT CInputDevice::Acquire()
{
    if (m_dwDataSize == 0)
        return DIERR_INVALIDPARAM;
    if (!MayReceive())
        return DIERR_OTHERAPPHASPRIO;
    if (m_bAcquired)
        return DI_NOEFFECT;
    m_bAcquired = true;
    m_bLost = false;
    m_bOverflow = false;
    Flush();
    std::fill(std::begin(m_axes), std::end(m_axes), 0);
    return DI_OK;
}

HRESULT CInputDevice::Unacquire()
{
    if (!m_bAcquired)
        return DI_NOEFFECT;
    m_bAcquired = false;
    Flush();
    return DI_OK;
}

void CInputDevice::LoseAcquisition()
{
    m_bAcquired = false;
    m_bLost = true;
    Flush();
}

HRESULT CInputDevice::CheckAcquired()
{
    if (m_bAcquired && !MayReceive())
        LoseAcquisition();
    if (m_bAcquired)
        return DI_OK;
    if (m_bLost) {
        m_bLost = false;
        return DIERR_INPUTLOST;
    }
    return DIERR_NOTACQUIRED;
}

void CInputDevice::Flush()
{
    m_head = 0;
    m_count = 0;
}

void CInputDevice::Push(DWORD offset, DWORD value, DWORD time, DWORD sequence)
{
    if (m_items.empty())
        return;
    if (m_count == m_items.size()) {
        // Full: the newest item is lost and the next read says so.
        m_bOverflow = true;
        return;
    }
    DIDEVICEOBJECTDATA& item = m_items[(m_head + m_count) % m_items.size()];
    item = {offset, value, time, sequence, 0};
    ++m_count;
}

void CInputDevice::OnRawInput(const RawInputEvent& event, DWORD sequence)
{
    if (!m_bAcquired)
        return;
    if (!MayReceive()) {
        LoseAcquisition();
        return;
    }
    const DWORD pressed = event.value != 0 ? 0x80 : 0;
    switch (event.kind) {
    case RawInputEvent::Kind::Key:
        Push(static_cast<DWORD>(event.code), pressed, event.timeMs, sequence);
        break;
    case RawInputEvent::Kind::MouseButton:
        if (static_cast<DWORD>(event.code) < MouseButtonCount(m_dwDataSize))
            Push(DIMOFS_BUTTON0 + static_cast<DWORD>(event.code), pressed, event.timeMs, sequence);
        break;
    case RawInputEvent::Kind::MouseMotion:
        m_axes[event.code] += event.value;
        Push(event.code == 0 ? DIMOFS_X : DIMOFS_Y, static_cast<DWORD>(event.value), event.timeMs, sequence);
        break;
    case RawInputEvent::Kind::MouseWheel:
        m_axes[2] += event.value;
        Push(DIMOFS_Z, static_cast<DWORD>(event.value), event.timeMs, sequence);
        break;
    }
}

HRESULT CInputDevice::GetDeviceState(DWORD cbData, LPVOID data)
{
    if (!data)
        return DIERR_INVALIDPARAM;
    const HRESULT hr = CheckAcquired();
    if (hr != DI_OK)
        return hr;
    if (cbData != m_dwDataSize)
        return DIERR_INVALIDPARAM;
    const CInputDispatcher& dispatcher = CInputDispatcher::Instance();
    if (m_bKeyboard) {
        std::memcpy(data, dispatcher.KeyState(), 256);
        return DI_OK;
    }
    DIMOUSESTATE2 state = {m_axes[0], m_axes[1], m_axes[2], {}};
    for (int i = 0; i < CInputDispatcher::kButtonCount; ++i)
        state.rgbButtons[i] = dispatcher.ButtonState(i);
    std::memcpy(data, &state, cbData);
    std::fill(std::begin(m_axes), std::end(m_axes), 0);
    return DI_OK;
}

HRESULT CInputDevice::GetDeviceData(DWORD cbObjectData, LPDIDEVICEOBJECTDATA data, LPDWORD inOut, DWORD flags)
{
    if (!inOut)
        return DIERR_INVALIDPARAM;
    if (cbObjectData != sizeof(DIDEVICEOBJECTDATA) && cbObjectData != DIDEVICEOBJECTDATA_DX3_SIZE &&
        cbObjectData != 20) {
        *inOut = 0;
        return DIERR_INVALIDPARAM;
    }
    const HRESULT hr = CheckAcquired();
    if (hr != DI_OK) {
        *inOut = 0;
        return hr;
    }
    if (m_items.empty()) {
        *inOut = 0;
        return DIERR_NOTBUFFERED;
    }
    const bool peek = (flags & DIGDD_PEEK) != 0;
    const HRESULT result = m_bOverflow ? DI_BUFFEROVERFLOW : DI_OK;
    const DWORD wanted = (!data && *inOut == kFlushAll) ? static_cast<DWORD>(m_count) : *inOut;
    const DWORD n = static_cast<DWORD>(std::min<std::size_t>(wanted, m_count));
    if (data) {
        // Items are written at the caller's stride; the 16 bytes of the DirectX 3 layout are
        // common to every size, anything beyond (uAppData) is zero.
        auto* out = reinterpret_cast<BYTE*>(data);
        for (DWORD i = 0; i < n; ++i) {
            const DIDEVICEOBJECTDATA& item = m_items[(m_head + i) % m_items.size()];
            BYTE* slot = out + static_cast<std::size_t>(i) * cbObjectData;
            std::memset(slot, 0, cbObjectData);
            std::memcpy(slot, &item, DIDEVICEOBJECTDATA_DX3_SIZE);
        }
    }
    if (!peek) {
        m_head = (m_head + n) % m_items.size();
        m_count -= n;
        m_bOverflow = false;
    }
    *inOut = n;
    return result;
}

} // namespace vireo::platform
