// The D3DX line on the software device: end points, polyline joints blended once, wide lines,
// and the state it saves around a draw.
#include "GfxTestSupport.h"

using namespace vireo::gfxtest;

namespace {

class LineTest : public DeviceTest {
  protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        ASSERT_EQ(D3DXCreateLine(m_device, &m_line), D3D_OK);
        ClearTo(0xFF000000);
    }
    void TearDown() override
    {
        if (m_line) {
            EXPECT_EQ(m_line->Release(), 0u);
        }
        DeviceTest::TearDown();
    }
    ID3DXLine* m_line = nullptr;
};

int CountColour(const Pixels& frame, std::uint32_t colour)
{
    int count = 0;
    for (std::uint32_t p : frame.pixels)
        count += p == colour;
    return count;
}

} // namespace

TEST_F(LineTest, SegmentsIncludeTheFirstPointAndExcludeTheLast)
{
    const D3DXVECTOR2 horizontal[2] = {{2, 5}, {10, 5}};
    const D3DXVECTOR2 vertical[2] = {{20, 3}, {20, 9}};
    ASSERT_EQ(m_line->Draw(horizontal, 2, 0xFFFF0000), D3D_OK); // begins and ends by itself
    ASSERT_EQ(m_line->Begin(), D3D_OK);
    ASSERT_EQ(m_line->Draw(vertical, 2, 0xFF00FF00), D3D_OK);
    ASSERT_EQ(m_line->End(), D3D_OK);
    // Counts pin the length, the end pixels pin where: (2..9, 5) red and (20, 3..8) green.
    const Pixels frame = Frame();
    EXPECT_EQ(CountColour(frame, 0xFFFF0000), 8);
    EXPECT_EQ(CountColour(frame, 0xFF00FF00), 6);
    EXPECT_EQ((std::vector<std::uint32_t>{frame.At(2, 5), frame.At(9, 5), frame.At(20, 3), frame.At(20, 8)}),
              (std::vector<std::uint32_t>{0xFFFF0000, 0xFFFF0000, 0xFF00FF00, 0xFF00FF00}));
}

TEST_F(LineTest, ClosedOutlineBlendsEveryPixelOnce)
{
    // The engine's rectangle outline: five points, the last repeating the first.
    const D3DXVECTOR2 outline[5] = {{4, 4}, {13, 4}, {13, 11}, {4, 11}, {4, 4}};
    ASSERT_EQ(m_line->Draw(outline, 5, 0x80FFFFFF), D3D_OK);
    const Pixels frame = Frame();
    const std::uint32_t once = frame.At(4, 4);
    // Colour and alpha blend alike: a = 0.5 * 0.5 + 1 * 0.5.
    EXPECT_LE(ChannelDistance(once, 0xBF808080), 1) << Hex(once);
    // 10 x 8 outline: 2 * 10 + 2 * 6 pixels, each with the same single blend.
    EXPECT_EQ(CountColour(frame, once), 32);
    EXPECT_EQ(frame.At(13, 11), once) << "corners joined";
    EXPECT_EQ(frame.At(8, 8), 0xFF000000u) << "inside untouched";
}

TEST_F(LineTest, WideLinesCoverTheirWidthAndArgumentsAreChecked)
{
    ASSERT_EQ(m_line->SetWidth(3.0f), D3D_OK);
    const D3DXVECTOR2 points[2] = {{2, 20}, {12, 20}};
    ASSERT_EQ(m_line->Draw(points, 2, 0xFF0000FF), D3D_OK);
    const Pixels frame = Frame();
    for (int y = 19; y <= 21; ++y) {
        EXPECT_EQ(frame.At(2, y), 0xFF0000FFu) << "row " << y;
        EXPECT_EQ(frame.At(11, y), 0xFF0000FFu) << "row " << y;
    }
    EXPECT_EQ(frame.At(7, 18), 0xFF000000u);
    EXPECT_EQ(frame.At(7, 22), 0xFF000000u);

    EXPECT_EQ(m_line->SetWidth(0.0f), D3DERR_INVALIDCALL);
    EXPECT_FLOAT_EQ(m_line->GetWidth(), 3.0f);
    EXPECT_EQ(m_line->Draw(nullptr, 2, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_line->End(), D3DERR_INVALIDCALL);
    ASSERT_EQ(m_line->Begin(), D3D_OK);
    EXPECT_EQ(m_line->Begin(), D3DERR_INVALIDCALL);
    DWORD blend = 0;
    m_device->GetRenderState(D3DRS_ALPHABLENDENABLE, &blend);
    EXPECT_EQ(blend, static_cast<DWORD>(TRUE));
    m_line->End();
    m_device->GetRenderState(D3DRS_ALPHABLENDENABLE, &blend);
    EXPECT_EQ(blend, static_cast<DWORD>(FALSE)) << "End restores the device state";
}
