// Images owned by a test, seeded random content, and comparison with a readable report.
// Nothing is written to disk: the first differing pixel and the count say enough.
#pragma once

#include "platform/raster/Raster.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <random>
#include <string>
#include <vector>

namespace vireo::raster::test {

struct Image {
    std::vector<std::uint32_t> storage;
    Surface surface;

    Image(int width, int height, std::uint32_t fill = 0)
        : storage(static_cast<std::size_t>(width) * height, fill), surface{storage.data(), width, height, width * 4}
    {
    }
    Image(const Image& other)
        : storage(other.storage), surface{storage.data(), other.surface.width, other.surface.height,
                                          other.surface.pitch}
    {
    }
    Image& operator=(const Image&) = delete;

    std::uint32_t At(int x, int y) const { return storage[static_cast<std::size_t>(y) * surface.width + x]; }
    std::uint32_t& At(int x, int y) { return storage[static_cast<std::size_t>(y) * surface.width + x]; }
};

// A fresh seed each run, printed so a failure can be replayed with VIREO_TEST_SEED.
inline unsigned TestSeed()
{
    const char* forced = std::getenv("VIREO_TEST_SEED");
    const unsigned seed = forced ? static_cast<unsigned>(std::strtoul(forced, nullptr, 10)) : std::random_device{}();
    std::cout << "raster scene seed " << seed << " (VIREO_TEST_SEED=" << seed << " replays it)\n";
    return seed;
}

// Random pixels whose alpha is 0, 255 or in between in about equal parts, in runs, so the
// transparent-skip and opaque-copy shortcuts of the span functions all get exercised.
inline Image RandomImage(std::mt19937& rng, int width, int height)
{
    Image image(width, height);
    std::uniform_int_distribution<int> byte(0, 255), kind(0, 2), runLength(1, 12);
    int left = 0, mode = 0;
    for (std::uint32_t& p : image.storage) {
        if (left-- == 0) {
            left = runLength(rng);
            mode = kind(rng);
        }
        const std::uint32_t alpha = mode == 0 ? 0u : (mode == 1 ? 255u : static_cast<std::uint32_t>(byte(rng)));
        p = (alpha << 24) | static_cast<std::uint32_t>(byte(rng) << 16 | byte(rng) << 8 | byte(rng));
    }
    return image;
}

// Largest channel difference between two pixels.
inline int ChannelDistance(std::uint32_t a, std::uint32_t b)
{
    int worst = 0;
    for (int c = 0; c < 4; ++c) {
        const int d = static_cast<int>((a >> (8 * c)) & 0xFF) - static_cast<int>((b >> (8 * c)) & 0xFF);
        worst = std::max(worst, d < 0 ? -d : d);
    }
    return worst;
}

// Empty when every pixel is within tolerance, else the first offender and the count.
inline std::string CompareImages(const Image& expected, const Image& actual, int tolerance = 0)
{
    if (expected.surface.width != actual.surface.width || expected.surface.height != actual.surface.height) {
        return "images differ in size";
    }
    std::string report;
    int bad = 0;
    for (int y = 0; y < expected.surface.height; ++y) {
        for (int x = 0; x < expected.surface.width; ++x) {
            const std::uint32_t e = expected.At(x, y), a = actual.At(x, y);
            if (ChannelDistance(e, a) > tolerance && bad++ == 0) {
                char line[80];
                std::snprintf(line, sizeof line, "first at (%d, %d): expected %08X, got %08X; ", x, y, e, a);
                report = line;
            }
        }
    }
    return bad ? report + std::to_string(bad) + " pixels differ" : std::string();
}

inline RECT WholeOf(const Image& image)
{
    return RECT{0, 0, image.surface.width, image.surface.height};
}

} // namespace vireo::raster::test
