// Image decoding for texture creation: PNG and JPEG through libpng and libjpeg, BMP/DIB, TGA
// and DDS (uncompressed, DXT1/3/5) by our own readers, all to A8R8G8B8. Sizes are checked
// against the caps before anything large is allocated. Colour keys and scaling are the
// caller's (the D3DX texture loader); this file only turns bytes into pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vireo::image {

enum class Format {
    Unknown,
    Png,
    Jpeg,
    Bmp,
    Tga,
    Dds,
};

// Refused before allocation: a side over kMaxSide or more than kMaxPixels pixels.
constexpr int kMaxSide = 8192;
constexpr std::int64_t kMaxPixels = 16777216;

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // A8R8G8B8, top row first, pitch = width
    Format format = Format::Unknown;
};

// By signature; TGA, which has none, is recognised by a plausible header.
Format DetectFormat(const void* data, std::size_t size);

// Decodes any supported format. On failure returns false, leaves out empty and, when error is
// given, says what was wrong in a sentence a developer can act on.
bool DecodeImage(const void* data, std::size_t size, Image& out, std::string* error);

// A 32-bit BMP (BITMAPINFOHEADER, bottom-up) of the given pixels; alpha is kept.
std::vector<std::uint8_t> EncodeBmp(const std::uint32_t* pixels, int width, int height, int pitchBytes);

}  // namespace vireo::image
