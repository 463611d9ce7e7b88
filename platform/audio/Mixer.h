// The one software mixer: PCM voices and at most one MIDI song, mixed into stereo at the
// output's own rate and handed to the back end's audio sink. It knows nothing of
// DirectSound or FMOD; those interfaces sit on top and own the sample memory.
//
// Threading. The sink pulls (Mix) on its own thread (SDL's audio thread) or on the game
// thread (the clock-stepped null sink). Every piece of state Mix reads is guarded by one
// mutex: Mix holds it for one block of at most kBlockFrames frames, the game thread holds it
// only to copy a few fields (Edit). Mix never allocates, decodes, touches a file or calls
// back into the game: a voice that ends by itself just clears `playing` and sets `ended`,
// which the game side reads on its next call. Sample memory is owned by the game side and
// outlives its voice: a voice is detached (Release) under the mutex before memory goes.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

namespace vireo::platform {
class IAudioOut;
}

namespace vireo::platform::audio {

// Something rendered inside the mix besides the PCM voices (the MIDI sequencer). Render
// writes (not adds) frames of left and right; it runs under the mixer's mutex.
class IMixSource {
  public:
    virtual ~IMixSource() = default;
    virtual void Render(float* left, float* right, int frames) = 0;
};

struct Voice {
    bool used = false;
    bool playing = false;
    bool looping = false;
    bool ended = false; // stopped by reaching its end since the game side last cleared it
    const std::uint8_t* data = nullptr;
    std::uint32_t frames = 0; // whole frames in data
    std::uint8_t channels = 1;
    std::uint8_t bits = 16; // 8 (unsigned) or 16 (signed, little endian)
    std::uint32_t rate = 0; // playback rate in Hz (pitch and speed)
    float gainLeft = 1.0f;  // what the game set
    float gainRight = 1.0f;
    float heardLeft = 1.0f; // what the last block ended with (mixer only)
    float heardRight = 1.0f;
    bool sounding = false;      // mixed in the last block (mixer only)
    std::uint64_t position = 0; // 32.32 fixed point, in source frames
};

class CMixer {
  public:
    static constexpr int kBlockFrames = 1024;
    static constexpr int kDefaultRate = 48000;

    // The process mixer, opened on the active back end's sink by the first Acquire and closed
    // by the last Release. Without a usable device it runs on a silent clock-stepped sink.
    static CMixer& Instance();
    void Acquire();
    void ReleaseOutput();

    // A mixer not attached to any sink, for benchmarks and tests that pull by hand.
    explicit CMixer(int rate = kDefaultRate);
    ~CMixer();
    CMixer(const CMixer&) = delete;
    CMixer& operator=(const CMixer&) = delete;

    int Rate() const { return m_rate; }

    // Game side. AddVoice may grow the voice table (never while Mix runs); -1 never happens
    // short of memory exhaustion, which throws as any allocation does.
    int AddVoice();
    void RemoveVoice(int index);
    template <class F> auto Edit(int index, F&& change)
    {
        CatchUp();
        std::lock_guard<std::mutex> hold(m_mutex);
        return change(m_voices[static_cast<std::size_t>(index)]);
    }
    // Runs `change` under the mutex with the song source slot (null when no song sounds).
    template <class F> auto EditSource(F&& change)
    {
        CatchUp();
        std::lock_guard<std::mutex> hold(m_mutex);
        return change(m_source);
    }

    // Audio side (or a test/benchmark pulling by hand): mixes `frames` stereo frames.
    void Mix(std::int16_t* out, int frames);
    static void Pull(std::int16_t* samples, int frames, void* self);

    // Linear gains for a DirectSound volume and pan in hundredths of a decibel.
    static void DecibelGains(long volume, long pan, float& left, float& right);

  private:
    void CatchUp();
    void MixBlock(std::int16_t* out, int frames);

    std::mutex m_mutex;
    int m_rate;
    std::vector<Voice> m_voices;
    IMixSource* m_source = nullptr;
    std::vector<float> m_accum;   // kBlockFrames stereo frames, allocated once
    std::vector<float> m_source2; // left then right for the source, allocated once
    IAudioOut* m_out = nullptr;
    int m_users = 0;
    bool m_toldSilent = false;
};

} // namespace vireo::platform::audio
