// The Direct3D 9 object: one adapter whose HAL and REF device types are both the software
// device, its capabilities, and device creation. The test switches can take the HAL away.
#include "platform/gfx/Device.h"
#include "platform/gfx/GraphicsControls.h"

#include <vireo/platform/D3D9.h>

#include <cstring>

namespace vireo::gfx {

namespace {

class CDirect3D9 final : public vireo::platform::ComObject<IDirect3D9> {
  public:
    UINT GetAdapterCount() override { return 1; }

    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) override
    {
        if (!caps || adapter != D3DADAPTER_DEFAULT)
            return D3DERR_INVALIDCALL;
        std::memset(caps, 0, sizeof *caps);
        if (!TypeAvailable(type))
            return D3DERR_NOTAVAILABLE;
        caps->DeviceType = type;
        caps->AdapterOrdinal = adapter;
        // Vertices are transformed by the device itself, which is what this bit promises.
        caps->DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT;
        // No alpha test is evaluated (blending by source alpha already leaves dst unchanged
        // where alpha is 0), so none is advertised.
        caps->AlphaCmpCaps = 0;
        caps->TextureCaps = 0; // any size, no power-of-two requirement
        caps->MaxTextureWidth = 8192;
        caps->MaxTextureHeight = 8192;
        caps->MaxAnisotropy = 1;
        caps->MaxTextureBlendStages = 2;
        caps->MaxSimultaneousTextures = 2;
        caps->MaxActiveLights = 8;
        caps->MaxPrimitiveCount = 0xFFFFF;
        caps->MaxVertexIndex = 0xFFFFF;
        caps->MaxStreams = 1;
        return D3D_OK;
    }

    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device) override
    {
        if (!device)
            return D3DERR_INVALIDCALL;
        *device = nullptr;
        if (adapter != D3DADAPTER_DEFAULT || !params)
            return D3DERR_INVALIDCALL;
        const DWORD processing =
            behaviorFlags & (D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING |
                             D3DCREATE_MIXED_VERTEXPROCESSING);
        if (processing == 0 || (processing & (processing - 1)) != 0)
            return D3DERR_INVALIDCALL; // exactly one vertex-processing mode
        if (!TypeAvailable(type))
            return D3DERR_NOTAVAILABLE;
        CDevice* created = nullptr;
        const HRESULT hr = CDevice::Create(this, type, focusWindow, params, &created);
        if (SUCCEEDED(hr))
            *device = created;
        return hr;
    }

  private:
    static bool TypeAvailable(D3DDEVTYPE type)
    {
        if (type == D3DDEVTYPE_HAL)
            return !Controls().halUnavailable;
        return type == D3DDEVTYPE_REF;
    }
};

} // namespace

} // namespace vireo::gfx

IDirect3D9* Direct3DCreate9(UINT sdkVersion)
{
    if (sdkVersion != D3D_SDK_VERSION)
        return nullptr;
    return new vireo::gfx::CDirect3D9();
}
