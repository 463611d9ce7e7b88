// CPicture's life: adopting a pooled texture, dynamic (render-target) pictures with their
// process-wide numbering and white fill, ColorFill, and the device-loss protocol. Drawing is
// in PictureDraw.cpp; the registry that makes and destroys pictures is RenderSystemPictures.cpp.
#include "render/ResultBox.h"
#include "support/WideFormat.h"

#include <vireo/engine.h>
#include <vireo/support.h>

#include <algorithm>

namespace {

// Numbers dynamic pictures across every render system of the process; the first gets 1.
int g_nDynamicPictureCount = 0;

} // namespace

CPicture::CPicture(CRenderSystem* pRenderSystem) : m_pRenderSystem(pRenderSystem) {}

CPicture::~CPicture()
{
    if (m_pTexture && m_pRenderSystem)
        m_pRenderSystem->ReleaseTexture(&m_pTexture);
}

BOOL CPicture::Create(CRenderSystem* rs, IDirect3DTexture9* texture, const wchar_t* key, DWORD usage, D3DCOLOR colorKey)
{
    D3DSURFACE_DESC desc{};
    if (!texture || FAILED(texture->GetLevelDesc(0, &desc)))
        return FALSE;
    m_nWidth = static_cast<int>(desc.Width);
    m_nHeight = static_cast<int>(desc.Height);
    m_pTexture = texture;
    m_dwUsage = usage;
    m_dwColorKey = colorKey;
    m_pRenderSystem = rs;
    m_strKey = key ? key : L"";
    return TRUE;
}

void CPicture::CreateDynamic(UINT width, UINT height)
{
    ++g_nDynamicPictureCount;
    wchar_t key[64];
    vireo::FormatWide(key, 64, L"DynamicPicture ID=%d", g_nDynamicPictureCount);
    m_strKey = key;
    m_dwUsage = D3DUSAGE_RENDERTARGET;
    m_dwColorKey = 0xFFFFFFFF;
    m_nWidth = static_cast<int>(width);
    m_nHeight = static_cast<int>(height);
    m_pTexture = m_pRenderSystem->CreateTexture(nullptr, 0, m_strKey.c_str(), width, height, m_dwUsage, 0);
    // A size the device refused has shown its box already; there is nothing to fill.
    if (m_pTexture)
        ColorFill(nullptr, 0xFFFFFFFF);
}

IDirect3DTexture9* CPicture::LoadTexture(const void* data, DWORD size)
{
    m_pTexture = m_pRenderSystem->CreateTexture(data, size, m_strKey.c_str(), static_cast<UINT>(m_nWidth),
                                                static_cast<UINT>(m_nHeight), m_dwUsage, m_dwColorKey);
    return m_pTexture;
}

HRESULT CPicture::ColorFill(const RECT* pRect, DWORD color)
{
    if (m_bLost)
        return E_FAIL;
    RECT clamped{};
    const RECT* area = nullptr;
    if (pRect) {
        clamped.left = std::max<LONG>(pRect->left, 0);
        clamped.top = std::max<LONG>(pRect->top, 0);
        clamped.right = std::min<LONG>(pRect->right, m_nWidth);
        clamped.bottom = std::min<LONG>(pRect->bottom, m_nHeight);
        area = &clamped;
    }
    // A picture whose texture could not be made has no surface to fill: one box, no fill.
    if (!m_pTexture) {
        vireo::render::ShowResultBox(D3DERR_INVALIDCALL);
        return D3DERR_INVALIDCALL;
    }
    IDirect3DSurface9* surface = nullptr;
    HRESULT hr = m_pTexture->GetSurfaceLevel(0, &surface);
    if (hr != S_OK)
        vireo::render::ShowResultBox(hr);
    IDirect3DDevice9* device = m_pRenderSystem->GetD3DDevice();
    hr = device ? device->ColorFill(surface, area, color) : D3DERR_INVALIDCALL;
    if (hr != S_OK)
        vireo::render::ShowResultBox(hr);
    if (surface)
        surface->Release();
    return hr;
}

void CPicture::OnLostDevice()
{
    D3DSURFACE_DESC desc{};
    if (m_pTexture && SUCCEEDED(m_pTexture->GetLevelDesc(0, &desc)) && desc.Pool == D3DPOOL_DEFAULT) {
        m_pRenderSystem->ReleaseTextureForced(m_pTexture);
        m_pTexture = nullptr;
    }
    m_bLost = TRUE;
}

void CPicture::OnResetDevice()
{
    // Render targets come back empty at their size; the game repaints them on
    // EMSG_RS_DEVICE_RESET.
    // A texture still held was never dropped (no loss came first) and is kept.
    if (m_dwUsage != 0 && !m_pTexture)
        m_pTexture = m_pRenderSystem->RecreateTexture(m_strKey.c_str(), static_cast<UINT>(m_nWidth),
                                                      static_cast<UINT>(m_nHeight), m_dwUsage);
    // Every other texture is managed and survives the reset in the pool, so a picture of a
    // file keeps the one it holds: loading the file again would only add a hold to its entry
    // on every reset. A picture whose file never loaded stays empty.
    m_bLost = FALSE;
}
