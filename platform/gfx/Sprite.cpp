// ID3DXSprite on the software device: Begin saves the device state and applies the sprite
// state (always alpha blending, linear filtering, clamp addressing), Draw places the sprite
// and queues its quad, Flush draws the queue in submission order as one device batch, End
// flushes and restores.
// Sorting flags, billboards and object space are accepted and ignored.
#include "platform/gfx/Device.h"
#include "platform/gfx/DeviceHold.h"
#include "platform/gfx/GraphicsControls.h"
#include "platform/gfx/SpriteGlyphs.h"
#include "platform/gfx/Texture.h"

#include <vireo/platform/D3DX9.h>

#include <algorithm>
#include <cmath>
#include <emmintrin.h>
#include <vector>

namespace vireo::gfx {

namespace {

constexpr DWORD kValidSpriteFlags = 0x1FF;

// A point of sprite space through the transform, as D3DXVec3TransformCoord gives it. With
// the last column (0, 0, 0, 1), w is exactly 1 for finite points and the divide is skipped;
// a non-finite point gives a non-finite result either way, which the rasterizer refuses.
D3DXVECTOR2 TransformPoint(const D3DXMATRIX& m, bool affine, float x, float y, float z)
{
    const float tx = x * m._11 + y * m._21 + z * m._31 + m._41;
    const float ty = x * m._12 + y * m._22 + z * m._32 + m._42;
    if (affine)
        return {tx, ty};
    const float w = x * m._14 + y * m._24 + z * m._34 + m._44;
    return {tx / w, ty / w};
}

// Copies a transform and says whether it is affine (last column 0, 0, 0, 1), a translation
// (the identity's first three rows) and the identity: one compare per row against the
// identity's row, since a sprite batch sets a transform for nearly every sprite. Bit 3 of
// each row's result is its last column.
void CopyTransform(const D3DXMATRIX& in, D3DXMATRIX& out, bool& affine, bool& translation, bool& identity)
{
    static const float kIdentity[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    int same[4];
    for (int r = 0; r < 4; ++r) {
        const __m128 row = _mm_loadu_ps(in.m[r]);
        _mm_storeu_ps(out.m[r], row);
        same[r] = _mm_movemask_ps(_mm_cmpeq_ps(row, _mm_loadu_ps(kIdentity[r])));
    }
    const int all = same[0] & same[1] & same[2] & same[3];
    affine = (all & 8) != 0;
    translation = affine && (same[0] & same[1] & same[2]) == 0xF;
    identity = all == 0xF;
}

class CSprite final : public vireo::platform::ComObject<ID3DXSprite> {
  public:
    explicit CSprite(CDevice* device) : m_device(device)
    {
        D3DXMatrixIdentity(&m_transform);
        ++Controls().sprites;
    }

    HRESULT GetDevice(IDirect3DDevice9** device) override { return m_device.GetDevice(device); }

    HRESULT GetTransform(D3DXMATRIX* transform) override
    {
        if (!transform)
            return D3DERR_INVALIDCALL;
        *transform = m_transform;
        return D3D_OK;
    }

    HRESULT SetTransform(const D3DXMATRIX* transform) override
    {
        if (!transform)
            return D3DERR_INVALIDCALL;
        CopyTransform(*transform, m_transform, m_affine, m_translation, m_identity);
        return D3D_OK;
    }

    HRESULT Begin(DWORD flags) override
    {
        if (flags > kValidSpriteFlags || m_begun)
            return D3DERR_INVALIDCALL;
        m_flags = flags;
        if (!(flags & D3DXSPRITE_DONOTSAVESTATE))
            m_saved = m_device->State();
        if (!(flags & D3DXSPRITE_DONOTMODIFY_RENDERSTATE))
            ApplySpriteState();
        m_begun = true;
        return D3D_OK;
    }

    HRESULT Draw(IDirect3DTexture9* texture, const RECT* srcRect, const D3DXVECTOR3* center,
                 const D3DXVECTOR3* position, D3DCOLOR color) override
    {
        if (!m_begun)
            return D3DERR_INVALIDCALL;
        CTexture* tex = QueueTexture(texture);
        if (!tex)
            return D3DERR_INVALIDCALL;
        const D3DSURFACE_DESC& desc = tex->Level0().Desc();
        const RECT source =
            srcRect ? *srcRect : RECT{0, 0, static_cast<LONG>(desc.Width), static_cast<LONG>(desc.Height)};
        m_queue.push_back(SBatchQuad{
            tex, PlaceQuad(source, center ? *center : D3DXVECTOR3(), position ? *position : D3DXVECTOR3()), color});
        return D3D_OK;
    }

    // Draw for each glyph of a run, with the call, the null tests and the source lookup
    // taken out of the loop.
    bool QueueGlyphs(IDirect3DTexture9* const* pages, const font::SGlyphQuad* quads, std::size_t count, D3DCOLOR color)
    {
        if (!m_begun || !m_identity)
            return false;
        // Room for the run at once, still growing by doubling when many runs fill one batch.
        if (m_queue.capacity() - m_queue.size() < count)
            m_queue.reserve(std::max(m_queue.size() + count, 2 * m_queue.capacity()));
        for (std::size_t i = 0; i < count; ++i) {
            const font::SGlyphQuad& glyph = quads[i];
            CTexture* tex = QueueTexture(pages[glyph.page]);
            if (!tex)
                continue;
            const D3DXVECTOR3 position(static_cast<float>(glyph.target.left), static_cast<float>(glyph.target.top), 0);
            m_queue.push_back(SBatchQuad{tex, PlaceQuad(glyph.source, D3DXVECTOR3(), position), color});
        }
        return true;
    }

    HRESULT Flush() override
    {
        if (!m_begun)
            return D3DERR_INVALIDCALL;
        m_device->DrawQuadBatch(m_queue.data(), m_queue.size(), m_runs.data(), m_runs.size());
        DropQueue();
        return D3D_OK;
    }

    HRESULT End() override
    {
        if (!m_begun)
            return D3DERR_INVALIDCALL;
        Flush();
        if (!(m_flags & D3DXSPRITE_DONOTSAVESTATE))
            m_device->RestoreState(m_saved);
        m_begun = false;
        return D3D_OK;
    }

    HRESULT OnLostDevice() override
    {
        DropQueue();
        if (m_begun && !(m_flags & D3DXSPRITE_DONOTSAVESTATE))
            m_device->RestoreState(m_saved);
        m_begun = false;
        m_device.Lose();
        return D3D_OK;
    }

    HRESULT OnResetDevice() override
    {
        m_device.Restore();
        return D3D_OK;
    }

  private:
    ~CSprite() override
    {
        DropQueue();
        --Controls().sprites;
    }

    // The texture a quad about to be queued binds, or null if it is not one of this device's.
    // The first quad of a run of one texture holds the run's reference.
    CTexture* QueueTexture(IDirect3DTexture9* texture)
    {
        // Runs of one texture are the rule: the last queued quad has checked this one already.
        if (!m_queue.empty() && static_cast<IDirect3DTexture9*>(m_queue.back().texture) == texture)
            return m_queue.back().texture;
        CTexture* tex = AsTexture(texture);
        if (!tex || tex->Device() != m_device.Get())
            return nullptr;
        if (!(m_flags & D3DXSPRITE_DO_NOT_ADDREF_TEXTURE))
            tex->AddRef();
        m_runs.push_back(m_queue.size()); // the caller queues the quad
        return tex;
    }

    void ApplySpriteState()
    {
        CDevice& d = *m_device;
        d.SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        d.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        d.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        d.SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
        d.SetRenderState(D3DRS_SEPARATEALPHABLENDENABLE, FALSE);
        D3DCAPS9 caps{};
        d.GetDeviceCaps(&caps);
        d.SetRenderState(D3DRS_ALPHATESTENABLE, caps.AlphaCmpCaps != 0);
        d.SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
        d.SetRenderState(D3DRS_ALPHAREF, 0);
        d.SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        d.SetRenderState(D3DRS_LIGHTING, FALSE);
        d.SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
        d.SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
        for (D3DRENDERSTATETYPE off :
             {D3DRS_FOGENABLE, D3DRS_RANGEFOGENABLE, D3DRS_SPECULARENABLE, D3DRS_STENCILENABLE, D3DRS_SRGBWRITEENABLE,
              D3DRS_INDEXEDVERTEXBLENDENABLE, D3DRS_ENABLEADAPTIVETESSELLATION})
            d.SetRenderState(off, FALSE);
        d.SetRenderState(D3DRS_CLIPPING, TRUE);
        d.SetRenderState(D3DRS_CLIPPLANEENABLE, 0);
        d.SetRenderState(D3DRS_COLORWRITEENABLE, 0xF);
        d.SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1);
        d.SetRenderState(D3DRS_VERTEXBLEND, 0);
        d.SetRenderState(D3DRS_WRAP0, 0);

        d.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        d.SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        d.SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        d.SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        d.SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        d.SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        d.SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
        d.SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
        d.SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
        d.SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);

        d.SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
        d.SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
        d.SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
        d.SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
        d.SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_POINT);
        d.SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 0);
        d.SetSamplerState(0, D3DSAMP_MIPMAPLODBIAS, 0);
        d.SetSamplerState(0, D3DSAMP_SRGBTEXTURE, 0);
        d.SetSamplerState(0, D3DSAMP_MAXANISOTROPY, caps.MaxAnisotropy);

        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        d.SetTransform(D3DTS_WORLD, &identity);
        d.SetTransform(D3DTS_VIEW, &identity);
        // The projection the original sets (screen = sprite space - 0.5) is kept on the
        // device for readers; drawing maps sprite space to target pixels directly.
        D3DVIEWPORT9 vp{};
        d.GetViewport(&vp);
        D3DXMATRIX projection;
        D3DXMatrixOrthoOffCenterLH(&projection, vp.X + 0.5f, vp.X + vp.Width + 0.5f, vp.Y + vp.Height + 0.5f,
                                   vp.Y + 0.5f, vp.MinZ, vp.MaxZ);
        d.SetTransform(D3DTS_PROJECTION, &projection);
    }

    // Corners in sprite space go through the current transform. With pixel centres at +0.5
    // on the rasterizer, sprite-space coordinates are target coordinates as they are: this is
    // the original's "screen = sprite - 0.5" with its centres at integers.
    raster::Quad PlaceQuad(const RECT& source, const D3DXVECTOR3& center, const D3DXVECTOR3& position) const
    {
        const float w = static_cast<float>(source.right - source.left);
        const float h = static_cast<float>(source.bottom - source.top);
        const float x = position.x - center.x;
        const float y = position.y - center.y;
        const float z = position.z - center.z;
        // Text and untransformed sprites: the identity gives the corners as they are (a
        // non-finite z would poison them through the transform, so it keeps that road).
        if (m_identity && std::isfinite(z))
            return raster::Quad{x,
                                y,
                                (x + w) - x, // as the transform's corners give it, rounding included
                                0,
                                0,
                                (y + h) - y,
                                static_cast<float>(source.left),
                                static_cast<float>(source.top),
                                static_cast<float>(source.right),
                                static_cast<float>(source.bottom)};
        D3DXVECTOR2 p0, pU, pV;
        if (m_translation && std::isfinite(z)) {
            // Sprites moved into place: x * 1 + y * 0 + z * 0 + dx is x + dx for finite z, up
            // to the sign of a zero, which draws alike; a non-finite x or y stays non-finite.
            const float dx = m_transform._41, dy = m_transform._42;
            p0 = {x + dx, y + dy};
            pU = {(x + w) + dx, y + dy};
            pV = {x + dx, (y + h) + dy};
        } else {
            p0 = TransformPoint(m_transform, m_affine, x, y, z);
            pU = TransformPoint(m_transform, m_affine, x + w, y, z);
            pV = TransformPoint(m_transform, m_affine, x, y + h, z);
        }
        return raster::Quad{p0.x,
                            p0.y,
                            pU.x - p0.x,
                            pU.y - p0.y,
                            pV.x - p0.x,
                            pV.y - p0.y,
                            static_cast<float>(source.left),
                            static_cast<float>(source.top),
                            static_cast<float>(source.right),
                            static_cast<float>(source.bottom)};
    }

    void DropQueue()
    {
        if (!(m_flags & D3DXSPRITE_DO_NOT_ADDREF_TEXTURE))
            for (std::size_t start : m_runs)
                m_queue[start].texture->Release();
        m_queue.clear();
        m_runs.clear();
    }

    CDeviceHold m_device;
    D3DXMATRIX m_transform;
    bool m_affine = true;
    bool m_translation = true;
    bool m_identity = true;
    DWORD m_flags = 0;
    bool m_begun = false;
    SDeviceState m_saved{};
    std::vector<SBatchQuad> m_queue; // keeps its capacity from frame to frame
    std::vector<std::size_t> m_runs; // where each run of one texture starts in m_queue
};

} // namespace

bool QueueGlyphs(ID3DXSprite* sprite, IDirect3DTexture9* const* pages, const font::SGlyphQuad* quads, std::size_t count,
                 D3DCOLOR color)
{
    auto* ours = dynamic_cast<CSprite*>(sprite);
    return ours && ours->QueueGlyphs(pages, quads, count, color);
}

} // namespace vireo::gfx

HRESULT D3DXCreateSprite(IDirect3DDevice9* device, ID3DXSprite** sprite)
{
    vireo::gfx::CDevice* dev = vireo::gfx::AsDevice(device);
    if (!dev || !sprite)
        return D3DERR_INVALIDCALL;
    *sprite = new vireo::gfx::CSprite(dev);
    return D3D_OK;
}
