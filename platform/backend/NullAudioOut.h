// The audio sink without a device: used headless, with VIREO_AUDIO=null or wav:FILE, and
// when no device opens. It pulls when asked (tests) or, stepping with the clock, as much as
// the clock says has passed; it can keep what it pulled and write it to a WAV file.
#pragma once

#include "platform/backend/Backend.h"
#include "platform/backend/WavFileOut.h"

#include <cstdint>
#include <vector>

namespace vireo::platform {

class CNullAudioOut : public IAudioOut {
  public:
    ~CNullAudioOut() override { Close(); }
    // With clock stepping on, VIREO_AUDIO=wav:FILE writes everything pulled to FILE.
    bool Open(const AudioFormat& format, AudioPull pull, void* user) override;
    void Close() override;
    AudioFormat OpenFormat() const override { return m_format; }
    void CatchUp() override;

    bool IsOpen() const { return m_pull != nullptr; }
    const AudioFormat& Format() const { return m_format; }
    // Pulls frames from the source as a device would; kept when recording is on.
    void Pull(int frames);
    void SetRecording(bool on, std::size_t maxSamples);
    // What was kept, after mixing the time the clock has moved on.
    const std::vector<std::int16_t>& Recorded()
    {
        CatchUp();
        return m_recorded;
    }
    void ClearRecorded() { m_recorded.clear(); }
    // Tests: make the next Open fail, as a missing audio device would.
    void FailOpen(bool fail) { m_failOpen = fail; }
    // Mix the elapsed clock time on CatchUp (back ends); off for a sink pulled by hand.
    void SetClockStep(bool on) { m_clockStep = on; }

  private:
    AudioFormat m_format{0, 0};
    AudioPull m_pull = nullptr;
    void* m_user = nullptr;
    bool m_recording = false;
    bool m_failOpen = false;
    bool m_clockStep = false;
    bool m_pulling = false;
    std::size_t m_maxSamples = 0;
    std::int64_t m_originNs = 0;   // clock time of frame 0
    std::int64_t m_framesDone = 0; // frames accounted for since the origin (mixed or skipped)
    std::int64_t m_lastNs = 0;
    bool m_virtual = false;
    std::vector<std::int16_t> m_block;
    std::vector<std::int16_t> m_recorded;
    CWavFileOut m_wav;
};

} // namespace vireo::platform
