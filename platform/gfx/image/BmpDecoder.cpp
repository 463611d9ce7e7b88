// BMP/DIB reader: file header, then a core (12-byte) or info header (40, 52, 56, 108 or 124
// bytes); 1/4/8/16/24/32 bpp, BI_BITFIELDS, RLE4/RLE8, top-down rows. Not read: embedded
// JPEG/PNG, OS/2 2.x headers, the V4/V5 colour-space fields.
//
// 32-bit alpha is used when the file declares an alpha mask (BI_BITFIELDS with a V3+ header,
// BI_ALPHABITFIELDS) and, for BI_RGB, unless every fourth byte is zero: files EncodeBmp wrote
// keep their alpha, captures whose unused byte is zero stay opaque. 16-bit BI_RGB is X1R5G5B5.
// Palette indices past the palette read as opaque black; pixels an RLE stream skips or never
// reaches stay transparent black. Uncompressed pixel data shorter than the image is refused,
// and so is an RLE stream far too short for the rows of a large image (RleCanFill).
#include "platform/gfx/image/ImageCodecs.h"

#include <algorithm>
#include <climits>

namespace vireo::image::detail {

namespace {

constexpr char kName[] = "BMP";
constexpr std::size_t kFileHeader = 14;

enum Compression : std::uint32_t {
    kRgb = 0,
    kRle8 = 1,
    kRle4 = 2,
    kBitFields = 3,
    kJpeg = 4,
    kPng = 5,
    kAlphaBitFields = 6,
};

struct Layout {
    int width = 0;
    int height = 0;
    bool topDown = false;
    unsigned bpp = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t masks[4] = {}; // R, G, B, A
    bool alphaFromRgb = false;   // 32-bit BI_RGB: alpha used unless all zero (cleared then)
    std::uint32_t palette[256] = {};
    unsigned paletteCount = 0;
    std::size_t pixelOffset = 0;
};

std::uint32_t PaletteColour(const Layout& l, unsigned index)
{
    return index < l.paletteCount ? l.palette[index] : kOpaqueBlack;
}

bool ReadLayout(const Byte* data, std::size_t size, Layout& l, std::string* error)
{
    if (size < kFileHeader + 4)
        return Fail(error, kName, "file too short for its headers (" + std::to_string(size) + " bytes)");
    if (data[0] != 'B' || data[1] != 'M')
        return Fail(error, kName, "no 'BM' signature");
    const std::uint32_t offBits = Le32(data + 10);
    const std::uint32_t headerSize = Le32(data + 14);
    const bool core = headerSize == 12;
    if (!core && headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 && headerSize != 124)
        return Fail(error, kName, "unsupported info header size " + std::to_string(headerSize));
    if (size < kFileHeader + headerSize)
        return Fail(error, kName, "file ends inside its info header (" + std::to_string(size) + " bytes)");

    const Byte* h = data + kFileHeader;
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t colorsUsed = 0;
    if (core) {
        width = Le16(h + 4);
        height = Le16(h + 6);
        l.bpp = Le16(h + 10);
    } else {
        width = static_cast<std::int32_t>(Le32(h + 4));
        const auto rawHeight = static_cast<std::int32_t>(Le32(h + 8));
        if (rawHeight == INT_MIN)
            return Fail(error, kName, "invalid height " + std::to_string(rawHeight));
        l.topDown = rawHeight < 0;
        height = l.topDown ? -static_cast<std::int64_t>(rawHeight) : rawHeight;
        l.bpp = Le16(h + 14);
        l.compression = Le32(h + 16);
        colorsUsed = Le32(h + 32);
    }
    if (!CheckSize(kName, width, height, error))
        return false;
    l.width = static_cast<int>(width);
    l.height = static_cast<int>(height);

    const unsigned bpp = l.bpp;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return Fail(error, kName, "unsupported bit count " + std::to_string(bpp));
    if (core && bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24)
        return Fail(error, kName, "unsupported bit count " + std::to_string(bpp) + " for a core header");
    switch (l.compression) {
    case kRgb:
        break;
    case kRle8:
    case kRle4:
        if (bpp != (l.compression == kRle8 ? 8u : 4u))
            return Fail(error, kName, "RLE compression with " + std::to_string(bpp) + " bits per pixel");
        if (l.topDown)
            return Fail(error, kName, "RLE-compressed bitmaps cannot be top-down");
        break;
    case kBitFields:
    case kAlphaBitFields:
        if (bpp != 16 && bpp != 32)
            return Fail(error, kName, "bit fields with " + std::to_string(bpp) + " bits per pixel");
        break;
    case kJpeg:
    case kPng:
        return Fail(error, kName, "embedded JPEG or PNG data is not supported");
    default:
        return Fail(error, kName, "unknown compression " + std::to_string(l.compression));
    }

    // Masks: those the info header has room for (V2: three, V3+: four) are read from it; the
    // rest follow it (all of them after a 40-byte header). Each must lie inside the file.
    std::size_t headerEnd = kFileHeader + headerSize;
    if (l.compression == kBitFields || l.compression == kAlphaBitFields) {
        const std::size_t count = l.compression == kAlphaBitFields ? 4 : 3;
        const std::size_t room = headerSize > 40 ? std::min<std::size_t>((headerSize - 40) / 4, 4) : 0;
        const std::size_t after = count > room ? count - room : 0;
        if (size < headerEnd + after * 4)
            return Fail(error, kName, "file ends inside its colour masks");
        const Byte* m = h + 40;
        for (std::size_t i = 0; i < std::max(count, room); ++i)
            l.masks[i] = Le32(m + i * 4);
        headerEnd += after * 4;
    } else if (bpp == 16) {
        l.masks[0] = 0x7C00;
        l.masks[1] = 0x03E0;
        l.masks[2] = 0x001F;
    } else if (bpp == 32) {
        l.masks[0] = 0x00FF0000;
        l.masks[1] = 0x0000FF00;
        l.masks[2] = 0x000000FF;
        l.masks[3] = 0xFF000000;
        l.alphaFromRgb = true;
    }
    if (bpp == 16)
        for (auto& mask : l.masks)
            mask &= 0xFFFF;

    if (offBits < headerEnd)
        return Fail(error, kName, "pixel data offset " + std::to_string(offBits) + " lies inside the headers");
    if (offBits >= size)
        return Fail(error, kName,
                    "pixel data offset " + std::to_string(offBits) + " is past the end of the file (" +
                        std::to_string(size) + " bytes)");
    l.pixelOffset = offBits;

    // Palette: biClrUsed (0 = all), clamped to 2^bpp and to the bytes before the pixel data.
    if (bpp <= 8) {
        const unsigned entry = core ? 3 : 4;
        const std::uint32_t most = 1u << bpp;
        std::uint32_t count = (colorsUsed == 0 || colorsUsed > most) ? most : colorsUsed;
        count = std::min<std::uint32_t>(count, static_cast<std::uint32_t>((offBits - headerEnd) / entry));
        for (std::uint32_t i = 0; i < count; ++i) {
            const Byte* p = data + headerEnd + i * entry;
            l.palette[i] = Argb(255, p[2], p[1], p[0]);
        }
        l.paletteCount = count;
    }
    return true;
}

// An RLE stream spends at least two bytes on every row it leaves (an end of line, or a run
// that fills the row), so a stream of n bytes reaches at most n / 2 + 1 rows; deltas could
// skip further, but only in an image that is mostly empty. Larger images with too short a
// stream are refused before their pixels are allocated; small ones (up to kRleAnyStream
// pixels, 256 KiB) are decoded whatever the stream, so a sprite ending early still loads.
constexpr std::int64_t kRleAnyStream = 1 << 16;

bool RleCanFill(std::size_t streamBytes, const Layout& l, std::string* error)
{
    const std::int64_t rows = static_cast<std::int64_t>(streamBytes / 2) + 1;
    if (static_cast<std::int64_t>(l.width) * l.height <= kRleAnyStream || l.height <= rows)
        return true;
    return Fail(error, kName,
                "RLE data of " + std::to_string(streamBytes) + " bytes cannot fill " + std::to_string(l.height) +
                    " rows");
}

void DecodeRle(const Byte* data, std::size_t size, const Layout& l, Image& out)
{
    const bool rle8 = l.compression == kRle8;
    const int w = l.width;
    const int h = l.height;
    std::size_t pos = l.pixelOffset;
    int x = 0;
    int y = 0; // counted from the bottom row
    auto row = [&](int fileRow) { return out.pixels.data() + static_cast<std::size_t>(h - 1 - fileRow) * w; };
    while (y < h && pos + 2 <= size) {
        const unsigned count = data[pos];
        const unsigned value = data[pos + 1];
        pos += 2;
        if (count > 0) { // encoded run, clipped at the row's end
            std::uint32_t* dst = row(y);
            const int n = std::min<int>(static_cast<int>(count), w - x);
            for (int i = 0; i < n; ++i) {
                const unsigned index = rle8 ? value : ((i & 1) ? value & 15 : value >> 4);
                dst[x + i] = PaletteColour(l, index);
            }
            x = std::min(w, x + static_cast<int>(count));
        } else if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            break;
        } else if (value == 2) { // delta: may move anywhere, writes stay clipped
            if (pos + 2 > size)
                break;
            x = std::min(w, x + data[pos]);
            y += data[pos + 1];
            pos += 2;
        } else { // absolute run of `value` pixels, padded to a 16-bit boundary
            const std::size_t bytes = rle8 ? value : (value + 1) / 2;
            const std::size_t available = std::min(bytes, size - pos);
            std::uint32_t* dst = row(y);
            for (unsigned i = 0; i < value && x + static_cast<int>(i) < w; ++i) {
                const std::size_t at = rle8 ? i : i / 2;
                if (at >= available)
                    break;
                const unsigned b = data[pos + at];
                dst[x + i] = PaletteColour(l, rle8 ? b : ((i & 1) ? b & 15 : b >> 4));
            }
            x = std::min(w, x + static_cast<int>(value));
            pos += std::min((bytes + 1) & ~std::size_t{1}, size - pos);
        }
    }
}

bool DecodeRows(const Byte* data, std::size_t size, Layout& l, Image& out, std::string* error)
{
    const std::size_t w = static_cast<std::size_t>(l.width);
    const std::size_t stride = (w * l.bpp + 31) / 32 * 4;
    // The last row's padding may be missing; its pixels may not.
    const std::size_t need = stride * (static_cast<std::size_t>(l.height) - 1) + (w * l.bpp + 7) / 8;
    if (size - l.pixelOffset < need)
        return Fail(error, kName,
                    "pixel data truncated: " + std::to_string(size - l.pixelOffset) + " of " + std::to_string(need) +
                        " bytes");
    Allocate(out, l.width, l.height, 0);

    const MaskChannel r(l.masks[0]), g(l.masks[1]), b(l.masks[2]), a(l.masks[3]);
    std::uint32_t alphaSeen = 0;
    for (int y = 0; y < l.height; ++y) {
        const Byte* src = data + l.pixelOffset + static_cast<std::size_t>(y) * stride;
        std::uint32_t* dst = out.pixels.data() + (l.topDown ? y : l.height - 1 - y) * w;
        switch (l.bpp) {
        case 1:
        case 4:
        case 8: {
            const unsigned perByte = 8 / l.bpp;
            const unsigned mask = (1u << l.bpp) - 1;
            for (std::size_t x = 0; x < w; ++x) {
                const unsigned shift = 8 - l.bpp * (1 + x % perByte);
                dst[x] = PaletteColour(l, (src[x / perByte] >> shift) & mask);
            }
            break;
        }
        case 24:
            for (std::size_t x = 0; x < w; ++x)
                dst[x] = Argb(255, src[x * 3 + 2], src[x * 3 + 1], src[x * 3]);
            break;
        case 16:
        case 32:
            for (std::size_t x = 0; x < w; ++x) {
                const std::uint32_t v = l.bpp == 16 ? Le16(src + x * 2) : Le32(src + x * 4);
                const std::uint32_t alpha = a.Empty() ? 255 : a(v);
                alphaSeen |= alpha;
                dst[x] = Argb(alpha, r(v), g(v), b(v));
            }
            break;
        }
    }
    if (l.alphaFromRgb && alphaSeen == 0) {
        for (auto& px : out.pixels)
            px |= 0xFF000000u;
        l.alphaFromRgb = false;
    }
    return true;
}

} // namespace

bool DecodeBmp(const Byte* data, std::size_t size, Image& out, std::string* error)
{
    Layout l;
    if (!ReadLayout(data, size, l, error))
        return false;
    if (l.compression == kRle8 || l.compression == kRle4) {
        if (!RleCanFill(size - l.pixelOffset, l, error))
            return false;
        Allocate(out, l.width, l.height, 0);
        DecodeRle(data, size, l, out);
    } else if (!DecodeRows(data, size, l, out, error)) {
        return false;
    }
    if (l.bpp <= 8)
        out.sourceFormat = 41; // P8
    else if (l.bpp == 24)
        out.sourceFormat = 20; // R8G8B8
    else if (l.bpp == 16)
        out.sourceFormat = l.masks[1] == 0x07E0 ? 23 : (l.masks[3] ? 25 : 24);
    else
        out.sourceFormat = (l.masks[3] && (l.compression != kRgb || l.alphaFromRgb)) ? 21 : 22;
    return true;
}

} // namespace vireo::image::detail
