// Turns a sound file image into PCM the mixer plays: WAV (8/16-bit PCM), MP3 (libmpg123),
// OGG Vorbis (libvorbisfile), or raw PCM described by the caller. Everything is decoded at
// load; output is capped at kMaxSampleBytes. No streaming, no other codecs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vireo::platform::audio {

constexpr std::size_t kMaxSampleBytes = 64u << 20;

struct DecodedSample {
    std::vector<std::uint8_t> pcm; // interleaved, 8-bit unsigned or 16-bit signed little endian
    int channels = 0;
    int bits = 0;
    int rate = 0;
};

enum class DecodeResult { Ok, NotRecognised, Bad, TooLarge };

DecodeResult DecodeSample(const std::uint8_t* data, std::size_t size, DecodedSample& out);
// Raw PCM: the bytes as they are, in the given layout (rate as the caller's default).
DecodeResult RawSample(const std::uint8_t* data, std::size_t size, int channels, int bits, bool isSigned,
                       DecodedSample& out);

} // namespace vireo::platform::audio
