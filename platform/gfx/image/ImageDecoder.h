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
    std::vector<std::uint32_t> pixels; // A8R8G8B8, top row first, pitch = width
    Format format = Format::Unknown;
    // The D3DFORMAT value a D3DX loader reports for the file's own pixels (pSrcInfo->Format):
    // 20 R8G8B8, 21 A8R8G8B8, 22 X8R8G8B8, 23 R5G6B5, 24 X1R5G5B5, 25 A1R5G5B5, 26 A4R4G4B4, 28 A8, 41 P8,
    // 50 L8, or the FourCC of a compressed DDS ('DXT1' ...). 0 when unknown.
    std::uint32_t sourceFormat = 0;
};

// By signature; TGA, which has none, is recognised by a plausible header.
Format DetectFormat(const void* data, std::size_t size);

// Decodes any supported format. On failure returns false, leaves out empty and, when error is
// given, says what was wrong in a sentence a developer can act on, led by the format's name
// ("BMP: image too large: 100000 x 100000", "JPEG: Premature end of JPEG file").
bool DecodeImage(const void* data, std::size_t size, Image& out, std::string* error);

// Decodes as the given format without looking at the signature (fuzzers force one reader).
bool DecodeImageAs(Format format, const void* data, std::size_t size, Image& out, std::string* error);

// A 32-bit BMP (BITMAPINFOHEADER, bottom-up) of the given pixels; alpha is kept. A zero width
// or height gives a header-only file (an empty capture still writes something); a negative
// size or a pitch shorter than a row gives an empty vector.
std::vector<std::uint8_t> EncodeBmp(const std::uint32_t* pixels, int width, int height, int pitchBytes);

} // namespace vireo::image
