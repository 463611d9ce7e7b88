// Vertex and index buffers and the draw calls' argument checks: lock ranges on real memory,
// refused creations, bindings that follow a buffer's release, and what drawing from memory unbinds.
#include "GfxTestSupport.h"

#include <cstring>
#include <tuple>

using namespace vireo::gfxtest;

TEST_F(DeviceTest, BufferLocksHandOutTheirBytesAndRefuseRangesPastTheEnd)
{
    IDirect3DVertexBuffer9* vb = nullptr;
    ASSERT_EQ(m_device->CreateVertexBuffer(64, D3DUSAGE_WRITEONLY, D3DFVF_XYZ, D3DPOOL_MANAGED, &vb, nullptr), D3D_OK);
    void* whole = nullptr;
    ASSERT_EQ(vb->Lock(0, 0, &whole, 0), D3D_OK);
    std::memset(whole, 0xAB, 64);
    EXPECT_EQ(vb->Unlock(), D3D_OK);
    void* part = nullptr;
    ASSERT_EQ(vb->Lock(60, 4, &part, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(static_cast<std::uint8_t*>(part) - static_cast<std::uint8_t*>(whole), 60);
    EXPECT_EQ(*static_cast<std::uint8_t*>(part), 0xAB);
    EXPECT_EQ(vb->Unlock(), D3D_OK);
    EXPECT_EQ(vb->Lock(60, 5, &part, 0), D3DERR_INVALIDCALL);

    IDirect3DIndexBuffer9* ib = nullptr;
    EXPECT_EQ(m_device->CreateIndexBuffer(12, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &ib, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(ib, nullptr);
    ASSERT_EQ(m_device->CreateIndexBuffer(12, 0, D3DFMT_INDEX32, D3DPOOL_DEFAULT, &ib, nullptr), D3D_OK);
    EXPECT_EQ(vt::ResetBlockers(m_device), 1);

    // Bindings follow the buffer's life: a released buffer is no longer bound.
    ASSERT_EQ(m_device->SetIndices(ib), D3D_OK);
    ASSERT_EQ(m_device->SetStreamSource(0, vb, 0, 16), D3D_OK);
    EXPECT_EQ(ib->Release(), 0u);
    EXPECT_EQ(vt::ResetBlockers(m_device), 0);
    IDirect3DIndexBuffer9* boundIb = ib;
    ASSERT_EQ(m_device->GetIndices(&boundIb), D3D_OK);
    EXPECT_EQ(boundIb, nullptr);
    EXPECT_EQ(vb->Release(), 0u);
    IDirect3DVertexBuffer9* boundVb = vb;
    UINT offset = 1, stride = 1;
    ASSERT_EQ(m_device->GetStreamSource(0, &boundVb, &offset, &stride), D3D_OK);
    EXPECT_EQ(boundVb, nullptr);
}

TEST_F(DeviceTest, DrawCallsCheckTheirArgumentsAndDrawingFromMemoryUnbindsTheStream)
{
    IDirect3DVertexBuffer9* vb = nullptr;
    ASSERT_EQ(m_device->CreateVertexBuffer(3 * 16, 0, D3DFVF_XYZ | D3DFVF_DIFFUSE, D3DPOOL_MANAGED, &vb, nullptr),
              D3D_OK);
    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(m_device->CreateIndexBuffer(6, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr), D3D_OK);
    const float vertices[3][4] = {};

    const DWORD fvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;
    // call: 0 DrawPrimitive, 1 DrawIndexedPrimitive, 2 DrawPrimitiveUP
    const std::tuple<const char*, DWORD, bool, bool, int, D3DPRIMITIVETYPE, UINT, UINT, HRESULT> cases[] = {
        {"one triangle from the buffer", fvf, true, false, 0, D3DPT_TRIANGLELIST, 0, 1, D3D_OK},
        {"no vertex format", 0, true, false, 0, D3DPT_TRIANGLELIST, 0, 1, D3DERR_INVALIDCALL},
        {"no stream", fvf, false, false, 0, D3DPT_TRIANGLELIST, 0, 1, D3DERR_INVALIDCALL},
        {"past the buffer's end", fvf, true, false, 0, D3DPT_TRIANGLELIST, 1, 1, D3DERR_INVALIDCALL},
        {"a strip of two reads four", fvf, true, false, 0, D3DPT_TRIANGLESTRIP, 0, 2, D3DERR_INVALIDCALL},
        {"indexed", fvf, true, true, 1, D3DPT_TRIANGLELIST, 0, 1, D3D_OK},
        {"indexed without indices", fvf, true, false, 1, D3DPT_TRIANGLELIST, 0, 1, D3DERR_INVALIDCALL},
        {"from memory, a buffer bound", fvf, true, false, 2, D3DPT_TRIANGLELIST, 0, 1, D3D_OK},
    };
    for (const auto& [what, fvf, bindStream, bindIndices, call, type, start, count, expected] : cases) {
        SCOPED_TRACE(what);
        ASSERT_EQ(m_device->SetFVF(fvf), D3D_OK);
        ASSERT_EQ(m_device->SetStreamSource(0, bindStream ? vb : nullptr, 0, 16), D3D_OK);
        ASSERT_EQ(m_device->SetIndices(bindIndices ? ib : nullptr), D3D_OK);
        EXPECT_EQ(call == 0   ? m_device->DrawPrimitive(type, start, count)
                  : call == 1 ? m_device->DrawIndexedPrimitive(type, 0, 0, 3, start, count)
                              : m_device->DrawPrimitiveUP(type, count, vertices, 16),
                  expected);
    }
    // Drawing from memory (the last row) left stream 0 empty although a buffer was bound.
    IDirect3DVertexBuffer9* bound = vb;
    UINT offset = 0, stride = 0;
    ASSERT_EQ(m_device->GetStreamSource(0, &bound, &offset, &stride), D3D_OK);
    EXPECT_EQ(bound, nullptr);
    EXPECT_EQ(ib->Release(), 0u);
    EXPECT_EQ(vb->Release(), 0u);
}
