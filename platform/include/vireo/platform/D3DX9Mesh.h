// D3DX 9 meshes as the engine calls them: D3DXLoadMeshFromXW (text, binary and compressed .x
// files), ID3DXMesh with its subsets, buffers and DrawSubset, and ID3DXBuffer holding the
// D3DXMATERIAL array. No adjacency, effect instances, skinning, optimisation or saving.
#pragma once

#include <vireo/platform/D3DX9.h>

// ---- creation options --------------------------------------------------------------------
constexpr DWORD D3DXMESH_32BIT = 0x001; // 32-bit indices (otherwise 16-bit where they fit)
constexpr DWORD D3DXMESH_DONOTCLIP = 0x002;
constexpr DWORD D3DXMESH_POINTS = 0x004;
constexpr DWORD D3DXMESH_RTPATCHES = 0x008;
constexpr DWORD D3DXMESH_NPATCHES = 0x4000;
constexpr DWORD D3DXMESH_VB_SYSTEMMEM = 0x010;
constexpr DWORD D3DXMESH_VB_MANAGED = 0x020;
constexpr DWORD D3DXMESH_VB_WRITEONLY = 0x040;
constexpr DWORD D3DXMESH_VB_DYNAMIC = 0x080;
constexpr DWORD D3DXMESH_IB_SYSTEMMEM = 0x100;
constexpr DWORD D3DXMESH_IB_MANAGED = 0x200;
constexpr DWORD D3DXMESH_IB_WRITEONLY = 0x400;
constexpr DWORD D3DXMESH_IB_DYNAMIC = 0x800;
constexpr DWORD D3DXMESH_SYSTEMMEM = 0x110;
constexpr DWORD D3DXMESH_MANAGED = 0x220;
constexpr DWORD D3DXMESH_WRITEONLY = 0x440;
constexpr DWORD D3DXMESH_DYNAMIC = 0x880;

// ---- records -----------------------------------------------------------------------------
// One material of a loaded file; the texture name is narrow, as the file wrote it (null when
// the material has none). The strings live in the same buffer as the array.
struct D3DXMATERIAL {
    D3DMATERIAL9 MatD3D;
    char* pTextureFilename;
};
using LPD3DXMATERIAL = D3DXMATERIAL*;

// One subset's range in the mesh's buffers.
struct D3DXATTRIBUTERANGE {
    DWORD AttribId;
    DWORD FaceStart;
    DWORD FaceCount;
    DWORD VertexStart;
    DWORD VertexCount;
};

// ---- interfaces --------------------------------------------------------------------------
struct ID3DXBuffer : IUnknown {
    virtual void* GetBufferPointer() = 0;
    virtual DWORD GetBufferSize() = 0;
};
using LPD3DXBUFFER = ID3DXBuffer*;

struct ID3DXBaseMesh : IUnknown {
    // Draws the faces of one attribute (subset) with the device's current state; a subset
    // that has no faces draws nothing and succeeds.
    virtual HRESULT DrawSubset(DWORD attribId) = 0;
    virtual DWORD GetNumFaces() = 0;
    virtual DWORD GetNumVertices() = 0;
    virtual DWORD GetFVF() = 0;
    virtual DWORD GetNumBytesPerVertex() = 0;
    virtual DWORD GetOptions() = 0;
    virtual HRESULT GetDevice(IDirect3DDevice9** device) = 0;
    virtual HRESULT GetVertexBuffer(IDirect3DVertexBuffer9** vertexBuffer) = 0;
    virtual HRESULT GetIndexBuffer(IDirect3DIndexBuffer9** indexBuffer) = 0;
    virtual HRESULT LockVertexBuffer(DWORD flags, void** data) = 0;
    virtual HRESULT UnlockVertexBuffer() = 0;
    virtual HRESULT LockIndexBuffer(DWORD flags, void** data) = 0;
    virtual HRESULT UnlockIndexBuffer() = 0;
    // table may be null to ask for the size only.
    virtual HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* tableSize) = 0;
};

struct ID3DXMesh : ID3DXBaseMesh {
    // One DWORD per face: its attribute. Read-only here: the faces stay sorted by attribute.
    virtual HRESULT LockAttributeBuffer(DWORD flags, DWORD** data) = 0;
    virtual HRESULT UnlockAttributeBuffer() = 0;
};
using LPD3DXMESH = ID3DXMesh*;

// ---- functions ---------------------------------------------------------------------------
HRESULT D3DXCreateBuffer(DWORD numBytes, ID3DXBuffer** buffer);

// Loads every mesh of the file, moved by its frames, into one mesh: position, then normal,
// diffuse colour and one texture coordinate set where the file has them; one subset per
// material (a mesh without materials gets one white material). Adjacency and effect instances
// are not produced: given pointers receive null. D3DXERR_INVALIDDATA for a file that cannot be
// read, D3DERR_NOTFOUND when it does not exist.
HRESULT D3DXLoadMeshFromXW(LPCWSTR filename, DWORD options, IDirect3DDevice9* device, ID3DXBuffer** adjacency,
                           ID3DXBuffer** materials, ID3DXBuffer** effectInstances, DWORD* numMaterials,
                           ID3DXMesh** mesh);
HRESULT D3DXLoadMeshFromXInMemory(const void* memory, DWORD size, DWORD options, IDirect3DDevice9* device,
                                  ID3DXBuffer** adjacency, ID3DXBuffer** materials, ID3DXBuffer** effectInstances,
                                  DWORD* numMaterials, ID3DXMesh** mesh);

// ---- layer extension, not part of D3DX ---------------------------------------------------
namespace vireo::mesh {
// Where D3DXLoadMeshFromXW reports why a file gave no mesh: its name and a short reason ("not
// found", or the reader's, with the line for text files). The engine connects its log here;
// unconnected, reports are dropped.
using MeshLogHook = void (*)(const wchar_t* file, const char* reason);
void SetMeshLogHook(MeshLogHook hook);
} // namespace vireo::mesh
