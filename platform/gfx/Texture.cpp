// Textures of the software device: creation checks, the level-0 surface, live counts per pool.
// A texture keeps its device alive (as Direct3D 9 resources do) and unbinds itself on release.
#include "platform/gfx/Texture.h"

#include "platform/gfx/Device.h"
#include "platform/gfx/GraphicsControls.h"

#include <new>

namespace vireo::gfx {

namespace {
constexpr UINT kMaxTextureSide = 8192;
}

HRESULT CTexture::Create(CDevice* device, UINT width, UINT height, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                         CTexture** texture)
{
    if (!device || !texture)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (width == 0 || height == 0 || width > kMaxTextureSide || height > kMaxTextureSide)
        return D3DERR_INVALIDCALL;
    if (format != D3DFMT_A8R8G8B8 && format != D3DFMT_X8R8G8B8)
        return D3DERR_INVALIDCALL;
    if ((usage & ~(D3DUSAGE_RENDERTARGET | D3DUSAGE_DYNAMIC | D3DUSAGE_AUTOGENMIPMAP | D3DUSAGE_WRITEONLY)) != 0)
        return D3DERR_INVALIDCALL;
    if ((usage & D3DUSAGE_RENDERTARGET) && pool != D3DPOOL_DEFAULT)
        return D3DERR_INVALIDCALL;
    if (pool > D3DPOOL_SCRATCH)
        return D3DERR_INVALIDCALL;

    CTexture* created = nullptr;
    try {
        created = new CTexture(device, 0);
        created->m_surface = std::make_unique<CSurface>(device, created, width, height, format, usage, pool);
    } catch (const std::bad_alloc&) {
        if (created)
            created->Release();
        return E_OUTOFMEMORY;
    }
    created->m_serial = device->RegisterTexture(created);
    CountTexture(pool, +1);
    if (pool == D3DPOOL_DEFAULT)
        device->AddResetBlocker(+1);
    *texture = created;
    return D3D_OK;
}

CTexture::CTexture(CDevice* device, std::uint64_t serial) : m_device(device), m_serial(serial)
{
    m_device->AddRef();
}

CTexture::~CTexture()
{
    if (m_surface) {
        if (m_serial != 0) {
            m_device->UnregisterTexture(this);
            CountTexture(m_surface->Desc().Pool, -1);
            if (m_surface->Desc().Pool == D3DPOOL_DEFAULT)
                m_device->AddResetBlocker(-1);
        }
        m_surface.reset();
    }
    m_device->Release();
}

HRESULT CTexture::GetDevice(IDirect3DDevice9** device)
{
    if (!device)
        return D3DERR_INVALIDCALL;
    m_device->AddRef();
    *device = m_device;
    return D3D_OK;
}

HRESULT CTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc)
{
    if (level != 0)
        return D3DERR_INVALIDCALL;
    return m_surface->GetDesc(desc);
}

HRESULT CTexture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface)
{
    if (level != 0 || !surface)
        return D3DERR_INVALIDCALL;
    AddRef();
    *surface = m_surface.get();
    return D3D_OK;
}

HRESULT CTexture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags)
{
    if (level != 0)
        return D3DERR_INVALIDCALL;
    return m_surface->LockRect(locked, rect, flags);
}

HRESULT CTexture::UnlockRect(UINT level)
{
    if (level != 0)
        return D3DERR_INVALIDCALL;
    return m_surface->UnlockRect();
}

CTexture* AsTexture(IDirect3DBaseTexture9* texture)
{
    return dynamic_cast<CTexture*>(texture);
}

} // namespace vireo::gfx
