// D3DX texture creation: from image bytes (decoded by the image readers, colour-keyed, sized
// and, when the texture is larger, scaled or copied to the top-left), empty textures, and the
// level filter, which has nothing to do on this device's one-level textures.
#include "platform/gfx/Device.h"
#include "platform/gfx/Texture.h"
#include "platform/gfx/image/ImageDecoder.h"

#include <vireo/platform/D3DX9.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace vireo::gfx {

namespace {

UINT NextPowerOfTwo(UINT v)
{
    UINT p = 1;
    while (p < v)
        p <<= 1;
    return p;
}

UINT ResolveSide(UINT asked, UINT image)
{
    if (asked == 0 || asked == D3DX_DEFAULT)
        return NextPowerOfTwo(image);
    if (asked == D3DX_DEFAULT_NONPOW2 || asked == D3DX_FROM_FILE)
        return image;
    return asked;
}

bool ValidFilter(DWORD filter)
{
    if (filter == D3DX_DEFAULT)
        return true;
    const DWORD kind = filter & 0x7;
    const DWORD flags = filter & ~0x7u;
    return kind >= D3DX_FILTER_NONE && kind <= D3DX_FILTER_BOX &&
           (flags & ~(D3DX_FILTER_MIRROR | D3DX_FILTER_DITHER | D3DX_FILTER_DITHER_DIFFUSION | D3DX_FILTER_SRGB)) == 0;
}

std::uint32_t ReadLE(const BYTE* p, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

bool AnyAlpha(const image::Image& img)
{
    return std::any_of(img.pixels.begin(), img.pixels.end(), [](std::uint32_t p) { return (p >> 24) != 0xFF; });
}

// True when the JPEG's frame header declares one component.
bool JpegIsGrey(const BYTE* data, size_t size)
{
    size_t pos = 2;
    while (pos + 10 <= size && data[pos] == 0xFF) {
        const BYTE marker = data[pos + 1];
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return data[pos + 9] == 1;
        pos += 2 + ((static_cast<size_t>(data[pos + 2]) << 8) | data[pos + 3]);
    }
    return false;
}

// The pixel format the file itself holds, as far as its header tells (the decoded pixels are
// always A8R8G8B8). Only reported in D3DXIMAGE_INFO.
D3DFORMAT SourceFormat(const BYTE* data, size_t size, const image::Image& img)
{
    switch (img.format) {
    case image::Format::Png:
        if (size > 25) {
            switch (data[25]) {
            case 0:
                return D3DFMT_L8;
            case 2:
                return D3DFMT_X8R8G8B8;
            case 3:
                return D3DFMT_P8;
            default:
                return D3DFMT_A8R8G8B8;
            }
        }
        break;
    case image::Format::Jpeg:
        return JpegIsGrey(data, size) ? D3DFMT_L8 : D3DFMT_R8G8B8;
    case image::Format::Bmp:
        if (size >= 34) {
            const std::uint32_t bits = ReadLE(data + 28, 2);
            if (bits == 32)
                return AnyAlpha(img) ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
            if (bits == 24)
                return D3DFMT_R8G8B8;
            if (bits == 16)
                return ReadLE(data + 30, 4) == 3 ? D3DFMT_R5G6B5 : D3DFMT_X1R5G5B5;
            return D3DFMT_P8;
        }
        break;
    case image::Format::Tga:
        if (size >= 18) {
            switch (data[16]) {
            case 32:
                return D3DFMT_A8R8G8B8;
            case 24:
                return D3DFMT_R8G8B8;
            case 16:
                return D3DFMT_A1R5G5B5;
            default:
                return data[2] == 3 || data[2] == 11 ? D3DFMT_L8 : D3DFMT_P8;
            }
        }
        break;
    case image::Format::Dds:
        if (size >= 108) {
            const std::uint32_t flags = ReadLE(data + 80, 4);
            if (flags & 0x4)
                return static_cast<D3DFORMAT>(ReadLE(data + 84, 4));
            const std::uint32_t bits = ReadLE(data + 88, 4);
            if (bits == 24)
                return D3DFMT_R8G8B8;
            return ReadLE(data + 104, 4) != 0 ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
        }
        break;
    default:
        break;
    }
    return D3DFMT_A8R8G8B8;
}

D3DXIMAGE_FILEFORMAT FileFormat(image::Format format)
{
    switch (format) {
    case image::Format::Jpeg:
        return D3DXIFF_JPG;
    case image::Format::Tga:
        return D3DXIFF_TGA;
    case image::Format::Png:
        return D3DXIFF_PNG;
    case image::Format::Dds:
        return D3DXIFF_DDS;
    default:
        return D3DXIFF_BMP;
    }
}

HRESULT Decode(const void* data, UINT size, image::Image& img, D3DXIMAGE_INFO* info)
{
    if (!data || size == 0)
        return D3DERR_INVALIDCALL;
    try {
        if (!image::DecodeImage(data, size, img, nullptr))
            return D3DXERR_INVALIDDATA;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    if (info) {
        info->Width = static_cast<UINT>(img.width);
        info->Height = static_cast<UINT>(img.height);
        info->Depth = 1;
        info->MipLevels = 1;
        info->Format = SourceFormat(static_cast<const BYTE*>(data), size, img);
        info->ResourceType = D3DRTYPE_TEXTURE;
        info->ImageFileFormat = FileFormat(img.format);
    }
    return D3D_OK;
}

std::uint32_t Lerp(std::uint32_t a, std::uint32_t b, float t)
{
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const float ca = static_cast<float>((a >> shift) & 0xFF);
        const float cb = static_cast<float>((b >> shift) & 0xFF);
        out |= static_cast<std::uint32_t>(std::lround(ca + (cb - ca) * t)) << shift;
    }
    return out;
}

// Resamples src into a dstW x dstH block: nearest texel for the point filter, bilinear with
// clamped edges otherwise. Texel centres at +0.5 on both sides.
void Scale(const image::Image& src, std::uint32_t* dst, UINT dstW, UINT dstH, UINT dstPitch, bool point)
{
    const float sx = static_cast<float>(src.width) / dstW;
    const float sy = static_cast<float>(src.height) / dstH;
    auto at = [&](int x, int y) {
        x = std::clamp(x, 0, src.width - 1);
        y = std::clamp(y, 0, src.height - 1);
        return src.pixels[static_cast<size_t>(y) * src.width + x];
    };
    for (UINT y = 0; y < dstH; ++y) {
        std::uint32_t* row = dst + static_cast<size_t>(y) * dstPitch;
        const float fy = (y + 0.5f) * sy - 0.5f;
        for (UINT x = 0; x < dstW; ++x) {
            const float fx = (x + 0.5f) * sx - 0.5f;
            if (point) {
                row[x] = at(static_cast<int>(std::floor(fx + 0.5f)), static_cast<int>(std::floor(fy + 0.5f)));
                continue;
            }
            const int x0 = static_cast<int>(std::floor(fx)), y0 = static_cast<int>(std::floor(fy));
            const float tx = fx - x0, ty = fy - y0;
            row[x] = Lerp(Lerp(at(x0, y0), at(x0 + 1, y0), tx), Lerp(at(x0, y0 + 1), at(x0 + 1, y0 + 1), tx), ty);
        }
    }
}

} // namespace

} // namespace vireo::gfx

using namespace vireo::gfx;

HRESULT D3DXGetImageInfoFromFileInMemory(const void* data, UINT dataSize, D3DXIMAGE_INFO* info)
{
    if (!info)
        return D3DERR_INVALIDCALL;
    vireo::image::Image img;
    return Decode(data, dataSize, img, info);
}

HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* data, UINT dataSize, UINT width,
                                            UINT height, UINT, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                            DWORD filter, DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* srcInfo,
                                            PALETTEENTRY*, IDirect3DTexture9** texture)
{
    if (!texture)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    CDevice* dev = AsDevice(device);
    if (!dev || !ValidFilter(filter) || !ValidFilter(mipFilter))
        return D3DERR_INVALIDCALL;

    vireo::image::Image img;
    HRESULT hr = Decode(data, dataSize, img, srcInfo);
    if (FAILED(hr))
        return hr;

    // Keyed before any scaling, on the pixel expanded to A8R8G8B8 (alpha included).
    if (colorKey != 0)
        for (std::uint32_t& p : img.pixels)
            if (p == colorKey)
                p = 0;

    const UINT w = ResolveSide(width, static_cast<UINT>(img.width));
    const UINT h = ResolveSide(height, static_cast<UINT>(img.height));
    // This device stores 32-bit texels only; other formats get the closest it has.
    const D3DFORMAT texFormat = format == D3DFMT_X8R8G8B8 ? D3DFMT_X8R8G8B8 : D3DFMT_A8R8G8B8;

    CTexture* created = nullptr;
    hr = CTexture::Create(dev, w, h, usage, texFormat, pool, &created);
    if (FAILED(hr))
        return hr;
    std::uint32_t* dst = created->Level0().Pixels();
    if (w == static_cast<UINT>(img.width) && h == static_cast<UINT>(img.height)) {
        std::memcpy(dst, img.pixels.data(), img.pixels.size() * sizeof(std::uint32_t));
    } else if (filter != D3DX_DEFAULT && (filter & 0x7) == D3DX_FILTER_NONE) {
        // No resampling: the image at the top-left, the rest transparent black.
        const UINT cw = std::min<UINT>(w, img.width), ch = std::min<UINT>(h, img.height);
        for (UINT y = 0; y < ch; ++y)
            std::memcpy(dst + static_cast<size_t>(y) * w, img.pixels.data() + static_cast<size_t>(y) * img.width,
                        cw * sizeof(std::uint32_t));
    } else {
        Scale(img, dst, w, h, w, filter != D3DX_DEFAULT && (filter & 0x7) == D3DX_FILTER_POINT);
    }
    *texture = created;
    return D3D_OK;
}

HRESULT D3DXCreateTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT, DWORD usage, D3DFORMAT format,
                          D3DPOOL pool, IDirect3DTexture9** texture)
{
    if (!texture)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    CDevice* dev = AsDevice(device);
    if (!dev)
        return D3DERR_INVALIDCALL;
    // A size of 0 means one texel, as documented; the D3DX_DEFAULT family, which has no image
    // to take a size from here, gives 256.
    auto side = [](UINT v) { return v == 0 ? 1u : (v >= D3DX_FROM_FILE ? 256u : v); };
    const D3DFORMAT texFormat = format == D3DFMT_X8R8G8B8 ? D3DFMT_X8R8G8B8 : D3DFMT_A8R8G8B8;
    CTexture* created = nullptr;
    const HRESULT hr = CTexture::Create(dev, side(width), side(height), usage, texFormat, pool, &created);
    if (SUCCEEDED(hr))
        *texture = created;
    return hr;
}

HRESULT D3DXFilterTexture(IDirect3DBaseTexture9* texture, const PALETTEENTRY*, UINT srcLevel, DWORD filter)
{
    if (!AsTexture(texture) || !ValidFilter(filter))
        return D3DERR_INVALIDCALL;
    if (srcLevel != D3DX_DEFAULT && srcLevel >= texture->GetLevelCount())
        return D3DERR_INVALIDCALL;
    return D3D_OK;
}
