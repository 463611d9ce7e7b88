// The seam between the software graphics device and the back end that shows its frames.
// The device hands over a finished A8R8G8B8 back buffer; the back end stretches it onto the
// window's client area (SDL2) or keeps it for tests (headless).
#pragma once

#include <vireo/platform/Win32.h>

#include <cstdint>

namespace vireo::platform {

struct FrameView {
    const std::uint32_t* pixels; // A8R8G8B8, top row first
    int width;
    int height;
    int pitch; // bytes per row
};

enum class PresentResult {
    Shown,
    DeviceLost, // the back end's own render device was reset; the frame was not shown
};

PresentResult PresentFrame(HWND window, const FrameView& frame);

} // namespace vireo::platform
