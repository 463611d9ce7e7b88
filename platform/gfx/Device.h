// The software Direct3D 9 device: a back buffer and optional depth buffer in memory, the
// settable state, clears and fills, and the frame hand-over to the back end. Drawing goes
// through the rasterizer; the D3DX sprite and line reach it through the internal calls below.
// Only windowed operation exists; there is no hardware and no second swap chain.
#pragma once

#include "platform/gfx/DeviceState.h"
#include "platform/gfx/Surface.h"
#include "platform/gfx/VertexPipeline.h"
#include "platform/raster/Raster.h"

#include <vireo/platform/D3D9.h>

#include <cstdint>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

namespace vireo::gfx {

class CTexture;
class CVertexBuffer;
class CIndexBuffer;

// Where a draw call reads its vertices: `count` vertices of `stride` bytes from `bytes`.
struct SVertexSource {
    const std::uint8_t* bytes;
    UINT stride;
    UINT count;
};

// One light slot: set with SetLight (or made with defaults by LightEnable) and its switch.
struct SLightSlot {
    D3DLIGHT9 light;
    bool enabled;
};

// One quad of a batch: the texture it binds to stage 0, its corners and its diffuse colour.
struct SBatchQuad {
    CTexture* texture;
    raster::Quad quad;
    D3DCOLOR diffuse;
};

class CDevice final : public vireo::platform::ComObject<IDirect3DDevice9> {
  public:
    // Validates the parameters (and fills a zero back-buffer size from the window) and
    // creates the device, or returns the failure.
    static HRESULT Create(IDirect3D9* d3d, D3DDEVTYPE type, HWND focusWindow, D3DPRESENT_PARAMETERS* params,
                          CDevice** device);

    HRESULT TestCooperativeLevel() override;
    HRESULT GetDirect3D(IDirect3D9** d3d) override;
    HRESULT GetDeviceCaps(D3DCAPS9* caps) override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* params) override;
    HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindow, const void* dirtyRegion) override;
    HRESULT GetBackBuffer(UINT swapChain, UINT backBuffer, D3DBACKBUFFER_TYPE type,
                          IDirect3DSurface9** surface) override;
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture, HANDLE* sharedHandle) override;
    HRESULT ColorFill(IDirect3DSurface9* surface, const RECT* rect, D3DCOLOR color) override;
    HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface) override;
    HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
    HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT9* viewport) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) override;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** vertexBuffer,
                               HANDLE* sharedHandle) override;
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DIndexBuffer9** indexBuffer, HANDLE* sharedHandle) override;
    HRESULT SetFVF(DWORD fvf) override;
    HRESULT GetFVF(DWORD* fvf) override;
    HRESULT SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9* streamData, UINT offsetInBytes,
                            UINT stride) override;
    HRESULT GetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9** streamData, UINT* offsetInBytes,
                            UINT* stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer9* indexData) override;
    HRESULT GetIndices(IDirect3DIndexBuffer9** indexData) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex, UINT numVertices,
                                 UINT startIndex, UINT primitiveCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexStreamZeroData,
                            UINT vertexStreamZeroStride) override;
    HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertexIndex, UINT numVertices, UINT primitiveCount,
                                   const void* indexData, D3DFORMAT indexDataFormat, const void* vertexStreamZeroData,
                                   UINT vertexStreamZeroStride) override;
    HRESULT SetMaterial(const D3DMATERIAL9* material) override;
    HRESULT GetMaterial(D3DMATERIAL9* material) override;
    HRESULT SetLight(DWORD index, const D3DLIGHT9* light) override;
    HRESULT GetLight(DWORD index, D3DLIGHT9* light) override;
    HRESULT LightEnable(DWORD index, BOOL enable) override;
    HRESULT GetLightEnable(DWORD index, BOOL* enable) override;

    // ---- internal: the D3DX objects and the tests ----------------------------------------
    const SDeviceState& State() const { return m_state; }
    void RestoreState(const SDeviceState& state) { m_state = state; }
    bool IsLost() const { return m_lost; }
    D3DDEVTYPE Type() const { return m_type; }
    CSurface& BackBuffer() { return *m_backBuffer; }
    int PresentedFrames() const { return m_presentedFrames; }
    // The depth buffer as stored (empty without one) and its precision in bits.
    const std::vector<std::uint32_t>& DepthValues() const { return m_depth; }
    int DepthBits() const { return m_depthBits; }

    // Draws one textured parallelogram (target pixel centres at +0.5) with the current
    // texture stages, sampler filters and blend state into the render target.
    void DrawQuad(const raster::Quad& quad, D3DCOLOR diffuse);
    // The same for a run of quads, each with its own stage-0 texture (bound as SetTexture
    // would, the last one staying bound); the state is translated once for the run. runs:
    // where each run of one texture starts, the first at 0 (the queue notes them as it fills).
    void DrawQuadBatch(const SBatchQuad* quads, std::size_t count, const std::size_t* runs, std::size_t runCount);
    // A solid parallelogram of one colour, blended by the current blend state.
    void FillQuad(const raster::Quad& quad, D3DCOLOR color);
    // A one-pixel line, end point excluded, blended by the current blend state.
    void DrawLine(float x0, float y0, float x1, float y1, D3DCOLOR color);

    // Textures register on creation and leave on destruction; bindings refer to serials.
    std::uint64_t RegisterTexture(CTexture* texture);
    void UnregisterTexture(CTexture* texture);
    CTexture* BoundTexture(DWORD stage) const;
    // Buffers register the same way; exactly one of the two pointers is set.
    std::uint64_t RegisterBuffer(CVertexBuffer* vertices, CIndexBuffer* indices);
    void UnregisterBuffer(std::uint64_t serial);
    CVertexBuffer* BoundStream() const;
    CIndexBuffer* BoundIndices() const;
    const std::map<DWORD, SLightSlot>& Lights() const { return m_lights; }
    // Objects that hold default-pool resources and so block Reset until released.
    void AddResetBlocker(int delta) { m_resetBlockers += delta; }
    int ResetBlockers() const { return m_resetBlockers; }

  private:
    CDevice(IDirect3D9* d3d, D3DDEVTYPE type);
    ~CDevice() override;

    HRESULT BuildBuffers(const D3DPRESENT_PARAMETERS& params);
    RECT TargetClip() const;
    // Runs `count` vertices (or indices, when `indices` is set) of a checked draw call through
    // the fixed-function pipeline into the render target.
    // D3DERR_INVALIDCALL when the vertex format is unusable or wider than the stride.
    HRESULT DrawTriangles(const SVertexSource& vertices, const SPrimitiveRun& run);
    raster::BlendState Blend() const;

    IDirect3D9* m_d3d;
    D3DDEVTYPE m_type;
    D3DPRESENT_PARAMETERS m_params{};
    std::unique_ptr<CSurface> m_backBuffer;
    std::vector<std::uint32_t> m_depth; // integers of m_depthBits, one per back-buffer pixel
    int m_depthBits = 24;
    CVertexPipeline m_pipeline;
    std::vector<std::uint8_t> m_stencil;
    CSurface* m_renderTarget = nullptr; // the back buffer or a level of a live texture
    SDeviceState m_state{};
    std::unordered_map<std::uint64_t, CTexture*> m_textures;
    std::unordered_map<std::uint64_t, CVertexBuffer*> m_vertexBuffers;
    std::unordered_map<std::uint64_t, CIndexBuffer*> m_indexBuffers;
    std::map<DWORD, SLightSlot> m_lights;
    int m_resetBlockers = 0;
    bool m_inScene = false;
    bool m_lost = false;
    int m_presentedFrames = 0;
};

// The device behind an interface pointer made by this layer, or null.
CDevice* AsDevice(IDirect3DDevice9* device);

} // namespace vireo::gfx
