// TGA reader: image types 1/2/3 and their RLE forms 9/10/11, colour maps of 15/16/24/32-bit
// entries, 15/16/24/32-bit true colour, 8-bit grey, the origin bits. Not read: the extension
// area, postage stamps, grey with alpha, the obsolete interleave bits.
//
// Alpha: 32-bit pixels and 16-bit pixels whose descriptor declares an attribute bit carry it.
// A 32-bit image whose descriptor declares no alpha bits and whose alpha is zero everywhere is
// opaque (writers that fill the byte with 0 mean "no alpha"); with alpha bits declared, zero
// alpha stays transparent (an empty frame of a sprite sheet). Map indices outside the colour map read as
// opaque black. An RLE stream that ends early leaves the rest transparent black.
#include "platform/gfx/image/ImageCodecs.h"

#include <algorithm>
#include <vector>

namespace vireo::image::detail {

namespace {

constexpr char kName[] = "TGA";
constexpr std::size_t kHeader = 18;

bool Mapped(unsigned type)
{
    return type == 1 || type == 9;
}
bool TrueColour(unsigned type)
{
    return type == 2 || type == 10;
}
bool Grey(unsigned type)
{
    return type == 3 || type == 11;
}
bool KnownType(unsigned type)
{
    return Mapped(type) || TrueColour(type) || Grey(type);
}
bool EntryBits(unsigned bits)
{
    return bits == 15 || bits == 16 || bits == 24 || bits == 32;
}

bool DepthFits(unsigned type, unsigned depth)
{
    if (Mapped(type))
        return depth == 8 || depth == 16;
    if (TrueColour(type))
        return EntryBits(depth);
    return depth == 8;
}

// One true-colour value of 15, 16, 24 or 32 bits; alpha 255 where the value has none.
std::uint32_t Colour(const Byte* p, unsigned bits, bool alphaBit)
{
    if (bits <= 16) {
        const std::uint32_t v = Le16(p);
        auto five = [](std::uint32_t c) { return (c << 3) | (c >> 2); };
        const std::uint32_t a = (alphaBit && bits == 16) ? ((v & 0x8000) ? 255 : 0) : 255;
        return Argb(a, five((v >> 10) & 31), five((v >> 5) & 31), five(v & 31));
    }
    return Argb(bits == 32 ? p[3] : 255, p[2], p[1], p[0]);
}

struct Reader {
    unsigned type = 0;
    unsigned bytes = 0; // per pixel in the file
    unsigned depth = 0;
    bool alphaBit = false;
    unsigned mapFirst = 0;
    std::vector<std::uint32_t> map;

    std::uint32_t Pixel(const Byte* p) const
    {
        if (Mapped(type)) {
            const unsigned index = depth == 8 ? p[0] : Le16(p);
            return (index >= mapFirst && index - mapFirst < map.size()) ? map[index - mapFirst] : kOpaqueBlack;
        }
        if (Grey(type))
            return Argb(255, p[0], p[0], p[0]);
        return Colour(p, depth, alphaBit);
    }
};

// Walks the destination in file order, honouring the origin bits.
struct Cursor {
    Image* image;
    bool top;
    bool right;
    int x = 0;
    int y = 0;
    std::uint32_t* row = nullptr;

    void Start() { row = RowPointer(); }
    std::uint32_t* RowPointer() const
    {
        const int dy = top ? y : image->height - 1 - y;
        return image->pixels.data() + static_cast<std::size_t>(dy) * image->width;
    }
    // False once the image is full.
    bool Put(std::uint32_t px)
    {
        row[right ? image->width - 1 - x : x] = px;
        if (++x == image->width) {
            x = 0;
            if (++y == image->height)
                return false;
            row = RowPointer();
        }
        return true;
    }
};

} // namespace

bool LooksLikeTga(const Byte* data, std::size_t size)
{
    if (size < kHeader)
        return false;
    const unsigned mapType = data[1], type = data[2], entry = data[7], depth = data[16];
    if (mapType > 1 || !KnownType(type) || !DepthFits(type, depth))
        return false;
    if (Mapped(type) && mapType != 1)
        return false;
    return mapType == 0 || EntryBits(entry);
}

bool DecodeTga(const Byte* data, std::size_t size, Image& out, std::string* error)
{
    if (size < kHeader)
        return Fail(error, kName, "file too short for its header (" + std::to_string(size) + " bytes)");
    const unsigned idLength = data[0], mapType = data[1], type = data[2];
    const unsigned mapLength = Le16(data + 5), entry = data[7], depth = data[16], descriptor = data[17];
    if (!KnownType(type))
        return Fail(error, kName, "unsupported image type " + std::to_string(type));
    if (mapType > 1)
        return Fail(error, kName, "unknown colour map type " + std::to_string(mapType));
    if (Mapped(type) && mapType != 1)
        return Fail(error, kName, "colour-mapped image without a colour map");
    if (mapType == 1 && !EntryBits(entry))
        return Fail(error, kName, "unsupported colour map entry size " + std::to_string(entry));
    if (!DepthFits(type, depth))
        return Fail(error, kName,
                    "unsupported pixel depth " + std::to_string(depth) + " for image type " + std::to_string(type));
    const int width = Le16(data + 12), height = Le16(data + 14);
    if (!CheckSize(kName, width, height, error))
        return false;

    Reader reader;
    reader.type = type;
    reader.depth = depth;
    reader.bytes = (depth + 7) / 8;
    reader.alphaBit = (descriptor & 15) != 0;
    const std::size_t entryBytes = (entry + 7) / 8;
    const std::size_t mapBytes = mapType == 1 ? mapLength * entryBytes : 0;
    std::size_t pos = kHeader + idLength;
    if (size < pos + mapBytes)
        return Fail(error, kName, "file ends inside its ID field or colour map");
    if (Mapped(type)) {
        reader.mapFirst = Le16(data + 3);
        reader.map.resize(mapLength);
        for (unsigned i = 0; i < mapLength; ++i)
            reader.map[i] = Colour(data + pos + i * entryBytes, entry, reader.alphaBit);
    }
    pos += mapBytes;

    const std::size_t total = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    const bool rle = type >= 9;
    if (!rle && size - pos < total * reader.bytes)
        return Fail(error, kName,
                    "pixel data truncated: " + std::to_string(size - pos) + " of " +
                        std::to_string(total * reader.bytes) + " bytes");
    // A packet covers at most 128 pixels, so shorter data cannot describe the image.
    const std::size_t leastRle = (total + 127) / 128 * (1 + reader.bytes);
    if (rle && size - pos < leastRle)
        return Fail(error, kName,
                    "RLE data too short for " + std::to_string(width) + " x " + std::to_string(height) + " (" +
                        std::to_string(size - pos) + " bytes)");

    Allocate(out, width, height, 0);
    Cursor cursor{&out, (descriptor & 0x20) != 0, (descriptor & 0x10) != 0};
    cursor.Start();
    if (!rle) {
        for (std::size_t n = 0; n < total; ++n, pos += reader.bytes)
            cursor.Put(reader.Pixel(data + pos));
    } else {
        bool more = true;
        while (more && pos < size) {
            const unsigned packet = data[pos++];
            const unsigned count = (packet & 0x7F) + 1;
            if (packet & 0x80) { // one value repeated; a packet crossing the image end is clipped
                if (size - pos < reader.bytes)
                    break;
                const std::uint32_t px = reader.Pixel(data + pos);
                pos += reader.bytes;
                for (unsigned k = 0; k < count && more; ++k)
                    more = cursor.Put(px);
            } else { // raw values, as many as the data holds
                for (unsigned k = 0; k < count && more && size - pos >= reader.bytes; ++k, pos += reader.bytes)
                    more = cursor.Put(reader.Pixel(data + pos));
                if (more && size - pos < reader.bytes)
                    break;
            }
        }
    }

    const bool hasAlpha = depth == 32 || (depth == 16 && reader.alphaBit) ||
                          (Mapped(type) && (entry == 32 || (entry == 16 && reader.alphaBit)));
    bool alphaUsed = false;
    if (hasAlpha) {
        std::uint32_t seen = 0;
        for (std::uint32_t px : out.pixels)
            seen |= px;
        alphaUsed = (seen >> 24) != 0 || reader.alphaBit;
        if (!alphaUsed)
            for (auto& px : out.pixels)
                px |= 0xFF000000u;
    }
    if (Mapped(type))
        out.sourceFormat = 41; // P8
    else if (Grey(type))
        out.sourceFormat = 50; // L8
    else if (depth == 24)
        out.sourceFormat = 20; // R8G8B8
    else if (depth == 32)
        out.sourceFormat = alphaUsed ? 21 : 22;
    else
        out.sourceFormat = alphaUsed ? 25 : 24; // A1R5G5B5 / X1R5G5B5
    return true;
}

} // namespace vireo::image::detail
