// CRenderSystem's picture registry: pictures from files, from image bytes and as render
// targets, registered with a count of 1 and destroyed by ReleasePicture. The pool shares the
// textures; this file only decides the keys.
#include "support/WideFormat.h"

#include <vireo/engine.h>
#include <vireo/support.h>

CPicture* CRenderSystem::NewPicture()
{
    CPicture* picture = new CPicture(this);
    m_Pictures[picture] = 1;
    return picture;
}

CPicture* CRenderSystem::CreatePicture(const wchar_t* path, DWORD colorKey)
{
    CPicture* picture = NewPicture();
    // A file that cannot be read has shown its box; the picture is returned empty.
    IDirect3DTexture9* texture = CreateTexture(path, D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2, 0, colorKey);
    picture->Create(this, texture, path, 0, colorKey);
    return picture;
}

CPicture* CRenderSystem::CreatePicture(void* data, DWORD size, DWORD colorKey)
{
    CPicture* picture = NewPicture();
    // The picture's own address keeps the key unique: such textures are never shared.
    wchar_t key[64];
    vireo::FormatWide(key, 64, L"Picture 0x%08llx", vireo::AddressValue(picture));
    if (!data || size == 0) {
        // No bytes would ask the pool for an empty texture of no size; say why it is empty.
        WriteLog(2, L"CreatePicture  no image bytes, key=%s", key);
        return picture;
    }
    IDirect3DTexture9* texture =
        CreateTexture(data, size, key, D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2, 0, colorKey);
    picture->Create(this, texture, key, 0, colorKey);
    return picture;
}

CPicture* CRenderSystem::CreateDynamicPicture(UINT width, UINT height)
{
    CPicture* picture = NewPicture();
    picture->CreateDynamic(width, height);
    return picture;
}

CPicture* CRenderSystem::CreateDynamicPicture(SIZE size)
{
    return CreateDynamicPicture(static_cast<UINT>(size.cx), static_cast<UINT>(size.cy));
}

void CRenderSystem::ReleasePicture(CPicture** ppPicture)
{
    if (!ppPicture || !*ppPicture)
        return;
    auto found = m_Pictures.find(*ppPicture);
    if (found == m_Pictures.end())
        return;
    if (found->second >= 2) {
        --found->second;
        return;
    }
    m_Pictures.erase(found);
    delete *ppPicture;
    *ppPicture = nullptr;
}
