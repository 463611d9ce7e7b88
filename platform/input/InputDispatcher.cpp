// Fans raw input out to the DirectInput devices. A key or button event that repeats the
// physical state (an auto-repeat, or a release never pressed) is dropped, as DirectInput
// reports transitions only. No locking: events and devices live on the game's thread.
#include "platform/input/InputDispatcher.h"

#include "platform/input/InputDevice.h"

#include <algorithm>

namespace vireo::platform {

CInputDispatcher& CInputDispatcher::Instance()
{
    // Never destroyed: a device released during static destruction still finds it.
    static CInputDispatcher* instance = new CInputDispatcher();
    return *instance;
}

void CInputDispatcher::Attach(CInputDevice* device)
{
    if (std::find(m_devices.begin(), m_devices.end(), device) != m_devices.end())
        return;
    if (m_devices.empty()) {
        Clear();
        SetRawInputSink(&CInputDispatcher::Sink, this);
    }
    m_devices.push_back(device);
}

void CInputDispatcher::Detach(CInputDevice* device)
{
    auto it = std::find(m_devices.begin(), m_devices.end(), device);
    if (it == m_devices.end())
        return;
    m_devices.erase(it);
    if (m_devices.empty()) {
        SetRawInputSink(nullptr, nullptr);
        Clear();
    }
}

void CInputDispatcher::Clear()
{
    std::fill(std::begin(m_keys), std::end(m_keys), BYTE{0});
    std::fill(std::begin(m_buttons), std::end(m_buttons), BYTE{0});
}

void CInputDispatcher::Sink(const RawInputEvent& event, void* user)
{
    static_cast<CInputDispatcher*>(user)->Dispatch(event);
}

void CInputDispatcher::Dispatch(const RawInputEvent& event)
{
    const BYTE pressed = event.value != 0 ? 0x80 : 0;
    bool keyboard = false;
    switch (event.kind) {
    case RawInputEvent::Kind::Key:
        if (event.code < 0 || event.code > 255 || m_keys[event.code] == pressed)
            return;
        m_keys[event.code] = pressed;
        keyboard = true;
        break;
    case RawInputEvent::Kind::MouseButton:
        if (event.code < 0 || event.code >= kButtonCount || m_buttons[event.code] == pressed)
            return;
        m_buttons[event.code] = pressed;
        break;
    case RawInputEvent::Kind::MouseMotion:
        if (event.code < 0 || event.code > 1 || event.value == 0)
            return;
        break;
    case RawInputEvent::Kind::MouseWheel:
        if (event.value == 0)
            return;
        break;
    default:
        return;
    }
    const DWORD sequence = ++m_dwSequence;
    // OnRawInput never attaches or detaches a device, so plain iteration is safe.
    for (CInputDevice* device : m_devices)
        if (device->IsKeyboard() == keyboard)
            device->OnRawInput(event, sequence);
}

} // namespace vireo::platform
