// A 32-bit surface of the software device: the back buffer or the one level of a texture.
// Its reference count belongs to its container (the device or the texture), as in Direct3D 9;
// it never lives on its own, so it cannot outlive the pixels it describes.
#pragma once

#include "platform/raster/Raster.h"

#include <vireo/platform/D3D9.h>

#include <cstdint>
#include <vector>

namespace vireo::gfx {

class CDevice;

class CSurface final : public vireo::platform::ComObject<IDirect3DSurface9> {
  public:
    // Throws std::bad_alloc only; callers turn it into a result code.
    CSurface(CDevice* device, IUnknown* container, UINT width, UINT height, D3DFORMAT format, DWORD usage,
             D3DPOOL pool);
    ~CSurface() override = default;

    ULONG AddRef() override
    {
        ++m_outsideReferences;
        return m_container->AddRef();
    }
    ULONG Release() override
    {
        if (m_outsideReferences > 0)
            --m_outsideReferences;
        return m_container->Release();
    }
    // References handed out through this surface and not yet released.
    int OutsideReferences() const { return m_outsideReferences; }

    HRESULT GetDevice(IDirect3DDevice9** device) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;

    const D3DSURFACE_DESC& Desc() const { return m_desc; }
    CDevice* Device() const { return m_device; }
    raster::Surface View()
    {
        return {m_pixels.data(), static_cast<int>(m_desc.Width), static_cast<int>(m_desc.Height),
                static_cast<int>(m_desc.Width * 4)};
    }
    std::uint32_t* Pixels() { return m_pixels.data(); }
    bool IsLocked() const { return m_locked; }

  private:
    CDevice* m_device;
    IUnknown* m_container;
    D3DSURFACE_DESC m_desc{};
    std::vector<std::uint32_t> m_pixels;
    bool m_locked = false;
    int m_outsideReferences = 0;
};

// True when rect lies inside a width x height surface and is not empty.
bool RectInside(const RECT& rect, UINT width, UINT height);

} // namespace vireo::gfx
