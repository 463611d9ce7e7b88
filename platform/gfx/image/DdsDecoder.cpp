// DDS reader: the 124-byte header, uncompressed RGB/luminance/alpha pixels described by masks,
// and DXT1/DXT3/DXT5 blocks. Only the first mip level is read (a texture needs no more); the
// rest of the chain is ignored. Refused: the DX10 extended header, other FourCCs, cube maps
// and volumes, masks that overlap or do not fit the bit count, level 0 shorter than its size.
#include "platform/gfx/image/ImageCodecs.h"

#include <algorithm>
#include <cstdio>

namespace vireo::image::detail {

namespace {

constexpr char kName[] = "DDS";
constexpr std::size_t kDataStart = 4 + 124;

constexpr std::uint32_t FourCc(char a, char b, char c, char d)
{
    return static_cast<std::uint32_t>(a) | (static_cast<std::uint32_t>(b) << 8) |
           (static_cast<std::uint32_t>(c) << 16) | (static_cast<std::uint32_t>(d) << 24);
}
constexpr std::uint32_t kDxt1 = FourCc('D', 'X', 'T', '1');
constexpr std::uint32_t kDxt3 = FourCc('D', 'X', 'T', '3');
constexpr std::uint32_t kDxt5 = FourCc('D', 'X', 'T', '5');
constexpr std::uint32_t kDx10 = FourCc('D', 'X', '1', '0');

enum : std::uint32_t {
    kPfAlphaPixels = 0x1,
    kPfAlpha = 0x2,
    kPfFourCc = 0x4,
    kPfRgb = 0x40,
    kPfLuminance = 0x20000,
    kFlagPitch = 0x8,
    kCaps2Cube = 0x200,
    kCaps2Volume = 0x200000,
};

std::string Hex(std::uint32_t value)
{
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", value);
    return hex;
}

// 'DXT2' when printable, else the number (some writers put a D3DFORMAT value there).
std::string FourCcText(std::uint32_t code)
{
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const char c = static_cast<char>((code >> (8 * i)) & 0xFF);
        if (c < 0x20 || c > 0x7E)
            return Hex(code);
        text += c;
    }
    return "'" + text + "'";
}

// The four (or three and transparent black) colours of a BC1 colour block.
void BlockColours(const Byte* p, bool alwaysFour, std::uint32_t colours[4])
{
    const std::uint32_t c0 = Le16(p), c1 = Le16(p + 2);
    std::uint32_t ch[2][3];
    for (int i = 0; i < 2; ++i) {
        const std::uint32_t c = i ? c1 : c0;
        const std::uint32_t r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
        ch[i][0] = (r << 3) | (r >> 2);
        ch[i][1] = (g << 2) | (g >> 4);
        ch[i][2] = (b << 3) | (b >> 2);
    }
    auto mix = [&](int w0, int w1, int div) {
        std::uint32_t m[3];
        for (int k = 0; k < 3; ++k)
            m[k] = (w0 * ch[0][k] + w1 * ch[1][k] + div / 2) / div;
        return Argb(255, m[0], m[1], m[2]);
    };
    colours[0] = Argb(255, ch[0][0], ch[0][1], ch[0][2]);
    colours[1] = Argb(255, ch[1][0], ch[1][1], ch[1][2]);
    if (alwaysFour || c0 > c1) {
        colours[2] = mix(2, 1, 3);
        colours[3] = mix(1, 2, 3);
    } else {
        colours[2] = mix(1, 1, 2);
        colours[3] = 0; // DXT1 one-bit alpha: transparent black
    }
}

void DecodeBlocks(const Byte* src, std::uint32_t fourCc, Image& out)
{
    const int blockBytes = fourCc == kDxt1 ? 8 : 16;
    for (int by = 0; by < out.height; by += 4) {
        for (int bx = 0; bx < out.width; bx += 4, src += blockBytes) {
            std::uint32_t texel[16];
            const Byte* colourBlock = fourCc == kDxt1 ? src : src + 8;
            std::uint32_t colours[4];
            BlockColours(colourBlock, fourCc != kDxt1, colours);
            const std::uint32_t indices = Le32(colourBlock + 4);
            for (int i = 0; i < 16; ++i)
                texel[i] = colours[(indices >> (2 * i)) & 3];
            if (fourCc == kDxt3) {
                for (int i = 0; i < 16; ++i) {
                    const std::uint32_t a = (src[i / 2] >> (4 * (i & 1))) & 15;
                    texel[i] = (texel[i] & 0x00FFFFFF) | ((a * 17) << 24);
                }
            } else if (fourCc == kDxt5) {
                const std::uint32_t a0 = src[0], a1 = src[1];
                std::uint32_t alpha[8] = {a0, a1};
                if (a0 > a1) {
                    for (int k = 1; k < 7; ++k)
                        alpha[k + 1] = ((7 - k) * a0 + k * a1 + 3) / 7;
                } else {
                    for (int k = 1; k < 5; ++k)
                        alpha[k + 1] = ((5 - k) * a0 + k * a1 + 2) / 5;
                    alpha[6] = 0;
                    alpha[7] = 255;
                }
                std::uint64_t bits = 0;
                for (int k = 0; k < 6; ++k)
                    bits |= static_cast<std::uint64_t>(src[2 + k]) << (8 * k);
                for (int i = 0; i < 16; ++i)
                    texel[i] = (texel[i] & 0x00FFFFFF) | (alpha[(bits >> (3 * i)) & 7] << 24);
            }
            // Blocks at the right and bottom edges hang over a size that is not a multiple of 4.
            const int w = std::min(4, out.width - bx), h = std::min(4, out.height - by);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    out.pixels[static_cast<std::size_t>(by + y) * out.width + bx + x] = texel[y * 4 + x];
        }
    }
}

std::uint32_t UncompressedFormat(unsigned bits, const std::uint32_t m[4], bool luminance)
{
    if (luminance)
        return bits == 8 ? 50 : 0; // L8
    if (bits == 8 && m[3] && !m[0])
        return 28; // A8
    if (bits == 32)
        return m[3] ? 21 : 22;
    if (bits == 24)
        return 20;
    if (bits == 16) {
        if (m[1] == 0x07E0)
            return 23;
        if (m[1] == 0x03E0)
            return m[3] ? 25 : 24;
        if (m[1] == 0x00F0)
            return 26; // A4R4G4B4
    }
    return 0;
}

} // namespace

bool DecodeDds(const Byte* data, std::size_t size, Image& out, std::string* error)
{
    if (size < kDataStart)
        return Fail(error, kName, "file too short for its header (" + std::to_string(size) + " bytes)");
    if (Le32(data) != FourCc('D', 'D', 'S', ' '))
        return Fail(error, kName, "no 'DDS ' signature");
    if (Le32(data + 4) != 124)
        return Fail(error, kName, "header size " + std::to_string(Le32(data + 4)) + ", expected 124");
    if (Le32(data + 76) != 32)
        return Fail(error, kName, "pixel format size " + std::to_string(Le32(data + 76)) + ", expected 32");
    const std::uint32_t flags = Le32(data + 8);
    const std::int64_t height = Le32(data + 12), width = Le32(data + 16);
    if (!CheckSize(kName, width, height, error))
        return false;
    if (Le32(data + 112) & (kCaps2Cube | kCaps2Volume))
        return Fail(error, kName, "cube maps and volume textures are not supported");

    const std::uint32_t pf = Le32(data + 80), fourCc = Le32(data + 84), bits = Le32(data + 88);
    std::uint32_t masks[4] = {Le32(data + 92), Le32(data + 96), Le32(data + 100), Le32(data + 104)};
    const std::size_t available = size - kDataStart;
    const int w = static_cast<int>(width), h = static_cast<int>(height);

    if (pf & kPfFourCc) {
        if (fourCc == kDx10)
            return Fail(error, kName, "FourCC 'DX10': the extended header (DXGI formats) is not supported");
        if (fourCc != kDxt1 && fourCc != kDxt3 && fourCc != kDxt5)
            return Fail(error, kName, "unsupported FourCC " + FourCcText(fourCc));
        const std::size_t blocks = static_cast<std::size_t>((w + 3) / 4) * static_cast<std::size_t>((h + 3) / 4);
        const std::size_t need = blocks * (fourCc == kDxt1 ? 8 : 16);
        if (available < need)
            return Fail(error, kName,
                        "level 0 truncated: " + std::to_string(available) + " of " + std::to_string(need) + " bytes");
        Allocate(out, w, h, 0);
        DecodeBlocks(data + kDataStart, fourCc, out);
        out.sourceFormat = fourCc;
        return true;
    }

    const bool luminance = pf & kPfLuminance;
    const bool alphaOnly = (pf & kPfAlpha) && !(pf & (kPfRgb | kPfLuminance));
    if (!(pf & (kPfRgb | kPfLuminance | kPfAlpha)))
        return Fail(error, kName, "pixel format flags " + Hex(pf) + " name no RGB, luminance, alpha or FourCC layout");
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return Fail(error, kName, "unsupported bit count " + std::to_string(bits));
    if (!(pf & (kPfAlphaPixels | kPfAlpha)))
        masks[3] = 0;
    if (alphaOnly)
        masks[0] = masks[1] = masks[2] = 0;
    if (luminance)
        masks[1] = masks[2] = 0;
    std::uint32_t used = 0;
    for (std::uint32_t m : masks) {
        if ((used & m) != 0)
            return Fail(error, kName, "colour masks overlap");
        if (bits < 32 && (m >> bits) != 0)
            return Fail(error, kName, "a colour mask does not fit " + std::to_string(bits) + " bits per pixel");
        used |= m;
    }
    if (alphaOnly ? masks[3] == 0 : masks[0] == 0 && masks[1] == 0 && masks[2] == 0)
        return Fail(error, kName, "all colour masks are zero");

    const std::size_t bytesPerPixel = bits / 8;
    std::size_t pitch = static_cast<std::size_t>(w) * bytesPerPixel;
    const std::size_t headerPitch = Le32(data + 20);
    // Some writers pad rows and say so; a larger pitch is honoured only if the data holds it.
    if ((flags & kFlagPitch) && headerPitch > pitch && headerPitch * (h - 1) + pitch <= available)
        pitch = headerPitch;
    const std::size_t need = pitch * (h - 1) + static_cast<std::size_t>(w) * bytesPerPixel;
    if (available < need)
        return Fail(error, kName,
                    "level 0 truncated: " + std::to_string(available) + " of " + std::to_string(need) + " bytes");

    Allocate(out, w, h, 0);
    // Luminance files keep their one grey mask in the red slot.
    const MaskChannel r(masks[0]), g(luminance ? masks[0] : masks[1]), b(luminance ? masks[0] : masks[2]), a(masks[3]);
    for (int y = 0; y < h; ++y) {
        const Byte* src = data + kDataStart + static_cast<std::size_t>(y) * pitch;
        std::uint32_t* dst = out.pixels.data() + static_cast<std::size_t>(y) * w;
        for (int x = 0; x < w; ++x, src += bytesPerPixel) {
            std::uint32_t v = 0;
            for (std::size_t k = 0; k < bytesPerPixel; ++k)
                v |= static_cast<std::uint32_t>(src[k]) << (8 * k);
            dst[x] = Argb(a.Empty() ? 255 : a(v), r(v), g(v), b(v));
        }
    }
    out.sourceFormat = UncompressedFormat(bits, masks, luminance);
    return true;
}

} // namespace vireo::image::detail
