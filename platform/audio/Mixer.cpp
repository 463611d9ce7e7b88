// Mixing: fixed-point resampling with linear interpolation (the fraction carries across
// blocks, loop seams and rate changes, so none of them clicks), per-voice stereo gains, a
// float accumulator, saturation to 16 bits. A gain change glides over the next block, so a
// volume step does not click. No filters or effects.
#include "platform/audio/Mixer.h"

#include "platform/backend/Backend.h"
#include "platform/backend/NullAudioOut.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace vireo::platform::audio {

namespace {

constexpr float kFractionScale = 1.0f / 4294967296.0f;

template <int Bits> inline float Sample(const std::uint8_t* data, std::size_t index)
{
    if constexpr (Bits == 8) {
        return static_cast<float>(static_cast<int>(data[index]) - 128) * (1.0f / 128.0f);
    } else {
        std::int16_t value;
        std::memcpy(&value, data + index * 2, sizeof value);
        return static_cast<float>(value) * (1.0f / 32768.0f);
    }
}

// Adds the frame between source frames `index` and `next` (sample offsets) at the
// position's fraction to one output frame.
template <int Channels, int Bits>
inline void Blend(const std::uint8_t* data, std::size_t index, std::size_t next, std::uint64_t position, float gainLeft,
                  float gainRight, float* out)
{
    const float fraction = static_cast<float>(static_cast<std::uint32_t>(position)) * kFractionScale;
    const float a = Sample<Bits>(data, index);
    const float left = a + (Sample<Bits>(data, next) - a) * fraction;
    float right = left;
    if constexpr (Channels == 2) {
        const float b = Sample<Bits>(data, index + 1);
        right = b + (Sample<Bits>(data, next + 1) - b) * fraction;
    }
    out[0] += left * gainLeft;
    out[1] += right * gainRight;
}

// Mixes one voice into `accum` (interleaved stereo). Runs frame by frame only at the last
// source frame, where the next one is the loop start (or the end).
template <int Channels, int Bits> void MixVoice(Voice& voice, float* accum, int frames, std::uint64_t step)
{
    const std::uint8_t* data = voice.data;
    const std::uint64_t end = static_cast<std::uint64_t>(voice.frames) << 32;
    const std::uint64_t safeEnd = static_cast<std::uint64_t>(voice.frames - 1) << 32;
    // A gain change glides over this block instead of stepping (no click); a voice that was
    // silent starts at its gains at once.
    if (!voice.sounding) {
        voice.heardLeft = voice.gainLeft;
        voice.heardRight = voice.gainRight;
    }
    float gainLeft = voice.heardLeft;
    float gainRight = voice.heardRight;
    const float slopeLeft = (voice.gainLeft - gainLeft) / static_cast<float>(frames);
    const float slopeRight = (voice.gainRight - gainRight) / static_cast<float>(frames);
    voice.heardLeft = voice.gainLeft;
    voice.heardRight = voice.gainRight;
    std::uint64_t position = voice.position;
    int done = 0;
    while (done < frames) {
        if (position >= end) {
            if (!voice.looping) {
                voice.playing = false;
                voice.ended = true;
                position = 0;
                break;
            }
            position %= end;
        }
        if (position < safeEnd) {
            const std::uint64_t room = (safeEnd - position + step - 1) / step;
            const int run = static_cast<int>(std::min<std::uint64_t>(room, static_cast<std::uint64_t>(frames - done)));
            float* out = accum + 2 * done;
            for (int k = 0; k < run; ++k) {
                const std::size_t index = static_cast<std::size_t>(position >> 32) * Channels;
                Blend<Channels, Bits>(data, index, index + Channels, position, gainLeft, gainRight, out + 2 * k);
                position += step;
                gainLeft += slopeLeft;
                gainRight += slopeRight;
            }
            done += run;
            continue;
        }
        // The last source frame: interpolate toward the loop start, or hold it to the end.
        const std::size_t index = static_cast<std::size_t>(voice.frames - 1) * Channels;
        Blend<Channels, Bits>(data, index, voice.looping ? 0 : index, position, gainLeft, gainRight, accum + 2 * done);
        position += step;
        gainLeft += slopeLeft;
        gainRight += slopeRight;
        ++done;
    }
    voice.position = position;
}

} // namespace

CMixer& CMixer::Instance()
{
    // Never destroyed: at exit the back end's device thread may still pull until its sink is
    // closed, which happens after function statics are gone.
    static CMixer* const mixer = new CMixer;
    return *mixer;
}

CMixer::CMixer(int rate) : m_rate(rate > 0 ? rate : kDefaultRate)
{
    m_voices.reserve(64);
    m_accum.assign(2 * kBlockFrames, 0.0f);
    m_source2.assign(2 * kBlockFrames, 0.0f);
}

CMixer::~CMixer() = default; // the sink, not the mixer, owns the pulling side

void CMixer::Acquire()
{
    if (m_users++ > 0)
        return;
    CBackend* backend = ActiveBackend();
    IAudioOut* out = backend ? &backend->Audio() : nullptr;
    if (out && out->Open({kDefaultRate, 2}, &CMixer::Pull, this)) {
        m_out = out;
        m_toldSilent = false;
    } else {
        // No device: the game runs on, silent, with buffers still ending on time.
        static CNullAudioOut silent;
        silent.SetClockStep(true);
        if (!m_toldSilent) // once, however often the output is tried until one opens
            std::fprintf(stderr, "vireo: no audio output could be opened; sound is silent\n");
        m_toldSilent = true;
        silent.Open({kDefaultRate, 2}, &CMixer::Pull, this);
        m_out = &silent;
    }
    std::lock_guard<std::mutex> hold(m_mutex);
    m_rate = m_out->OpenFormat().sampleRate;
}

void CMixer::ReleaseOutput()
{
    if (m_users == 0 || --m_users > 0)
        return;
    if (m_out)
        m_out->Close(); // after this no pull runs, so the table may change freely
    m_out = nullptr;
}

void CMixer::CatchUp()
{
    if (m_out)
        m_out->CatchUp();
}

int CMixer::AddVoice()
{
    CatchUp();
    std::lock_guard<std::mutex> hold(m_mutex);
    for (std::size_t i = 0; i < m_voices.size(); ++i) {
        if (!m_voices[i].used) {
            m_voices[i] = Voice{};
            m_voices[i].used = true;
            return static_cast<int>(i);
        }
    }
    m_voices.emplace_back();
    m_voices.back().used = true;
    return static_cast<int>(m_voices.size() - 1);
}

void CMixer::RemoveVoice(int index)
{
    CatchUp();
    std::lock_guard<std::mutex> hold(m_mutex);
    if (index >= 0 && static_cast<std::size_t>(index) < m_voices.size())
        m_voices[static_cast<std::size_t>(index)] = Voice{};
}

void CMixer::Pull(std::int16_t* samples, int frames, void* self)
{
    static_cast<CMixer*>(self)->Mix(samples, frames);
}

void CMixer::Mix(std::int16_t* out, int frames)
{
    while (frames > 0) {
        const int block = std::min(frames, kBlockFrames);
        {
            std::lock_guard<std::mutex> hold(m_mutex);
            MixBlock(out, block);
        }
        out += 2 * block;
        frames -= block;
    }
}

void CMixer::MixBlock(std::int16_t* out, int frames)
{
    float* accum = m_accum.data();
    std::fill(accum, accum + 2 * frames, 0.0f);
    const double stepPerHz = 4294967296.0 / m_rate;
    for (Voice& voice : m_voices) {
        if (!voice.playing || !voice.data || voice.frames == 0 || voice.rate == 0) {
            voice.sounding = false;
            continue;
        }
        const auto step = static_cast<std::uint64_t>(voice.rate * stepPerHz);
        const int kind = (voice.channels == 2 ? 2 : 0) + (voice.bits == 8 ? 1 : 0);
        switch (kind) {
        case 0:
            MixVoice<1, 16>(voice, accum, frames, step);
            break;
        case 1:
            MixVoice<1, 8>(voice, accum, frames, step);
            break;
        case 2:
            MixVoice<2, 16>(voice, accum, frames, step);
            break;
        default:
            MixVoice<2, 8>(voice, accum, frames, step);
            break;
        }
        voice.sounding = voice.playing;
    }
    if (m_source) {
        float* left = m_source2.data();
        float* right = left + kBlockFrames;
        m_source->Render(left, right, frames);
        for (int i = 0; i < frames; ++i) {
            accum[2 * i] += left[i];
            accum[2 * i + 1] += right[i];
        }
    }
    for (int i = 0; i < 2 * frames; ++i) {
        const float scaled = std::clamp(accum[i] * 32767.0f, -32768.0f, 32767.0f);
        out[i] = static_cast<std::int16_t>(scaled >= 0.0f ? scaled + 0.5f : scaled - 0.5f);
    }
}

void CMixer::DecibelGains(long volume, long pan, float& left, float& right)
{
    // Hundredths of a decibel: gain = 10^(cB / 2000). -100 dB and below is silence.
    auto gain = [](long centibels) {
        return centibels <= -10000 ? 0.0f : static_cast<float>(std::pow(10.0, static_cast<double>(centibels) / 2000.0));
    };
    const float master = gain(std::min(volume, 0L));
    left = master * (pan > 0 ? gain(-pan) : 1.0f);
    right = master * (pan < 0 ? gain(pan) : 1.0f);
}

} // namespace vireo::platform::audio
