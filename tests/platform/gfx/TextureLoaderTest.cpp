// Textures from image bytes: the colour key on whole ARGB values, the sizes asked for and the
// source information. Each format's decoding is pinned by the image tests.
#include "GfxTestSupport.h"

#include "platform/gfx/image/ImageDecoder.h"

using namespace vireo::gfxtest;

namespace {

const std::vector<std::uint32_t> kImage = {
    0xFFFF00FF, 0xFF102030, 0xFFFF00FF, //
    0xFF405060, 0xFFFF00FF, 0xFF708090, //
    0xFFFF00FE, 0xFFFFFFFF, 0xFF000000, //
    0xFF111111, 0xFF222222, 0xFF333333, //
    0xFFFF00FF, 0xFF444444, 0xFF555555,
};
// The image as a 32-bit BMP file, written by the engine's own encoder.
const std::vector<std::uint8_t> kBmp = vireo::image::EncodeBmp(kImage.data(), 3, 5, 3 * 4);

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
    HRESULT Load(UINT side, D3DCOLOR key, IDirect3DTexture9** texture, D3DXIMAGE_INFO* info = nullptr)
    {
        return D3DXCreateTextureFromFileInMemoryEx(m_device, kBmp.data(), static_cast<UINT>(kBmp.size()), side, side, 1,
                                                   0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_DEFAULT,
                                                   key, info, nullptr, texture);
    }
};

} // namespace

TEST_F(TextureLoaderTest, ColourKeyMatchesWholeArgbValuesOnly)
{
    const std::tuple<const char*, D3DCOLOR, int> cases[] = {
        {"magenta with alpha 0 never matches an opaque image", 0x00FF00FF, 0},
        {"magenta one bit off: that texel only", 0xFFFF00FE, 1},
    };
    for (const auto& [what, key, rowKeyed] : cases) {
        SCOPED_TRACE(what);
        IDirect3DTexture9* texture = nullptr;
        ASSERT_EQ(Load(D3DX_DEFAULT_NONPOW2, key, &texture), D3D_OK);
        const std::vector<std::uint32_t> texels = ReadTexture(texture);
        ASSERT_EQ(texels.size(), kImage.size());
        int keyed = 0;
        for (size_t i = 0; i < texels.size(); ++i) {
            const bool matches = key != 0 && kImage[i] == key; // keyed texels become transparent black
            EXPECT_EQ(texels[i], matches ? 0u : kImage[i]) << "texel " << i;
            keyed += matches;
        }
        EXPECT_EQ(keyed, rowKeyed);
        texture->Release();
    }
}

TEST_F(TextureLoaderTest, SizesFollowTheRequestAndSourceInfoDescribesTheFile)
{
    IDirect3DTexture9* texture = nullptr;
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(Load(D3DX_DEFAULT_NONPOW2, 0, &texture, &info), D3D_OK);
    D3DSURFACE_DESC desc{};
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ((std::vector<UINT>{desc.Width, desc.Height, texture->GetLevelCount(), info.Width, info.Height}),
              (std::vector<UINT>{3, 5, 1, 3, 5}));
    EXPECT_EQ(std::pair(info.Format, info.ImageFileFormat), std::pair(D3DFMT_X8R8G8B8, D3DXIFF_BMP));
    texture->Release();

    // D3DX_DEFAULT rounds up to powers of two; without a filter the image sits top-left.
    ASSERT_EQ(Load(D3DX_DEFAULT, 0, &texture), D3D_OK);
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(std::pair(desc.Width, desc.Height), std::pair(4u, 8u));
    std::vector<std::uint32_t> texels = ReadTexture(texture);
    EXPECT_EQ((std::vector<std::uint32_t>{texels[0], texels[4 * 4 + 2], texels[3], texels[4 * 7]}),
              (std::vector<std::uint32_t>{kImage[0], kImage[4 * 3 + 2], 0, 0}));
    texture->Release();
}
