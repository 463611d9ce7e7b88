// DirectInput8Create and the IDirectInput8 object, which makes the system keyboard and mouse
// devices. Enumeration, joysticks and the configuration dialogs are not offered.
#include "platform/input/InputDevice.h"

#include <vireo/platform/DInput8.h>

namespace vireo::platform {
namespace {

class CDirectInput8 final : public ComObject<IDirectInput8W> {
  public:
    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (riid == IID_IDirectInput8W) {
            AddRef();
            *object = static_cast<IDirectInput8W*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

    HRESULT CreateDevice(REFGUID device, LPDIRECTINPUTDEVICE8W* out, IUnknown* outer) override
    {
        if (!out)
            return DIERR_INVALIDPARAM;
        *out = nullptr;
        if (outer)
            return DIERR_NOAGGREGATION;
        if (device == GUID_SysKeyboard)
            *out = new CInputDevice(true);
        else if (device == GUID_SysMouse)
            *out = new CInputDevice(false);
        else
            return DIERR_DEVICENOTREG;
        return DI_OK;
    }
};

} // namespace
} // namespace vireo::platform

HRESULT DirectInput8Create(HINSTANCE, DWORD version, REFIID riid, LPVOID* out, IUnknown* outer)
{
    if (!out)
        return DIERR_INVALIDPARAM;
    *out = nullptr;
    // A newer version asks for more than this layer offers; an older one asks for an
    // interface that is not DirectInput 8.
    if (version > DIRECTINPUT_VERSION)
        return DIERR_OLDDIRECTINPUTVERSION;
    if (version < DIRECTINPUT_VERSION)
        return DIERR_BETADIRECTINPUTVERSION;
    if (!(riid == IID_IDirectInput8W))
        return DIERR_NOINTERFACE;
    if (outer)
        return DIERR_NOAGGREGATION;
    *out = static_cast<IDirectInput8W*>(new vireo::platform::CDirectInput8());
    return DI_OK;
}
