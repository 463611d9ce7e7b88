// The sprite on the software device, read back from the back buffer: the stage-0 colour
// operations it passes on. Texel copies, clipping, blend and sampling formulas are the
// rasteriser's; where pictures land is the render tests'; many sprites are the demo capture's.
#include "GfxTestSupport.h"

using namespace vireo::gfxtest;

namespace {

class SpriteTest : public DeviceTest {
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

    ID3DXSprite* m_sprite = nullptr;
};

} // namespace

TEST_F(SpriteTest, StageZeroOperationsAndArguments)
{
    // An opaque texel; with an opaque diffuse colour only the colour operation shows.
    IDirect3DTexture9* texture = MakeTexture(1, 1, {0xFF806040});
    // expected: over black
    const std::tuple<const char*, DWORD, DWORD, D3DCOLOR, std::uint32_t> cases[] = {
        {"SELECTARG1 takes the texture", D3DTOP_SELECTARG1, D3DTA_DIFFUSE, 0xFF20A0FF, 0x806040},
        {"MODULATE", D3DTOP_MODULATE, D3DTA_DIFFUSE, 0xFF20A0FF, 0x103C40},
        {"MODULATE scales alpha too, then blends", D3DTOP_MODULATE, D3DTA_DIFFUSE, 0x80FF8040, 0x401808},
        {"ADD saturates", D3DTOP_ADD, D3DTA_DIFFUSE, 0xFF20A0FF, 0xA0FFFF},
        {"ADDSMOOTH", D3DTOP_ADDSMOOTH, D3DTA_DIFFUSE, 0xFF20A0FF, 0x90C4FF},
        {"texture factor as second argument", D3DTOP_SELECTARG2, D3DTA_TFACTOR, 0xFF20A0FF, 0x0000FF},
    };
    for (const auto& [what, op, arg2, diffuse, expected] : cases) {
        SCOPED_TRACE(what);
        ClearTo(0xFF000000);
        ASSERT_EQ(m_sprite->Begin(0), D3D_OK);
        m_device->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF0000FF);
        m_device->SetTextureStageState(0, D3DTSS_COLOROP, op);
        m_device->SetTextureStageState(0, D3DTSS_COLORARG2, arg2);
        const D3DXVECTOR3 position(3, 3, 0);
        m_sprite->Draw(texture, nullptr, nullptr, &position, diffuse);
        m_sprite->End();
        EXPECT_LE(ChannelDistance(Frame().At(3, 3) & 0xFFFFFF, expected), 1) << Hex(Frame().At(3, 3));
    }
    DWORD op = 0;
    m_device->GetTextureStageState(0, D3DTSS_COLOROP, &op);
    EXPECT_EQ(op, static_cast<DWORD>(D3DTOP_MODULATE)) << "End drops what was set inside the batch";
    texture->Release();
}

TEST_F(SpriteTest, QueuedSpritesKeepTheirTexturesAliveUntilDrawn)
{
    // Runs of one texture share a reference; the texture the caller lets go of mid-batch
    // must still be drawn at End and freed after it, and the other one given back exactly.
    IDirect3DTexture9* red = MakeTexture(1, 1, {0xFFFF0000});
    IDirect3DTexture9* green = MakeTexture(1, 1, {0xFF00FF00});
    ASSERT_EQ(m_sprite->Begin(D3DXSPRITE_ALPHABLEND), D3D_OK);
    const IDirect3DTexture9* order[] = {red, red, green, green, red, green, red, red};
    for (int i = 0; i < 8; ++i) {
        const D3DXVECTOR3 position(static_cast<float>(i), 0, 0);
        m_sprite->Draw(const_cast<IDirect3DTexture9*>(order[i]), nullptr, nullptr, &position, 0xFFFFFFFF);
    }
    green->AddRef();
    EXPECT_GT(green->Release(), 1u) << "the queue holds green";
    green->Release();
    m_sprite->End();
    const Pixels frame = Frame();
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(frame.At(i, 0), order[i] == red ? 0xFFFF0000u : 0xFF00FF00u) << "sprite " << i;
    EXPECT_EQ(red->Release(), 0u) << "End gives back every reference it took";
}

TEST_F(SpriteTest, TransformsPlaceTheSpriteAffineOrNot)
{
    // A 2 x 2 opaque sprite at the origin under each transform: pixels it must cover and leave.
    // The last two have w != 1 (last column not 0, 0, 0, 1); scaled ones: the render tests.
    IDirect3DTexture9* texture = MakeTexture(2, 2, {0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000});
    using Points = std::vector<std::pair<int, int>>;
    const std::tuple<const char*, D3DXMATRIX, Points, Points> cases[] = {
        {"identity", D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1), {{0, 0}, {1, 1}}, {{2, 2}}},
        {"moved",
         D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, 3, 0, 1),
         {{5, 3}, {6, 4}},
         {{0, 0}, {7, 3}, {5, 5}}},
        {"w = 2 everywhere halves it", D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 2), {{0, 0}}, {{1, 1}}},
        {"w grows with x", D3DXMATRIX(1, 0, 0, 0.5f, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1), {{0, 0}, {0, 1}}, {{1, 0}}},
    };
    for (const auto& [what, transform, covered, clear] : cases) {
        SCOPED_TRACE(what);
        ClearTo(0xFF000000);
        ASSERT_EQ(m_sprite->Begin(D3DXSPRITE_ALPHABLEND), D3D_OK);
        ASSERT_EQ(m_sprite->SetTransform(&transform), D3D_OK);
        m_sprite->Draw(texture, nullptr, nullptr, nullptr, 0xFFFFFFFF);
        m_sprite->End();
        const Pixels frame = Frame();
        for (const auto& [x, y] : covered)
            EXPECT_EQ(frame.At(x, y), 0xFFFF0000u) << "at " << x << "," << y;
        for (const auto& [x, y] : clear)
            EXPECT_EQ(frame.At(x, y), 0xFF000000u) << "at " << x << "," << y;
    }
    texture->Release();
}
