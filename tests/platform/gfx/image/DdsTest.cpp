// DDS reader: uncompressed layouts by mask, DXT1/3/5 block decoding (both DXT1 modes, sizes
// not a multiple of 4), and every header fault refused.
#include "platform/gfx/image/ImageFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <tuple>

using namespace vireo::image;
using namespace vireo::image::fixtures;

namespace {

constexpr std::uint32_t K = 0xFF000000, W = 0xFFFFFFFF;
constexpr std::uint32_t kRgb = 0x40, kAlphaPixels = 0x1, kAlpha = 0x2, kFourCc = 0x4, kLuminance = 0x20000;

DdsLayout Plain(std::uint32_t w, std::uint32_t h, std::uint32_t flags, std::uint32_t bits,
                std::array<std::uint32_t, 4> m, Bytes data)
{
    return {w, h, flags, 0, bits, {m[0], m[1], m[2], m[3]}, 1, 0, std::move(data)};
}

DdsLayout Compressed(const char (&code)[5], std::uint32_t w, std::uint32_t h, Bytes data)
{
    return {w, h, kFourCc, FourCc(code), 0, {}, 1, 0, std::move(data)};
}

// A BC1 colour block: endpoints c0, c1 (R5G6B5) and one row of indices repeated on all rows.
Bytes ColourBlock(std::uint16_t c0, std::uint16_t c1, std::uint8_t rowIndices)
{
    Bytes b(8, rowIndices);
    Put16(b, 0, c0);
    Put16(b, 2, c1);
    return b;
}

std::vector<std::uint32_t> Rows(std::vector<std::uint32_t> row, int count)
{
    std::vector<std::uint32_t> all;
    for (int i = 0; i < count; ++i)
        all.insert(all.end(), row.begin(), row.end());
    return all;
}

} // namespace

TEST(Dds, DecodesValidVariantsExactly)
{
    const std::array<std::uint32_t, 4> argb = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    // 3 x 5: two blocks stacked, each clipped; block 1 red, block 2 blue.
    Bytes stacked = ColourBlock(0xF800, 0xF800, 0);
    Append(stacked, ColourBlock(0x001F, 0x001F, 0));
    std::vector<std::uint32_t> redThenBlue(15, 0xFFFF0000);
    std::fill(redThenBlue.begin() + 12, redThenBlue.end(), 0xFF0000FF);
    // DXT3: explicit 4-bit alpha (n * 17); the colour block never has a transparent mode.
    Bytes dxt3 = {0x10, 0xF2, 0x10, 0xF2, 0x10, 0xF2, 0x10, 0xF2};
    Append(dxt3, ColourBlock(0x0000, 0xFFFF, 0xE4));
    // A name, the file described and the pixels it decodes to (top row first).
    std::vector<std::tuple<const char*, DdsLayout, std::vector<std::uint32_t>>> cases = {
        {"A8R8G8B8", Plain(2, 1, kRgb | kAlphaPixels, 32, argb, {1, 2, 3, 4, 5, 6, 7, 8}), {0x04030201, 0x08070605}},
        {"X8R8G8B8: alpha mask without the alpha flag", Plain(1, 1, kRgb, 32, argb, {1, 2, 3, 4}), {0xFF030201}},
        {"R8G8B8", Plain(2, 1, kRgb, 24, {0xFF0000, 0xFF00, 0xFF, 0}, {1, 2, 3, 4, 5, 6}), {0xFF030201, 0xFF060504}},
        {"R5G6B5",
         Plain(2, 1, kRgb, 16, {0xF800, 0x07E0, 0x001F, 0}, {0x00, 0xF8, 0x20, 0x00}),
         {0xFFFF0000, 0xFF000400}},
        {"A1R5G5B5",
         Plain(2, 1, kRgb | kAlphaPixels, 16, {0x7C00, 0x03E0, 0x001F, 0x8000}, {0x1F, 0x80, 0x1F, 0x00}),
         {0xFF0000FF, 0x000000FF}},
        {"L8", Plain(2, 1, kLuminance, 8, {0xFF, 0, 0, 0}, {0x80, 0xFF}), {0xFF808080, W}},
        // DXT1, four-colour mode (c0 > c1): white, black and the two thirds between them.
        {"DXT1 four colours", Compressed("DXT1", 4, 4, ColourBlock(0xFFFF, 0x0000, 0xE4)),
         Rows({W, K, 0xFFAAAAAA, 0xFF555555}, 4)},
        // DXT1, three-colour mode (c0 <= c1): the midpoint and transparent black.
        {"DXT1 three colours and transparent", Compressed("DXT1", 4, 4, ColourBlock(0x0000, 0xFFFF, 0xE4)),
         Rows({K, W, 0xFF808080, 0x00000000}, 4)},
        // Equal endpoints are three-colour mode too: index 3 is transparent.
        {"DXT1 equal endpoints", Compressed("DXT1", 4, 4, ColourBlock(0x001F, 0x001F, 0xE4)),
         Rows({0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0x00000000}, 4)},
        {"DXT1 3 x 5", Compressed("DXT1", 3, 5, stacked), redThenBlue},
        {"DXT3", Compressed("DXT3", 4, 4, dxt3), Rows({0x00000000, 0x11FFFFFF, 0x22555555, 0xFFAAAAAA}, 4)},
    };
    // DXT5, alpha indices 0..7 on the first two rows (3-bit, little-endian: 0x88 0xC6 0xFA), 0
    // after them. Eight-alpha mode (a0 > a1) has six steps between; six-alpha mode (a0 <= a1)
    // four, then 0 and 255. Steps round to the nearest (the six-alpha row starts at 1 to show it).
    for (const auto& [name, a0, a1, alphas] :
         {std::tuple{"DXT5 eight alphas", 255, 0, std::array{255u, 0u, 219u, 182u, 146u, 109u, 73u, 36u}},
          {"DXT5 six alphas", 1, 255, {1u, 255u, 52u, 103u, 153u, 204u, 0u, 255u}}}) {
        Bytes data = {static_cast<std::uint8_t>(a0), static_cast<std::uint8_t>(a1), 0x88, 0xC6, 0xFA, 0, 0, 0};
        Append(data, ColourBlock(0xFFFF, 0xFFFF, 0));
        std::vector<std::uint32_t> expected(16, (static_cast<std::uint32_t>(a0) << 24) | 0xFFFFFF);
        for (std::size_t i = 0; i < 8; ++i)
            expected[i] = (alphas[i] << 24) | 0xFFFFFF;
        cases.push_back({name, Compressed("DXT5", 4, 4, data), expected});
    }
    for (const auto& [name, layout, expected] : cases) {
        const Decoded d = Decode(BuildDds(layout));
        ASSERT_TRUE(d.ok) << name << ": " << d.error;
        EXPECT_EQ(d.image.pixels, expected) << name;
    }
}

TEST(Dds, RefusesHeaderFaults)
{
    const DdsLayout base = Plain(2, 2, kRgb, 32, {0xFF0000, 0xFF00, 0xFF, 0}, Bytes(16, 0x22));
    auto with = [&](auto change) {
        DdsLayout s = base;
        change(s);
        return BuildDds(s);
    };
    const Bytes good = BuildDds(base);
    auto patched = [&](std::size_t at, std::uint32_t value) {
        Bytes b = good;
        Put32(b, at, value);
        return b;
    };
    const std::tuple<const char*, Bytes, const char*> cases[] = {
        {"wrong magic", patched(0, FourCc("DDS_")), "no 'DDS ' signature"},
        {"pixel format size 0", patched(76, 0), "pixel format size 0, expected 32"},
        {"4 G wide", with([](DdsLayout& s) { s.width = 0xFFFFFFFF; }), "image too large: 4294967295 x 2"},
        {"DX10", with([](DdsLayout& s) { s.pfFlags = kFourCc, s.fourCc = FourCc("DX10"); }), "FourCC 'DX10'"},
        {"ATI2", with([](DdsLayout& s) { s.pfFlags = kFourCc, s.fourCc = FourCc("ATI2"); }),
         "unsupported FourCC 'ATI2'"},
        {"DXT1 level 0 short",
         with([](DdsLayout& s) { s.pfFlags = kFourCc, s.fourCc = FourCc("DXT1"), s.data.resize(7); }),
         "level 0 truncated: 7 of 8 bytes"},
        {"cube map", with([](DdsLayout& s) { s.caps2 = 0xFE00; }), "cube maps"},
        {"12 bits", with([](DdsLayout& s) { s.bits = 12; }), "unsupported bit count 12"},
        {"overlapping masks", with([](DdsLayout& s) { s.masks[0] = 0xFFFFFF; }), "colour masks overlap"},
        {"mask beyond the bit count", with([](DdsLayout& s) { s.bits = 16, s.masks[0] = 0xFF0000; }),
         "does not fit 16 bits"},
        {"all masks zero", with([](DdsLayout& s) { s.masks[0] = s.masks[1] = s.masks[2] = 0; }),
         "all colour masks are zero"},
        {"no layout flag", with([](DdsLayout& s) { s.pfFlags = kAlphaPixels; }), "name no RGB"},
        {"header cut", Bytes(good.begin(), good.begin() + 127), "too short"},
    };
    for (const auto& [name, bytes, expect] : cases)
        EXPECT_EQ(Refusal(bytes, Format::Dds, "DDS", expect), "") << name;
}
