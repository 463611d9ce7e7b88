// A one-level A8R8G8B8 (or X8R8G8B8) texture of the software device. It holds a reference to
// its device and registers itself there under a serial number, which is what the device binds.
// Mip chains are not kept: every texture reports one level.
#pragma once

#include "platform/gfx/Surface.h"

#include <vireo/platform/D3D9.h>

#include <cstdint>
#include <memory>

namespace vireo::gfx {

class CTexture final : public vireo::platform::ComObject<IDirect3DTexture9> {
  public:
    // Creates the texture or returns a failure (bad arguments, out of memory).
    static HRESULT Create(CDevice* device, UINT width, UINT height, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          CTexture** texture);

    HRESULT GetDevice(IDirect3DDevice9** device) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD GetLevelCount() override { return 1; }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;

    CSurface& Level0() { return *m_surface; }
    std::uint64_t Serial() const { return m_serial; }
    CDevice* Device() const { return m_device; }

  private:
    CTexture(CDevice* device, std::uint64_t serial);
    ~CTexture() override;

    CDevice* m_device;
    std::uint64_t m_serial;
    std::unique_ptr<CSurface> m_surface;
};

// The texture behind an interface pointer made by this layer, or null.
CTexture* AsTexture(IDirect3DBaseTexture9* texture);

} // namespace vireo::gfx
