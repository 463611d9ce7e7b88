// ID3DXMesh over the device's own vertex and index buffers, built from a read .x file: faces
// sorted by attribute so every subset is one indexed draw. The loader makes it; games see
// only the interface.
#pragma once

#include "platform/gfx/mesh/XFile.h"

#include <vireo/platform/D3DX9Mesh.h>

#include <vector>

namespace vireo::gfx {

class CD3DXMesh final : public vireo::platform::ComObject<ID3DXMesh> {
  public:
    // The mesh in buffers of the pool the options ask for, or the device's failure.
    static HRESULT Create(IDirect3DDevice9* device, DWORD options, const xfile::MeshData& data, CD3DXMesh** mesh);

    HRESULT DrawSubset(DWORD attribId) override;
    DWORD GetNumFaces() override { return m_numFaces; }
    DWORD GetNumVertices() override { return m_numVertices; }
    DWORD GetFVF() override { return m_fvf; }
    DWORD GetNumBytesPerVertex() override { return m_stride; }
    DWORD GetOptions() override { return m_options; }
    HRESULT GetDevice(IDirect3DDevice9** device) override;
    HRESULT GetVertexBuffer(IDirect3DVertexBuffer9** vertexBuffer) override;
    HRESULT GetIndexBuffer(IDirect3DIndexBuffer9** indexBuffer) override;
    HRESULT LockVertexBuffer(DWORD flags, void** data) override { return m_vb->Lock(0, 0, data, flags); }
    HRESULT UnlockVertexBuffer() override { return m_vb->Unlock(); }
    HRESULT LockIndexBuffer(DWORD flags, void** data) override { return m_ib->Lock(0, 0, data, flags); }
    HRESULT UnlockIndexBuffer() override { return m_ib->Unlock(); }
    HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* tableSize) override;
    HRESULT LockAttributeBuffer(DWORD flags, DWORD** data) override;
    HRESULT UnlockAttributeBuffer() override { return S_OK; }

  private:
    explicit CD3DXMesh(IDirect3DDevice9* device);
    ~CD3DXMesh() override;

    IDirect3DDevice9* m_device;
    IDirect3DVertexBuffer9* m_vb = nullptr;
    IDirect3DIndexBuffer9* m_ib = nullptr;
    DWORD m_options = 0, m_fvf = 0, m_stride = 0, m_numFaces = 0, m_numVertices = 0;
    std::vector<DWORD> m_attributes;          // per face, sorted
    std::vector<D3DXATTRIBUTERANGE> m_ranges; // one per attribute that has faces
};

} // namespace vireo::gfx
