// Internal to the image readers: the per-format decoders behind DecodeImage and what they
// share (size caps, little-endian reads, bit-mask channels). Not part of the contract; the
// texture loader and the fuzzers go through ImageDecoder.h.
#pragma once

#include "platform/gfx/image/ImageDecoder.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace vireo::image::detail {

using Byte = std::uint8_t;

inline std::uint16_t Le16(const Byte* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t Le32(const Byte* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

constexpr std::uint32_t Argb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b)
{
    return (a << 24) | (r << 16) | (g << 8) | b;
}
constexpr std::uint32_t kOpaqueBlack = 0xFF000000u;

// Sets *error (when given) to "<format>: <text>" and returns false.
bool Fail(std::string* error, const char* format, const std::string& text);

// The caps, in 64 bits so no product can wrap: zero or negative sides, a side over kMaxSide,
// more than kMaxPixels pixels. Call before allocating anything the size depends on.
bool CheckSize(const char* format, std::int64_t width, std::int64_t height, std::string* error);

// Sizes out for width x height pixels of one value; the caps must have passed.
void Allocate(Image& out, int width, int height, std::uint32_t fill);

// One channel of a packed pixel given by a bit mask (BMP bit fields, DDS masks): the masked
// bits moved down and scaled to 8 bits by bit replication (5 bits: c << 3 | c >> 2). A zero
// mask reads 0; gaps in a non-contiguous mask are kept as zero bits.
class MaskChannel {
  public:
    explicit MaskChannel(std::uint32_t mask);
    bool Empty() const { return m_nMask == 0; }
    std::uint32_t operator()(std::uint32_t value) const
    {
        const std::uint32_t bits = (value & m_nMask) >> m_nShift;
        return m_nWidth > 8 ? bits >> (m_nWidth - 8) : m_Table[bits];
    }

  private:
    std::uint32_t m_nMask = 0;
    unsigned m_nShift = 0;
    unsigned m_nWidth = 0;
    std::uint8_t m_Table[256] = {};
};

bool DecodePng(const Byte* data, std::size_t size, Image& out, std::string* error);
bool DecodeJpeg(const Byte* data, std::size_t size, Image& out, std::string* error);
bool DecodeBmp(const Byte* data, std::size_t size, Image& out, std::string* error);
bool DecodeTga(const Byte* data, std::size_t size, Image& out, std::string* error);
bool DecodeDds(const Byte* data, std::size_t size, Image& out, std::string* error);

// TGA has no signature: a header whose fields are all in range is taken for one.
bool LooksLikeTga(const Byte* data, std::size_t size);

} // namespace vireo::image::detail
