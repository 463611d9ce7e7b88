// Checks the sprite frames for what the demo and the loader rely on: a hero with no blended
// fringe around its colour key, feet on the bottom row the centre point names, a sparkle that
// fades to clear, and Desc.ini texts that agree with the frames. Not the exact pixels.
#include "tools/artgen/SpriteArt.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

namespace {

constexpr std::uint32_t kKey = 0xFFFF00FFu;
constexpr std::uint32_t kShirt = 0xFF286EC8u;
constexpr std::uint32_t kFace = 0xFFF0C396u;
const std::set<std::uint32_t> kPalette = {0xFF28325Au, kShirt, 0xFFE6B48Cu, kFace, 0xFF14141Eu};

int Alpha(std::uint32_t argb)
{
    return static_cast<int>(argb >> 24);
}

int DescInt(const std::string& desc, const std::string& key)
{
    const std::size_t at = desc.find("\n" + key + "=");
    return at == std::string::npos ? -1 : std::atoi(desc.c_str() + at + key.size() + 2);
}

struct Centroid {
    double x = 0, y = 0;
    int count = 0;
};

Centroid CentroidOf(const artgen::Canvas& frame, std::uint32_t colour)
{
    Centroid c;
    const auto pixels = frame.Argb();
    for (int y = 0; y < frame.Height(); ++y)
        for (int x = 0; x < frame.Width(); ++x)
            if (pixels[static_cast<std::size_t>(y * frame.Width() + x)] == colour) {
                c.x += x + 0.5;
                c.y += y + 0.5;
                ++c.count;
            }
    if (c.count) {
        c.x /= c.count;
        c.y /= c.count;
    }
    return c;
}

TEST(SpriteArt, PackagesMatchTheirDescriptions)
{
    struct Case {
        const char* name;
        artgen::SpritePackage package;
        int width, height, centres;
    };
    const Case cases[] = {{"hero", artgen::DrawHeroPackage(), 48, 64, 12},
                          {"sparkle", artgen::DrawSparklePackage(), 32, 32, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DescInt(c.package.desc, "PictureCount"), static_cast<int>(c.package.frames.size()));
        for (const artgen::Canvas& frame : c.package.frames) {
            EXPECT_EQ(frame.Width(), c.width);
            EXPECT_EQ(frame.Height(), c.height);
        }
        // Every line CRLF-terminated, and one centre point per picture (or one for all).
        std::size_t lines = 0;
        for (std::size_t i = 0; i < c.package.desc.size(); ++i)
            if (c.package.desc[i] == '\n') {
                ++lines;
                EXPECT_TRUE(i > 0 && c.package.desc[i - 1] == '\r') << "bare LF at byte " << i;
            }
        EXPECT_GT(lines, 10u);
        EXPECT_EQ(c.package.desc.back(), '\n');
        const std::string centres = c.package.desc.substr(c.package.desc.find("[CenterPoint]"));
        int count = 0;
        for (std::size_t at = centres.find('='); at != std::string::npos; at = centres.find('=', at + 1))
            ++count;
        EXPECT_EQ(count, c.centres);
    }
}

TEST(SpriteArt, HeroIsSharpOnItsKeyAndStandsOnTheBottomRow)
{
    const artgen::SpritePackage hero = artgen::DrawHeroPackage();
    ASSERT_EQ(hero.frames.size(), 12u);
    for (std::size_t i = 0; i < hero.frames.size(); ++i) {
        SCOPED_TRACE("frame " + std::to_string(i));
        const artgen::Canvas& frame = hero.frames[i];
        const auto pixels = frame.Argb();
        int lowestFigureRow = -1;
        for (int y = 0; y < frame.Height(); ++y)
            for (int x = 0; x < frame.Width(); ++x) {
                const std::uint32_t p = pixels[static_cast<std::size_t>(y * frame.Width() + x)];
                // Anything but the exact key stays visible, so an edge blended towards
                // magenta would show as a pink fringe: only the figure's own colours may appear.
                ASSERT_EQ(Alpha(p), 255);
                if (p != kKey) {
                    ASSERT_TRUE(kPalette.count(p)) << std::hex << p << " at " << std::dec << x << "," << y;
                    lowestFigureRow = y;
                }
            }
        // The centre point (24,63) puts the bottom row on the ground: walking feet touch it,
        // a jump pose may lift them but never cut them off.
        if (i < 8)
            EXPECT_EQ(lowestFigureRow, 63);
        else
            EXPECT_GE(lowestFigureRow, 55);
        // Body and head sit inside their hit boxes (14,20)-(34,64) and (16,4)-(32,22).
        const Centroid body = CentroidOf(frame, kShirt);
        const Centroid head = CentroidOf(frame, kFace);
        ASSERT_GT(body.count, 0);
        ASSERT_GT(head.count, 0);
        EXPECT_TRUE(body.x > 14 && body.x < 34 && body.y > 20 && body.y < 64) << body.x << "," << body.y;
        EXPECT_TRUE(head.x > 16 && head.x < 32 && head.y > 4 && head.y < 22) << head.x << "," << head.y;
        if (i > 0) {
            EXPECT_NE(pixels, hero.frames[i - 1].Argb()) << "no movement from the previous frame";
        }
    }
}

TEST(SpriteArt, SparkleFadesToClearAndKeepsItsFourPoints)
{
    const artgen::SpritePackage sparkle = artgen::DrawSparklePackage();
    ASSERT_EQ(sparkle.frames.size(), 6u);
    for (std::size_t i = 0; i < sparkle.frames.size(); ++i) {
        SCOPED_TRACE("frame " + std::to_string(i));
        const auto pixels = sparkle.frames[i].Argb();
        const auto at = [&](int x, int y) { return pixels[static_cast<std::size_t>(y * 32 + x)]; };
        EXPECT_EQ(Alpha(at(16, 16)), 255);
        for (auto [x, y] : {std::pair{0, 0}, {31, 0}, {0, 31}, {31, 31}})
            EXPECT_EQ(Alpha(at(x, y)), 0);
        // A quarter turn about the centre maps the star onto itself.
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                ASSERT_LE(std::abs(Alpha(at(x, y)) - Alpha(at(31 - y, x))), 1) << x << "," << y;
        if (i > 0) {
            EXPECT_NE(pixels, sparkle.frames[i - 1].Argb()) << "no movement from the previous frame";
        }
    }
}

} // namespace
