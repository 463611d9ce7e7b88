// Set-up shared by the device tests; see the header.
#include "GfxTestSupport.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vireo::gfxtest {

void DeviceTest::SetUp()
{
    ASSERT_TRUE(OpenDevice(kWidth, kHeight, true));
}

void DeviceTest::TearDown()
{
    CloseDevice();
}

IDirect3DTexture9* DeviceTest::MakeTexture(int width, int height, const std::vector<std::uint32_t>& pixels,
                                           bool renderTarget)
{
    IDirect3DTexture9* texture = nullptr;
    const HRESULT hr = D3DXCreateTexture(m_device, width, height, 1, renderTarget ? D3DUSAGE_RENDERTARGET : 0,
                                         D3DFMT_A8R8G8B8, renderTarget ? D3DPOOL_DEFAULT : D3DPOOL_MANAGED, &texture);
    EXPECT_EQ(hr, D3D_OK);
    if (FAILED(hr))
        return nullptr;
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (int y = 0; y < height; ++y)
        std::memcpy(static_cast<std::uint8_t*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch,
                    pixels.data() + static_cast<size_t>(y) * width, static_cast<size_t>(width) * 4);
    texture->UnlockRect(0);
    return texture;
}

void DeviceTest::ClearTo(D3DCOLOR color)
{
    ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, color, 1.0f, 0), D3D_OK);
}

int ChannelDistance(std::uint32_t a, std::uint32_t b)
{
    int worst = 0;
    for (int shift = 0; shift < 32; shift += 8)
        worst =
            std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
    return worst;
}

std::string Hex(std::uint32_t v)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", v);
    return text;
}

} // namespace vireo::gfxtest
