// The one raw-input sink of the process: keeps the physical key and button state, drops
// auto-repeats and empty events, stamps a shared sequence number and hands each event to the
// live devices of its kind. It installs itself with the first device and leaves with the last.
#pragma once

#include "platform/core/RawInput.h"

#include <vireo/platform/Win32.h>

#include <vector>

namespace vireo::platform {

class CInputDevice;

class CInputDispatcher {
  public:
    static CInputDispatcher& Instance();

    void Attach(CInputDevice* device);
    void Detach(CInputDevice* device);

    // Physical state as the back end reported it, 0x80 while down.
    const BYTE* KeyState() const { return m_keys; }
    BYTE ButtonState(int button) const { return m_buttons[button]; }
    int DeviceCount() const { return static_cast<int>(m_devices.size()); }

    static constexpr int kButtonCount = 8;

  private:
    CInputDispatcher() = default;
    static void Sink(const RawInputEvent& event, void* user);
    void Dispatch(const RawInputEvent& event);
    void Clear();

    std::vector<CInputDevice*> m_devices;
    BYTE m_keys[256] = {};
    BYTE m_buttons[kButtonCount] = {};
    DWORD m_dwSequence = 0;
};

} // namespace vireo::platform
