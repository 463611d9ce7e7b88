// CRenderSystem's texture pool: one entry per key shared by every holder, textures made from
// image bytes (20 logged attempts 5 s apart) or empty, released hold by hold, and default-pool
// textures dropped at device loss. Pictures and packages decide the keys; nothing here
// knows which picture holds what.
#include "support/WideFormat.h"

#include "render/ResultBox.h"
#include "support/FileBytes.h"

#include <vireo/engine.h>
#include <vireo/platform/DxErr.h>
#include <vireo/support.h>

#include <vector>

namespace {

constexpr int kLoadAttempts = 20;
constexpr DWORD kLoadRetryMs = 5000;
// No image the decoders accept comes near this; a larger file is refused before the buffer
// is allocated, as an unreadable one.
constexpr DWORD kMaxImageFileBytes = 256u * 1024u * 1024u;

} // namespace

IDirect3DTexture9* CRenderSystem::CreateTexture(const void* data, DWORD size, const wchar_t* key, UINT width,
                                                UINT height, DWORD usage, D3DCOLOR colorKey)
{
    const std::wstring name = key ? key : L"";
    auto found = m_TexturePool.find(name);
    if (found != m_TexturePool.end()) {
        // The first creation decided size, usage and colour key; later holders share it.
        ++found->second.nRefCount;
        return found->second.pTexture;
    }
    STexture& entry = m_TexturePool[name];
    entry.strPath = name;
    IDirect3DTexture9* texture = RestoreTexture(data, size, name.c_str(), width, height, usage, colorKey);
    // RestoreTexture may have shown a box; the map is unchanged, so the reference still holds.
    entry.pTexture = texture;
    entry.nRefCount = 1;
    return texture;
}

IDirect3DTexture9* CRenderSystem::CreateTexture(const wchar_t* path, UINT width, UINT height, DWORD usage,
                                                D3DCOLOR colorKey)
{
    std::vector<BYTE> bytes;
    if (!path || !vireo::ReadFileBytes(path, kMaxImageFileBytes, bytes)) {
        ShowMessageBox(L"CreateTexture  failed. path=%s", GetFullPath(path ? path : L"").c_str());
        return nullptr;
    }
    // An empty file is still image bytes (none of them decode), not a request for an empty
    // texture: the buffer pointer must not be null.
    static const BYTE kNoBytes = 0;
    const void* data = bytes.empty() ? &kNoBytes : bytes.data();
    return CreateTexture(data, static_cast<DWORD>(bytes.size()), path, width, height, usage, colorKey);
}

IDirect3DTexture9* CRenderSystem::RestoreTexture(const void* data, DWORD size, const wchar_t* key, UINT width,
                                                 UINT height, DWORD usage, D3DCOLOR colorKey)
{
    const std::wstring name = key ? key : L"";
    if (m_TexturePool.find(name) == m_TexturePool.end()) {
        ShowMessageBox(L"RestoreTexture failed. Can't find texture in pool. path=%s", name.c_str());
        return nullptr;
    }
    const D3DPOOL pool = usage == D3DUSAGE_RENDERTARGET ? D3DPOOL_DEFAULT : D3DPOOL_MANAGED;
    IDirect3DTexture9* texture = nullptr;

    if (data || size) {
        for (int attempt = 0; attempt < kLoadAttempts; ++attempt) {
            texture = nullptr;
            const HRESULT hr = D3DXCreateTextureFromFileInMemoryEx(m_pD3DDevice, data, size, width, height, 1, usage,
                                                                   D3DFMT_A8R8G8B8, pool, D3DX_FILTER_NONE,
                                                                   D3DX_DEFAULT, colorKey, nullptr, nullptr, &texture);
            if (FAILED(hr))
                texture = nullptr;
            WriteLog(1,
                     L"D3DXCreateTextureFromFileInMemoryEx  hr=%d(%s), Pool=%d, p=0x%08llx, path=%s, ColorKey=0x%x, "
                     L"TexPoolSize=%d",
                     static_cast<int>(hr), DXGetErrorString(hr), static_cast<int>(pool), vireo::AddressValue(texture),
                     name.c_str(), static_cast<unsigned>(colorKey), GetTexturePoolSize());
            if (texture)
                return texture;
            // A file still being written may read whole a moment later; the wait is the
            // engine's documented price for bytes that never decode.
            Sleep(kLoadRetryMs);
        }
        return nullptr;
    }

    const HRESULT hr = D3DXCreateTexture(m_pD3DDevice, width, height, 1, usage, D3DFMT_A8R8G8B8, pool, &texture);
    if (FAILED(hr))
        texture = nullptr;
    WriteLog(1, L"D3DXCreateTexture  hr=%d(%s), p=0x%08llx, path=%s, width=%d, height=%d, TexPoolSize=%d",
             static_cast<int>(hr), DXGetErrorString(hr), vireo::AddressValue(texture), name.c_str(),
             static_cast<int>(width), static_cast<int>(height), GetTexturePoolSize());
    if (hr != S_OK)
        vireo::render::ShowResultBox(hr);
    if (texture) {
        const HRESULT filtered = D3DXFilterTexture(texture, nullptr, 0, D3DX_FILTER_NONE);
        if (filtered != S_OK)
            vireo::render::ShowResultBox(filtered);
    }
    return texture;
}

IDirect3DTexture9* CRenderSystem::RecreateTexture(const wchar_t* key, UINT width, UINT height, DWORD usage)
{
    auto found = m_TexturePool.find(key ? key : L"");
    if (found == m_TexturePool.end())
        return nullptr;
    IDirect3DTexture9* texture = RestoreTexture(nullptr, 0, key, width, height, usage, 0);
    found->second.pTexture = texture;
    return texture;
}

void CRenderSystem::ReleaseTexture(IDirect3DTexture9** ppTexture)
{
    if (!ppTexture)
        return;
    auto it = m_TexturePool.begin();
    while (it != m_TexturePool.end() && it->second.pTexture != *ppTexture)
        ++it;
    if (it == m_TexturePool.end())
        return;
    STexture& entry = it->second;
    if (entry.nRefCount >= 2) {
        --entry.nRefCount;
        return;
    }
    if (!entry.pTexture) {
        m_TexturePool.erase(it);
        return;
    }
    IDirect3DTexture9* texture = entry.pTexture;
    const ULONG ref = texture->Release();
    WriteLog(1, L"D3DXReleaseTexture  ref=%d, p=0x%08llx, path=%s, TexPoolSize=%d", static_cast<int>(ref),
             vireo::AddressValue(texture), entry.strPath.c_str(), GetTexturePoolSize());
    if (ref == 0)
        *ppTexture = nullptr;
    // With another holder left (a sprite batch that still queues the texture) the pool has
    // given up its own reference all the same: an entry kept now would point at an object
    // that the other holder frees, and emptying the pool would release it a second time.
    m_TexturePool.erase(it);
}

void CRenderSystem::ReleaseTextureForced(IDirect3DTexture9* texture)
{
    if (!texture)
        return;
    for (auto& [key, entry] : m_TexturePool) {
        if (entry.pTexture != texture)
            continue;
        entry.pTexture->Release();
        entry.pTexture = nullptr;
        WriteLog(1, L"ReleaseTextureForced  \"%s\"", key.c_str());
    }
}

const CRenderSystem::STexture* CRenderSystem::FindTexture(const wchar_t* key) const
{
    auto found = m_TexturePool.find(key ? key : L"");
    return found == m_TexturePool.end() ? nullptr : &found->second;
}
