// A private X server for one test: Xvfb started on a display number it picks itself, the
// client connection to it, and what a user would do there: find a window by title, give it
// the keyboard, press keys (XTest), read its pixels.
// Not a window manager: windows are neither decorated nor moved.
#pragma once

#include "common/ChildProcess.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

using Display = struct _XDisplay;

namespace vireo::test {

struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // 0xRRGGBB, top row first
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

class XSession {
  public:
    ~XSession();

    // Starts Xvfb (StartXvfb) and connects to it; `why` says what failed.
    bool Start(std::string& why);
    // ":N", for a child's DISPLAY.
    const std::string& DisplayName() const { return m_name; }

    // The first viewable window whose title contains `title`, waiting up to `timeout`; 0 if none.
    unsigned long FindWindow(const std::string& title, std::chrono::milliseconds timeout);
    // Keyboard focus and the pointer into the window, as a click on it would do.
    void Focus(unsigned long window);
    // Presses the keys in order and releases them in reverse, `gap` apart, through XTest.
    void Chord(const std::vector<unsigned long>& keysyms, std::chrono::milliseconds gap);
    // The window's pixels now; empty when it cannot be read.
    Screenshot Capture(unsigned long window);

  private:
    ChildProcess m_server;
    Display* m_display = nullptr;
    std::string m_name;
};

} // namespace vireo::test
