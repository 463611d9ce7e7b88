// Comparison report and PNG dump for the raster tests (libpng, as the engine links it).
#include "RasterTestSupport.h"

#include <png.h>

#include <cstdio>
#include <sstream>

namespace vireo::raster::test {

namespace {

void WritePng(const char* path, int width, int height, const std::vector<std::uint32_t>& argb)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_BGRA;  // A8R8G8B8 in memory is B, G, R, A
    png_image_write_to_file(&image, path, 0, argb.data(), width * 4, nullptr);
}

}  // namespace

std::string CompareImages(const Image& expected, const Image& actual, int tolerance)
{
    const int w = expected.surface.width, h = expected.surface.height;
    if (w != actual.surface.width || h != actual.surface.height) {
        return "images differ in size";
    }
    std::ostringstream report;
    int bad = 0;
    std::vector<std::uint32_t> diff(expected.storage.size(), 0xFF000000u);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::uint32_t e = expected.At(x, y), a = actual.At(x, y);
            if (ChannelDistance(e, a) > tolerance) {
                if (bad++ == 0) {
                    char line[96];
                    std::snprintf(line, sizeof line, "first at (%d, %d): expected %08X, got %08X; ", x, y, e, a);
                    report << line;
                }
                diff[static_cast<std::size_t>(y) * w + x] = 0xFFFF0000u;
            }
        }
    }
    if (bad == 0) {
        return {};
    }
    report << bad << " pixels differ beyond " << tolerance << " (actual.png, diff.png written)";
    WritePng("actual.png", w, h, actual.storage);
    WritePng("diff.png", w, h, diff);
    return report.str();
}

}  // namespace vireo::raster::test
