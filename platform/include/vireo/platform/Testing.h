// Controls for tests: the virtual clock, the process code page, presented frames, and
// (as they land) message boxes, window state and injected input. Production code never
// calls these; a game run is unaffected unless a test switched something on.
#pragma once

#include <vireo/platform/Win32.h>

#include <cstdint>
#include <vector>

namespace vireo::testing {

// ---- clock -------------------------------------------------------------------------------
// Virtual time starts at GetTickCount() == 10000 and the local date 2026-01-01 12:00:00
// (a Thursday); it moves only through AdvanceClock and Sleep, which returns at once.
void InstallVirtualClock();
void UninstallVirtualClock();
void AdvanceClock(long long milliseconds);  // negative moves back, never below zero
void SetLocalDateTime(const SYSTEMTIME& now);

// ---- code page ---------------------------------------------------------------------------
// The ANSI code page by name as VIREO_CODEPAGE takes it ("GBK", "CP936", "UTF-8");
// nullptr returns to the environment's choice.
void SetAnsiCodePage(const char* name);

// ---- presented frames --------------------------------------------------------------------
struct Frame {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // A8R8G8B8, top row first, no padding
};
// The last frame the headless back end was handed (empty before the first or on another
// back end), and how many frames were shown since the count was last reset.
Frame LastPresentedFrame();
int PresentCount();
void ResetPresentCount();
// The next `count` presents report a lost device instead of showing the frame.
void FailNextPresents(int count);

}  // namespace vireo::testing
