// CRenderSystem's sprite batch: BeginSprite, EndSprite and FlushSprite over the one
// ID3DXSprite, with the blend colour that pictures drawn without a colour use.
// Pictures and text that draw through the batch are not here.
#include <vireo/engine.h>
#include <vireo/support.h>

HRESULT CRenderSystem::BeginSprite()
{
    if (!m_pD3DXSprite)
        return E_FAIL;
    // A batch left open is a programming error the developer must see; the batch stays open.
    if (m_bSpriteBegun)
        ShowMessageBox(L"CRenderSystem::BeginSprite 没有配对的 EndSprite");
    const HRESULT hr = m_pD3DXSprite->Begin(0);
    m_colorBlend = D3DXCOLOR(1.0f, 1.0f, 1.0f, 1.0f);
    m_bSpriteBegun = TRUE;
    return hr;
}

HRESULT CRenderSystem::EndSprite()
{
    if (!m_pD3DXSprite)
        return E_FAIL;
    m_bSpriteBegun = FALSE;
    return m_pD3DXSprite->End();
}

HRESULT CRenderSystem::FlushSprite()
{
    if (!m_pD3DXSprite)
        return E_FAIL;
    return m_pD3DXSprite->Flush();
}
