// BMP reader: valid variants pixel for pixel (header kinds, depths, masks, palettes, RLE,
// row order), hostile RLE streams clipped to the image, and header faults refused.
#include "common/AllocationProbe.h"
#include "platform/gfx/image/ImageFixtures.h"

#include <gtest/gtest.h>

#include <climits>
#include <tuple>

using namespace vireo::image;
using namespace vireo::image::fixtures;

namespace {

constexpr std::uint32_t T = 0x00000000; // transparent black: pixels an RLE stream skips
constexpr std::uint32_t K = 0xFF000000; // opaque black: palette index past the palette
constexpr std::uint32_t R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF, W = 0xFFFFFFFF;
const std::vector<std::uint32_t> kPalette = {R, G, B, W};

BmpLayout Layout(int w, int h, std::uint16_t bpp, Bytes pixels, std::uint32_t compression = 0,
                 std::vector<std::uint32_t> masks = {}, std::uint32_t headerSize = 40)
{
    return {headerSize, w, h, bpp, compression, 0, std::move(masks), {}, std::move(pixels)};
}

BmpLayout Paletted(int w, int h, std::uint16_t bpp, Bytes pixels, std::uint32_t compression = 0)
{
    BmpLayout s = Layout(w, h, bpp, std::move(pixels), compression);
    s.palette = kPalette;
    return s;
}

BmpLayout With(BmpLayout s, std::uint32_t colorsUsed, std::vector<std::uint32_t> palette, std::uint32_t headerSize = 40)
{
    s.colorsUsed = colorsUsed, s.palette = std::move(palette), s.headerSize = headerSize;
    return s;
}

} // namespace

TEST(Bmp, DecodesValidVariantsExactly)
{
    // 24-bit, bottom-up, rows padded to 4 bytes: the bottom row comes first in the file.
    const Bytes rows24 = {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 1, 2, 3, 0, 0, 0};
    std::vector<std::uint32_t> many(300, W); // a palette longer than 256 entries
    many[0] = R, many[255] = G;
    const Bytes rgba = {0x11, 0x22, 0x33, 0x44, 0xFF, 0, 0, 0};
    const std::vector<std::uint32_t> rgbaMasks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
    // A name, the file described and the pixels it decodes to (top row first).
    const std::tuple<const char*, BmpLayout, std::vector<std::uint32_t>> cases[] = {
        {"24-bit bottom-up", Layout(3, 2, 24, rows24), {W, K, 0xFF030201, R, G, B}},
        {"24-bit top-down", Layout(3, -2, 24, rows24), {R, G, B, W, K, 0xFF030201}},
        // 1-bit, 9 pixels: the row crosses a byte, most significant bit first.
        {"1-bit", Paletted(9, 1, 1, {0b10110001, 0b10000000, 0, 0}), {G, R, G, G, R, R, R, G, G}},
        {"4-bit", Paletted(3, 1, 4, {0x12, 0x30, 0, 0}), {G, B, W}},
        // biClrUsed 1: index 1 is past the palette and must read as opaque black. An absurd
        // count is clamped to 256 (the file holds 300 entries), and to the entries present.
        {"8-bit index past the palette", With(Paletted(3, 1, 8, {0, 1, 255, 0}), 1, {R}), {R, K, K}},
        {"8-bit absurd biClrUsed", With(Paletted(2, 1, 8, {255, 0, 0, 0}), 100000, many), {G, R}},
        {"8-bit biClrUsed past the palette's bytes",
         With(Paletted(2, 1, 8, {5, 0, 0, 0, 0x11, 0x22, 0x33, 0}), 200, kPalette),
         {K, R}},
        {"16-bit X1R5G5B5", Layout(3, 1, 16, {0xFF, 0x7F, 0x00, 0x7C, 0x01, 0x80, 0, 0}), {W, R, 0xFF000008}},
        {"16-bit R5G6B5 bit fields",
         Layout(3, 1, 16, {0x00, 0xF8, 0xE0, 0x07, 0x20, 0x00, 0, 0}, 3, {0xF800, 0x07E0, 0x001F}),
         {R, G, 0xFF000400}},
        {"32-bit BI_RGB with alpha", Layout(2, 1, 32, {1, 2, 3, 0x80, 4, 5, 6, 0}), {0x80030201, 0x00060504}},
        {"32-bit BI_RGB, every alpha zero", Layout(2, 1, 32, {1, 2, 3, 0, 4, 5, 6, 0}), {0xFF030201, 0xFF060504}},
        // V5 header, bytes R G B A in memory order; a V2 header has room for three masks, and
        // BI_ALPHABITFIELDS puts the alpha mask after it.
        {"32-bit V5 bit fields with alpha", Layout(2, 1, 32, rgba, 3, rgbaMasks, 124), {0x44112233, 0x00FF0000}},
        {"32-bit V2 alpha bit fields", Layout(2, 1, 32, rgba, 6, rgbaMasks, 52), {0x44112233, 0x00FF0000}},
        // A zero green mask reads 0; a 1-bit alpha mask scales to 0 or 255.
        {"zero and one-bit masks",
         Layout(2, 1, 32, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}, 3, {0x00FF0000, 0, 0x000000FF, 0x80000000},
                56),
         {0xFFFF00FF, 0x00FF00FF}},
        {"core header, 24-bit",
         Layout(2, 2, 24, {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0}, 0, {}, 12),
         {B, W, R, G}},
        {"core header, 8-bit (palette entries of three bytes)",
         With(Paletted(2, 1, 8, {2, 1, 0, 0}), 0, kPalette, 12),
         {B, G}},
        // RLE8: a run, end of line, an absolute run with its pad byte, end of bitmap.
        {"RLE8", Paletted(3, 2, 8, {2, 1, 0, 0, 0, 3, 3, 2, 0, 0, 0, 1}, 1), {W, B, R, G, G, T}},
        {"RLE8 delta", Paletted(3, 2, 8, {0, 2, 1, 1, 1, 2, 0, 1}, 1), {T, B, T, T, T, T}},
        // RLE4: runs alternate the two nibbles; an absolute run of 3 nibbles takes 2 bytes.
        {"RLE4", Paletted(3, 2, 4, {3, 0x12, 0, 0, 0, 3, 0x30, 0x20, 0, 1}, 2), {W, R, B, G, B, G}},
        // Hostile RLE: never a write outside the image, decoding stops at the end of the data.
        {"RLE8 run past the row end", Paletted(3, 2, 8, {10, 1, 0, 1}, 1), {T, T, T, G, G, G}},
        {"RLE8 delta past the image", Paletted(3, 2, 8, {0, 2, 255, 255, 5, 1, 0, 1}, 1), {T, T, T, T, T, T}},
        {"RLE8 no end marker", Paletted(3, 2, 8, {2, 3}, 1), {T, T, T, W, W, T}},
        {"RLE8 absolute run past the data", Paletted(3, 2, 8, {0, 200, 2}, 1), {T, T, T, B, T, T}},
        {"RLE4 absolute run past the row", Paletted(2, 1, 4, {0, 5, 0x12, 0x33, 0x30, 0}, 2), {G, B}},
    };
    for (const auto& [name, layout, expected] : cases) {
        const Decoded d = Decode(BuildBmp(layout));
        ASSERT_TRUE(d.ok) << name << ": " << d.error;
        EXPECT_EQ(std::pair(d.image.width, d.image.height), std::pair(layout.width, std::abs(layout.height))) << name;
        EXPECT_EQ(d.image.pixels, expected) << name;
        EXPECT_EQ(d.image.sourceFormat == 20u, layout.bpp == 24) << name << ": R8G8B8 is the 24-bit files' format";
    }
}

TEST(Bmp, RefusesHeaderFaults)
{
    const Bytes good = BuildBmp(Layout(2, 2, 24, Bytes(16, 0x55)));
    auto patched = [&](std::size_t at, std::uint32_t value, int bytes = 4) {
        Bytes b = good;
        (bytes == 4 ? Put32 : Put16)(b, at, value);
        return b;
    };
    Bytes noMasks = BuildBmp(Layout(1, 1, 32, {}, 3));
    noMasks.resize(14 + 40 + 6);

    const std::tuple<const char*, Bytes, const char*> cases[] = {
        {"wrong magic", patched(0, 'B' | ('X' << 8), 2), "no 'BM' signature"},
        {"header size 64", patched(14, 64), "unsupported info header size 64"},
        {"2 bpp", patched(28, 2, 2), "unsupported bit count 2"},
        {"height INT_MIN", patched(22, 0x80000000u), "invalid height"},
        {"width negative", patched(18, static_cast<std::uint32_t>(-5)), "invalid image size: -5 x 2"},
        {"offset past the end", patched(10, 5000), "past the end of the file"},
        {"offset inside the header", patched(10, 20), "inside the headers"},
        {"rows cut short", Bytes(good.begin(), good.end() - 4), "pixel data truncated"},
        {"embedded JPEG", patched(30, 4), "embedded JPEG or PNG"},
        {"unknown compression", patched(30, 9), "unknown compression 9"},
        {"RLE8 at 24 bpp", BuildBmp(Layout(2, 2, 24, Bytes(16, 0), 1)), "RLE compression with 24 bits"},
        {"RLE top-down", BuildBmp(Paletted(2, -2, 8, {0, 1}, 1)), "cannot be top-down"},
        {"masks cut off", noMasks, "colour masks"},
        {"file header only", Bytes(good.begin(), good.begin() + 14), "too short"},
        {"info header cut", Bytes(good.begin(), good.begin() + 40), "ends inside its info header"},
    };
    for (const auto& [name, bytes, expect] : cases)
        EXPECT_EQ(Refusal(bytes, Format::Bmp, "BMP", expect), "") << name;
}

TEST(Bmp, RefusesRleStreamsTooShortForTheImageBeforeAllocating)
{
    // Rows the stream can reach: two bytes for each row it leaves, plus the last one.
    // streamBytes: end-of-line pairs, the last replaced by end of bitmap
    const std::tuple<const char*, int, int, std::size_t, bool> cases[] = {
        {"header alone, 4096 x 4096", 4096, 4096, 0, false},
        {"one line end short", 1000, 300, 2 * 299 - 2, false},
        {"exactly enough line ends", 1000, 300, 2 * 299, true},
        {"256 x 256: any stream", 256, 256, 0, true},
    };
    for (const auto& [name, width, height, streamBytes, ok] : cases) {
        Bytes stream(streamBytes, 0);
        if (!stream.empty())
            stream.back() = 1;
        Bytes file = BuildBmp(Paletted(width, height, 8, stream, 1));
        if (stream.empty())
            file.push_back(0); // the pixel offset must lie inside the file
        Decoded d;
        const std::size_t largest = LargestAllocation([&] { d = Decode(file); });
        EXPECT_EQ(d.ok, ok) << name << ": " << d.error;
        if (!ok) {
            EXPECT_NE(d.error.find("RLE data of"), std::string::npos) << name << ": " << d.error;
            EXPECT_LE(largest, 4096u) << name;
        }
    }
}
