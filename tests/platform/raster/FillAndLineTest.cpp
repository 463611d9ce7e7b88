// FillRect clipping and the one-pixel line rule: which pixels a segment covers, the end
// pixel left out so polyline joints blend once, clipping of far end points, refused input.
#include "RasterTestSupport.h"

#include "platform/raster/Pixel.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <utility>

namespace vireo::raster::test {
namespace {

using Pixels = std::set<std::pair<int, int>>;

Pixels Changed(const Image& image, std::uint32_t background)
{
    Pixels changed;
    for (int y = 0; y < image.surface.height; ++y) {
        for (int x = 0; x < image.surface.width; ++x) {
            if (image.At(x, y) != background) {
                changed.insert({x, y});
            }
        }
    }
    return changed;
}

Pixels RectPixels(int left, int top, int right, int bottom)
{
    Pixels pixels;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            pixels.insert({x, y});
        }
    }
    return pixels;
}

TEST(FillRect, ClipsToTheTarget)
{
    struct Case {
        const char* what;
        RECT rect;
        Pixels expected;
    };
    const Case cases[] = {
        {"over the top-left corner", {-4, -2, 3, 2}, RectPixels(0, 0, 3, 2)},
        {"over the bottom-right corner", {9, 7, 40, 30}, RectPixels(9, 7, 12, 10)},
        {"entirely outside", {12, 0, 20, 10}, {}},
        {"inverted", {8, 8, 2, 2}, {}},
    };
    for (const Case& c : cases) {
        Image target(12, 10, 0u);
        FillRect(target.surface, c.rect, 0x80FF0000u);
        EXPECT_EQ(Changed(target, 0u), c.expected) << c.what;
        for (const auto& [x, y] : c.expected) {
            ASSERT_EQ(target.At(x, y), 0x80FF0000u) << c.what << ": the fill is a store, not a blend";
        }
    }
}

// The fill stores whole vectors between a scalar head (up to the first 16-byte boundary)
// and tail: every start offset against that boundary and every width up to two blocks of
// sixteen plus a tail, with untouched neighbours on both sides.
TEST(FillRect, EveryAlignmentAndWidthFillsExactlyItsPixels)
{
    constexpr int kWidth = 48;
    for (int left = 0; left < 4; ++left) {
        for (int width = 0; width <= 37; ++width) {
            Image target(kWidth, 2, 0u);
            FillRect(target.surface, RECT{left, 1, left + width, 2}, 0xFF00FF00u);
            for (int x = 0; x < kWidth; ++x) {
                const std::uint32_t expected = x >= left && x < left + width ? 0xFF00FF00u : 0u;
                ASSERT_EQ(target.At(x, 1), expected) << "left " << left << " width " << width << " at " << x;
                ASSERT_EQ(target.At(x, 0), 0u) << "left " << left << " width " << width << " at " << x;
            }
        }
    }
}

Pixels Line(float x0, float y0, float x1, float y1, RECT clip = {0, 0, 16, 12})
{
    Image target(16, 12, 0u);
    DrawLine(target.surface, x0, y0, x1, y1, 0xFFFFFFFFu, BlendState{}, clip);
    return Changed(target, 0u);
}

// Coordinates are pixel centres (x + 0.5): a segment between two centres covers the pixels
// from the first up to, not including, the last, so polyline joints are blended once.
TEST(DrawLine, CoversOnePixelPerStepWithoutTheEndPixel)
{
    struct Case {
        const char* what;
        float x0, y0, x1, y1;
        Pixels expected;
    };
    const Case cases[] = {
        {"horizontal", 2.5f, 3.5f, 7.5f, 3.5f, {{2, 3}, {3, 3}, {4, 3}, {5, 3}, {6, 3}}},
        {"horizontal, backwards", 7.5f, 3.5f, 2.5f, 3.5f, {{7, 3}, {6, 3}, {5, 3}, {4, 3}, {3, 3}}},
        {"vertical", 4.5f, 1.5f, 4.5f, 5.5f, {{4, 1}, {4, 2}, {4, 3}, {4, 4}}},
        {"diagonal", 1.5f, 1.5f, 5.5f, 5.5f, {{1, 1}, {2, 2}, {3, 3}, {4, 4}}},
        {"anti-diagonal", 5.5f, 1.5f, 1.5f, 5.5f, {{5, 1}, {4, 2}, {3, 3}, {2, 4}}},
        {"shallow: minor axis rounds, halves up", 0.5f, 0.5f, 4.5f, 2.5f, {{0, 0}, {1, 1}, {2, 1}, {3, 2}}},
        {"steep", 3.5f, 0.5f, 4.5f, 4.5f, {{3, 0}, {3, 1}, {4, 2}, {4, 3}}},
        {"end points snap to their pixel", 2.9f, 3.1f, 5.2f, 3.8f, {{2, 3}, {3, 3}, {4, 3}}},
        {"zero length", 6.5f, 6.5f, 6.7f, 6.2f, {}},
        {"off the left edge", -3.5f, 2.5f, 2.5f, 2.5f, {{0, 2}, {1, 2}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Line(c.x0, c.y0, c.x1, c.y1), c.expected) << c.what;
    }
    Image target(16, 12, 0xFF000000u); // the blend state applies to lines too
    DrawLine(target.surface, 1.5f, 1.5f, 8.5f, 1.5f, 0x80FFFFFFu,
             BlendState{true, BlendFactor::SrcAlpha, BlendFactor::InvSrcAlpha}, RECT{0, 0, 16, 12});
    EXPECT_EQ(target.At(4, 1), BlendOver(0x80FFFFFFu, 0xFF000000u));
}

TEST(DrawLine, ClipsFarEndPointsAndRefusesUnusableOnes)
{
    // A segment a hundred million pixels long draws its visible part only, at once.
    EXPECT_EQ(Line(-1e8f, 4.5f, 1e8f, 4.5f), RectPixels(0, 4, 16, 5));
    EXPECT_EQ(Line(6.5f, -1e8f, 6.5f, 1e8f, RECT{0, 2, 16, 9}), RectPixels(6, 2, 7, 9));
    // A clip rectangle cuts a diagonal where it crosses.
    EXPECT_EQ(Line(0.5f, 0.5f, 8.5f, 8.5f, RECT{3, 2, 6, 12}), (Pixels{{3, 3}, {4, 4}, {5, 5}}));
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    EXPECT_TRUE(Line(nan, 1, 5, 5).empty());
    EXPECT_TRUE(Line(1, 1, inf, 5).empty());
    EXPECT_TRUE(Line(1, 1, 5, 5, RECT{10, 10, 2, 2}).empty());
}

} // namespace
} // namespace vireo::raster::test
