// What every format shares: detection, the size caps (refused before the pixel buffer is
// allocated), trailing junk, and the BMP writer read back by the BMP reader. Cut and random
// input is the fuzz targets' job.
#include "common/AllocationProbe.h"
#include "platform/gfx/image/ImageFixtures.h"

#include "platform/gfx/image/ImageDecoder.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

using namespace vireo::image;
using namespace vireo::image::fixtures;

namespace {

struct FormatCase {
    const char* name;
    Format format;
    Bytes valid;                                                     // a small valid file (5 x 3)
    std::function<void(Bytes&, std::uint32_t, std::uint32_t)> claim; // patch the header's size
    std::uint32_t largestSide;                                       // the largest size the header can hold
};

void PutBe16(Bytes& b, std::size_t at, std::uint32_t v)
{
    b[at] = static_cast<std::uint8_t>(v >> 8);
    b[at + 1] = static_cast<std::uint8_t>(v);
}

std::vector<FormatCase> Formats()
{
    return {
        {"PNG", Format::Png, BuildPng(PngFromArgb(PatternPixels(5, 3), 5, 3)),
         [](Bytes& b, std::uint32_t w, std::uint32_t h) {
             PutBe16(b, 16, w >> 16), PutBe16(b, 18, w), PutBe16(b, 20, h >> 16), PutBe16(b, 22, h);
         },
         100000},
        {"JPEG", Format::Jpeg, BuildJpeg({.width = 5, .height = 3, .scans = {}, .samples = Bytes(5 * 3 * 3, 0x7F)}),
         [](Bytes& b, std::uint32_t w, std::uint32_t h) {
             for (std::size_t i = 2; i + 9 < b.size(); ++i)
                 if (b[i] == 0xFF && (b[i + 1] == 0xC0 || b[i + 1] == 0xC2)) {
                     PutBe16(b, i + 5, h);
                     PutBe16(b, i + 7, w);
                     return;
                 }
         },
         60000},
        {"BMP", Format::Bmp, EncodeBmp(PatternPixels(5, 3).data(), 5, 3, 20),
         [](Bytes& b, std::uint32_t w, std::uint32_t h) { Put32(b, 18, w), Put32(b, 22, h); }, 100000},
        {"TGA", Format::Tga, BuildTga({.width = 5, .height = 3, .id = {}, .map = {}, .pixels = Bytes(5 * 3 * 4, 0x7F)}),
         [](Bytes& b, std::uint32_t w, std::uint32_t h) { Put16(b, 12, w), Put16(b, 14, h); }, 65535},
        {"DDS", Format::Dds, BuildDds({.width = 5, .height = 3, .data = Bytes(5 * 3 * 4, 0x7F)}),
         [](Bytes& b, std::uint32_t w, std::uint32_t h) { Put32(b, 16, w), Put32(b, 12, h); }, 100000},
    };
}

} // namespace

TEST(ImageDecoder, DetectsFormatsBySignature)
{
    const std::pair<Bytes, Format> cases[] = {
        {{}, Format::Unknown},
        {{'B', 'M'}, Format::Bmp},
        {{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, Format::Png},
        {Bytes(64, 0), Format::Unknown}, // image type 0 is no TGA
        {{'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, Format::Unknown},
    };
    for (const auto& [bytes, expected] : cases)
        EXPECT_EQ(DetectFormat(bytes.data(), bytes.size()), expected) << bytes.size() << " bytes";
    EXPECT_EQ(DetectFormat(nullptr, 100), Format::Unknown);
}

TEST(ImageDecoder, RefusesOversizedAndEmptyImagesBeforeAllocating)
{
    const std::tuple<std::uint32_t, std::uint32_t, const char*> sizes[] = {
        {100000, 100000, "image too large: 100000 x 100000"},
        {8193, 1, "image too large: 8193 x 1"},
        {1, 8193, "image too large: 1 x 8193"},
        {5000, 5000, "image too large: 5000 x 5000"}, // both sides fine, 25 M pixels not
        {0, 3, "invalid image size: 0 x 3"},
    };
    {
        // The probe sees what it measures: a probe that stopped replacing new would pass below.
        AllocationProbe probe;
        static std::vector<char>* volatile sink = nullptr;
        sink = new std::vector<char>(4096);
        delete sink;
        EXPECT_GE(probe.Largest(), 4096u);
        EXPECT_GE(probe.Count(), 2);
    }
    for (const auto& f : Formats()) {
        for (const auto& [w, h, expect] : sizes) {
            if (w > f.largestSide || h > f.largestSide)
                continue;
            Bytes file = f.valid;
            f.claim(file, w, h);
            std::string refusal;
            const std::size_t largest = LargestAllocation([&] { refusal = Refusal(file, f.format, f.name, expect); });
            EXPECT_EQ(refusal, "") << f.name << " " << w << "x" << h;
            EXPECT_LE(largest, 1024u) << f.name << " " << w << "x" << h;
        }
    }
}

TEST(ImageDecoder, IgnoresJunkAfterAValidFile)
{
    for (const auto& f : Formats()) {
        Bytes padded = f.valid;
        for (std::size_t i = 0; i < (1u << 20); ++i)
            padded.push_back(static_cast<std::uint8_t>(i * 131 + 7));
        const Decoded plain = Decode(f.valid), junk = Decode(padded);
        ASSERT_TRUE(plain.ok) << f.name << ": " << plain.error;
        ASSERT_TRUE(junk.ok) << f.name << ": " << junk.error;
        EXPECT_EQ(junk.image.pixels, plain.image.pixels) << f.name;
        EXPECT_EQ(junk.image.format, f.format) << f.name << ": the reader names the format it read";
    }
}

TEST(EncodeBmp, EdgeSizesAndAllZeroAlpha)
{
    // A capture whose alpha bytes are all zero reads back as X8R8G8B8 (its pixels opaque: the
    // BMP reader's tests): the fourth byte was unused.
    const std::uint32_t rgbOnly[4] = {0x00102030, 0x00405060, 0x00708090, 0x00A0B0C0};
    const Decoded d = Decode(EncodeBmp(rgbOnly, 2, 2, 8));
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_EQ(d.image.sourceFormat, 22u);

    EXPECT_EQ(EncodeBmp(nullptr, 0, 5, 0).size(), 54u); // empty rectangle: header only
    EXPECT_TRUE(EncodeBmp(rgbOnly, 2, 2, 7).empty());   // pitch shorter than a row
}
