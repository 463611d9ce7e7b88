// ID3DXMesh: the vertices written in FVF order (position, normal, diffuse, one texture
// coordinate set), faces stably sorted by attribute, one attribute range per subset, and
// DrawSubset as one indexed triangle-list draw of that range. No optimisation or adjacency.
#include "platform/gfx/mesh/D3DXMesh.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace vireo::gfx {

CD3DXMesh::CD3DXMesh(IDirect3DDevice9* device) : m_device(device)
{
    m_device->AddRef();
}

CD3DXMesh::~CD3DXMesh()
{
    if (m_vb)
        m_vb->Release();
    if (m_ib)
        m_ib->Release();
    m_device->Release();
}

HRESULT CD3DXMesh::Create(IDirect3DDevice9* device, DWORD options, const xfile::MeshData& data, CD3DXMesh** out)
{
    *out = nullptr;
    const std::size_t faces = data.attributes.size();
    const std::size_t vertices = data.vertices.size();
    // More vertices than 16-bit indices reach: the mesh takes 32-bit indices.
    if (vertices > 0xFFFF)
        options |= D3DXMESH_32BIT;
    const bool wide = (options & D3DXMESH_32BIT) != 0;
    DWORD fvf = D3DFVF_XYZ;
    DWORD stride = 12;
    if (data.hasNormals)
        fvf |= D3DFVF_NORMAL, stride += 12;
    if (data.hasColors)
        fvf |= D3DFVF_DIFFUSE, stride += 4;
    if (data.hasUVs)
        fvf |= D3DFVF_TEX1, stride += 8;
    if (faces == 0 || vertices == 0 || vertices * stride > 0x7FFFFFFF || faces * 3 * (wide ? 4 : 2) > 0x7FFFFFFF)
        return D3DXERR_INVALIDDATA;

    auto pool = [](DWORD systemBit, DWORD managedBit, DWORD opts) {
        return (opts & systemBit) ? D3DPOOL_SYSTEMMEM : (opts & managedBit) ? D3DPOOL_MANAGED : D3DPOOL_DEFAULT;
    };
    auto* mesh = new CD3DXMesh(device);
    mesh->m_options = options;
    mesh->m_fvf = fvf;
    mesh->m_stride = stride;
    mesh->m_numFaces = static_cast<DWORD>(faces);
    mesh->m_numVertices = static_cast<DWORD>(vertices);
    HRESULT hr =
        device->CreateVertexBuffer(static_cast<UINT>(vertices * stride), 0, fvf,
                                   pool(D3DXMESH_VB_SYSTEMMEM, D3DXMESH_VB_MANAGED, options), &mesh->m_vb, nullptr);
    if (SUCCEEDED(hr))
        hr = device->CreateIndexBuffer(static_cast<UINT>(faces * 3 * (wide ? 4 : 2)), 0,
                                       wide ? D3DFMT_INDEX32 : D3DFMT_INDEX16,
                                       pool(D3DXMESH_IB_SYSTEMMEM, D3DXMESH_IB_MANAGED, options), &mesh->m_ib, nullptr);
    BYTE* vb = nullptr;
    BYTE* ib = nullptr;
    if (SUCCEEDED(hr))
        hr = mesh->m_vb->Lock(0, 0, reinterpret_cast<void**>(&vb), 0);
    if (SUCCEEDED(hr))
        hr = mesh->m_ib->Lock(0, 0, reinterpret_cast<void**>(&ib), 0);
    if (FAILED(hr)) {
        mesh->Release();
        return hr;
    }

    for (const xfile::Vertex& v : data.vertices) {
        std::memcpy(vb, v.position, 12), vb += 12;
        if (data.hasNormals)
            std::memcpy(vb, v.normal, 12), vb += 12;
        if (data.hasColors)
            std::memcpy(vb, &v.color, 4), vb += 4;
        if (data.hasUVs)
            std::memcpy(vb, v.uv, 8), vb += 8;
    }
    // Faces in attribute order, ties kept in file order.
    std::vector<std::uint32_t> order(faces);
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return data.attributes[a] < data.attributes[b]; });
    mesh->m_attributes.reserve(faces);
    for (std::size_t f = 0; f < faces; ++f) {
        const std::uint32_t src = order[f];
        const DWORD attrib = data.attributes[src];
        mesh->m_attributes.push_back(attrib);
        DWORD lo = 0xFFFFFFFF, hi = 0;
        for (int k = 0; k < 3; ++k) {
            const std::uint32_t index = data.indices[std::size_t{src} * 3 + k];
            lo = std::min(lo, index), hi = std::max(hi, index);
            if (wide) {
                std::memcpy(ib, &index, 4), ib += 4;
            } else {
                const auto narrow = static_cast<std::uint16_t>(index);
                std::memcpy(ib, &narrow, 2), ib += 2;
            }
        }
        if (mesh->m_ranges.empty() || mesh->m_ranges.back().AttribId != attrib) {
            mesh->m_ranges.push_back({attrib, static_cast<DWORD>(f), 0, lo, 0});
            mesh->m_ranges.back().VertexCount = hi + 1; // end for now; a start-relative count below
        }
        D3DXATTRIBUTERANGE& range = mesh->m_ranges.back();
        ++range.FaceCount;
        range.VertexStart = std::min(range.VertexStart, lo);
        range.VertexCount = std::max(range.VertexCount, hi + 1);
    }
    for (D3DXATTRIBUTERANGE& range : mesh->m_ranges)
        range.VertexCount -= range.VertexStart;
    mesh->m_vb->Unlock();
    mesh->m_ib->Unlock();
    *out = mesh;
    return S_OK;
}

HRESULT CD3DXMesh::DrawSubset(DWORD attribId)
{
    const auto range = std::find_if(m_ranges.begin(), m_ranges.end(),
                                    [&](const D3DXATTRIBUTERANGE& r) { return r.AttribId == attribId; });
    if (range == m_ranges.end())
        return S_OK;
    HRESULT hr = m_device->SetFVF(m_fvf);
    if (SUCCEEDED(hr))
        hr = m_device->SetStreamSource(0, m_vb, 0, m_stride);
    if (SUCCEEDED(hr))
        hr = m_device->SetIndices(m_ib);
    if (SUCCEEDED(hr))
        hr = m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, range->VertexStart, range->VertexCount,
                                            range->FaceStart * 3, range->FaceCount);
    return hr;
}

HRESULT CD3DXMesh::GetDevice(IDirect3DDevice9** device)
{
    if (!device)
        return D3DERR_INVALIDCALL;
    m_device->AddRef();
    *device = m_device;
    return S_OK;
}

HRESULT CD3DXMesh::GetVertexBuffer(IDirect3DVertexBuffer9** vertexBuffer)
{
    if (!vertexBuffer)
        return D3DERR_INVALIDCALL;
    m_vb->AddRef();
    *vertexBuffer = m_vb;
    return S_OK;
}

HRESULT CD3DXMesh::GetIndexBuffer(IDirect3DIndexBuffer9** indexBuffer)
{
    if (!indexBuffer)
        return D3DERR_INVALIDCALL;
    m_ib->AddRef();
    *indexBuffer = m_ib;
    return S_OK;
}

HRESULT CD3DXMesh::GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* tableSize)
{
    if (tableSize)
        *tableSize = static_cast<DWORD>(m_ranges.size());
    if (table)
        std::copy(m_ranges.begin(), m_ranges.end(), table);
    return S_OK;
}

HRESULT CD3DXMesh::LockAttributeBuffer(DWORD, DWORD** data)
{
    if (!data)
        return D3DERR_INVALIDCALL;
    *data = m_attributes.data();
    return S_OK;
}

} // namespace vireo::gfx
