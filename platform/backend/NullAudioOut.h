// The audio sink that plays nothing: used headless and with VIREO_AUDIO=null. It pulls
// only when asked (tests), and can keep what it pulled so tests can read the mix.
#pragma once

#include "platform/backend/Backend.h"

#include <vector>

namespace vireo::platform {

class CNullAudioOut : public IAudioOut {
  public:
    bool Open(const AudioFormat& format, AudioPull pull, void* user) override;
    void Close() override;
    void Lock() override {}
    void Unlock() override {}

    bool IsOpen() const { return m_pull != nullptr; }
    const AudioFormat& Format() const { return m_format; }
    // Pulls frames from the source as a device would; kept when recording is on.
    void Pull(int frames);
    void SetRecording(bool on, std::size_t maxSamples);
    const std::vector<std::int16_t>& Recorded() const { return m_recorded; }
    void ClearRecorded() { m_recorded.clear(); }
    // Tests: make the next Open fail, as a missing audio device would.
    void FailOpen(bool fail) { m_failOpen = fail; }

  private:
    AudioFormat m_format{0, 0};
    AudioPull m_pull = nullptr;
    void* m_user = nullptr;
    bool m_recording = false;
    bool m_failOpen = false;
    std::size_t m_maxSamples = 0;
    std::vector<std::int16_t> m_recorded;
};

} // namespace vireo::platform
