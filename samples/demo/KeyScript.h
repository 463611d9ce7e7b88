// A scripted input sequence for unattended runs (--script): key and left-button presses and
// releases and cursor moves stamped with the frame in which they happen, fed in through the
// engine's testing controls as if typed. It exists so that tests can drive the demo headless;
// a shipped game has no use for it.
#pragma once

#include <vireo/platform/Win32.h>

#include <cstddef>
#include <string>
#include <vector>

class CKeyScript {
  public:
    // "FRAME:KEY+" presses, "FRAME:KEY-" releases, "FRAME:cursor=X/Y" puts the cursor at
    // client pixel (X, Y); comma-separated, frames in ascending order. KEY is left, right,
    // up, down, lshift, rshift, p, a DIK_ code 0-255, or mouse (the left button).
    // On failure `error` says what is wrong and the script is left empty.
    bool Parse(const std::string& text, std::string& error);
    // Injects every step stamped with `frame` or an earlier frame not yet injected; cursor
    // moves go to `window`.
    void InjectUpTo(unsigned long frame, HWND window);
    bool Empty() const { return m_steps.empty(); }

  private:
    enum class EKind { Key, MouseButton, Cursor };
    struct SStep {
        unsigned long frame;
        EKind kind;
        int key; // DIK_ code; x for a cursor move
        int y;
        bool down;
    };
    std::vector<SStep> m_steps;
    std::size_t m_next = 0;
};
