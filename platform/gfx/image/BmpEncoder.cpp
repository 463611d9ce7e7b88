// EncodeBmp: a 32-bit BI_RGB BMP with a BITMAPINFOHEADER, rows bottom-up, bytes B G R A.
// The fourth byte carries the source alpha so the BMP reader gives the same pixels back;
// it writes no other depth and no palette.
#include "platform/gfx/image/ImageDecoder.h"

#include <cstring>

namespace vireo::image {

namespace {

void Put16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::uint8_t* p, std::uint32_t v)
{
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

} // namespace

std::vector<std::uint8_t> EncodeBmp(const std::uint32_t* pixels, int width, int height, int pitchBytes)
{
    constexpr std::size_t kHeaders = 14 + 40;
    if (width < 0 || height < 0)
        return {};
    const std::size_t row = static_cast<std::size_t>(width) * 4;
    const bool empty = width == 0 || height == 0;
    if (!empty && (!pixels || pitchBytes < 0 || static_cast<std::size_t>(pitchBytes) < row))
        return {};
    const std::size_t imageBytes = empty ? 0 : row * static_cast<std::size_t>(height);
    if (kHeaders + imageBytes > 0xFFFFFFFFu)
        return {};

    std::vector<std::uint8_t> file(kHeaders + imageBytes);
    std::uint8_t* h = file.data();
    h[0] = 'B';
    h[1] = 'M';
    Put32(h + 2, static_cast<std::uint32_t>(file.size()));
    Put32(h + 10, kHeaders); // bfOffBits
    Put32(h + 14, 40);       // biSize
    Put32(h + 18, static_cast<std::uint32_t>(width));
    Put32(h + 22, static_cast<std::uint32_t>(height)); // positive: bottom-up
    Put16(h + 26, 1);                                  // biPlanes
    Put16(h + 28, 32);                                 // biBitCount
    Put32(h + 34, static_cast<std::uint32_t>(imageBytes));
    Put32(h + 38, 2835); // 72 dpi, as most writers put
    Put32(h + 42, 2835);

    if (empty)
        return file;
    const auto* src = reinterpret_cast<const std::uint8_t*>(pixels);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* line = src + static_cast<std::size_t>(y) * static_cast<std::size_t>(pitchBytes);
        std::uint8_t* dst = h + kHeaders + static_cast<std::size_t>(height - 1 - y) * row;
        for (int x = 0; x < width; ++x) {
            std::uint32_t argb;
            std::memcpy(&argb, line + x * 4, 4); // the pitch need not keep rows aligned
            Put32(dst + x * 4, argb);            // little-endian A8R8G8B8 is B, G, R, A
        }
    }
    return file;
}

} // namespace vireo::image
