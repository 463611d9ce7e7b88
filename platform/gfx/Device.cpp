// The software Direct3D 9 device: creation and reset with their refusals, the frame cycle and
// device loss, clears and fills, state storage, and the drawing entry points of the D3DX
// objects, which turn the current state into one rasterizer call each.
#include "platform/gfx/Device.h"

#include "platform/core/Presentation.h"
#include "platform/gfx/GraphicsControls.h"
#include "platform/gfx/RasterTranslation.h"
#include "platform/gfx/Texture.h"
#include "platform/raster/QuadBatch.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace vireo::gfx {

namespace {

constexpr UINT kMaxBackBufferSide = 8192;

bool IsDepthFormat(D3DFORMAT format)
{
    return format == D3DFMT_D16 || format == D3DFMT_D24S8 || format == D3DFMT_D24X8 || format == D3DFMT_D32;
}

// Checks the parameters and fills a zero back-buffer size from the window's client area.
HRESULT PrepareParameters(D3DPRESENT_PARAMETERS& params, HWND focusWindow)
{
    // The test switch refuses the format the engine asks for, whether or not it enables the
    // depth buffer: the retry with D16 must be visible either way.
    const D3DFORMAT refused = Controls().refusedDepthFormat;
    if (refused != D3DFMT_UNKNOWN && params.AutoDepthStencilFormat == refused)
        return D3DERR_NOTAVAILABLE;
    if (params.EnableAutoDepthStencil && !IsDepthFormat(params.AutoDepthStencilFormat))
        return D3DERR_INVALIDCALL;
    if (params.BackBufferFormat != D3DFMT_UNKNOWN && params.BackBufferFormat != D3DFMT_A8R8G8B8 &&
        params.BackBufferFormat != D3DFMT_X8R8G8B8)
        return D3DERR_INVALIDCALL;
    if (params.BackBufferCount > 1)
        return D3DERR_INVALIDCALL;
    HWND window = params.hDeviceWindow ? params.hDeviceWindow : focusWindow;
    if (!window)
        return D3DERR_INVALIDCALL;
    if (params.BackBufferWidth == 0 || params.BackBufferHeight == 0) {
        RECT client{};
        if (!GetClientRect(window, &client))
            return D3DERR_INVALIDCALL;
        if (params.BackBufferWidth == 0)
            params.BackBufferWidth = static_cast<UINT>(std::max<LONG>(1, client.right - client.left));
        if (params.BackBufferHeight == 0)
            params.BackBufferHeight = static_cast<UINT>(std::max<LONG>(1, client.bottom - client.top));
    }
    if (params.BackBufferWidth > kMaxBackBufferSide || params.BackBufferHeight > kMaxBackBufferSide)
        return D3DERR_INVALIDCALL;
    return D3D_OK;
}

RECT Intersect(const RECT& a, const RECT& b)
{
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    return r;
}

} // namespace

// ---- creation ----------------------------------------------------------------------------

HRESULT CDevice::Create(IDirect3D9* d3d, D3DDEVTYPE type, HWND focusWindow, D3DPRESENT_PARAMETERS* params,
                        CDevice** device)
{
    if (!params || !device)
        return D3DERR_INVALIDCALL;
    *device = nullptr;
    D3DPRESENT_PARAMETERS prepared = *params;
    HRESULT hr = PrepareParameters(prepared, focusWindow);
    if (FAILED(hr))
        return hr;
    if (!prepared.hDeviceWindow)
        prepared.hDeviceWindow = focusWindow;

    CDevice* created = new CDevice(d3d, type);
    hr = created->BuildBuffers(prepared);
    if (FAILED(hr)) {
        created->Release();
        return hr;
    }
    params->BackBufferWidth = prepared.BackBufferWidth;
    params->BackBufferHeight = prepared.BackBufferHeight;
    *device = created;
    return D3D_OK;
}

CDevice::CDevice(IDirect3D9* d3d, D3DDEVTYPE type) : m_d3d(d3d), m_type(type)
{
    if (m_d3d)
        m_d3d->AddRef();
    ++Controls().devices;
}

CDevice::~CDevice()
{
    m_backBuffer.reset();
    if (m_d3d)
        m_d3d->Release();
    --Controls().devices;
}

HRESULT CDevice::BuildBuffers(const D3DPRESENT_PARAMETERS& params)
{
    const D3DFORMAT format = params.BackBufferFormat == D3DFMT_A8R8G8B8 ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    const size_t pixels = static_cast<size_t>(params.BackBufferWidth) * params.BackBufferHeight;
    try {
        m_backBuffer = std::make_unique<CSurface>(this, this, params.BackBufferWidth, params.BackBufferHeight, format,
                                                  D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT);
        if (params.EnableAutoDepthStencil) {
            m_depthBits = params.AutoDepthStencilFormat == D3DFMT_D16 ? 16 : 24;
            m_depth.assign(pixels, raster::QuantizeDepth(1.0f, m_depthBits));
            m_stencil.assign(pixels, 0);
        } else {
            m_depth.clear();
            m_stencil.clear();
        }
    } catch (const std::bad_alloc&) {
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    m_params = params;
    m_renderTarget = m_backBuffer.get();
    m_lights.clear();
    SetDeviceDefaults(m_state, params.EnableAutoDepthStencil != FALSE, params.BackBufferWidth, params.BackBufferHeight);
    return D3D_OK;
}

HRESULT CDevice::GetDirect3D(IDirect3D9** d3d)
{
    if (!d3d || !m_d3d)
        return D3DERR_INVALIDCALL;
    m_d3d->AddRef();
    *d3d = m_d3d;
    return D3D_OK;
}

HRESULT CDevice::GetDeviceCaps(D3DCAPS9* caps)
{
    if (!m_d3d)
        return D3DERR_INVALIDCALL;
    return m_d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, m_type, caps);
}

// ---- frame cycle and loss ----------------------------------------------------------------

HRESULT CDevice::TestCooperativeLevel()
{
    auto& queue = Controls().cooperativeLevelResults;
    if (!queue.empty()) {
        const HRESULT hr = queue.front();
        queue.pop_front();
        return hr;
    }
    return m_lost ? D3DERR_DEVICENOTRESET : D3D_OK;
}

HRESULT CDevice::Reset(D3DPRESENT_PARAMETERS* params)
{
    if (!params)
        return D3DERR_INVALIDCALL;
    auto& queue = Controls().resetResults;
    if (!queue.empty()) {
        const HRESULT scripted = queue.front();
        queue.pop_front();
        if (FAILED(scripted)) {
            m_lost = true;
            return scripted;
        }
    }
    // As Direct3D 9: every default-pool resource must be gone first; the device stays lost.
    if (m_resetBlockers > 0 || m_inScene) {
        m_lost = true;
        return D3DERR_INVALIDCALL;
    }
    D3DPRESENT_PARAMETERS prepared = *params;
    HRESULT hr = PrepareParameters(prepared, m_params.hDeviceWindow);
    if (FAILED(hr)) {
        m_lost = true;
        return hr;
    }
    if (!prepared.hDeviceWindow)
        prepared.hDeviceWindow = m_params.hDeviceWindow;
    // A caller still holding the back buffer would keep a surface that Reset replaces.
    if (m_backBuffer && (m_backBuffer->IsLocked() || m_backBuffer->OutsideReferences() > 0)) {
        m_lost = true;
        return D3DERR_INVALIDCALL;
    }
    hr = BuildBuffers(prepared);
    if (FAILED(hr)) {
        m_lost = true;
        return hr;
    }
    params->BackBufferWidth = prepared.BackBufferWidth;
    params->BackBufferHeight = prepared.BackBufferHeight;
    m_lost = false;
    return D3D_OK;
}

HRESULT CDevice::BeginScene()
{
    if (m_inScene)
        return D3DERR_INVALIDCALL;
    m_inScene = true;
    return D3D_OK;
}

HRESULT CDevice::EndScene()
{
    if (!m_inScene)
        return D3DERR_INVALIDCALL;
    m_inScene = false;
    return D3D_OK;
}

HRESULT CDevice::Present(const RECT* sourceRect, const RECT* destRect, HWND destWindow, const void*)
{
    if (m_inScene)
        return D3DERR_INVALIDCALL;
    // Rectangles are for the COPY swap effect only.
    if ((sourceRect || destRect) && m_params.SwapEffect != D3DSWAPEFFECT_COPY)
        return D3DERR_INVALIDCALL;
    if (m_lost)
        return D3DERR_DEVICELOST;
    auto& controls = Controls();
    if (controls.loseNextPresent || controls.loseEveryPresent) {
        controls.loseNextPresent = false;
        m_lost = true;
        return D3DERR_DEVICELOST;
    }
    const D3DSURFACE_DESC& desc = m_backBuffer->Desc();
    const platform::FrameView frame{m_backBuffer->Pixels(), static_cast<int>(desc.Width), static_cast<int>(desc.Height),
                                    static_cast<int>(desc.Width * 4)};
    const HWND window = destWindow ? destWindow : m_params.hDeviceWindow;
    if (platform::PresentFrame(window, frame) == platform::PresentResult::DeviceLost) {
        m_lost = true;
        return D3DERR_DEVICELOST;
    }
    ++m_presentedFrames;
    return D3D_OK;
}

HRESULT CDevice::GetBackBuffer(UINT swapChain, UINT backBuffer, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface)
{
    if (!surface)
        return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (swapChain != 0 || backBuffer != 0 || type != D3DBACKBUFFER_TYPE_MONO)
        return D3DERR_INVALIDCALL;
    m_backBuffer->AddRef();
    *surface = m_backBuffer.get();
    return D3D_OK;
}

// ---- resources ---------------------------------------------------------------------------

HRESULT CDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                               IDirect3DTexture9** texture, HANDLE* sharedHandle)
{
    if (!texture || sharedHandle)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    // One level is all this device keeps; asking for a full chain (0) gets one.
    if (levels > 1 && !(usage & D3DUSAGE_AUTOGENMIPMAP)) {
        // A caller that asked for several levels would address levels that do not exist.
        return D3DERR_INVALIDCALL;
    }
    CTexture* created = nullptr;
    const HRESULT hr = CTexture::Create(this, width, height, usage, format, pool, &created);
    if (SUCCEEDED(hr))
        *texture = created;
    return hr;
}

std::uint64_t CDevice::RegisterTexture(CTexture* texture)
{
    static std::uint64_t nextSerial = 1;
    const std::uint64_t serial = nextSerial++;
    m_textures[serial] = texture;
    return serial;
}

void CDevice::UnregisterTexture(CTexture* texture)
{
    m_textures.erase(texture->Serial());
    for (auto& bound : m_state.textures)
        if (bound == texture->Serial())
            bound = 0;
    if (m_renderTarget == &texture->Level0())
        m_renderTarget = m_backBuffer.get();
}

CTexture* CDevice::BoundTexture(DWORD stage) const
{
    if (stage >= D3D_MAX_TEXTURE_STAGES || m_state.textures[stage] == 0)
        return nullptr;
    const auto it = m_textures.find(m_state.textures[stage]);
    return it == m_textures.end() ? nullptr : it->second;
}

HRESULT CDevice::ColorFill(IDirect3DSurface9* surface, const RECT* rect, D3DCOLOR color)
{
    auto* target = dynamic_cast<CSurface*>(surface);
    if (!target || target->Device() != this)
        return D3DERR_INVALIDCALL;
    const D3DSURFACE_DESC& desc = target->Desc();
    if (desc.Pool != D3DPOOL_DEFAULT)
        return D3DERR_INVALIDCALL;
    RECT area{0, 0, static_cast<LONG>(desc.Width), static_cast<LONG>(desc.Height)};
    if (rect) {
        // Validated, not clipped, as the original runtime does.
        if (!RectInside(*rect, desc.Width, desc.Height))
            return D3DERR_INVALIDCALL;
        area = *rect;
    }
    if (m_lost)
        return D3D_OK;
    raster::FillRect(target->View(), area, color);
    return D3D_OK;
}

HRESULT CDevice::SetRenderTarget(DWORD index, IDirect3DSurface9* surface)
{
    if (index != 0)
        return D3DERR_INVALIDCALL;
    auto* target = dynamic_cast<CSurface*>(surface);
    if (!target || target->Device() != this || !(target->Desc().Usage & D3DUSAGE_RENDERTARGET))
        return D3DERR_INVALIDCALL;
    m_renderTarget = target;
    // Setting a render target resets the viewport to the whole target.
    m_state.viewport = {0, 0, target->Desc().Width, target->Desc().Height, 0.0f, 1.0f};
    return D3D_OK;
}

HRESULT CDevice::GetRenderTarget(DWORD index, IDirect3DSurface9** surface)
{
    if (!surface)
        return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (index != 0)
        return D3DERR_NOTFOUND;
    m_renderTarget->AddRef();
    *surface = m_renderTarget;
    return D3D_OK;
}

// ---- clearing ----------------------------------------------------------------------------

RECT CDevice::TargetClip() const
{
    const D3DVIEWPORT9& vp = m_state.viewport;
    const RECT target{0, 0, static_cast<LONG>(m_renderTarget->Desc().Width),
                      static_cast<LONG>(m_renderTarget->Desc().Height)};
    const RECT viewport{static_cast<LONG>(vp.X), static_cast<LONG>(vp.Y), static_cast<LONG>(vp.X + vp.Width),
                        static_cast<LONG>(vp.Y + vp.Height)};
    return Intersect(target, viewport);
}

HRESULT CDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil)
{
    if (count != 0 && !rects)
        return D3DERR_INVALIDCALL;
    if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && m_depth.empty())
        return D3DERR_INVALIDCALL;
    if ((flags & (D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) == 0)
        return D3DERR_INVALIDCALL;
    if (m_lost)
        return D3D_OK;

    const RECT clip = TargetClip();
    std::vector<RECT> areas;
    if (count == 0) {
        areas.push_back(clip);
    } else {
        for (DWORD i = 0; i < count; ++i)
            areas.push_back(Intersect(clip, RECT{rects[i].x1, rects[i].y1, rects[i].x2, rects[i].y2}));
    }
    const std::uint32_t depth = raster::QuantizeDepth(z, m_depthBits);
    const int depthWidth = static_cast<int>(m_params.BackBufferWidth);
    const int depthHeight = static_cast<int>(m_params.BackBufferHeight);
    for (const RECT& area : areas) {
        if (area.left >= area.right || area.top >= area.bottom)
            continue;
        if (flags & D3DCLEAR_TARGET)
            raster::FillRect(m_renderTarget->View(), area, color);
        if (flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) {
            const RECT d = Intersect(area, RECT{0, 0, depthWidth, depthHeight});
            for (LONG y = d.top; y < d.bottom; ++y) {
                const size_t row = static_cast<size_t>(y) * depthWidth;
                if (flags & D3DCLEAR_ZBUFFER)
                    raster::FillValues(m_depth.data() + row + d.left, static_cast<std::size_t>(d.right - d.left),
                                       depth);
                if (flags & D3DCLEAR_STENCIL)
                    std::fill(m_stencil.begin() + row + d.left, m_stencil.begin() + row + d.right,
                              static_cast<std::uint8_t>(stencil));
            }
        }
    }
    return D3D_OK;
}

// ---- states ------------------------------------------------------------------------------

HRESULT CDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix)
{
    D3DMATRIX* slot = TransformSlot(m_state, state);
    if (!slot || !matrix)
        return D3DERR_INVALIDCALL;
    *slot = *matrix;
    return D3D_OK;
}

HRESULT CDevice::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix)
{
    D3DMATRIX* slot = TransformSlot(m_state, state);
    if (!slot || !matrix)
        return D3DERR_INVALIDCALL;
    *matrix = *slot;
    return D3D_OK;
}

HRESULT CDevice::SetViewport(const D3DVIEWPORT9* viewport)
{
    if (!viewport)
        return D3DERR_INVALIDCALL;
    const D3DSURFACE_DESC& desc = m_renderTarget->Desc();
    if (viewport->Width == 0 || viewport->Height == 0 || viewport->X + viewport->Width > desc.Width ||
        viewport->Y + viewport->Height > desc.Height)
        return D3DERR_INVALIDCALL;
    m_state.viewport = *viewport;
    return D3D_OK;
}

HRESULT CDevice::GetViewport(D3DVIEWPORT9* viewport)
{
    if (!viewport)
        return D3DERR_INVALIDCALL;
    *viewport = m_state.viewport;
    return D3D_OK;
}

HRESULT CDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    if (state >= D3DRS_MAX_ID)
        return D3DERR_INVALIDCALL;
    m_state.renderStates[state] = value;
    return D3D_OK;
}

HRESULT CDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value)
{
    if (state >= D3DRS_MAX_ID || !value)
        return D3DERR_INVALIDCALL;
    *value = m_state.renderStates[state];
    return D3D_OK;
}

HRESULT CDevice::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture)
{
    if (stage >= D3D_MAX_TEXTURE_STAGES || !texture)
        return D3DERR_INVALIDCALL;
    CTexture* bound = BoundTexture(stage);
    if (bound)
        bound->AddRef();
    *texture = bound;
    return D3D_OK;
}

HRESULT CDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture)
{
    if (stage >= D3D_MAX_TEXTURE_STAGES)
        return D3DERR_INVALIDCALL;
    if (!texture) {
        m_state.textures[stage] = 0;
        return D3D_OK;
    }
    CTexture* tex = AsTexture(texture);
    if (!tex || tex->Device() != this)
        return D3DERR_INVALIDCALL;
    m_state.textures[stage] = tex->Serial();
    return D3D_OK;
}

HRESULT CDevice::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value)
{
    if (stage >= D3D_MAX_TEXTURE_STAGES || type >= D3DTSS_MAX_ID || !value)
        return D3DERR_INVALIDCALL;
    *value = m_state.stageStates[stage][type];
    return D3D_OK;
}

HRESULT CDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value)
{
    if (stage >= D3D_MAX_TEXTURE_STAGES || type >= D3DTSS_MAX_ID)
        return D3DERR_INVALIDCALL;
    m_state.stageStates[stage][type] = value;
    return D3D_OK;
}

HRESULT CDevice::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value)
{
    if (sampler >= D3D_MAX_TEXTURE_STAGES || type >= D3DSAMP_MAX_ID || !value)
        return D3DERR_INVALIDCALL;
    *value = m_state.samplerStates[sampler][type];
    return D3D_OK;
}

HRESULT CDevice::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value)
{
    if (sampler >= D3D_MAX_TEXTURE_STAGES || type >= D3DSAMP_MAX_ID)
        return D3DERR_INVALIDCALL;
    m_state.samplerStates[sampler][type] = value;
    return D3D_OK;
}

// ---- drawing for the D3DX objects --------------------------------------------------------

raster::BlendState CDevice::Blend() const
{
    return TranslateBlend(m_state);
}

void CDevice::DrawQuad(const raster::Quad& quad, D3DCOLOR diffuse)
{
    if (m_lost)
        return;
    raster::Surface textures[2];
    for (DWORD stage = 0; stage < 2; ++stage)
        if (CTexture* tex = BoundTexture(stage))
            textures[stage] = tex->Level0().View();
    raster::QuadState state = TranslateQuadState(m_state, quad, textures);
    state.diffuse = diffuse;
    state.clip = TargetClip();
    if (state.clip.left >= state.clip.right || state.clip.top >= state.clip.bottom)
        return;
    raster::DrawQuad(m_renderTarget->View(), quad, state);
}

void CDevice::DrawQuadBatch(const SBatchQuad* quads, std::size_t count, const std::size_t* runs, std::size_t runCount)
{
    if (count == 0)
        return;
    if (m_lost) {
        m_state.textures[0] = quads[count - 1].texture->Serial();
        return;
    }
    raster::Surface textures[2];
    CTexture* current = quads[0].texture;
    textures[0] = current->Level0().View();
    if (CTexture* tex = BoundTexture(1))
        textures[1] = tex->Level0().View();
    raster::QuadState state = TranslateBatchState(m_state, textures);
    state.clip = TargetClip();
    const bool perQuadFilters = FiltersDependOnQuad(m_state);
    ChooseFilters(m_state, quads[0].quad, state);
    if (state.clip.left < state.clip.right && state.clip.top < state.clip.bottom) {
        // One batch for the whole queue: the state is checked once, texture switches and
        // colours are noted as they come, and runs of glyphs blend as rectangle lists.
        raster::QuadBatch batch(m_renderTarget->View(), state);
        for (std::size_t r = 0; r < runCount; ++r) {
            const std::size_t begin = runs[r], end = r + 1 < runCount ? runs[r + 1] : count;
            const SBatchQuad& first = quads[begin];
            if (first.texture != current) {
                current = first.texture;
                textures[0] = current->Level0().View();
                batch.SetTexture(textures[0].width > 0 ? &textures[0] : nullptr);
            }
            if (!perQuadFilters) {
                // A run of one texture goes to the batch in one call.
                batch.DrawRun(&first.quad, &first.diffuse, sizeof(SBatchQuad), end - begin);
                continue;
            }
            for (std::size_t i = begin; i < end; ++i) {
                ChooseFilters(m_state, quads[i].quad, state);
                batch.SetFilters(state.stages[0].filter, state.stages[1].filter);
                batch.Draw(quads[i].quad, quads[i].diffuse);
            }
        }
    }
    m_state.textures[0] = quads[count - 1].texture->Serial();
}

void CDevice::FillQuad(const raster::Quad& quad, D3DCOLOR color)
{
    if (m_lost)
        return;
    raster::QuadState state;
    state.stages[0].colorOp = raster::StageOp::SelectArg1;
    state.stages[0].colorArg1 = raster::StageArg::Diffuse;
    state.stages[0].alphaOp = raster::StageOp::SelectArg1;
    state.stages[0].alphaArg1 = raster::StageArg::Diffuse;
    state.diffuse = color;
    state.blend = Blend();
    state.clip = TargetClip();
    if (state.clip.left >= state.clip.right || state.clip.top >= state.clip.bottom)
        return;
    raster::DrawQuad(m_renderTarget->View(), quad, state);
}

void CDevice::DrawLine(float x0, float y0, float x1, float y1, D3DCOLOR color)
{
    if (m_lost)
        return;
    const RECT clip = TargetClip();
    if (clip.left >= clip.right || clip.top >= clip.bottom)
        return;
    raster::DrawLine(m_renderTarget->View(), x0, y0, x1, y1, color, Blend(), clip);
}

CDevice* AsDevice(IDirect3DDevice9* device)
{
    return dynamic_cast<CDevice*>(device);
}

} // namespace vireo::gfx
