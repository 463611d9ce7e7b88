// Writes the seed corpora of the image_* fuzz targets into fuzz/corpus/image_<format>/: small
// valid files of every variant each reader handles, built by the test fixtures (no image
// is copied from elsewhere). Run by scripts/make-image-seeds.sh; the output is committed.
#include "tests/platform/gfx/image/ImageFixtures.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using namespace vireo::image;
using namespace vireo::image::fixtures;

namespace {

std::filesystem::path g_root;

void Save(const char* target, const std::string& name, const Bytes& bytes)
{
    const auto dir = g_root / target;
    std::filesystem::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    Image check;
    std::string error;
    if (!DecodeImage(bytes.data(), bytes.size(), check, &error))
        std::fprintf(stderr, "seed %s/%s does not decode: %s\n", target, name.c_str(), error.c_str());
}

Bytes Samples(int w, int h, int components)
{
    Bytes s;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < components; ++c)
                s.push_back(static_cast<std::uint8_t>((x * 16 + y * 8 * c + c * 40) & 0xFF));
    return s;
}

void Png()
{
    Save("image_png", "rgba8.png", BuildPng(PngFromArgb(PatternPixels(8, 8), 8, 8)));
    PngLayout interlaced = PngFromArgb(PatternPixels(9, 7), 9, 7);
    interlaced.interlace = true;
    Save("image_png", "rgba8-interlaced.png", BuildPng(interlaced));
    auto typed = [](int w, int type, int depth, Bytes row) {
        PngLayout s;
        s.width = w;
        s.height = 2;
        s.colourType = type;
        s.bitDepth = depth;
        s.rows = {row, row};
        return s;
    };
    Save("image_png", "rgb8.png", BuildPng(typed(2, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 4, 5, 6})));
    Save("image_png", "grey1.png", BuildPng(typed(9, PNG_COLOR_TYPE_GRAY, 1, {0xA5, 0x80})));
    Save("image_png", "grey16.png", BuildPng(typed(1, PNG_COLOR_TYPE_GRAY, 16, {0xAB, 0xCD})));
    Save("image_png", "greyalpha8.png", BuildPng(typed(2, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {1, 2, 3, 4})));
    Save("image_png", "rgba16.png", BuildPng(typed(1, PNG_COLOR_TYPE_RGB_ALPHA, 16, {1, 2, 3, 4, 5, 6, 7, 8})));
    PngLayout palette = typed(4, PNG_COLOR_TYPE_PALETTE, 2, {0x1B});
    palette.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 8, 7}};
    palette.trns = {0, 0x80};
    Save("image_png", "palette2-trns.png", BuildPng(palette));
}

void Jpeg()
{
    auto layout = [](int w, int h, int components) {
        JpegLayout s;
        s.width = w;
        s.height = h;
        s.components = components;
        s.samples = Samples(w, h, components);
        return s;
    };
    Save("image_jpeg", "rgb444.jpg", BuildJpeg(layout(16, 16, 3)));
    Save("image_jpeg", "grey.jpg", BuildJpeg(layout(17, 9, 1)));
    Save("image_jpeg", "cmyk.jpg", BuildJpeg(layout(8, 8, 4)));
    JpegLayout progressive = layout(24, 16, 3);
    progressive.progressive = true;
    Save("image_jpeg", "progressive.jpg", BuildJpeg(progressive));
    JpegLayout scans = layout(8, 8, 3);
    scans.scans = ManyScans(20);
    Save("image_jpeg", "many-scans.jpg", BuildJpeg(scans));
    JpegLayout low = layout(33, 17, 3);
    low.quality = 20;
    Save("image_jpeg", "low-quality.jpg", BuildJpeg(low));
}

void Bmp()
{
    const auto px = PatternPixels(7, 5);
    Save("image_bmp", "encoded32.bmp", EncodeBmp(px.data(), 7, 5, 28));
    const std::vector<std::uint32_t> pal = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    auto layout = [&](int w, int h, std::uint16_t bpp, std::uint32_t compression, Bytes pixels) {
        BmpLayout s;
        s.width = w;
        s.height = h;
        s.bpp = bpp;
        s.compression = compression;
        s.pixels = std::move(pixels);
        if (bpp <= 8)
            s.palette = pal;
        return s;
    };
    Save("image_bmp", "pal1.bmp", BuildBmp(layout(9, 2, 1, 0, {0xB1, 0x80, 0, 0, 0x4E, 0x00, 0, 0})));
    Save("image_bmp", "pal4.bmp", BuildBmp(layout(3, 2, 4, 0, {0x12, 0x30, 0, 0, 0x01, 0x20, 0, 0})));
    Save("image_bmp", "pal8.bmp", BuildBmp(layout(3, 2, 8, 0, {0, 1, 2, 0, 3, 2, 1, 0})));
    Save("image_bmp", "rgb24-topdown.bmp",
         BuildBmp(layout(2, -2, 24, 0, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0})));
    Save("image_bmp", "rgb555.bmp", BuildBmp(layout(2, 1, 16, 0, {0xFF, 0x7F, 0x1F, 0x00})));
    BmpLayout b565 = layout(2, 1, 16, 3, {0x00, 0xF8, 0xE0, 0x07});
    b565.masks = {0xF800, 0x07E0, 0x001F};
    Save("image_bmp", "bitfields565.bmp", BuildBmp(b565));
    BmpLayout v5 = layout(2, 1, 32, 3, {1, 2, 3, 4, 5, 6, 7, 8});
    v5.headerSize = 124;
    v5.masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
    Save("image_bmp", "v5-rgba.bmp", BuildBmp(v5));
    BmpLayout core = layout(2, 2, 8, 0, {0, 1, 0, 0, 2, 3, 0, 0});
    core.headerSize = 12;
    Save("image_bmp", "core8.bmp", BuildBmp(core));
    Save("image_bmp", "rle8.bmp", BuildBmp(layout(4, 3, 8, 1, {2, 1, 0, 0, 0, 3, 3, 2, 0, 0, 0, 2, 1, 0, 1, 3, 0, 1})));
    Save("image_bmp", "rle4.bmp", BuildBmp(layout(4, 2, 4, 2, {3, 0x12, 0, 0, 0, 4, 0x30, 0x21, 0, 1})));
}

void Tga()
{
    auto layout = [](std::uint8_t type, std::uint8_t depth, std::uint8_t descriptor, Bytes pixels) {
        TgaLayout s;
        s.type = type;
        s.width = 2;
        s.height = 2;
        s.depth = depth;
        s.descriptor = descriptor;
        s.pixels = std::move(pixels);
        return s;
    };
    Save("image_tga", "true32-topleft.tga",
         BuildTga(layout(2, 32, 0x28, Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16})));
    Save("image_tga", "true24-bottomleft.tga",
         BuildTga(layout(2, 24, 0x00, Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})));
    Save("image_tga", "true16-alpha.tga",
         BuildTga(layout(2, 16, 0x31, Bytes{0x00, 0xFC, 0x00, 0x7C, 0x1F, 0x80, 0xE0, 0x03})));
    Save("image_tga", "true15.tga",
         BuildTga(layout(2, 15, 0x20, Bytes{0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0xFF, 0x7F})));
    Save("image_tga", "grey.tga", BuildTga(layout(3, 8, 0x20, Bytes{0, 80, 160, 255})));
    Save("image_tga", "rle24.tga", BuildTga(layout(10, 24, 0x20, Bytes{0x82, 0, 0, 255, 0x00, 0, 255, 0})));
    Save("image_tga", "rle-grey.tga", BuildTga(layout(11, 8, 0x10, Bytes{0x81, 7, 0x01, 9, 10})));
    for (std::uint8_t type : {1, 9}) {
        TgaLayout s = layout(type, 8, 0x20, type == 1 ? Bytes{2, 3, 4, 5} : Bytes{0x81, 2, 0x01, 4, 5});
        s.mapType = 1;
        s.mapFirst = 2;
        s.mapEntryBits = 24;
        s.mapLength = 4;
        s.map = {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255};
        s.id = {'s', 'e', 'e', 'd'};
        Save("image_tga", type == 1 ? "mapped.tga" : "rle-mapped.tga", BuildTga(s));
    }
}

void Dds()
{
    auto plain = [](std::uint32_t w, std::uint32_t h, std::uint32_t flags, std::uint32_t bits,
                    std::initializer_list<std::uint32_t> masks) {
        DdsLayout s;
        s.width = w;
        s.height = h;
        s.pfFlags = flags;
        s.bits = bits;
        int i = 0;
        for (std::uint32_t m : masks)
            s.masks[i++] = m;
        for (std::uint32_t k = 0; k < w * h * bits / 8; ++k)
            s.data.push_back(static_cast<std::uint8_t>(k * 37 + 11));
        return s;
    };
    Save("image_dds", "argb-1x1.dds", BuildDds(plain(1, 1, 0x41, 32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000})));
    Save("image_dds", "xrgb-3x5.dds", BuildDds(plain(3, 5, 0x40, 32, {0xFF0000, 0xFF00, 0xFF, 0})));
    Save("image_dds", "rgb565-4x4.dds", BuildDds(plain(4, 4, 0x40, 16, {0xF800, 0x07E0, 0x001F, 0})));
    Save("image_dds", "rgb24.dds", BuildDds(plain(3, 2, 0x40, 24, {0xFF0000, 0xFF00, 0xFF, 0})));
    Save("image_dds", "l8.dds", BuildDds(plain(4, 2, 0x20000, 8, {0xFF, 0, 0, 0})));
    Save("image_dds", "a8.dds", BuildDds(plain(4, 2, 0x2, 8, {0, 0, 0, 0xFF})));
    auto compressed = [](const char(&code)[5], std::uint32_t w, std::uint32_t h, std::uint32_t mips) {
        DdsLayout s;
        s.width = w;
        s.height = h;
        s.pfFlags = 0x4;
        s.fourCc = FourCc(code);
        s.mipCount = mips;
        const std::uint32_t block = code[3] == '1' ? 8 : 16;
        for (std::uint32_t level = 0; level < mips; ++level) {
            const std::uint32_t lw = std::max(1u, w >> level), lh = std::max(1u, h >> level);
            for (std::uint32_t k = 0; k < (lw + 3) / 4 * ((lh + 3) / 4) * block; ++k)
                s.data.push_back(static_cast<std::uint8_t>(k * 73 + level));
        }
        return s;
    };
    Save("image_dds", "dxt1-4x4.dds", BuildDds(compressed("DXT1", 4, 4, 1)));
    Save("image_dds", "dxt1-3x5.dds", BuildDds(compressed("DXT1", 3, 5, 1)));
    Save("image_dds", "dxt3-8x8.dds", BuildDds(compressed("DXT3", 8, 8, 1)));
    Save("image_dds", "dxt5-8x4-mips.dds", BuildDds(compressed("DXT5", 8, 4, 4)));
    Save("image_dds", "dxt1-64-mips.dds", BuildDds(compressed("DXT1", 64, 64, 7)));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <fuzz/corpus folder>\n", argv[0]);
        return 2;
    }
    g_root = argv[1];
    Png();
    Jpeg();
    Bmp();
    Tga();
    Dds();
    return 0;
}
