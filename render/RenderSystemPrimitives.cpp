// CRenderSystem's 2D primitives: the stage-0 colour operation pictures use, lines and
// rectangle outlines through the line object, unblended fills and the screen capture of the
// back buffer. The sprite batch is in RenderSystemSprite.cpp, single stage states elsewhere.
#include <vireo/engine.h>
#include <vireo/support.h>

#include <algorithm>

namespace {

// The back buffer of swap chain 0, or null. A failed call may still have handed out a
// surface; it is released so nothing leaks.
IDirect3DSurface9* GetBackBufferSurface(IDirect3DDevice9* device)
{
    if (!device)
        return nullptr;
    IDirect3DSurface9* surface = nullptr;
    if (FAILED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &surface))) {
        if (surface)
            surface->Release();
        return nullptr;
    }
    return surface;
}

} // namespace

void CRenderSystem::SetPictureColorOP(DWORD op)
{
    if (m_pD3DDevice) {
        DWORD current = 0;
        m_pD3DDevice->GetTextureStageState(0, D3DTSS_COLOROP, &current);
        if (current != op) {
            // Sprites already queued were meant for the old operation.
            FlushSprite();
            m_pD3DDevice->SetTextureStageState(0, D3DTSS_COLOROP, op);
        }
    }
    // Under ADDSMOOTH black leaves a picture as it is, under every other operation white.
    m_colorBlend = op == D3DTOP_ADDSMOOTH ? D3DXCOLOR(0.0f, 0.0f, 0.0f, 1.0f) : D3DXCOLOR(1.0f, 1.0f, 1.0f, 1.0f);
}

HRESULT CRenderSystem::BeginLine()
{
    return m_pD3DXLine ? m_pD3DXLine->Begin() : E_FAIL;
}

HRESULT CRenderSystem::EndLine()
{
    return m_pD3DXLine ? m_pD3DXLine->End() : E_FAIL;
}

BOOL CRenderSystem::DrawLine(POINT from, POINT to, DWORD color)
{
    if (!m_pD3DXLine)
        return FALSE;
    const D3DXVECTOR2 points[2] = {D3DXVECTOR2(static_cast<float>(from.x), static_cast<float>(from.y)),
                                   D3DXVECTOR2(static_cast<float>(to.x), static_cast<float>(to.y))};
    m_pD3DXLine->Draw(points, 2, color);
    return TRUE;
}

BOOL CRenderSystem::DrawRect(const RECT* pRect, DWORD color)
{
    if (!pRect || !m_pD3DXLine)
        return FALSE;
    if (pRect->right - pRect->left < 2 || pRect->bottom - pRect->top < 2)
        return FALSE;
    // Right and bottom are exclusive, so the outline runs on the last pixels inside.
    const float left = static_cast<float>(pRect->left);
    const float top = static_cast<float>(pRect->top);
    const float right = static_cast<float>(pRect->right - 1);
    const float bottom = static_cast<float>(pRect->bottom - 1);
    const D3DXVECTOR2 points[5] = {D3DXVECTOR2(left, top), D3DXVECTOR2(right, top), D3DXVECTOR2(right, bottom),
                                   D3DXVECTOR2(left, bottom), D3DXVECTOR2(left, top)};
    m_pD3DXLine->Draw(points, 5, color);
    return TRUE;
}

BOOL CRenderSystem::FillRect(const RECT* pRect, DWORD color)
{
    if (!pRect)
        return FALSE;
    const RECT fill{std::max<LONG>(pRect->left, 0), std::max<LONG>(pRect->top, 0),
                    std::min<LONG>(pRect->right, m_sizeScene.cx), std::min<LONG>(pRect->bottom, m_sizeScene.cy)};
    // Nothing of it on the scene: there is nothing to do, which is not a failure.
    if (fill.right <= fill.left || fill.bottom <= fill.top)
        return TRUE;
    IDirect3DSurface9* backBuffer = GetBackBufferSurface(m_pD3DDevice);
    if (!backBuffer)
        return FALSE;
    m_pD3DDevice->ColorFill(backBuffer, &fill, color);
    backBuffer->Release();
    return TRUE;
}

BOOL CRenderSystem::SaveSceneToFile(const wchar_t* path, RECT* pRect)
{
    if (!path)
        return FALSE;
    IDirect3DSurface9* backBuffer = GetBackBufferSurface(m_pD3DDevice);
    if (!backBuffer)
        return FALSE;
    // Always a BMP: the capture format does not follow the file name.
    const HRESULT hr = D3DXSaveSurfaceToFileW(path, D3DXIFF_BMP, backBuffer, nullptr, pRect);
    backBuffer->Release();
    return SUCCEEDED(hr) ? TRUE : FALSE;
}
