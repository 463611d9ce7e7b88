// TGA reader: image types and depths pixel for pixel, origin bits, colour maps with
// out-of-range indices, RLE packets crossing rows and the image end, and refused headers.
#include "platform/gfx/image/ImageFixtures.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace vireo::image;
using namespace vireo::image::fixtures;

namespace {

constexpr std::uint32_t T = 0x00000000, K = 0xFF000000;
constexpr std::uint32_t R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF, W = 0xFFFFFFFF;

TgaLayout Layout(std::uint8_t type, std::uint16_t w, std::uint16_t h, std::uint8_t depth, std::uint8_t descriptor,
                 Bytes pixels)
{
    return {type, w, h, depth, descriptor, {}, 0, 0, 0, {}, 0, std::move(pixels)};
}

// A colour map of R, G, B, W in 24-bit entries, for indices first .. first + 3.
TgaLayout Mapped(std::uint8_t type, std::uint16_t w, std::uint16_t h, Bytes pixels, std::uint16_t first = 0)
{
    return {
        type, w, h, 8, 0x20, {}, 1, first, 24, {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255}, 4, std::move(pixels)};
}

} // namespace

TEST(Tga, DecodesValidVariantsExactly)
{
    const Bytes rgbw = {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255};
    // A name, the file described and the pixels it decodes to (top row first).
    const std::tuple<const char*, TgaLayout, std::vector<std::uint32_t>> cases[] = {
        {"32-bit top-left", Layout(2, 2, 1, 32, 0x28, {1, 2, 3, 0x40, 4, 5, 6, 0}), {0x40030201, 0x00060504}},
        // Alpha zero everywhere means "no alpha" only when the descriptor declares no alpha bits.
        {"32-bit all alpha zero", Layout(2, 2, 1, 32, 0x20, {1, 2, 3, 0, 4, 5, 6, 0}), {0xFF030201, 0xFF060504}},
        {"32-bit declared alpha all zero",
         Layout(2, 2, 1, 32, 0x28, {1, 2, 3, 0, 4, 5, 6, 0}),
         {0x00030201, 0x00060504}},
        {"16-bit alpha bit clear everywhere",
         Layout(2, 2, 1, 16, 0x21, {0x00, 0x7C, 0xE0, 0x03}),
         {0x00FF0000, 0x0000FF00}},
        {"24-bit bottom-left", Layout(2, 2, 2, 24, 0x00, rgbw), {B, W, R, G}},
        {"24-bit top-right", Layout(2, 2, 2, 24, 0x30, rgbw), {G, R, W, B}},
        // 16-bit with one attribute bit: the top bit is alpha. 15-bit and 16-bit without
        // attribute bits are opaque whatever that bit holds.
        {"16-bit with alpha bit", Layout(2, 3, 1, 16, 0x21, {0x00, 0xFC, 0x00, 0x7C, 0x1F, 0x80}), {R, 0x00FF0000, B}},
        {"15-bit", Layout(2, 2, 1, 15, 0x20, {0x00, 0xFC, 0x01, 0x00}), {R, 0xFF000008}},
        {"grey", Layout(3, 3, 1, 8, 0x20, {0, 0x80, 255}), {K, 0xFF808080, W}},
        // The ID field is skipped whatever it holds; a colour map in a true-colour file is too.
        {"ID field and unused colour map",
         {2, 1, 1, 24, 0x20, Bytes(255, 'i'), 1, 0, 32, Bytes(8, 0xEE), 2, {1, 2, 3}},
         {0xFF030201}},
        // Map indices 2..5 hold R G B W; 0, 1 and 6 are outside the map.
        {"colour-mapped, first entry 2", Mapped(1, 5, 1, {2, 5, 0, 1, 6}, 2), {R, W, K, K, K}},
        // RLE: packets run across rows; one repeat packet of 4, then 2 raw values.
        {"RLE true colour across rows",
         Layout(10, 3, 2, 24, 0x20, {0x83, 0, 0, 255, 0x01, 0, 255, 0, 255, 0, 0}),
         {R, R, R, R, G, B}},
        {"RLE colour-mapped", Mapped(9, 3, 1, {0x81, 1, 0x00, 3}), {G, G, W}},
        {"RLE packet crossing the image end", Layout(10, 2, 1, 24, 0x20, {0xFF, 255, 255, 255}), {W, W}},
        {"RLE raw packet longer than the data", Layout(10, 2, 2, 24, 0x20, {0x03, 0, 0, 255, 0, 255, 0}), {R, G, T, T}},
        {"RLE data ends mid-value", Layout(10, 2, 1, 24, 0x20, {0x80, 0, 0, 255, 0x80, 1}), {R, T}},
    };
    for (const auto& [name, layout, expected] : cases) {
        const Decoded d = Decode(BuildTga(layout), Format::Tga);
        ASSERT_TRUE(d.ok) << name << ": " << d.error;
        EXPECT_EQ(d.image.width, layout.width) << name;
        EXPECT_EQ(d.image.pixels, expected) << name;
    }
}

TEST(Tga, RefusesBadHeaders)
{
    auto with = [](auto change) {
        TgaLayout s = Layout(2, 2, 2, 24, 0x20, Bytes(12, 0x33));
        change(s);
        return BuildTga(s);
    };
    Bytes shortId = with([](TgaLayout&) {});
    shortId[0] = 255; // ID field of 255 bytes in a 30-byte file
    const std::tuple<const char*, Bytes, const char*> cases[] = {
        {"type 0", with([](TgaLayout& s) { s.type = 0; }), "unsupported image type 0"},
        {"map type 2", with([](TgaLayout& s) { s.mapType = 2; }), "unknown colour map type 2"},
        {"mapped without map", with([](TgaLayout& s) { s.type = 1, s.depth = 8; }), "without a colour map"},
        {"map entry of 12 bits", with([](TgaLayout& s) { s.mapType = 1, s.mapEntryBits = 12; }), "entry size 12"},
        {"8-bit true colour", with([](TgaLayout& s) { s.depth = 8; }), "pixel depth 8 for image type 2"},
        {"ID past the end", shortId, "ID field or colour map"},
        {"pixels cut short", with([](TgaLayout& s) { s.pixels.resize(11); }), "pixel data truncated: 11 of 12"},
        {"RLE far too short", with([](TgaLayout& s) {
             s.type = 10, s.width = s.height = 4000, s.pixels = {0xFF, 1, 2, 3};
         }),
         "RLE data too short for 4000 x 4000"},
        {"header cut", Bytes(17, 0), "too short"},
    };
    for (const auto& [name, bytes, expect] : cases)
        EXPECT_EQ(Refusal(bytes, Format::Tga, "TGA", expect), "") << name;
}

TEST(Tga, HeavyRleInputStaysBounded)
{
    // 128 pixels per 4-byte packet is the most RLE can say; the smallest file that claims
    // the whole 8192 x 2048 cap must carry 131,072 packets, and then it decodes.
    TgaLayout s = Layout(10, 8192, 2048, 24, 0x20, {});
    for (int i = 0; i < 8192 * 2048 / 128; ++i)
        Append(s.pixels, {0xFF, 9, 8, 7});
    const Decoded d = Decode(BuildTga(s), Format::Tga);
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_EQ(d.image.pixels.back(), 0xFF070809u);
    s.pixels.resize(s.pixels.size() - 5);
    EXPECT_FALSE(Decode(BuildTga(s), Format::Tga).ok);
}
