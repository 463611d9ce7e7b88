// Textures from image bytes (colour key, sizes, source information, bad data), empty textures,
// the level filter, and saving a surface or a rectangle of it as BMP, read back equal.
#include "GfxTestSupport.h"

#include "common/ScratchDir.h"
#include "platform/gfx/image/ImageDecoder.h"
#include "platform/gfx/image/ImageFixtures.h"

#include <filesystem>

using namespace vireo::gfxtest;

namespace {

namespace fx = vireo::image::fixtures;

// Little-endian A8R8G8B8 texels as a TGA or DDS file stores them.
fx::Bytes StoredArgb(const std::vector<std::uint32_t>& pixels)
{
    fx::Bytes bytes;
    for (std::uint32_t p : pixels)
        fx::Append(bytes, {static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(p >> 8),
                           static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 24)});
    return bytes;
}

const std::vector<std::uint32_t> kImage = {
    0xFFFF00FF, 0xFF102030, 0xFFFF00FF, //
    0xFF405060, 0xFFFF00FF, 0xFF708090, //
    0xFFFF00FE, 0xFFFFFFFF, 0xFF000000, //
    0xFF111111, 0xFF222222, 0xFF333333, //
    0xFFFF00FF, 0xFF444444, 0xFF555555,
};

std::vector<std::uint32_t> ReadTexture(IDirect3DTexture9* texture)
{
    D3DSURFACE_DESC desc{};
    texture->GetLevelDesc(0, &desc);
    D3DLOCKED_RECT locked{};
    std::vector<std::uint32_t> out;
    if (FAILED(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY)))
        return out;
    for (UINT y = 0; y < desc.Height; ++y)
        for (UINT x = 0; x < desc.Width; ++x)
            out.push_back(static_cast<const std::uint32_t*>(locked.pBits)[y * locked.Pitch / 4 + x]);
    texture->UnlockRect(0);
    return out;
}

class TextureLoaderTest : public DeviceTest {
  protected:
    HRESULT Load(const std::vector<std::uint8_t>& bytes, UINT width, UINT height, DWORD filter, D3DCOLOR key,
                 IDirect3DTexture9** texture, D3DXIMAGE_INFO* info = nullptr, D3DPOOL pool = D3DPOOL_MANAGED)
    {
        return D3DXCreateTextureFromFileInMemoryEx(
            m_device, bytes.empty() ? nullptr : bytes.data(), static_cast<UINT>(bytes.size()), width, height, 1, 0,
            D3DFMT_A8R8G8B8, pool, filter, D3DX_DEFAULT, key, info, nullptr, texture);
    }
};

} // namespace

TEST_F(TextureLoaderTest, ColourKeyMatchesWholeArgbValuesOnly)
{
    const std::vector<std::uint8_t> bmp = fx::Bmp24FromArgb(kImage, 3, 5);
    const struct {
        const char* what;
        D3DCOLOR key;
        int keyed;
    } cases[] = {
        {"opaque magenta", 0xFFFF00FF, 4},
        {"magenta with alpha 0 never matches an opaque image", 0x00FF00FF, 0},
        {"no key", 0, 0},
        {"one bit off", 0xFFFF00FE, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        IDirect3DTexture9* texture = nullptr;
        ASSERT_EQ(Load(bmp, D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2, D3DX_FILTER_NONE, c.key, &texture), D3D_OK);
        const std::vector<std::uint32_t> texels = ReadTexture(texture);
        ASSERT_EQ(texels.size(), kImage.size());
        int keyed = 0;
        for (size_t i = 0; i < texels.size(); ++i) {
            if (c.key != 0 && kImage[i] == c.key) {
                EXPECT_EQ(texels[i], 0u) << "keyed texels become transparent black";
                ++keyed;
            } else {
                EXPECT_EQ(texels[i], kImage[i]) << "texel " << i;
            }
        }
        EXPECT_EQ(keyed, c.keyed);
        texture->Release();
    }
}

TEST_F(TextureLoaderTest, EveryFormatDecodesToArgbWithItsSourceInfo)
{
    const std::vector<std::uint32_t> argb = {0x80FF0000, 0xFF00FF00, 0x400000FF, 0x00FFFFFF};
    fx::TgaSpec tga; // 32-bit, top-left origin, alpha kept
    tga.width = tga.height = 2;
    tga.pixels = StoredArgb(argb);
    fx::DdsSpec ddsArgb;
    ddsArgb.width = ddsArgb.height = 2;
    ddsArgb.data = StoredArgb(argb);
    fx::DdsSpec dxt1; // a single solid-red block
    dxt1.width = dxt1.height = 4;
    dxt1.pfFlags = 0x4;
    dxt1.fourCc = fx::FourCc("DXT1");
    dxt1.data = {0x00, 0xF8, 0x1F, 0x00, 0, 0, 0, 0}; // red, blue, every index 0

    fx::PngSpec rgb = fx::PngFromArgb(std::vector<std::uint32_t>(4, 0xFF000000), 2, 2);
    rgb.colourType = PNG_COLOR_TYPE_RGB;
    rgb.rows.assign(2, fx::Bytes{0xFF, 0x80, 0x00, 0x00, 0x80, 0xFF});
    fx::JpegSpec grey;
    grey.width = grey.height = 8;
    grey.components = 1;
    grey.samples.assign(64, 0x80);
    fx::JpegSpec colour = grey;
    colour.components = 3;
    colour.samples.clear();
    for (int i = 0; i < 64; ++i)
        fx::Append(colour.samples, {0x20, 0x90, 0xE0});

    const struct {
        const char* what;
        std::vector<std::uint8_t> bytes;
        UINT side;
        D3DFORMAT format;
        D3DXIMAGE_FILEFORMAT file;
        std::vector<std::uint32_t> texels;
        int tolerance;
    } cases[] = {
        {"TGA 32", fx::BuildTga(tga), 2, D3DFMT_A8R8G8B8, D3DXIFF_TGA, argb, 0},
        {"DDS A8R8G8B8", fx::BuildDds(ddsArgb), 2, D3DFMT_A8R8G8B8, D3DXIFF_DDS, argb, 0},
        {"DDS DXT1", fx::BuildDds(dxt1), 4, D3DFMT_DXT1, D3DXIFF_DDS, std::vector<std::uint32_t>(16, 0xFFFF0000), 0},
        {"PNG RGBA", fx::BuildPng(fx::PngFromArgb(argb, 2, 2)), 2, D3DFMT_A8R8G8B8, D3DXIFF_PNG, argb, 0},
        {"PNG RGB",
         fx::BuildPng(rgb),
         2,
         D3DFMT_X8R8G8B8,
         D3DXIFF_PNG,
         {0xFFFF8000, 0xFF0080FF, 0xFFFF8000, 0xFF0080FF},
         0},
        {"JPEG grey", fx::BuildJpeg(grey), 8, D3DFMT_L8, D3DXIFF_JPG, std::vector<std::uint32_t>(64, 0xFF808080), 2},
        {"JPEG colour", fx::BuildJpeg(colour), 8, D3DFMT_R8G8B8, D3DXIFF_JPG,
         std::vector<std::uint32_t>(64, 0xFF2090E0), 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        IDirect3DTexture9* texture = nullptr;
        D3DXIMAGE_INFO info{};
        ASSERT_EQ(Load(c.bytes, D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2, D3DX_FILTER_NONE, 0, &texture, &info),
                  D3D_OK);
        EXPECT_EQ(info.Width, c.side);
        EXPECT_EQ(info.Format, c.format);
        EXPECT_EQ(info.ImageFileFormat, c.file);
        const std::vector<std::uint32_t> texels = ReadTexture(texture);
        ASSERT_EQ(texels.size(), c.texels.size());
        for (size_t i = 0; i < texels.size(); ++i)
            EXPECT_LE(ChannelDistance(texels[i], c.texels[i]), c.tolerance) << "texel " << i << " " << Hex(texels[i]);
        texture->Release();
    }
}

TEST_F(TextureLoaderTest, SizesFollowTheRequestAndSourceInfoDescribesTheFile)
{
    const std::vector<std::uint8_t> bmp = fx::Bmp24FromArgb(kImage, 3, 5);
    IDirect3DTexture9* texture = nullptr;
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(Load(bmp, D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2, D3DX_FILTER_NONE, 0, &texture, &info), D3D_OK);
    D3DSURFACE_DESC desc{};
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ((std::vector<UINT>{desc.Width, desc.Height, texture->GetLevelCount(), info.Width, info.Height}),
              (std::vector<UINT>{3, 5, 1, 3, 5}));
    EXPECT_EQ(info.Format, D3DFMT_R8G8B8);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_BMP);
    texture->Release();

    // D3DX_DEFAULT rounds up to powers of two; without a filter the image sits top-left.
    ASSERT_EQ(Load(bmp, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_FILTER_NONE, 0, &texture), D3D_OK);
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 4u);
    EXPECT_EQ(desc.Height, 8u);
    std::vector<std::uint32_t> texels = ReadTexture(texture);
    EXPECT_EQ((std::vector<std::uint32_t>{texels[0], texels[4 * 4 + 2], texels[3], texels[4 * 7]}),
              (std::vector<std::uint32_t>{kImage[0], kImage[4 * 3 + 2], 0, 0}));
    texture->Release();

    // An explicit size with point filtering scales the image: 2x in both directions.
    ASSERT_EQ(Load(bmp, 6, 10, D3DX_FILTER_POINT, 0, &texture), D3D_OK);
    texels = ReadTexture(texture);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 6; ++x)
            ASSERT_EQ(texels[static_cast<size_t>(y) * 6 + x], kImage[static_cast<size_t>(y / 2) * 3 + x / 2])
                << x << "," << y;
    texture->Release();

    ASSERT_EQ(
        Load(bmp, D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2, D3DX_FILTER_NONE, 0, &texture, nullptr, D3DPOOL_DEFAULT),
        D3D_OK);
    EXPECT_EQ(vt::CountLiveObjects().texturesDefault, 1);
    texture->Release();
}

TEST_F(TextureLoaderTest, BadBytesFailCleanlyAndMakeNoTexture)
{
    std::vector<std::uint8_t> truncated = fx::Bmp24FromArgb(kImage, 3, 5);
    truncated.resize(60);
    const struct {
        const char* what;
        std::vector<std::uint8_t> bytes;
        HRESULT expected;
    } cases[] = {
        {"empty", {}, D3DERR_INVALIDCALL},
        {"junk",
         {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e', 0, 1, 2, 3, 4, 5, 6, 7},
         D3DXERR_INVALIDDATA},
        {"truncated BMP", truncated, D3DXERR_INVALIDDATA},
        {"100000 x 100000 BMP", fx::Bmp24FromArgb({0xFF000000}, 1, 1, 100000), D3DXERR_INVALIDDATA},
    };
    const int before = vt::CountLiveObjects().texturesManaged;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        IDirect3DTexture9* texture = reinterpret_cast<IDirect3DTexture9*>(1);
        EXPECT_EQ(Load(c.bytes, D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2, D3DX_FILTER_NONE, 0, &texture), c.expected);
        EXPECT_EQ(texture, nullptr);
        EXPECT_EQ(vt::CountLiveObjects().texturesManaged, before);
    }
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(Load(fx::Bmp24FromArgb(kImage, 3, 5), D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2, 0x77, 0, &texture),
              D3DERR_INVALIDCALL)
        << "not a filter";
}

TEST_F(TextureLoaderTest, EmptyTexturesAndTheLevelFilter)
{
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(D3DXCreateTexture(m_device, 16, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              D3DERR_INVALIDCALL)
        << "render targets live in the default pool";
    EXPECT_EQ(D3DXCreateTexture(m_device, 9000, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              D3DERR_INVALIDCALL);
    ASSERT_EQ(D3DXCreateTexture(m_device, 16, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture),
              D3D_OK);
    D3DSURFACE_DESC desc{};
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Usage, D3DUSAGE_RENDERTARGET);
    EXPECT_EQ(texture->GetLevelDesc(1, &desc), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXFilterTexture(texture, nullptr, 0, D3DX_FILTER_NONE), D3D_OK);
    EXPECT_EQ(D3DXFilterTexture(texture, nullptr, 1, D3DX_FILTER_NONE), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXFilterTexture(nullptr, nullptr, 0, D3DX_FILTER_NONE), D3DERR_INVALIDCALL);
    texture->Release();
}

TEST_F(TextureLoaderTest, SavedBmpReadsBackEqualWholeOrRectangle)
{
    ClearTo(0xFF000000);
    const D3DRECT bands[3] = {{0, 0, kWidth, 8}, {5, 8, 20, 30}, {20, 10, 21, 11}};
    const D3DCOLOR colours[3] = {0xFF102030, 0xFFC0FFEE, 0xFFFF0000};
    for (int i = 0; i < 3; ++i)
        m_device->Clear(1, &bands[i], D3DCLEAR_TARGET, colours[i], 1.0f, 0);
    const Pixels frame = Frame();

    IDirect3DSurface9* back = nullptr;
    ASSERT_EQ(m_device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    const vireo::test::ScratchDir scratch;
    const std::filesystem::path& folder = scratch.Path();

    const RECT rect{3, 2, 24, 12};
    for (const RECT* r : {static_cast<const RECT*>(nullptr), &rect}) {
        SCOPED_TRACE(r ? "rectangle" : "whole");
        const std::filesystem::path file = folder / (r ? "part.png" : "whole.jpg"); // BMP whatever the name
        ASSERT_EQ(D3DXSaveSurfaceToFileW(file.wstring().c_str(), D3DXIFF_PNG, back, nullptr, r), D3D_OK);
        const std::string bytes = vireo::test::ReadFileBytes(file);
        ASSERT_GE(bytes.size(), 54u);
        EXPECT_EQ(bytes[0], 'B');
        EXPECT_EQ(bytes[1], 'M');
        vireo::image::Image decoded;
        ASSERT_TRUE(vireo::image::DecodeImage(bytes.data(), bytes.size(), decoded, nullptr));
        const RECT area = r ? *r : RECT{0, 0, kWidth, kHeight};
        ASSERT_EQ(decoded.width, area.right - area.left);
        ASSERT_EQ(decoded.height, area.bottom - area.top);
        for (int y = 0; y < decoded.height; ++y)
            for (int x = 0; x < decoded.width; ++x)
                ASSERT_EQ(decoded.pixels[static_cast<size_t>(y) * decoded.width + x] & 0xFFFFFF,
                          frame.At(area.left + x, area.top + y) & 0xFFFFFF)
                    << x << "," << y;
    }
    const RECT outside{0, 0, kWidth + 1, 4};
    EXPECT_EQ(D3DXSaveSurfaceToFileW((folder / "x.bmp").wstring().c_str(), D3DXIFF_BMP, back, nullptr, &outside),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXSaveSurfaceToFileW((folder / "x.bmp").wstring().c_str(), D3DXIFF_BMP, nullptr, nullptr, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_TRUE(FAILED(
        D3DXSaveSurfaceToFileW((folder / "missing" / "x.bmp").wstring().c_str(), D3DXIFF_BMP, back, nullptr, nullptr)));
    back->Release();
}
