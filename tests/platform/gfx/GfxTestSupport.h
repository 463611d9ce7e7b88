// Shared set-up of the device tests: a 64 x 48 software device with a depth buffer (from
// common/TestDevice.h), textures filled from pixel lists, and pixel comparisons.
#pragma once

#include "common/TestDevice.h"

#include <vireo/platform/D3D9.h>
#include <vireo/platform/D3D9Testing.h>
#include <vireo/platform/D3DX9.h>

#include <gtest/gtest.h>

#include <cstdint>
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

    void SetUp() override;
    void TearDown() override;

    // A managed (or, with renderTarget, default-pool render-target) texture holding pixels,
    // row by row, width x height.
    IDirect3DTexture9* MakeTexture(int width, int height, const std::vector<std::uint32_t>& pixels,
                                   bool renderTarget = false);
    void ClearTo(D3DCOLOR color);
    Pixels Frame() { return vt::ReadBackBuffer(m_device); }
};

// Per-channel largest difference of two ARGB values.
int ChannelDistance(std::uint32_t a, std::uint32_t b);
std::string Hex(std::uint32_t v);

} // namespace vireo::gfxtest
