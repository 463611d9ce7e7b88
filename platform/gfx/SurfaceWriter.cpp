// D3DXSaveSurfaceToFileW: the whole surface or a rectangle of it as a 32-bit BMP (the only
// format written, whatever the name or the format asked for), through the platform's files.
#include "platform/gfx/Surface.h"
#include "platform/gfx/image/ImageDecoder.h"

#include <vireo/platform/D3DX9.h>

#include <new>

HRESULT D3DXSaveSurfaceToFileW(LPCWSTR path, D3DXIMAGE_FILEFORMAT, IDirect3DSurface9* surface, const PALETTEENTRY*,
                               const RECT* srcRect)
{
    auto* source = dynamic_cast<vireo::gfx::CSurface*>(surface);
    if (!path || !source || source->IsLocked())
        return D3DERR_INVALIDCALL;
    const D3DSURFACE_DESC& desc = source->Desc();
    RECT area{0, 0, static_cast<LONG>(desc.Width), static_cast<LONG>(desc.Height)};
    if (srcRect) {
        // An empty rectangle still writes a (0-pixel) file; one reaching outside is refused.
        if (srcRect->left < 0 || srcRect->top < 0 || srcRect->left > srcRect->right || srcRect->top > srcRect->bottom ||
            static_cast<UINT>(srcRect->right) > desc.Width || static_cast<UINT>(srcRect->bottom) > desc.Height)
            return D3DERR_INVALIDCALL;
        area = *srcRect;
    }
    std::vector<std::uint8_t> bytes;
    try {
        const int pitch = static_cast<int>(desc.Width * 4);
        const std::uint32_t* first = source->Pixels() + static_cast<size_t>(area.top) * desc.Width + area.left;
        bytes = vireo::image::EncodeBmp(first, area.right - area.left, area.bottom - area.top, pitch);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    if (bytes.empty())
        return E_FAIL;

    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return D3DERR_INVALIDCALL;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size() ? D3D_OK : E_FAIL;
}
