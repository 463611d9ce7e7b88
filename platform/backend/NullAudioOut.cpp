// Null audio sink: accepts any sane format, pulls on demand, records up to a cap so a long
// test cannot grow memory without bound.
#include "platform/backend/NullAudioOut.h"

#include <algorithm>

namespace vireo::platform {

bool CNullAudioOut::Open(const AudioFormat& format, AudioPull pull, void* user)
{
    if (m_failOpen || !pull || format.sampleRate <= 0 || format.channels < 1 || format.channels > 8)
        return false;
    m_format = format;
    m_pull = pull;
    m_user = user;
    return true;
}

void CNullAudioOut::Close()
{
    m_pull = nullptr;
    m_user = nullptr;
}

void CNullAudioOut::Pull(int frames)
{
    if (!m_pull || frames <= 0)
        return;
    std::vector<std::int16_t> block(static_cast<std::size_t>(frames) * m_format.channels);
    m_pull(block.data(), frames, m_user);
    if (!m_recording)
        return;
    const std::size_t room = m_maxSamples > m_recorded.size() ? m_maxSamples - m_recorded.size() : 0;
    m_recorded.insert(m_recorded.end(), block.begin(), block.begin() + std::min(room, block.size()));
}

void CNullAudioOut::SetRecording(bool on, std::size_t maxSamples)
{
    m_recording = on;
    m_maxSamples = maxSamples;
}

} // namespace vireo::platform
