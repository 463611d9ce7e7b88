// Shared by the image_* fuzz targets: decodes one input through one forced reader and traps
// when the decoder's contract breaks (a refusal with pixels or no message, a success with a
// size outside the caps, or a BMP write-back that does not read back the same pixels).
#pragma once

#include "platform/gfx/image/ImageDecoder.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace vireo::image::fuzz {

inline int DecodeAndCheck(Format format, const std::uint8_t* data, std::size_t size)
{
    Image image;
    std::string error;
    if (!DecodeImageAs(format, data, size, image, &error)) {
        if (error.empty() || !image.pixels.empty() || image.width != 0)
            __builtin_trap();
        return 0;
    }
    const std::int64_t pixels = static_cast<std::int64_t>(image.width) * image.height;
    if (image.width <= 0 || image.height <= 0 || image.width > kMaxSide || image.height > kMaxSide ||
        pixels > kMaxPixels || image.pixels.size() != static_cast<std::size_t>(pixels) || image.format != format)
        __builtin_trap();

    // Round trip through the BMP writer (kept to small images so executions stay fast). A
    // file whose alpha is zero everywhere reads back opaque: that is the 32-bit BMP rule.
    if (pixels > (1 << 16))
        return 0;
    std::uint32_t alphaSeen = 0;
    for (std::uint32_t px : image.pixels)
        alphaSeen |= px >> 24;
    const auto bmp = EncodeBmp(image.pixels.data(), image.width, image.height, image.width * 4);
    Image back;
    if (!DecodeImage(bmp.data(), bmp.size(), back, nullptr) || back.width != image.width || back.height != image.height)
        __builtin_trap();
    for (std::size_t i = 0; i < image.pixels.size(); ++i)
        if (back.pixels[i] != (alphaSeen ? image.pixels[i] : image.pixels[i] | 0xFF000000u))
            __builtin_trap();
    return 0;
}

} // namespace vireo::image::fuzz
