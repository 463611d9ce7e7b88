// The software device's geometry interface: vertex and index buffers, the vertex format, the
// stream and index bindings, material and lights, and the draw calls with their argument
// checks. The draw calls hand a checked vertex source to the triangle pipeline.
#include "platform/gfx/Buffer.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/RasterTranslation.h"
#include "platform/gfx/Texture.h"

#include <algorithm>

namespace vireo::gfx {

namespace {

// Vertices a draw of `count` primitives reads, or 0 for an unknown primitive type.
UINT VerticesFor(D3DPRIMITIVETYPE type, UINT count)
{
    const std::uint64_t n = count;
    std::uint64_t vertices = 0;
    switch (type) {
    case D3DPT_POINTLIST:
        vertices = n;
        break;
    case D3DPT_LINELIST:
        vertices = n * 2;
        break;
    case D3DPT_LINESTRIP:
        vertices = n + 1;
        break;
    case D3DPT_TRIANGLELIST:
        vertices = n * 3;
        break;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
        vertices = n + 2;
        break;
    }
    return vertices > 0xFFFFFFFFu ? 0 : static_cast<UINT>(vertices);
}

constexpr UINT kMaxPrimitives = 0xFFFFF;
constexpr DWORD kMaxLights = 8;

D3DLIGHT9 DefaultLight()
{
    // What LightEnable creates for an index never set: a white directional light along +z.
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    light.Direction = {0.0f, 0.0f, 1.0f};
    return light;
}

bool ValidLight(const D3DLIGHT9& light)
{
    if (light.Type != D3DLIGHT_POINT && light.Type != D3DLIGHT_SPOT && light.Type != D3DLIGHT_DIRECTIONAL)
        return false;
    if (light.Type != D3DLIGHT_POINT) {
        const D3DVECTOR& d = light.Direction;
        if (d.x == 0.0f && d.y == 0.0f && d.z == 0.0f)
            return false;
    }
    return light.Type == D3DLIGHT_DIRECTIONAL || light.Range >= 0.0f;
}

} // namespace

// ---- buffers -----------------------------------------------------------------------------

HRESULT CDevice::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                    IDirect3DVertexBuffer9** vertexBuffer, HANDLE* sharedHandle)
{
    if (!vertexBuffer || sharedHandle)
        return D3DERR_INVALIDCALL;
    CVertexBuffer* created = nullptr;
    const HRESULT hr = CVertexBuffer::Create(this, length, usage, fvf, pool, &created);
    *vertexBuffer = created;
    return hr;
}

HRESULT CDevice::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                   IDirect3DIndexBuffer9** indexBuffer, HANDLE* sharedHandle)
{
    if (!indexBuffer || sharedHandle)
        return D3DERR_INVALIDCALL;
    CIndexBuffer* created = nullptr;
    const HRESULT hr = CIndexBuffer::Create(this, length, usage, format, pool, &created);
    *indexBuffer = created;
    return hr;
}

std::uint64_t CDevice::RegisterBuffer(CVertexBuffer* vertices, CIndexBuffer* indices)
{
    static std::uint64_t nextSerial = 1;
    const std::uint64_t serial = nextSerial++;
    if (vertices)
        m_vertexBuffers[serial] = vertices;
    if (indices)
        m_indexBuffers[serial] = indices;
    return serial;
}

void CDevice::UnregisterBuffer(std::uint64_t serial)
{
    m_vertexBuffers.erase(serial);
    m_indexBuffers.erase(serial);
    if (m_state.streamBuffer == serial)
        m_state.streamBuffer = 0;
    if (m_state.indexBuffer == serial)
        m_state.indexBuffer = 0;
}

CVertexBuffer* CDevice::BoundStream() const
{
    const auto it = m_vertexBuffers.find(m_state.streamBuffer);
    return it == m_vertexBuffers.end() ? nullptr : it->second;
}

CIndexBuffer* CDevice::BoundIndices() const
{
    const auto it = m_indexBuffers.find(m_state.indexBuffer);
    return it == m_indexBuffers.end() ? nullptr : it->second;
}

// ---- bindings ----------------------------------------------------------------------------

HRESULT CDevice::SetFVF(DWORD fvf)
{
    m_state.fvf = fvf;
    return D3D_OK;
}

HRESULT CDevice::GetFVF(DWORD* fvf)
{
    if (!fvf)
        return D3DERR_INVALIDCALL;
    *fvf = m_state.fvf;
    return D3D_OK;
}

HRESULT CDevice::SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9* streamData, UINT offsetInBytes, UINT stride)
{
    if (streamNumber != 0)
        return D3DERR_INVALIDCALL;
    if (!streamData) {
        m_state.streamBuffer = 0;
        m_state.streamOffset = 0;
        m_state.streamStride = 0;
        return D3D_OK;
    }
    CVertexBuffer* buffer = AsVertexBuffer(streamData);
    if (!buffer || buffer->Memory().Device() != this || offsetInBytes >= buffer->Memory().Size())
        return D3DERR_INVALIDCALL;
    m_state.streamBuffer = buffer->Memory().Serial();
    m_state.streamOffset = offsetInBytes;
    m_state.streamStride = stride;
    return D3D_OK;
}

HRESULT CDevice::GetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9** streamData, UINT* offsetInBytes,
                                 UINT* stride)
{
    if (streamNumber != 0 || !streamData || !offsetInBytes || !stride)
        return D3DERR_INVALIDCALL;
    CVertexBuffer* bound = BoundStream();
    if (bound)
        bound->AddRef();
    *streamData = bound;
    *offsetInBytes = m_state.streamOffset;
    *stride = m_state.streamStride;
    return D3D_OK;
}

HRESULT CDevice::SetIndices(IDirect3DIndexBuffer9* indexData)
{
    if (!indexData) {
        m_state.indexBuffer = 0;
        return D3D_OK;
    }
    CIndexBuffer* buffer = AsIndexBuffer(indexData);
    if (!buffer || buffer->Memory().Device() != this)
        return D3DERR_INVALIDCALL;
    m_state.indexBuffer = buffer->Memory().Serial();
    return D3D_OK;
}

HRESULT CDevice::GetIndices(IDirect3DIndexBuffer9** indexData)
{
    if (!indexData)
        return D3DERR_INVALIDCALL;
    CIndexBuffer* bound = BoundIndices();
    if (bound)
        bound->AddRef();
    *indexData = bound;
    return D3D_OK;
}

// ---- material and lights -----------------------------------------------------------------

HRESULT CDevice::SetMaterial(const D3DMATERIAL9* material)
{
    if (!material)
        return D3DERR_INVALIDCALL;
    m_state.material = *material;
    return D3D_OK;
}

HRESULT CDevice::GetMaterial(D3DMATERIAL9* material)
{
    if (!material)
        return D3DERR_INVALIDCALL;
    *material = m_state.material;
    return D3D_OK;
}

HRESULT CDevice::SetLight(DWORD index, const D3DLIGHT9* light)
{
    if (!light || !ValidLight(*light))
        return D3DERR_INVALIDCALL;
    auto it = m_lights.find(index);
    if (it == m_lights.end())
        m_lights.emplace(index, SLightSlot{*light, false});
    else
        it->second.light = *light;
    return D3D_OK;
}

HRESULT CDevice::GetLight(DWORD index, D3DLIGHT9* light)
{
    const auto it = m_lights.find(index);
    if (!light || it == m_lights.end())
        return D3DERR_INVALIDCALL;
    *light = it->second.light;
    return D3D_OK;
}

HRESULT CDevice::LightEnable(DWORD index, BOOL enable)
{
    auto it = m_lights.find(index);
    if (it == m_lights.end())
        it = m_lights.emplace(index, SLightSlot{DefaultLight(), false}).first;
    if (enable && !it->second.enabled) {
        const auto active =
            std::count_if(m_lights.begin(), m_lights.end(), [](const auto& e) { return e.second.enabled; });
        if (active >= static_cast<std::ptrdiff_t>(kMaxLights))
            return D3DERR_INVALIDCALL;
    }
    it->second.enabled = enable != FALSE;
    return D3D_OK;
}

HRESULT CDevice::GetLightEnable(DWORD index, BOOL* enable)
{
    const auto it = m_lights.find(index);
    if (!enable || it == m_lights.end())
        return D3DERR_INVALIDCALL;
    // The original returns a nonzero value rather than exactly TRUE; TRUE is one such value.
    *enable = it->second.enabled ? TRUE : FALSE;
    return D3D_OK;
}

// ---- drawing -----------------------------------------------------------------------------

HRESULT CDevice::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount)
{
    const UINT vertices = VerticesFor(type, primitiveCount);
    CVertexBuffer* stream = BoundStream();
    if (primitiveCount == 0 || primitiveCount > kMaxPrimitives || vertices == 0 || !stream || m_state.fvf == 0 ||
        m_state.streamStride == 0)
        return D3DERR_INVALIDCALL;
    const std::uint64_t end = m_state.streamOffset + (std::uint64_t{startVertex} + vertices) * m_state.streamStride;
    if (end > stream->Memory().Size())
        return D3DERR_INVALIDCALL;
    SVertexSource source{stream->Memory().Bytes() + m_state.streamOffset, m_state.streamStride,
                         static_cast<UINT>((stream->Memory().Size() - m_state.streamOffset) / m_state.streamStride)};
    return DrawTriangles(source, SPrimitiveRun{type, startVertex, vertices, nullptr, D3DFMT_UNKNOWN, 0});
}

HRESULT CDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT, UINT, UINT startIndex,
                                      UINT primitiveCount)
{
    const UINT indices = VerticesFor(type, primitiveCount);
    CVertexBuffer* stream = BoundStream();
    CIndexBuffer* indexBuffer = BoundIndices();
    if (primitiveCount == 0 || primitiveCount > kMaxPrimitives || indices == 0 || !stream || !indexBuffer ||
        m_state.fvf == 0 || m_state.streamStride == 0)
        return D3DERR_INVALIDCALL;
    const UINT indexSize = indexBuffer->Format() == D3DFMT_INDEX32 ? 4 : 2;
    if ((std::uint64_t{startIndex} + indices) * indexSize > indexBuffer->Memory().Size())
        return D3DERR_INVALIDCALL;
    // Indices are checked against the buffer per vertex as they are read: one that points
    // past the stream drops its primitive rather than reading outside the buffer.
    SVertexSource source{stream->Memory().Bytes() + m_state.streamOffset, m_state.streamStride,
                         static_cast<UINT>((stream->Memory().Size() - m_state.streamOffset) / m_state.streamStride)};
    return DrawTriangles(source, SPrimitiveRun{type, 0, indices,
                                               indexBuffer->Memory().Bytes() + std::size_t{startIndex} * indexSize,
                                               indexBuffer->Format(), baseVertexIndex});
}

HRESULT CDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexStreamZeroData,
                                 UINT vertexStreamZeroStride)
{
    const UINT vertices = VerticesFor(type, primitiveCount);
    if (primitiveCount == 0 || primitiveCount > kMaxPrimitives || vertices == 0 || !vertexStreamZeroData ||
        vertexStreamZeroStride == 0 || m_state.fvf == 0)
        return D3DERR_INVALIDCALL;
    // As on the original runtime, drawing from memory leaves stream 0 unbound.
    m_state.streamBuffer = 0;
    m_state.streamOffset = 0;
    m_state.streamStride = 0;
    SVertexSource source{static_cast<const std::uint8_t*>(vertexStreamZeroData), vertexStreamZeroStride, vertices};
    return DrawTriangles(source, SPrimitiveRun{type, 0, vertices, nullptr, D3DFMT_UNKNOWN, 0});
}

HRESULT CDevice::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertexIndex, UINT numVertices,
                                        UINT primitiveCount, const void* indexData, D3DFORMAT indexDataFormat,
                                        const void* vertexStreamZeroData, UINT vertexStreamZeroStride)
{
    const UINT indices = VerticesFor(type, primitiveCount);
    if (primitiveCount == 0 || primitiveCount > kMaxPrimitives || indices == 0 || !indexData || !vertexStreamZeroData ||
        vertexStreamZeroStride == 0 || m_state.fvf == 0 || numVertices == 0 ||
        (indexDataFormat != D3DFMT_INDEX16 && indexDataFormat != D3DFMT_INDEX32))
        return D3DERR_INVALIDCALL;
    m_state.streamBuffer = 0;
    m_state.streamOffset = 0;
    m_state.streamStride = 0;
    m_state.indexBuffer = 0;
    // The caller promises its indices lie in [minVertexIndex, minVertexIndex + numVertices).
    SVertexSource source{static_cast<const std::uint8_t*>(vertexStreamZeroData), vertexStreamZeroStride,
                         minVertexIndex + numVertices};
    return DrawTriangles(
        source, SPrimitiveRun{type, 0, indices, static_cast<const std::uint8_t*>(indexData), indexDataFormat, 0});
}

HRESULT CDevice::DrawTriangles(const SVertexSource& vertices, const SPrimitiveRun& run)
{
    SVertexLayout layout;
    if (!ParseFvf(m_state.fvf, layout) || layout.size > vertices.stride)
        return D3DERR_INVALIDCALL;
    if (m_lost)
        return D3D_OK;
    const RECT clip = TargetClip();
    if (clip.left >= clip.right || clip.top >= clip.bottom)
        return D3D_OK;
    raster::Surface textures[2];
    for (DWORD stage = 0; stage < 2; ++stage)
        if (CTexture* tex = BoundTexture(stage))
            textures[stage] = tex->Level0().View();
    raster::TriState state = TranslateTriState(m_state, textures, layout.texture >= 0);
    state.clip = clip;
    // The depth buffer serves a render target no larger than itself.
    raster::DepthBuffer depth{m_depth.data(), static_cast<int>(m_params.BackBufferWidth),
                              static_cast<int>(m_params.BackBufferHeight), m_depthBits};
    const D3DSURFACE_DESC& desc = m_renderTarget->Desc();
    if (m_state.renderStates[D3DRS_ZENABLE] != D3DZB_FALSE && !m_depth.empty() &&
        desc.Width <= m_params.BackBufferWidth && desc.Height <= m_params.BackBufferHeight)
        state.depth = &depth;
    m_pipeline.Draw(m_state, m_lights, layout, vertices, run, m_renderTarget->View(), state);
    return D3D_OK;
}

} // namespace vireo::gfx
