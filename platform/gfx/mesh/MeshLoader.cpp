// D3DXLoadMeshFromXW and D3DXLoadMeshFromXInMemory: the file's bytes through the .x reader
// into one mesh, and the D3DXMATERIAL array (texture names stored after it in the same
// buffer); why a file was refused goes to the log hook. Adjacency and effect instances are not
// produced; texture files are not opened.
#include "platform/gfx/mesh/D3DXMesh.h"

#include <vireo/platform/Win32.h>

#include <cstring>
#include <string>

namespace vireo::gfx {

namespace {

// Larger files are refused unread: far beyond any mesh a 2D game draws.
constexpr DWORD kMaxFileSize = 64u << 20;

vireo::mesh::MeshLogHook g_logHook = nullptr;

D3DCOLORVALUE Rgb1(const float rgb[3])
{
    return {rgb[0], rgb[1], rgb[2], 1.0f};
}

HRESULT MakeMaterials(const xfile::MeshData& data, ID3DXBuffer** out)
{
    const std::size_t count = data.materials.size();
    std::size_t size = count * sizeof(D3DXMATERIAL);
    for (const xfile::Material& m : data.materials)
        if (!m.texture.empty())
            size += m.texture.size() + 1;
    const HRESULT hr = D3DXCreateBuffer(static_cast<DWORD>(size), out);
    if (FAILED(hr))
        return hr;
    auto* materials = static_cast<D3DXMATERIAL*>((*out)->GetBufferPointer());
    char* names = reinterpret_cast<char*>(materials + count);
    for (std::size_t i = 0; i < count; ++i) {
        const xfile::Material& m = data.materials[i];
        D3DXMATERIAL& d = materials[i];
        d.MatD3D.Diffuse = {m.diffuse[0], m.diffuse[1], m.diffuse[2], m.diffuse[3]};
        d.MatD3D.Ambient = {0, 0, 0, 0};
        d.MatD3D.Specular = Rgb1(m.specular);
        d.MatD3D.Emissive = Rgb1(m.emissive);
        d.MatD3D.Power = m.power;
        d.pTextureFilename = nullptr;
        if (!m.texture.empty()) {
            std::memcpy(names, m.texture.c_str(), m.texture.size() + 1);
            d.pTextureFilename = names;
            names += m.texture.size() + 1;
        }
    }
    return S_OK;
}

// D3DXLoadMeshFromXInMemory, with the reader's reason for refusing the bytes in `error`.
HRESULT LoadFromMemory(const void* memory, DWORD size, DWORD options, IDirect3DDevice9* device, ID3DXBuffer** adjacency,
                       ID3DXBuffer** materials, ID3DXBuffer** effectInstances, DWORD* numMaterials, ID3DXMesh** mesh,
                       std::string* error)
{
    if (adjacency)
        *adjacency = nullptr;
    if (effectInstances)
        *effectInstances = nullptr;
    if (materials)
        *materials = nullptr;
    if (numMaterials)
        *numMaterials = 0;
    if (!mesh || !device || (!memory && size))
        return D3DERR_INVALIDCALL;
    *mesh = nullptr;
    xfile::MeshData data;
    if (!xfile::ReadXFile(static_cast<const std::uint8_t*>(memory), size, &data, error))
        return D3DXERR_INVALIDDATA;
    CD3DXMesh* made = nullptr;
    HRESULT hr = CD3DXMesh::Create(device, options, data, &made);
    if (FAILED(hr))
        return hr;
    if (materials) {
        hr = MakeMaterials(data, materials);
        if (FAILED(hr)) {
            made->Release();
            return hr;
        }
    }
    if (numMaterials)
        *numMaterials = static_cast<DWORD>(data.materials.size());
    *mesh = made;
    return S_OK;
}

HRESULT Refused(LPCWSTR filename, ID3DXMesh** mesh, HRESULT hr, const char* reason)
{
    if (mesh)
        *mesh = nullptr;
    if (g_logHook)
        g_logHook(filename, reason);
    return hr;
}

} // namespace

} // namespace vireo::gfx

void vireo::mesh::SetMeshLogHook(MeshLogHook hook)
{
    vireo::gfx::g_logHook = hook;
}

HRESULT D3DXLoadMeshFromXInMemory(const void* memory, DWORD size, DWORD options, IDirect3DDevice9* device,
                                  ID3DXBuffer** adjacency, ID3DXBuffer** materials, ID3DXBuffer** effectInstances,
                                  DWORD* numMaterials, ID3DXMesh** mesh)
{
    return vireo::gfx::LoadFromMemory(memory, size, options, device, adjacency, materials, effectInstances,
                                      numMaterials, mesh, nullptr);
}

HRESULT D3DXLoadMeshFromXW(LPCWSTR filename, DWORD options, IDirect3DDevice9* device, ID3DXBuffer** adjacency,
                           ID3DXBuffer** materials, ID3DXBuffer** effectInstances, DWORD* numMaterials,
                           ID3DXMesh** mesh)
{
    using namespace vireo::gfx;
    if (!filename)
        return D3DERR_INVALIDCALL;
    HANDLE file = CreateFileW(filename, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return Refused(filename, mesh, D3DERR_NOTFOUND, "not found");
    const DWORD size = GetFileSize(file, nullptr);
    std::vector<BYTE> bytes;
    DWORD read = 0;
    const bool ok = size != INVALID_FILE_SIZE && size <= kMaxFileSize &&
                    (bytes.resize(size), ReadFile(file, bytes.data(), size, &read, nullptr)) && read == size;
    CloseHandle(file);
    if (!ok)
        return Refused(filename, mesh, D3DXERR_INVALIDDATA, "unreadable or larger than 64 MiB");
    std::string error;
    const HRESULT hr = LoadFromMemory(bytes.data(), size, options, device, adjacency, materials, effectInstances,
                                      numMaterials, mesh, &error);
    return error.empty() ? hr : Refused(filename, mesh, hr, error.c_str());
}
