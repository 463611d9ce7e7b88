// CRenderSystem's 3D registries: geometry (one entry per object) and meshes (shared by exact
// folder path with a reference count), and the log line of a mesh file that did not load.
// Device loss and shutdown walk the registries from RenderSystemDeviceLoss.cpp and RenderSystem.cpp.
#include <vireo/platform/D3DX9Mesh.h>
#include <vireo/render.h>
#include <vireo/scene3d.h>
#include <vireo/support.h>

#include <string>

namespace {

void WriteMeshLine(const wchar_t* file, const char* reason)
{
    const std::string text(reason); // the reader's reasons are ASCII
    WriteLog(2, L"D3DXLoadMeshFromXW  failed. file=%s, reason=%s", file,
             std::wstring(text.begin(), text.end()).c_str());
}

} // namespace

CGeometry* CRenderSystem::CreateGeometry(int type)
{
    if (type != 1)
        return nullptr;
    CGeometry* geometry = new CCube;
    geometry->Create(m_pD3DDevice);
    m_Geometries[geometry] = 1;
    return geometry;
}

void CRenderSystem::ReleaseGeometry(CGeometry* pGeometry)
{
    const auto found = m_Geometries.find(pGeometry);
    if (found == m_Geometries.end())
        return;
    delete found->first;
    m_Geometries.erase(found);
}

CMesh* CRenderSystem::CreateMesh(const wchar_t* folder)
{
    const std::wstring key(folder);
    const auto found = m_Meshes.find(key);
    if (found != m_Meshes.end()) {
        ++found->second.nRefCount;
        return found->second.pMesh;
    }
    // A mesh whose file did not load is kept all the same: it draws nothing. The log says why.
    vireo::mesh::SetMeshLogHook(&WriteMeshLine);
    CMesh* mesh = new CMesh;
    mesh->Load(this, folder);
    m_Meshes[key] = SMeshEntry{mesh, 1, key};
    return mesh;
}

void CRenderSystem::ReleaseMesh(CMesh** ppMesh)
{
    if (!ppMesh)
        return;
    for (auto it = m_Meshes.begin(); it != m_Meshes.end(); ++it) {
        if (it->second.pMesh != *ppMesh)
            continue;
        if (it->second.nRefCount < 2) {
            delete it->second.pMesh;
            *ppMesh = nullptr;
            m_Meshes.erase(it);
        } else {
            --it->second.nRefCount;
        }
        return;
    }
}
