// Test signals and measurements on interleaved 16-bit stereo: tones made in code, peak
// level, zero crossings (pitch), the largest step between neighbouring samples (clicks); and a
// one-note MIDI file built byte by byte.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace audiotest {

inline std::vector<std::int16_t> Tone(double hz, int rate, int frames, double amplitude = 32767.0)
{
    std::vector<std::int16_t> pcm(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i)
        pcm[static_cast<std::size_t>(i)] =
            static_cast<std::int16_t>(std::lround(amplitude * std::sin(2.0 * M_PI * hz * i / rate)));
    return pcm;
}

// One channel (0 left, 1 right) of interleaved stereo, from frame `first` on.
inline std::vector<int> Channel(const std::vector<std::int16_t>& stereo, int channel, std::size_t first = 0)
{
    std::vector<int> out;
    for (std::size_t i = 2 * first + static_cast<std::size_t>(channel); i < stereo.size(); i += 2)
        out.push_back(stereo[i]);
    return out;
}

inline int Peak(const std::vector<int>& samples)
{
    int peak = 0;
    for (int s : samples)
        peak = std::max(peak, std::abs(s));
    return peak;
}

inline int RisingCrossings(const std::vector<int>& samples)
{
    int count = 0;
    for (std::size_t i = 1; i < samples.size(); ++i)
        count += samples[i - 1] < 0 && samples[i] >= 0;
    return count;
}

inline int LargestStep(const std::vector<int>& samples)
{
    int step = 0;
    for (std::size_t i = 1; i < samples.size(); ++i)
        step = std::max(step, std::abs(samples[i] - samples[i - 1]));
    return step;
}

// Frames until the signal falls silent for good (the length of a sound that ended).
inline std::size_t SoundingFrames(const std::vector<int>& samples)
{
    std::size_t last = 0;
    for (std::size_t i = 0; i < samples.size(); ++i)
        if (samples[i] != 0)
            last = i + 1;
    return last;
}

// Format 0, 480 ticks per quarter at 120 bpm: piano C4 for half a second, track end at 1 s.
inline std::vector<unsigned char> MidiNote()
{
    const std::vector<unsigned char> track = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, // tempo 500,000 us
                                              0x00, 0xC0, 0x00,                         // piano
                                              0x00, 0x90, 60,   100,                    // note on
                                              0x83, 0x60, 60,   0,                      // 480 ticks: running-status off
                                              0x83, 0x60, 0xFF, 0x2F, 0x00};            // end at 960
    std::vector<unsigned char> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k'};
    for (int shift = 24; shift >= 0; shift -= 8)
        file.push_back(static_cast<unsigned char>(track.size() >> shift));
    file.insert(file.end(), track.begin(), track.end());
    return file;
}

} // namespace audiotest
