// The one clock behind QueryPerformanceCounter, GetTickCount, Sleep and GetLocalTime.
// Real mode reads the OS clocks; virtual mode (tests) only moves when told to or when Sleep
// is called, which then returns at once. Not a timer service: nothing fires on its own.
#pragma once

#include <vireo/platform/Win32.h>

#include <cstdint>

namespace vireo::platform {

class CClock {
  public:
    static CClock& Instance();

    static constexpr std::int64_t kCounterFrequency = 10'000'000; // counter ticks of 100 ns
    // Virtual time starts here, so GetTickCount begins at 10000 and never at 0.
    static constexpr std::int64_t kVirtualStartNs = 10'000'000'000;

    void InstallVirtual();   // restarts virtual time at kVirtualStartNs and the default date
    void UninstallVirtual(); // back to the real clocks
    bool IsVirtual() const { return m_virtual; }
    // Moves virtual time; a negative step moves it back (never below zero). Ignored in real mode.
    void AdvanceMs(std::int64_t milliseconds);
    // The local date-time virtual time reports now; it then runs on with virtual time.
    void SetVirtualLocalTime(const SYSTEMTIME& now);

    std::int64_t NowNs() const; // monotonic, nanoseconds
    void SleepMs(DWORD milliseconds);
    SYSTEMTIME LocalTime() const;

  private:
    bool m_virtual = false;
    std::int64_t m_virtualNs = kVirtualStartNs;
    std::int64_t m_localBaseSeconds = 0; // local date-time at m_localBaseNs, as seconds of a UTC calendar
    std::int64_t m_localBaseNs = kVirtualStartNs;
};

} // namespace vireo::platform
