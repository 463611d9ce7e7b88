// Surfaces of the software device: description, locking of the whole or a rectangle.
// Locks are not checked against drawing (the device is single-threaded and draws at once).
#include "platform/gfx/Surface.h"

#include "platform/gfx/Device.h"

namespace vireo::gfx {

bool RectInside(const RECT& rect, UINT width, UINT height)
{
    return rect.left >= 0 && rect.top >= 0 && rect.left < rect.right && rect.top < rect.bottom &&
           static_cast<UINT>(rect.right) <= width && static_cast<UINT>(rect.bottom) <= height;
}

CSurface::CSurface(CDevice* device, IUnknown* container, UINT width, UINT height, D3DFORMAT format, DWORD usage,
                   D3DPOOL pool)
    : m_device(device), m_container(container), m_pixels(static_cast<size_t>(width) * height, 0u)
{
    m_desc.Format = format;
    m_desc.Type = D3DRTYPE_SURFACE;
    m_desc.Usage = usage;
    m_desc.Pool = pool;
    m_desc.MultiSampleType = D3DMULTISAMPLE_NONE;
    m_desc.MultiSampleQuality = 0;
    m_desc.Width = width;
    m_desc.Height = height;
}

HRESULT CSurface::GetDevice(IDirect3DDevice9** device)
{
    if (!device)
        return D3DERR_INVALIDCALL;
    m_device->AddRef();
    *device = m_device;
    return D3D_OK;
}

HRESULT CSurface::GetDesc(D3DSURFACE_DESC* desc)
{
    if (!desc)
        return D3DERR_INVALIDCALL;
    *desc = m_desc;
    return D3D_OK;
}

HRESULT CSurface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD)
{
    if (!locked || m_locked)
        return D3DERR_INVALIDCALL;
    RECT area{0, 0, static_cast<LONG>(m_desc.Width), static_cast<LONG>(m_desc.Height)};
    if (rect) {
        if (!RectInside(*rect, m_desc.Width, m_desc.Height))
            return D3DERR_INVALIDCALL;
        area = *rect;
    }
    locked->Pitch = static_cast<INT>(m_desc.Width * 4);
    locked->pBits = m_pixels.data() + static_cast<size_t>(area.top) * m_desc.Width + area.left;
    m_locked = true;
    return D3D_OK;
}

HRESULT CSurface::UnlockRect()
{
    if (!m_locked)
        return D3DERR_INVALIDCALL;
    m_locked = false;
    return D3D_OK;
}

} // namespace vireo::gfx
