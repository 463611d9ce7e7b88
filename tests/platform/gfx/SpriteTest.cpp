// The sprite on the software device, read back from the back buffer: exact texel copies for
// untransformed draws (clipped at the edges) and the stage-0 colour operations. Blend and
// sampling formulas are the rasteriser's; many sprites in one batch are the demo capture's.
#include "GfxTestSupport.h"

using namespace vireo::gfxtest;

namespace {

std::uint32_t Texel(int x, int y)
{
    return 0xFF000000u | (static_cast<std::uint32_t>(x * 20 + 10) << 16) |
           (static_cast<std::uint32_t>(y * 30 + 5) << 8) | 0x40u;
}

std::vector<std::uint32_t> Pattern(int width, int height)
{
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(Texel(x, y));
    return pixels;
}

class SpriteTest : public DeviceTest {
  protected:
    // The w x h block of the frame at (x, y) holds the pattern's texels from (tx, ty) on.
    void ExpectTexels(const Pixels& frame, int x, int y, int tx, int ty, int w, int h)
    {
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                ASSERT_EQ(frame.At(x + i, y + j), Texel(tx + i, ty + j)) << "texel " << tx + i << "," << ty + j;
    }

  protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        ASSERT_EQ(D3DXCreateSprite(m_device, &m_sprite), D3D_OK);
        ClearTo(0xFF000000);
        ASSERT_EQ(m_device->BeginScene(), D3D_OK);
    }
    void TearDown() override
    {
        m_device->EndScene();
        if (m_sprite) {
            EXPECT_EQ(m_sprite->Release(), 0u);
        }
        DeviceTest::TearDown();
    }

    // One sprite in its own batch.
    void DrawOne(IDirect3DTexture9* texture, float x, float y, D3DCOLOR color = 0xFFFFFFFF,
                 const RECT* source = nullptr, const D3DXMATRIX* transform = nullptr)
    {
        ASSERT_EQ(m_sprite->Begin(D3DXSPRITE_ALPHABLEND), D3D_OK);
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        m_sprite->SetTransform(transform ? transform : &identity);
        const D3DXVECTOR3 position(x, y, 0);
        ASSERT_EQ(m_sprite->Draw(texture, source, nullptr, &position, color), D3D_OK);
        ASSERT_EQ(m_sprite->End(), D3D_OK);
    }

    ID3DXSprite* m_sprite = nullptr;
};

} // namespace

TEST_F(SpriteTest, UntransformedDrawsCopyTexelsExactlyAndClipAtEdges)
{
    IDirect3DTexture9* texture = MakeTexture(8, 6, Pattern(8, 6));
    DrawOne(texture, 10, 5);
    const RECT source{2, 1, 6, 5};
    DrawOne(texture, 30, 20, 0xFFFFFFFF, &source);
    DrawOne(texture, -3, -2);                        // top-left corner off the target
    DrawOne(texture, kWidth - 4.0f, kHeight - 3.0f); // bottom-right corner off the target
    const Pixels frame = Frame();

    ExpectTexels(frame, 10, 5, 0, 0, 8, 6);
    ExpectTexels(frame, 30, 20, 2, 1, 4, 4);
    ExpectTexels(frame, 0, 0, 3, 2, 5, 4);
    ExpectTexels(frame, kWidth - 4, kHeight - 3, 0, 0, 4, 3);
    for (auto [x, y] : {std::pair{9, 5}, {18, 5}, {10, 11}, {34, 20}}) // (34, 20): source right edge exclusive
        EXPECT_EQ(frame.At(x, y), 0xFF000000u) << x << "," << y;
    texture->Release();
}

TEST_F(SpriteTest, StageZeroOperationsAndArguments)
{
    // An opaque texel; with an opaque diffuse colour only the colour operation shows.
    IDirect3DTexture9* texture = MakeTexture(1, 1, {0xFF806040});
    const struct {
        const char* what;
        DWORD op;
        DWORD arg2;
        D3DCOLOR diffuse;
        std::uint32_t expected; // over black
    } cases[] = {
        {"SELECTARG1 takes the texture", D3DTOP_SELECTARG1, D3DTA_DIFFUSE, 0xFF20A0FF, 0x806040},
        {"MODULATE", D3DTOP_MODULATE, D3DTA_DIFFUSE, 0xFF20A0FF, 0x103C40},
        {"MODULATE scales alpha too, then blends", D3DTOP_MODULATE, D3DTA_DIFFUSE, 0x80FF8040, 0x401808},
        {"ADD saturates", D3DTOP_ADD, D3DTA_DIFFUSE, 0xFF20A0FF, 0xA0FFFF},
        {"ADDSMOOTH", D3DTOP_ADDSMOOTH, D3DTA_DIFFUSE, 0xFF20A0FF, 0x90C4FF},
        {"texture factor as second argument", D3DTOP_SELECTARG2, D3DTA_TFACTOR, 0xFF20A0FF, 0x0000FF},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ClearTo(0xFF000000);
        ASSERT_EQ(m_sprite->Begin(0), D3D_OK);
        m_device->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF0000FF);
        m_device->SetTextureStageState(0, D3DTSS_COLOROP, c.op);
        m_device->SetTextureStageState(0, D3DTSS_COLORARG2, c.arg2);
        const D3DXVECTOR3 position(3, 3, 0);
        m_sprite->Draw(texture, nullptr, nullptr, &position, c.diffuse);
        m_sprite->End();
        EXPECT_LE(ChannelDistance(Frame().At(3, 3) & 0xFFFFFF, c.expected), 1) << Hex(Frame().At(3, 3));
    }
    DWORD op = 0;
    m_device->GetTextureStageState(0, D3DTSS_COLOROP, &op);
    EXPECT_EQ(op, static_cast<DWORD>(D3DTOP_MODULATE)) << "End drops what was set inside the batch";
    texture->Release();
}
