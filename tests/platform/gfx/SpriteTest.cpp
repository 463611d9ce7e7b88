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
