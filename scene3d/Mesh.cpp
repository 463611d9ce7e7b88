// CMesh: a mesh folder's .x file loaded into system memory, one material (ambient = diffuse)
// and one texture picture per subset, drawn subset by subset at a world position. The mesh
// needs nothing at a device reset: its buffers and textures survive it.
#include <vireo/render.h>
#include <vireo/scene3d.h>
#include <vireo/support.h>

#include "support/AnsiText.h"

#include <cstring>
#include <new>

CMesh::~CMesh()
{
    if (m_pMesh)
        m_pMesh->Release();
    delete[] m_pMaterials;
    if (m_ppPictures) {
        for (DWORD i = 0; i < m_dwNumSubsets; ++i)
            m_pRenderSystem->ReleasePicture(&m_ppPictures[i]);
        delete[] m_ppPictures;
    }
}

HRESULT CMesh::Load(CRenderSystem* rs, const wchar_t* folder)
{
    m_pRenderSystem = rs;
    IDirect3DDevice9* device = rs->GetD3DDevice();
    // Models\Tank.pak holds Models\Tank.pak\Tank.x.
    const std::wstring file = std::wstring(folder) + L"\\" + GetFileTitle(folder, 0) + L".x";
    ID3DXBuffer* materialBuffer = nullptr;
    DWORD subsets = 0;
    if (FAILED(D3DXLoadMeshFromXW(file.c_str(), D3DXMESH_SYSTEMMEM, device, nullptr, &materialBuffer, nullptr, &subsets,
                                  &m_pMesh)))
        return E_FAIL;

    m_pMaterials = new (std::nothrow) D3DMATERIAL9[subsets];
    m_ppPictures = new (std::nothrow) CPicture*[subsets]();
    if (!m_pMaterials || !m_ppPictures) {
        materialBuffer->Release();
        return E_OUTOFMEMORY;
    }
    m_dwNumSubsets = subsets;
    const auto* materials = static_cast<const D3DXMATERIAL*>(materialBuffer->GetBufferPointer());
    for (DWORD i = 0; i < subsets; ++i) {
        m_pMaterials[i] = materials[i].MatD3D;
        m_pMaterials[i].Ambient = m_pMaterials[i].Diffuse;
        const char* texture = materials[i].pTextureFilename;
        if (texture && *texture) {
            const std::wstring path = std::wstring(folder) + L"\\" + vireo::AnsiToWide(texture, std::strlen(texture));
            m_ppPictures[i] = rs->CreatePicture(path.c_str(), 0);
        }
    }
    materialBuffer->Release();
    return S_OK;
}

void CMesh::Draw(float x, float y, float z)
{
    if (!m_pMesh)
        return;
    IDirect3DDevice9* device = m_pRenderSystem->GetD3DDevice();
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, x, y, z);
    device->SetTransform(D3DTS_WORLD, &world);
    for (DWORD i = 0; i < m_dwNumSubsets; ++i) {
        device->SetMaterial(&m_pMaterials[i]);
        device->SetTexture(0, m_ppPictures[i] ? m_ppPictures[i]->GetTexture() : nullptr);
        m_pMesh->DrawSubset(i);
    }
}
