// Shared by the audio fuzz targets: the sound system started once per process on the
// headless sink, and a bounded mix after each load, as a game would hear it.
#pragma once

#include "platform/audio/Mixer.h"

#include <vireo/platform/Fmod.h>

#include <cstdlib>
#include <vector>

namespace audiofuzz {

inline void StartOnce()
{
    static const bool started = [] {
        setenv("VIREO_BACKEND", "headless", 1);
        setenv("VIREO_AUDIO", "null", 1);
        return FSOUND_Init(44100, 8, 0) != 0;
    }();
    if (!started)
        std::abort();
}

inline void MixFrames(int frames)
{
    static std::vector<std::int16_t> block(2 * 1024);
    for (int done = 0; done < frames; done += 1024)
        vireo::platform::audio::CMixer::Instance().Mix(block.data(), 1024);
}

// A sample as a game plays it: looping, at a changed rate, then freed while it sounds.
inline void PlaySampleFrom(const std::uint8_t* data, std::size_t size)
{
    StartOnce();
    FSOUND_SAMPLE* sample = FSOUND_Sample_Load(FSOUND_FREE, reinterpret_cast<const char*>(data),
                                               FSOUND_LOADMEMORY | FSOUND_LOOP_NORMAL, 0, static_cast<int>(size));
    if (!sample)
        return;
    const int channel = FSOUND_PlaySound(FSOUND_FREE, sample);
    MixFrames(4096);
    FSOUND_SetFrequency(channel, 100);
    MixFrames(2048);
    FSOUND_SetFrequency(channel, 200000);
    MixFrames(2048);
    FSOUND_Sample_Free(sample);
}

} // namespace audiofuzz
