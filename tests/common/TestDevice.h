// A software Direct3D 9 device for tests that drive the platform layer without an engine: a
// window of the headless back end, the Direct3D object and a windowed device of a chosen
// back-buffer size. Whole-engine tests use EngineHarness.h instead.
#pragma once

#include "common/HostWindow.h"

#include <vireo/platform/D3D9.h>

#include <gtest/gtest.h>

namespace vireo::test {

class TestDevice {
  protected:
    // A windowed width x height device on adapter 0 (HAL, software vertex processing), with a
    // D24S8 depth buffer when asked. The graphics test controls are reset first.
    ::testing::AssertionResult OpenDevice(int width, int height, bool depth);
    // Releases the device (expecting nothing else still holds it), the Direct3D object and
    // the window, and resets the graphics test controls.
    void CloseDevice();

    HWND m_window = nullptr;
    IDirect3D9* m_d3d = nullptr;
    D3DPRESENT_PARAMETERS m_params{};
    IDirect3DDevice9* m_device = nullptr;
};

} // namespace vireo::test
