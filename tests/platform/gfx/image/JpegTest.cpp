// JPEG through libjpeg: colour, grey and progressive files decode within a stated tolerance;
// the scan limit, damaged data and libjpeg's warnings refuse the file.
#include "platform/gfx/image/ImageFixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

using namespace vireo::image;
using namespace vireo::image::fixtures;

namespace {

constexpr int kTolerance = 8; // per channel, for smooth content at quality 95 without subsampling

// Progressive by ManyScans(bands) when bands is not 0.
JpegLayout Gradient(int w, int h, int components, int bands = 0)
{
    JpegLayout s{.width = w, .height = h, .components = components, .scans = {}, .samples = {}};
    if (bands)
        s.scans = ManyScans(bands);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < components; ++c)
                s.samples.push_back(static_cast<std::uint8_t>(c == 0   ? x * 255 / (w - 1)
                                                              : c == 1 ? y * 255 / (h - 1)
                                                                       : 96));
    return s;
}

// Largest channel difference between the decoded image and the samples written.
int WorstError(const Image& image, const JpegLayout& s)
{
    int worst = 0;
    for (int i = 0; i < s.width * s.height; ++i) {
        const std::uint32_t px = image.pixels[i];
        if ((px >> 24) != 0xFF)
            return 256;
        for (int c = 0; c < 3; ++c) {
            const int want = s.samples[i * s.components + (s.components == 1 ? 0 : c)];
            const int got = (px >> (16 - 8 * c)) & 0xFF;
            worst = std::max(worst, std::abs(want - got));
        }
    }
    return worst;
}

std::size_t FindMarker(const Bytes& b, std::uint8_t marker)
{
    for (std::size_t i = 2; i + 1 < b.size(); ++i)
        if (b[i] == 0xFF && b[i + 1] == marker)
            return i;
    return b.size();
}

} // namespace

TEST(Jpeg, DecodesWithinTolerance)
{
    const std::tuple<const char*, JpegLayout, std::uint32_t> cases[] = {
        {"RGB", Gradient(32, 24, 3), 20},
        {"grey", Gradient(16, 16, 1), 50},
        {"progressive, 88 scans", Gradient(16, 16, 3, 29), 20}, // under the limit of 100
    };
    for (const auto& [name, layout, sourceFormat] : cases) {
        const Decoded d = Decode(BuildJpeg(layout));
        ASSERT_TRUE(d.ok) << name << ": " << d.error;
        ASSERT_EQ(d.image.width, layout.width);
        ASSERT_EQ(d.image.height, layout.height);
        EXPECT_LE(WorstError(d.image, layout), kTolerance) << name;
        EXPECT_EQ(d.image.sourceFormat, sourceFormat) << name;
    }
}

TEST(Jpeg, RefusesDamagedAndHostileFiles)
{
    const Bytes good = BuildJpeg(Gradient(32, 24, 3));
    const std::size_t sos = FindMarker(good, 0xDA), dht = FindMarker(good, 0xC4), dqt = FindMarker(good, 0xDB);
    ASSERT_LT(sos, good.size());
    ASSERT_LT(dht, good.size());

    Bytes badHuffman = good;
    std::fill(badHuffman.begin() + dht + 5, badHuffman.begin() + dht + 21, 0xFF); // 16 counts summing past 256
    Bytes extraneous = good;
    const std::size_t afterDqt = dqt + 2 + ((good[dqt + 2] << 8) | good[dqt + 3]);
    extraneous.insert(extraneous.begin() + afterDqt, {0x12, 0x34});
    Bytes noComponents = good;
    noComponents[FindMarker(good, 0xC0) + 9] = 0; // a frame of zero components, size intact

    const std::tuple<const char*, Bytes, const char*> cases[] = {
        {"cut inside the first scan", Bytes(good.begin(), good.begin() + sos + 40), "Premature end of JPEG file"},
        {"corrupt Huffman table", badHuffman, "Bogus Huffman table"},
        {"bytes before a marker (a libjpeg warning)", extraneous, "Corrupt JPEG data: 2 extraneous bytes"},
        {"frame without components", noComponents, "Empty JPEG image"},
        // 1 + 3 x 63 = 190 scans, each valid.
        {"190 progressive scans", BuildJpeg(Gradient(16, 16, 3, 63)), "more than 100 scans"},
        {"no start-of-image", Bytes(good.begin() + 2, good.end()), "no JPEG start-of-image marker"},
    };
    for (const auto& [name, bytes, expect] : cases)
        EXPECT_EQ(Refusal(bytes, Format::Jpeg, "JPEG", expect), "") << name;
}
