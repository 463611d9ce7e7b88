// Format detection and the dispatch to one reader per format, plus the helpers the readers
// share. The readers themselves live in one file each; nothing here touches pixels.
#include "platform/gfx/image/ImageDecoder.h"

#include "platform/gfx/image/ImageCodecs.h"

#include <bit>
#include <cstring>

namespace vireo::image {

namespace detail {

bool Fail(std::string* error, const char* format, const std::string& text)
{
    if (error)
        *error = std::string(format) + ": " + text;
    return false;
}

bool CheckSize(const char* format, std::int64_t width, std::int64_t height, std::string* error)
{
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (width <= 0 || height <= 0)
        return Fail(error, format, "invalid image size: " + size + " (sides must be positive)");
    if (width > kMaxSide || height > kMaxSide || width * height > kMaxPixels)
        return Fail(error, format, "image too large: " + size);
    return true;
}

void Allocate(Image& out, int width, int height, std::uint32_t fill)
{
    out.width = width;
    out.height = height;
    out.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill);
}

MaskChannel::MaskChannel(std::uint32_t mask) : m_nMask(mask)
{
    if (mask == 0)
        return;
    m_nShift = static_cast<unsigned>(std::countr_zero(mask));
    m_nWidth = static_cast<unsigned>(std::bit_width(mask >> m_nShift));
    if (m_nWidth > 8)
        return;
    // Repeat the value's bits until they fill a byte, then keep the top eight.
    for (std::uint32_t v = 0; v < (1u << m_nWidth); ++v) {
        std::uint32_t filled = 0;
        unsigned bits = 0;
        while (bits < 8) {
            filled = (filled << m_nWidth) | v;
            bits += m_nWidth;
        }
        m_Table[v] = static_cast<std::uint8_t>(filled >> (bits - 8));
    }
}

} // namespace detail

Format DetectFormat(const void* data, std::size_t size)
{
    const auto* p = static_cast<const detail::Byte*>(data);
    if (!p || size < 2)
        return Format::Unknown;
    if (size >= 8 && std::memcmp(p, "\x89PNG\r\n\x1a\n", 8) == 0)
        return Format::Png;
    if (p[0] == 0xFF && p[1] == 0xD8)
        return Format::Jpeg;
    if (p[0] == 'B' && p[1] == 'M')
        return Format::Bmp;
    if (size >= 4 && std::memcmp(p, "DDS ", 4) == 0)
        return Format::Dds;
    if (detail::LooksLikeTga(p, size))
        return Format::Tga;
    return Format::Unknown;
}

bool DecodeImageAs(Format format, const void* data, std::size_t size, Image& out, std::string* error)
{
    out = Image{};
    const auto* p = static_cast<const detail::Byte*>(data);
    if (!p)
        size = 0;
    bool ok = false;
    switch (format) {
    case Format::Png:
        ok = detail::DecodePng(p, size, out, error);
        break;
    case Format::Jpeg:
        ok = detail::DecodeJpeg(p, size, out, error);
        break;
    case Format::Bmp:
        ok = detail::DecodeBmp(p, size, out, error);
        break;
    case Format::Tga:
        ok = detail::DecodeTga(p, size, out, error);
        break;
    case Format::Dds:
        ok = detail::DecodeDds(p, size, out, error);
        break;
    case Format::Unknown:
        ok = detail::Fail(error, "image", "not a PNG, JPEG, BMP, TGA or DDS file (" + std::to_string(size) + " bytes)");
        break;
    }
    if (!ok) {
        out = Image{};
        return false;
    }
    out.format = format;
    return true;
}

bool DecodeImage(const void* data, std::size_t size, Image& out, std::string* error)
{
    return DecodeImageAs(DetectFormat(data, size), data, size, out, error);
}

} // namespace vireo::image
