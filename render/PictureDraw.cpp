// CPicture's draw family: every form builds a transform and a colour and ends in
// DrawTransform, the one call that queues a sprite. MakeDrawParam fills the parameter block
// animations keep. Nothing here flushes the batch except DrawWithMask.
#include <vireo/engine.h>
#include <vireo/support.h>

#include <cmath>
#include <limits>

namespace {

// Single precision, as the rotation has always been computed.
constexpr float kTwoPi = 6.2831855f;

BYTE ColorByte(float c)
{
    if (c >= 1.0f)
        return 255;
    if (c <= 0.0f || std::isnan(c))
        return 0;
    return static_cast<BYTE>(c * 255.0f + 0.5f);
}

// Truncation toward zero that stays defined for sizes no int can hold.
int TruncateToInt(float v)
{
    if (std::isnan(v))
        return 0;
    if (v >= static_cast<float>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (v <= static_cast<float>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

} // namespace

void MakeDrawParam(SDrawParam* p, const RECT* pSrcRect, const BYTE* pAlpha, const DWORD* pColor)
{
    if (!p)
        return;
    if (pSrcRect) {
        p->dwFlags |= DPF_RECT;
        p->rcSrc = *pSrcRect;
    }
    if (pAlpha) {
        p->dwFlags |= DPF_ALPHA;
        p->dwColor |= static_cast<DWORD>(*pAlpha) << 24;
    }
    if (pColor) {
        p->dwFlags |= DPF_COLOR;
        p->dwColor |= *pColor & 0x00FFFFFF;
    }
}

void CPicture::DrawTransform(int x, int y, const D3DXMATRIX* pTransform, const RECT* pSrcRect, const BYTE* pAlpha,
                             const DWORD* pColor) const
{
    if (!m_pRenderSystem->IsSpriteBegun()) {
        ShowMessageBox(L"在调用 CPicture 的画图函数前，请先调用 CRenderSystem::BeginSprite ！");
        return;
    }
    const DWORD alpha = pAlpha ? *pAlpha : 255;
    DWORD bits = 0;
    if (pColor) {
        bits = *pColor;
    } else {
        const D3DXCOLOR blend = m_pRenderSystem->GetBlendColor();
        bits = (static_cast<DWORD>(ColorByte(blend.a)) << 24) | (static_cast<DWORD>(ColorByte(blend.r)) << 16) |
               (static_cast<DWORD>(ColorByte(blend.g)) << 8) | ColorByte(blend.b);
    }
    const D3DCOLOR color = (alpha << 24) | (bits & 0x00FFFFFF);

    ID3DXSprite* sprite = m_pRenderSystem->GetD3DXSprite();
    if (pTransform)
        sprite->SetTransform(pTransform);
    // No centre point: the position is that of the source rectangle's top-left corner. A
    // picture without a texture is refused by the sprite and draws nothing.
    const D3DXVECTOR3 position(static_cast<float>(x), static_cast<float>(y), 0.0f);
    sprite->Draw(m_pTexture, pSrcRect, nullptr, &position, color);
    if (pTransform) {
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        sprite->SetTransform(&identity);
    }
}

void CPicture::Draw(POINT pt) const
{
    DrawTransform(pt.x, pt.y, nullptr, nullptr, nullptr, nullptr);
}

void CPicture::Draw(int x, int y, const RECT* pSrcRect, const BYTE* pAlpha, const DWORD* pColor) const
{
    DrawTransform(x, y, nullptr, pSrcRect, pAlpha, pColor);
}

void CPicture::Draw(const SDrawParam* pParam, int x, int y) const
{
    if (!pParam)
        return;
    if (pParam->bCenter) {
        x -= m_nWidth / 2;
        y -= m_nHeight / 2;
    }
    D3DXMATRIX matrix;
    D3DXMatrixIdentity(&matrix);
    if (pParam->fRotation != 0.0f)
        MakeRotation(&matrix, pParam->fRotation, x, y);
    const BYTE alpha = static_cast<BYTE>(pParam->dwColor >> 24);
    const DWORD color = pParam->dwColor;
    DrawTransform(x, y, &matrix, (pParam->dwFlags & DPF_RECT) ? &pParam->rcSrc : nullptr,
                  (pParam->dwFlags & DPF_ALPHA) ? &alpha : nullptr, (pParam->dwFlags & DPF_COLOR) ? &color : nullptr);
}

void CPicture::DrawCenter(int x, int y, const RECT* pSrcRect, const BYTE* pAlpha, const DWORD* pColor) const
{
    SDrawParam param{};
    MakeDrawParam(&param, pSrcRect, pAlpha, pColor);
    param.bCenter = TRUE;
    Draw(&param, x, y);
}

void CPicture::MakeRotation(D3DXMATRIX* pOut, float fAngle, int x, int y) const
{
    if (!pOut)
        return;
    // About the middle of the whole picture placed at (x, y), even for a source rectangle.
    const D3DXVECTOR2 centre(static_cast<float>(x) + 0.5f * static_cast<float>(m_nWidth),
                             static_cast<float>(y) + 0.5f * static_cast<float>(m_nHeight));
    // D3DX turns clockwise on a y-down screen; a positive angle here turns anticlockwise.
    D3DXMatrixTransformation2D(pOut, nullptr, 0.0f, nullptr, &centre, kTwoPi - fAngle, nullptr);
}

void CPicture::DrawRotation(int x, int y, float fAngle, const RECT* pSrcRect, const BYTE* pAlpha,
                            const DWORD* pColor) const
{
    D3DXMATRIX matrix;
    MakeRotation(&matrix, fAngle, x, y);
    DrawTransform(x, y, &matrix, pSrcRect, pAlpha, pColor);
}

void CPicture::DrawStretch(int x, int y, int cx, int cy, COORD_DESC cd) const
{
    DrawStretchEx(x, y, cx, cy, nullptr, cd);
}

void CPicture::DrawStretch(int x, int y, int cx, int cy, const RECT* pSrcRect) const
{
    DrawStretchEx(x, y, cx, cy, pSrcRect, COORD_LEFTTOP);
}

void CPicture::DrawStretchEx(int x, int y, int cx, int cy, const RECT* pSrcRect, COORD_DESC cd) const
{
    const RECT source = pSrcRect ? *pSrcRect : RECT{0, 0, m_nWidth, m_nHeight};
    const LONG sourceWidth = source.right - source.left;
    const LONG sourceHeight = source.bottom - source.top;
    // An empty picture or source has no scale to compute; drawing it plainly still reports a
    // closed batch and otherwise draws nothing.
    if (m_nWidth <= 0 || m_nHeight <= 0 || sourceWidth == 0 || sourceHeight == 0) {
        DrawTransform(x, y, nullptr, pSrcRect, nullptr, nullptr);
        return;
    }
    // -1 for one side keeps the proportions of the whole picture.
    float fcx = static_cast<float>(cx);
    float fcy = static_cast<float>(cy);
    if (fcy < 0.0f)
        fcy = fcx * static_cast<float>(m_nHeight) / static_cast<float>(m_nWidth);
    if (fcx < 0.0f)
        fcx = fcy * static_cast<float>(m_nWidth) / static_cast<float>(m_nHeight);

    const D3DXVECTOR2 scaling(fcx / static_cast<float>(sourceWidth), fcy / static_cast<float>(sourceHeight));
    D3DXVECTOR2 centre(static_cast<float>(x), static_cast<float>(y));
    if (cd == COORD_CENTER) {
        centre = D3DXVECTOR2(static_cast<float>(x) - fcx * 0.5f, static_cast<float>(y) - fcy * 0.5f);
        x -= TruncateToInt(fcx) / 2;
        y -= TruncateToInt(fcy) / 2;
    }
    D3DXMATRIX matrix;
    D3DXMatrixTransformation2D(&matrix, &centre, 0.0f, &scaling, nullptr, 0.0f, nullptr);
    DrawTransform(x, y, &matrix, &source, nullptr, nullptr);
}

void CPicture::DrawWithMask(CPicture* pMask, int x, int y)
{
    // Without a mask there is nothing to multiply by: a plain draw.
    if (!pMask) {
        DrawTransform(x, y, nullptr, nullptr, nullptr, nullptr);
        return;
    }
    CRenderSystem* rs = m_pRenderSystem;
    IDirect3DDevice9* device = rs->GetD3DDevice();
    // Sprites queued so far were meant for the states before this call.
    rs->FlushSprite();
    device->SetTexture(0, m_pTexture);
    device->SetTexture(1, pMask->m_pTexture);
    rs->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    rs->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
    rs->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    rs->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    rs->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0);
    DrawTransform(x, y, nullptr, nullptr, nullptr, nullptr);
    rs->FlushSprite();
    // The stage-1 states stay as set; only the mask texture is taken off.
    device->SetTexture(1, nullptr);
}
