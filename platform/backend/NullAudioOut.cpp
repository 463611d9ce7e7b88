// Null audio sink: accepts any sane format, pulls on demand or in step with the clock,
// records up to a cap so a long test cannot grow memory without bound.
#include "platform/backend/NullAudioOut.h"

#include "platform/core/Clock.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vireo::platform {

namespace {
// A clock jump longer than this (a virtual clock moved by an hour) is skipped, not mixed,
// as a device would drop what it could not play.
constexpr std::int64_t kMaxCatchUpSeconds = 60;
} // namespace

bool CNullAudioOut::Open(const AudioFormat& format, AudioPull pull, void* user)
{
    Close();
    if (m_failOpen || !pull || format.sampleRate <= 0 || format.channels < 1 || format.channels > 8)
        return false;
    m_format = format;
    m_pull = pull;
    m_user = user;
    m_originNs = m_lastNs = CClock::Instance().NowNs();
    m_virtual = CClock::Instance().IsVirtual();
    m_framesDone = 0;
    const char* audio = std::getenv("VIREO_AUDIO");
    if (m_clockStep && audio && std::strncmp(audio, "wav:", 4) == 0 && !m_wav.Open(audio + 4, format))
        std::fprintf(stderr, "vireo: cannot write the sound to \"%s\"\n", audio + 4);
    return true;
}

void CNullAudioOut::Close()
{
    if (m_pull)
        CatchUp();
    m_wav.Close();
    m_pull = nullptr;
    m_user = nullptr;
}

void CNullAudioOut::CatchUp()
{
    if (!m_clockStep || !m_pull || m_pulling)
        return;
    // The clock moved back or changed between real and virtual time: start counting anew.
    const CClock& clock = CClock::Instance();
    const std::int64_t now = clock.NowNs();
    if (now < m_lastNs || clock.IsVirtual() != m_virtual) {
        m_originNs = now;
        m_framesDone = 0;
        m_virtual = clock.IsVirtual();
    }
    m_lastNs = now;
    const std::int64_t elapsedNs = now - m_originNs;
    const auto target =
        static_cast<std::int64_t>(static_cast<__int128>(elapsedNs) * m_format.sampleRate / 1'000'000'000);
    const std::int64_t limit = kMaxCatchUpSeconds * m_format.sampleRate;
    if (target - m_framesDone > limit)
        m_framesDone = target - limit;
    while (m_framesDone < target) {
        const int frames = static_cast<int>(std::min<std::int64_t>(target - m_framesDone, 4096));
        Pull(frames);
        m_framesDone += frames;
    }
}

void CNullAudioOut::Pull(int frames)
{
    if (!m_pull || frames <= 0)
        return;
    m_block.resize(static_cast<std::size_t>(frames) * m_format.channels);
    m_pulling = true;
    m_pull(m_block.data(), frames, m_user);
    m_pulling = false;
    m_wav.Write(m_block.data(), m_block.size());
    if (!m_recording)
        return;
    const std::size_t room = m_maxSamples > m_recorded.size() ? m_maxSamples - m_recorded.size() : 0;
    m_recorded.insert(m_recorded.end(), m_block.begin(), m_block.begin() + std::min(room, m_block.size()));
}

void CNullAudioOut::SetRecording(bool on, std::size_t maxSamples)
{
    CatchUp(); // what played before the switch is not recorded
    m_recording = on;
    m_maxSamples = maxSamples;
}

} // namespace vireo::platform
