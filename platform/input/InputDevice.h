// A DirectInput-style system keyboard or mouse: data format, cooperative level, a bounded
// item buffer with the overflow flag, acquisition and the foreground rule.
// It never reads the back end itself; events arrive from CInputDispatcher.
#pragma once

#include "platform/core/RawInput.h"

#include <vireo/platform/Com.h>
#include <vireo/platform/DInput8.h>

#include <vector>

namespace vireo::platform {

class CInputDevice final : public ComObject<IDirectInputDevice8W> {
  public:
    // Largest DIPROP_BUFFERSIZE kept; larger requests are clamped so a bad value cannot
    // allocate without bound.
    static constexpr DWORD kMaxBufferSize = 4096;

    explicit CInputDevice(bool keyboard);
    ~CInputDevice() override;

    HRESULT QueryInterface(REFIID riid, void** object) override;
    HRESULT SetDataFormat(LPCDIDATAFORMAT format) override;
    HRESULT SetCooperativeLevel(HWND hwnd, DWORD flags) override;
    HRESULT SetProperty(REFGUID property, LPCDIPROPHEADER header) override;
    HRESULT GetProperty(REFGUID property, LPDIPROPHEADER header) override;
    HRESULT Acquire() override;
    HRESULT Unacquire() override;
    HRESULT GetDeviceState(DWORD cbData, LPVOID data) override;
    HRESULT GetDeviceData(DWORD cbObjectData, LPDIDEVICEOBJECTDATA data, LPDWORD inOut, DWORD flags) override;

    bool IsKeyboard() const { return m_bKeyboard; }
    void OnRawInput(const RawInputEvent& event, DWORD sequence);

  private:
    bool MayReceive() const;
    HRESULT CheckAcquired();
    void LoseAcquisition();
    void Push(DWORD offset, DWORD value, DWORD time, DWORD sequence);
    void Flush();

    bool m_bKeyboard;
    DWORD m_dwDataSize = 0; // 0 until SetDataFormat
    HWND m_hWnd = nullptr;
    DWORD m_dwCoopFlags = DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
    bool m_bAcquired = false;
    bool m_bLost = false; // acquisition taken away; reported once as DIERR_INPUTLOST
    bool m_bOverflow = false;

    // Ring of m_items.size() == DIPROP_BUFFERSIZE items, allocated when the size is set.
    std::vector<DIDEVICEOBJECTDATA> m_items;
    std::size_t m_head = 0;
    std::size_t m_count = 0;

    LONG m_axes[3] = {}; // mouse movement since the last GetDeviceState
};

} // namespace vireo::platform
