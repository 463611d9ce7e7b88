// A scripted key sequence for unattended runs (--script): key presses and releases stamped
// with the frame in which they happen, fed in through the engine's testing controls as if
// typed. It exists so that tests can drive the demo headless; a shipped game has no use for it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class CKeyScript {
  public:
    // "FRAME:KEY+" presses, "FRAME:KEY-" releases, comma-separated, frames in ascending
    // order. KEY is left, right, up, down, lshift, rshift, p or a DIK_ code 0-255.
    // On failure `error` says what is wrong and the script is left empty.
    bool Parse(const std::string& text, std::string& error);
    // Injects every step stamped with `frame` or an earlier frame not yet injected.
    void InjectUpTo(unsigned long frame);
    bool Empty() const { return m_steps.empty(); }

  private:
    struct SStep {
        unsigned long frame;
        int key;
        bool down;
    };
    std::vector<SStep> m_steps;
    std::size_t m_next = 0;
};
