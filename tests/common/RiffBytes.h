// Builds RIFF files byte by byte for the mmio, WAV reader and sound tests: chunks with or
// without their pad byte, and a PCM WAVE file in one call. Sizes are written as given, so a
// test can lie about them.
#pragma once

#include <cstdint>
#include <string>

namespace vireo::test {

inline std::string Le32(std::uint32_t v)
{
    return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                       static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)};
}

inline std::string Le16(std::uint16_t v)
{
    return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}

// id, size field, payload, then a pad byte when the payload is odd and pad is asked for.
inline std::string Chunk(const std::string& id, const std::string& payload, bool pad = true)
{
    std::string out = id + Le32(static_cast<std::uint32_t>(payload.size())) + payload;
    if (pad && payload.size() % 2)
        out += '\0';
    return out;
}

inline std::string ChunkWithSize(const std::string& id, std::uint32_t size, const std::string& payload)
{
    return id + Le32(size) + payload;
}

inline std::string Riff(const std::string& form, const std::string& chunks)
{
    return "RIFF" + Le32(static_cast<std::uint32_t>(4 + chunks.size())) + form + chunks;
}

// The 16-byte PCM part of a format chunk.
inline std::string PcmFormat(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits, std::uint16_t tag = 1)
{
    const std::uint16_t align = static_cast<std::uint16_t>(channels * bits / 8);
    return Le16(tag) + Le16(channels) + Le32(rate) + Le32(rate * align) + Le16(align) + Le16(bits);
}

inline std::string PcmWave(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits, const std::string& samples)
{
    return Riff("WAVE", Chunk("fmt ", PcmFormat(channels, rate, bits)) + Chunk("data", samples));
}

} // namespace vireo::test
