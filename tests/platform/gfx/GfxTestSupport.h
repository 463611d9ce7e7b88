// Shared set-up of the device tests: a host window on the headless back end, a software
// device of a chosen size, textures filled from pixel lists, and pixel comparisons.
#pragma once

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

HWND CreateHostWindow(int width, int height);
// Windowed, one back buffer, discard; the depth buffer as asked.
D3DPRESENT_PARAMETERS PresentParams(HWND window, UINT width, UINT height, BOOL depth = TRUE, D3DFORMAT depthFormat = D3DFMT_D24S8);

// A frame with pixel access by position.
struct Pixels : vt::Frame {
    Pixels(vt::Frame frame) : vt::Frame(std::move(frame)) {}
    std::uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

class DeviceTest : public ::testing::Test {
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

    HWND m_window = nullptr;
    IDirect3D9* m_d3d = nullptr;
    IDirect3DDevice9* m_device = nullptr;
};

// Per-channel largest difference of two ARGB values.
int ChannelDistance(std::uint32_t a, std::uint32_t b);
// Exact source-alpha-over of one channel, the formula the device's blending follows.
int BlendChannel(int src, int srcAlpha, int dst);
std::string Hex(std::uint32_t v);

}  // namespace vireo::gfxtest
