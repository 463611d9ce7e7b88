// Shared set-up of the device tests: a 64 x 48 software device with a depth buffer (from
// common/TestDevice.h), textures filled from pixel lists, and pixel comparisons.
#pragma once

#include "common/TestDevice.h"

#include <vireo/platform/D3D9.h>
#include <vireo/platform/D3D9Testing.h>
#include <vireo/platform/D3DX9.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace vt = vireo::testing;

namespace vireo::gfxtest {

using vireo::test::PresentParams;

// A frame with pixel access by position.
struct Pixels : vt::Frame {
    Pixels(vt::Frame frame) : vt::Frame(std::move(frame)) {}
    std::uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

class DeviceTest : public ::testing::Test, protected vireo::test::TestDevice {
  protected:
    static constexpr int kWidth = 64;
    static constexpr int kHeight = 48;

    void SetUp() override { ASSERT_TRUE(OpenDevice(kWidth, kHeight, true)); }
    void TearDown() override { CloseDevice(); }

    // A managed (or, with renderTarget, default-pool render-target) texture holding pixels,
    // row by row, width x height.
    IDirect3DTexture9* MakeTexture(int width, int height, const std::vector<std::uint32_t>& pixels,
                                   bool renderTarget = false)
    {
        IDirect3DTexture9* texture = nullptr;
        const HRESULT hr =
            D3DXCreateTexture(m_device, width, height, 1, renderTarget ? D3DUSAGE_RENDERTARGET : 0, D3DFMT_A8R8G8B8,
                              renderTarget ? D3DPOOL_DEFAULT : D3DPOOL_MANAGED, &texture);
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
    void ClearTo(D3DCOLOR color) { ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, color, 1.0f, 0), D3D_OK); }
    Pixels Frame() { return vt::ReadBackBuffer(m_device); }
};

// Per-channel largest difference of two ARGB values.
inline int ChannelDistance(std::uint32_t a, std::uint32_t b)
{
    int worst = 0;
    for (int shift = 0; shift < 32; shift += 8)
        worst =
            std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
    return worst;
}

inline std::string Hex(std::uint32_t v)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", v);
    return text;
}

} // namespace vireo::gfxtest
