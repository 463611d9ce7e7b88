// ID3DXLine on the software device: a polyline in one colour, alpha blended. Width 1 draws
// one-pixel segments with the first point included and the last excluded, so a polyline
// blends each joint once; wider lines are quads centred on each segment. Patterns and
// antialiasing are stored and not drawn.
#include "platform/gfx/Device.h"
#include "platform/gfx/DeviceHold.h"
#include "platform/gfx/GraphicsControls.h"

#include <vireo/platform/D3DX9.h>

#include <cmath>

namespace vireo::gfx {

namespace {

class CLine final : public vireo::platform::ComObject<ID3DXLine> {
  public:
    explicit CLine(CDevice* device) : m_device(device) { ++Controls().lines; }

    HRESULT GetDevice(IDirect3DDevice9** device) override { return m_device.GetDevice(device); }

    HRESULT Begin() override
    {
        if (m_begun)
            return D3DERR_INVALIDCALL;
        m_saved = m_device->State();
        CDevice& d = *m_device;
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        d.SetTransform(D3DTS_WORLD, &identity);
        d.SetTransform(D3DTS_VIEW, &identity);
        D3DVIEWPORT9 vp{};
        d.GetViewport(&vp);
        D3DXMATRIX projection;
        D3DXMatrixOrthoOffCenterLH(&projection, 0, static_cast<float>(vp.Width), static_cast<float>(vp.Height), 0, 0,
                                   1);
        d.SetTransform(D3DTS_PROJECTION, &projection);
        d.SetRenderState(D3DRS_LIGHTING, FALSE);
        d.SetRenderState(D3DRS_FOGENABLE, FALSE);
        d.SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
        d.SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        d.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        d.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        m_begun = true;
        return D3D_OK;
    }

    HRESULT Draw(const D3DXVECTOR2* vertices, DWORD count, D3DCOLOR color) override
    {
        if (!vertices)
            return D3DERR_INVALIDCALL;
        const bool own = !m_begun;
        if (own)
            Begin();
        // Points are in target pixels with centres at integers (no half-pixel offset, unlike
        // the sprite); the rasterizer's centres are at +0.5.
        for (DWORD i = 0; i + 1 < count; ++i) {
            const float x0 = vertices[i].x + 0.5f, y0 = vertices[i].y + 0.5f;
            const float x1 = vertices[i + 1].x + 0.5f, y1 = vertices[i + 1].y + 0.5f;
            if (m_width <= 1.0f)
                m_device->DrawLine(x0, y0, x1, y1, color);
            else
                DrawWide(x0, y0, x1, y1, color);
        }
        if (own)
            End();
        return D3D_OK;
    }

    HRESULT End() override
    {
        if (!m_begun)
            return D3DERR_INVALIDCALL;
        m_device->RestoreState(m_saved);
        m_begun = false;
        return D3D_OK;
    }

    HRESULT SetWidth(float width) override
    {
        if (!(width > 0.0f))
            return D3DERR_INVALIDCALL;
        m_width = width;
        return D3D_OK;
    }
    float GetWidth() override { return m_width; }
    HRESULT SetPattern(DWORD pattern) override
    {
        m_pattern = pattern;
        return D3D_OK;
    }
    DWORD GetPattern() override { return m_pattern; }
    HRESULT SetPatternScale(float scale) override
    {
        m_patternScale = scale;
        return D3D_OK;
    }
    float GetPatternScale() override { return m_patternScale; }
    HRESULT SetAntialias(BOOL antialias) override
    {
        m_antialias = antialias;
        return D3D_OK;
    }
    BOOL GetAntialias() override { return m_antialias; }
    HRESULT SetGLLines(BOOL glLines) override
    {
        m_glLines = glLines;
        return D3D_OK;
    }
    BOOL GetGLLines() override { return m_glLines; }

    HRESULT OnLostDevice() override
    {
        if (m_begun)
            End();
        m_device.Lose();
        return D3D_OK;
    }

    HRESULT OnResetDevice() override
    {
        m_device.Restore();
        return D3D_OK;
    }

  private:
    ~CLine() override { --Controls().lines; }

    // A quad of the line's width centred on the segment, from one end point to the other.
    void DrawWide(float x0, float y0, float x1, float y1, D3DCOLOR color)
    {
        const float dx = x1 - x0, dy = y1 - y0;
        const float length = std::hypot(dx, dy);
        if (length <= 0.0f)
            return;
        const float nx = -dy / length * m_width * 0.5f;
        const float ny = dx / length * m_width * 0.5f;
        raster::Quad quad{};
        quad.x0 = x0 + nx;
        quad.y0 = y0 + ny;
        quad.edgeUx = dx;
        quad.edgeUy = dy;
        quad.edgeVx = -2 * nx;
        quad.edgeVy = -2 * ny;
        quad.u1 = quad.v1 = 1.0f;
        m_device->FillQuad(quad, color);
    }

    CDeviceHold m_device;
    float m_width = 1.0f;
    DWORD m_pattern = 0xFFFFFFFF;
    float m_patternScale = 1.0f;
    BOOL m_antialias = FALSE;
    BOOL m_glLines = FALSE;
    bool m_begun = false;
    SDeviceState m_saved{};
};

} // namespace

} // namespace vireo::gfx

HRESULT D3DXCreateLine(IDirect3DDevice9* device, ID3DXLine** line)
{
    vireo::gfx::CDevice* dev = vireo::gfx::AsDevice(device);
    if (!dev || !line)
        return D3DERR_INVALIDCALL;
    *line = new vireo::gfx::CLine(dev);
    return D3D_OK;
}
