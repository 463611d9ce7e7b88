// PNG through libpng: each colour type and depth lands on exact A8R8G8B8 pixels (palette and
// tRNS, grey, 16-bit, interlaced), and damaged files (CRC, truncation, missing or oversized
// chunks) are refused with the error text libpng gives.
#include "platform/gfx/image/ImageFixtures.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace vireo::image;
using namespace vireo::image::fixtures;

namespace {

PngLayout Typed(int w, int h, int type, int depth, std::vector<Bytes> rows)
{
    return {w, h, type, depth, false, {}, {}, std::move(rows)};
}

PngLayout PaletteImage()
{
    PngLayout s = Typed(4, 1, PNG_COLOR_TYPE_PALETTE, 2, {{0b00011011}});
    s.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 8, 7}};
    s.trns = {0x00, 0x80}; // shorter than the palette: the rest is opaque
    return s;
}

} // namespace

TEST(Png, DecodesColourTypesAndDepthsExactly)
{
    const std::tuple<const char*, PngLayout, std::vector<std::uint32_t>, std::uint32_t> cases[] = {
        {"RGBA 8", PngFromArgb(PatternPixels(5, 3), 5, 3), PatternPixels(5, 3), 21},
        {"RGB 8", Typed(2, 1, PNG_COLOR_TYPE_RGB, 8, {{1, 2, 3, 4, 5, 6}}), {0xFF010203, 0xFF040506}, 22},
        {"grey 1", Typed(3, 1, PNG_COLOR_TYPE_GRAY, 1, {{0b10100000}}), {0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF}, 50},
        {"grey+alpha 8", Typed(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {{0x40, 0x80}}), {0x80404040}, 21},
        {"palette 2 with short tRNS", PaletteImage(), {0x00FF0000, 0x8000FF00, 0xFF0000FF, 0xFF090807}, 21},
        // 16-bit channels are rounded to the nearest of 256 steps (v / 257), not cut to their
        // high byte: 0x12FF is 18.9 steps, 0x0080 is 0.5 minus a little.
        {"RGBA 16 rounded",
         Typed(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16, {{0x12, 0xFF, 0x34, 0x00, 0x00, 0x80, 0xFF, 0xFF}}),
         {0xFF133400},
         21},
    };
    for (const auto& [name, layout, expected, sourceFormat] : cases) {
        const Decoded d = Decode(BuildPng(layout));
        ASSERT_TRUE(d.ok) << name << ": " << d.error;
        EXPECT_EQ(d.image.pixels, expected) << name;
        EXPECT_EQ(d.image.sourceFormat, sourceFormat) << name;
    }
}

TEST(Png, InterlacedEqualsProgressiveRows)
{
    // Adam7 passes skip rows and columns; sizes that are not multiples of 8 leave some empty.
    for (auto [w, h] : {std::pair{1, 1}, std::pair{3, 2}, std::pair{9, 7}, std::pair{17, 33}}) {
        PngLayout s = PngFromArgb(PatternPixels(w, h), w, h);
        s.interlace = true;
        const Decoded d = Decode(BuildPng(s));
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_EQ(d.image.pixels, PatternPixels(w, h)) << w << "x" << h;
    }
}

TEST(Png, RefusesDamagedFiles)
{
    const Bytes good = BuildPng(PngFromArgb(PatternPixels(8, 8), 8, 8));
    const auto chunks = PngChunks(good);
    ASSERT_EQ(chunks.size(), 3u); // IHDR (bytes 8 to 33), IDAT, IEND
    Bytes badCrc = good;
    badCrc[29] ^= 1;                                               // IHDR's CRC
    const Bytes idatCut(good.begin(), good.begin() + 33 + 8 + 10); // ten bytes into the compressed data
    // An IDAT whose zlib stream says ADLER32 of other data: last four bytes flipped.
    auto badAdler = chunks;
    badAdler[1].data.back() ^= 0xFF;
    PngLayout palette = PaletteImage();
    palette.trns.clear();
    const Bytes paletteFile = BuildPng(palette);
    auto noPlte = PngChunks(paletteFile);
    std::erase_if(noPlte, [](const PngChunk& c) { return c.type == "PLTE"; });
    // A text chunk right after IHDR whose length asks for 1.6 GB (libpng would allocate it).
    auto withText = chunks;
    withText.insert(withText.begin() + 1, {"zTXt", Bytes(16, 'z')});
    Bytes hugeText = PngFromChunks(withText);
    hugeText[33] = 0x62, hugeText[34] = 0x66, hugeText[35] = 0x61, hugeText[36] = 0x65;

    const std::tuple<const char*, Bytes, const char*> cases[] = {
        {"IHDR CRC", badCrc, "CRC"},
        {"zTXt claiming 1.6 GB", hugeText, "chunk 'zTXt' declares 1650876773 bytes"},
        {"IDAT cut", idatCut, "chunk 'IDAT' declares"},
        {"bad ADLER32", PngFromChunks(badAdler), "incorrect data check"},
        {"no IEND", PngFromChunks({chunks.begin(), chunks.end() - 1}), "file truncated"},
        {"palette without PLTE", PngFromChunks(noPlte), "Missing PLTE"},
    };
    for (const auto& [name, bytes, expect] : cases)
        EXPECT_EQ(Refusal(bytes, Format::Png, "PNG", expect), "") << name;
}
