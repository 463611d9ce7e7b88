// CCube: eight coloured corners and twelve triangles in managed buffers, drawn at a world
// position with the device's current vertex format. It sets no render state of its own.
#include "render/ResultBox.h"

#include <vireo/scene3d.h>

#include <cstring>

namespace {

struct SCubeVertex {
    float x, y, z;
    D3DCOLOR color;
};

constexpr D3DCOLOR kRed = 0xFFFF0000;
constexpr D3DCOLOR kBlue = 0xFF0000FF;

constexpr SCubeVertex kVertices[8] = {
    {-1, -1, -1, kRed}, {-1, 1, -1, kRed}, {1, 1, -1, kRed}, {1, -1, -1, kRed},
    {-1, -1, 1, kBlue}, {-1, 1, 1, kBlue}, {1, 1, 1, kBlue}, {1, -1, 1, kBlue},
};

constexpr WORD kIndices[36] = {0, 1, 2, 0, 2, 3, 4, 6, 5, 4, 7, 6, 4, 5, 1, 4, 1, 0,
                               3, 2, 6, 3, 6, 7, 1, 5, 6, 1, 6, 2, 4, 0, 3, 4, 3, 7};

static_assert(sizeof(kVertices) == 128 && sizeof(kIndices) == 72);

} // namespace

BOOL CCube::Create(IDirect3DDevice9* device)
{
    CGeometry::Create(device);
    // A second Create (after a reset) replaces whatever buffers are still held.
    ReleaseDeviceObjects();
    if (FAILED(device->CreateVertexBuffer(sizeof(kVertices), D3DUSAGE_WRITEONLY, D3DFVF_XYZ | D3DFVF_DIFFUSE,
                                          D3DPOOL_MANAGED, &m_pVB, nullptr)) ||
        FAILED(device->CreateIndexBuffer(sizeof(kIndices), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &m_pIB,
                                         nullptr)))
        return TRUE; // nothing to draw until the next Create; Draw's call reports it
    void* bytes = nullptr;
    if (SUCCEEDED(m_pVB->Lock(0, sizeof(kVertices), &bytes, 0))) {
        std::memcpy(bytes, kVertices, sizeof(kVertices));
        m_pVB->Unlock();
    }
    if (SUCCEEDED(m_pIB->Lock(0, sizeof(kIndices), &bytes, 0))) {
        std::memcpy(bytes, kIndices, sizeof(kIndices));
        m_pIB->Unlock();
    }
    return TRUE;
}

void CCube::Draw(float x, float y, float z)
{
    if (!m_pD3DDevice)
        return;
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, x, y, z);
    m_pD3DDevice->SetTransform(D3DTS_WORLD, &world);
    m_pD3DDevice->SetStreamSource(0, m_pVB, 0, sizeof(SCubeVertex));
    m_pD3DDevice->SetIndices(m_pIB);
    const HRESULT hr = m_pD3DDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 8, 0, 12);
    if (FAILED(hr))
        vireo::render::ShowResultBox(hr);
}
