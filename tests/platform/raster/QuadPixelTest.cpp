// Pixel results of DrawQuad against the formulas: exact texel copies, source-alpha blending,
// tints, masks, bilinear scaling, quarter turns, shared edges and refused input. Every case
// runs through the reference path and through the span path at each instruction set.
#include "RasterTestSupport.h"

#include "platform/raster/Pixel.h"
#include "platform/raster/RasterInternal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

namespace vireo::raster::test {
namespace {

struct Path {
    const char* name;
    bool reference;
    SimdLevel simd;
};

std::vector<Path> Paths()
{
    std::vector<Path> paths{{"reference", true, SimdLevel::Sse2}, {"SSE2", false, SimdLevel::Sse2}};
    if (CpuHasAvx2()) {
        paths.push_back({"AVX2", false, SimdLevel::Avx2});
    }
    return paths;
}

// Runs body once per path with that path forced, restoring the defaults afterwards.
void ForEachPath(const std::function<void(const Path&)>& body)
{
    const SimdLevel saved = ActiveSimdLevel();
    for (const Path& path : Paths()) {
        SetReferencePath(path.reference);
        SetSimdLevel(path.simd);
        body(path);
    }
    SetReferencePath(false);
    SetSimdLevel(saved);
}

// The state the sprite sets: stage 0 modulates texture by diffuse, source-alpha over.
QuadState SpriteState(const Surface* texture, const RECT& clip, std::uint32_t diffuse = 0xFFFFFFFFu, Filter filter = Filter::Linear)
{
    QuadState state;
    state.stages[0] = TextureStage{StageOp::Modulate, StageArg::Texture, StageArg::Diffuse, StageOp::Modulate, StageArg::Texture,
                                   StageArg::Diffuse, texture, filter};
    state.diffuse = diffuse;
    state.blend = BlendState{true, BlendFactor::SrcAlpha, BlendFactor::InvSrcAlpha};
    state.alphaTest = true;
    state.clip = clip;
    return state;
}

Quad Untransformed(float x, float y, float w, float h, float u0 = 0, float v0 = 0)
{
    return Quad{x, y, w, 0, 0, h, u0, v0, u0 + w, v0 + h};
}

double Unit(std::uint32_t pixel, int c) { return Channel(pixel, c) / 255.0; }

TEST(QuadPixels, UntransformedQuadsCopyTexelsExactlyAndClip)
{
    std::mt19937 rng(7);
    Image texture = RandomImage(rng, 20, 12);
    for (std::uint32_t& p : texture.storage) {
        p |= 0xFF000000u;  // opaque, so the copy is visible whatever lies below
    }
    struct Case {
        const char* what;
        int x, y, srcX, srcY, w, h;
        RECT clip;
    };
    const Case cases[] = {
        {"inside", 5, 6, 0, 0, 20, 12, {0, 0, 40, 30}},
        {"sub-rectangle", 3, 2, 4, 3, 9, 7, {0, 0, 40, 30}},
        {"off the left and top", -7, -5, 0, 0, 20, 12, {0, 0, 40, 30}},
        {"off the right and bottom", 31, 25, 0, 0, 20, 12, {0, 0, 40, 30}},
        {"clip rectangle", 2, 2, 0, 0, 20, 12, {6, 5, 17, 9}},
        {"one pixel", 39, 29, 19, 11, 1, 1, {0, 0, 40, 30}},
    };
    for (const Case& c : cases) {
        for (Filter filter : {Filter::Point, Filter::Linear}) {
            ForEachPath([&](const Path& path) {
                Image target(40, 30, 0xFF102030u);
                DrawQuad(target.surface, Untransformed(static_cast<float>(c.x), static_cast<float>(c.y), static_cast<float>(c.w), static_cast<float>(c.h),
                                                        static_cast<float>(c.srcX), static_cast<float>(c.srcY)),
                         SpriteState(&texture.surface, c.clip, 0xFFFFFFFFu, filter));
                for (int y = 0; y < 30; ++y) {
                    for (int x = 0; x < 40; ++x) {
                        const bool inQuad = x >= c.x && x < c.x + c.w && y >= c.y && y < c.y + c.h;
                        const bool inClip = x >= c.clip.left && x < c.clip.right && y >= c.clip.top && y < c.clip.bottom;
                        const std::uint32_t want = inQuad && inClip ? texture.At(c.srcX + x - c.x, c.srcY + y - c.y) : 0xFF102030u;
                        ASSERT_EQ(target.At(x, y), want) << c.what << ", " << path.name << ", filter " << static_cast<int>(filter) << " at " << x << "," << y;
                    }
                }
            });
        }
    }
}

// Every (source, alpha) pair over several destinations: the paths agree exactly and stay
// within one step of s * a + d * (1 - a) per channel, alpha included.
TEST(QuadPixels, AlphaBlendIsWithinOneOfTheFormula)
{
    Image texture(256, 256);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            texture.At(x, y) = PackChannels(y, 255 - y, (x * 7 + y) & 0xFF, x);
        }
    }
    const std::uint32_t destinations[] = {0x00000000u, 0xFFFFFFFFu, 0x80C04010u, 0x3F7F01FEu};
    for (std::uint32_t d : destinations) {
        Image expected(256, 256, d);
        ForEachPath([&](const Path& path) {
            Image target(256, 256, d);
            DrawQuad(target.surface, Untransformed(0, 0, 256, 256), SpriteState(&texture.surface, WholeOf(target)));
            if (path.reference) {
                for (int y = 0; y < 256; ++y) {
                    for (int x = 0; x < 256; ++x) {
                        const std::uint32_t s = texture.At(x, y);
                        const double a = Unit(s, 3);
                        for (int c = 0; c < 4; ++c) {
                            const double exact = 255.0 * (Unit(s, c) * a + Unit(d, c) * (1 - a));
                            ASSERT_LE(std::fabs(Channel(target.At(x, y), c) - exact), 1.0) << "texel " << std::hex << s << " over " << d;
                        }
                    }
                }
                expected.storage = target.storage;
            } else {
                const std::string report = CompareImages(expected, target);
                ASSERT_TRUE(report.empty()) << path.name << ": " << report;
            }
        });
    }
}

// Tints against the floating-point formulas. Tolerance 2: the stage result is rounded to
// 8 bits before the blend rounds again, as fixed-function hardware does. The span paths
// must give the reference's pixels exactly; 37 texels a row leave a tail after the vectors.
TEST(QuadPixels, TintsMatchTheirFormulasAndThePathsAgree)
{
    constexpr int kW = 37, kH = 24;
    std::mt19937 rng(11);
    const Image texture = RandomImage(rng, kW, kH);
    struct Case {
        const char* what;
        StageOp colorOp, alphaOp;
        std::uint32_t diffuse;
    };
    const Case cases[] = {
        {"modulate", StageOp::Modulate, StageOp::Modulate, 0x80FF8040u},
        {"modulate, opaque diffuse", StageOp::Modulate, StageOp::Modulate, 0xFF2060A0u},
        {"modulate alpha only", StageOp::Modulate, StageOp::Modulate, 0xC0FFFFFFu},
        {"modulate by alpha zero", StageOp::Modulate, StageOp::Modulate, 0x00FFFFFFu},
        {"add-smooth", StageOp::AddSmooth, StageOp::Modulate, 0xC0406080u},
        {"add-smooth, texture alpha", StageOp::AddSmooth, StageOp::SelectArg1, 0x80402010u},
        {"select texture", StageOp::SelectArg1, StageOp::SelectArg1, 0x10203040u},
        {"select diffuse", StageOp::SelectArg2, StageOp::SelectArg2, 0x90A0B0C0u},
    };
    auto op = [](StageOp o, double t, double k) {
        switch (o) {
        case StageOp::Modulate: return t * k;
        case StageOp::AddSmooth: return t + k - t * k;
        case StageOp::SelectArg2: return k;
        default: return t;
        }
    };
    const std::uint32_t below = 0xFF336699u;
    for (const Case& c : cases) {
        Image expected(kW, kH);
        ForEachPath([&](const Path& path) {
            Image target(kW, kH, below);
            QuadState state = SpriteState(&texture.surface, WholeOf(target), c.diffuse);
            state.stages[0].colorOp = c.colorOp;
            state.stages[0].alphaOp = c.alphaOp;
            DrawQuad(target.surface, Untransformed(0, 0, kW, kH), state);
            if (!path.reference) {
                const std::string report = CompareImages(expected, target);
                ASSERT_TRUE(report.empty()) << c.what << ", " << path.name << ": " << report;
                return;
            }
            expected.storage = target.storage;
            for (int y = 0; y < kH; ++y) {
                for (int x = 0; x < kW; ++x) {
                    const std::uint32_t t = texture.At(x, y);
                    const double a = op(c.alphaOp, Unit(t, 3), Unit(c.diffuse, 3));
                    for (int ch = 0; ch < 4; ++ch) {
                        const double s = ch == 3 ? a : op(c.colorOp, Unit(t, ch), Unit(c.diffuse, ch));
                        const double exact = 255.0 * (s * a + Unit(below, ch) * (1 - a));
                        ASSERT_LE(std::fabs(Channel(target.At(x, y), ch) - exact), 2.0) << c.what << " at " << x << "," << y;
                    }
                }
            }
        });
    }
}

// A mask on stage 1 at half the picture's size: it is read at the same normalised
// coordinates, so each mask texel covers two by two picture texels.
TEST(QuadPixels, StageOneMaskModulatesColourAndAlpha)
{
    std::mt19937 rng(5);
    const Image picture = RandomImage(rng, 16, 16);
    const Image mask = RandomImage(rng, 8, 8);
    const std::uint32_t below = 0xFF808080u;
    ForEachPath([&](const Path& path) {
        Image target(16, 16, below);
        QuadState state = SpriteState(&picture.surface, WholeOf(target), 0xFFFFFFFFu, Filter::Point);
        state.stages[1] = TextureStage{StageOp::Modulate, StageArg::Texture, StageArg::Current, StageOp::Modulate, StageArg::Texture,
                                       StageArg::Current, &mask.surface, Filter::Point};
        DrawQuad(target.surface, Untransformed(0, 0, 16, 16), state);
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const std::uint32_t p = picture.At(x, y), m = mask.At(x / 2, y / 2);
                const double a = Unit(p, 3) * Unit(m, 3);
                for (int c = 0; c < 4; ++c) {
                    const double s = c == 3 ? a : Unit(p, c) * Unit(m, c);
                    const double exact = 255.0 * (s * a + Unit(below, c) * (1 - a));
                    ASSERT_LE(std::fabs(Channel(target.At(x, y), c) - exact), 2.0) << path.name << " at " << x << "," << y;
                }
            }
        }
    });
}

// Clamp-addressed bilinear sample of an opaque texture in floating point.
std::uint32_t FloatBilinear(const Image& tex, double u, double v)
{
    const int w = tex.surface.width, h = tex.surface.height;
    const double fu = u - 0.5, fv = v - 0.5;
    const int x = static_cast<int>(std::floor(fu)), y = static_cast<int>(std::floor(fv));
    const double ax = fu - x, ay = fv - y;
    auto texel = [&](int i, int j) { return tex.At(std::clamp(i, 0, w - 1), std::clamp(j, 0, h - 1)); };
    int out[4];
    for (int c = 0; c < 4; ++c) {
        const double top = Channel(texel(x, y), c) * (1 - ax) + Channel(texel(x + 1, y), c) * ax;
        const double bottom = Channel(texel(x, y + 1), c) * (1 - ax) + Channel(texel(x + 1, y + 1), c) * ax;
        out[c] = static_cast<int>(std::lround(top * (1 - ay) + bottom * ay));
    }
    return PackChannels(out[0], out[1], out[2], out[3]);
}

// Twice the size at an integer position: point filtering repeats each texel over two by two
// pixels exactly; bilinear lands a quarter texel off the centres and is within 2 of the
// floating-point result (8-bit weights, two rounded interpolation steps).
TEST(QuadPixels, TwiceTheSizeFiltersAsExpected)
{
    std::mt19937 rng(3);
    Image texture = RandomImage(rng, 6, 5);
    for (std::uint32_t& p : texture.storage) {
        p |= 0xFF000000u;
    }
    for (Filter filter : {Filter::Point, Filter::Linear}) {
        ForEachPath([&](const Path& path) {
            Image target(20, 16, 0xFF000000u);
            DrawQuad(target.surface, Quad{4, 3, 12, 0, 0, 10, 0, 0, 6, 5}, SpriteState(&texture.surface, WholeOf(target), 0xFFFFFFFFu, filter));
            for (int y = 3; y < 13; ++y) {
                for (int x = 4; x < 16; ++x) {
                    const double u = (x - 4 + 0.5) / 2, v = (y - 3 + 0.5) / 2;
                    if (filter == Filter::Point) {
                        ASSERT_EQ(target.At(x, y), texture.At((x - 4) / 2, (y - 3) / 2)) << path.name << " at " << x << "," << y;
                    } else {
                        ASSERT_LE(ChannelDistance(target.At(x, y), FloatBilinear(texture, u, v)), 2) << path.name << " at " << x << "," << y;
                    }
                }
            }
            EXPECT_EQ(target.At(3, 3), 0xFF000000u);
            EXPECT_EQ(target.At(16, 12), 0xFF000000u);
        });
    }
}

// A quarter turn at an integer position puts every pixel centre on a texel centre, so even
// the bilinear filter gives the rotated texels exactly.
TEST(QuadPixels, QuarterTurnIsAnExactRotatedCopy)
{
    std::mt19937 rng(9);
    Image texture = RandomImage(rng, 5, 3);
    for (std::uint32_t& p : texture.storage) {
        p |= 0xFF000000u;
    }
    for (Filter filter : {Filter::Point, Filter::Linear}) {
        ForEachPath([&](const Path& path) {
            Image target(16, 12, 0xFF000000u);
            // u runs down the screen, v runs to the left: texel (i, j) lands on pixel (9 - j, 4 + i).
            DrawQuad(target.surface, Quad{10, 4, 0, 5, -3, 0, 0, 0, 5, 3}, SpriteState(&texture.surface, WholeOf(target), 0xFFFFFFFFu, filter));
            int changed = 0;
            for (int y = 0; y < 12; ++y) {
                for (int x = 0; x < 16; ++x) {
                    changed += target.At(x, y) != 0xFF000000u;
                }
            }
            for (int j = 0; j < 3; ++j) {
                for (int i = 0; i < 5; ++i) {
                    ASSERT_EQ(target.At(9 - j, 4 + i), texture.At(i, j)) << path.name << " texel " << i << "," << j;
                }
            }
            EXPECT_EQ(changed, 15) << path.name;
        });
    }
}

// Quads that share an edge, at fractional and rotated positions: with additive blending of
// a count of 1 no pixel reaches 2 (no overlap) and the pair covers what one quad spanning
// both covers (no gap).
TEST(QuadPixels, SharedEdgesAreDrawnExactlyOnce)
{
    Image white(1, 1, 0xFF010101u);
    QuadState state = SpriteState(&white.surface, RECT{0, 0, 64, 64});
    state.stages[0].colorOp = StageOp::SelectArg1;
    state.blend = BlendState{true, BlendFactor::One, BlendFactor::One};
    const float shapes[][6] = {
        {10.5f, 10.5f, 20, 0, 0, 17},           // edges through pixel centres
        {7.25f, 30.0f, 18.3f, -9.1f, 6.2f, 12.4f},  // rotated
        {40.0f, 5.5f, 0, 13, -11.5f, 0},          // quarter turn, half-pixel offset
    };
    for (const auto& s : shapes) {
        Image pair(64, 64, 0xFF000000u), whole(64, 64, 0xFF000000u);
        const float hx = s[2] / 2, hy = s[3] / 2;
        DrawQuad(pair.surface, Quad{s[0], s[1], hx, hy, s[4], s[5], 0, 0, 1, 1}, state);
        DrawQuad(pair.surface, Quad{s[0] + hx, s[1] + hy, hx, hy, s[4], s[5], 0, 0, 1, 1}, state);
        DrawQuad(whole.surface, Quad{s[0], s[1], s[2], s[3], s[4], s[5], 0, 0, 1, 1}, state);
        const std::string report = CompareImages(whole, pair);
        EXPECT_TRUE(report.empty()) << "shape at " << s[0] << "," << s[1] << ": " << report;
    }
}

TEST(QuadPixels, UnusableInputDrawsNothing)
{
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    Image texture(4, 4, 0xFFFFFFFFu);
    Surface empty{nullptr, 0, 0, 0};
    Surface narrowPitch{texture.storage.data(), 4, 4, 8};
    struct Case {
        const char* what;
        Quad quad;
        const Surface* texture;
        RECT clip;
    };
    const Case cases[] = {
        {"NaN position", Quad{nan, 0, 4, 0, 0, 4, 0, 0, 4, 4}, &texture.surface, {0, 0, 8, 8}},
        {"infinite edge", Quad{0, 0, inf, 0, 0, 4, 0, 0, 4, 4}, &texture.surface, {0, 0, 8, 8}},
        {"zero area", Quad{1, 1, 4, 4, 2, 2, 0, 0, 4, 4}, &texture.surface, {0, 0, 8, 8}},
        {"NaN texture coordinate", Quad{0, 0, 4, 0, 0, 4, nan, 0, 4, 4}, &texture.surface, {0, 0, 8, 8}},
        {"absurd texture coordinate", Quad{0, 0, 4, 0, 0, 4, 0, 0, 1e9f, 4}, &texture.surface, {0, 0, 8, 8}},
        {"texture without pixels", Quad{0, 0, 4, 0, 0, 4, 0, 0, 4, 4}, &empty, {0, 0, 8, 8}},
        {"pitch shorter than a row", Quad{0, 0, 4, 0, 0, 4, 0, 0, 4, 4}, &narrowPitch, {0, 0, 8, 8}},
        {"inverted clip", Quad{0, 0, 4, 0, 0, 4, 0, 0, 4, 4}, &texture.surface, {6, 6, 2, 2}},
        {"far away", Quad{-5e6f, 3e6f, 4, 0, 0, 4, 0, 0, 4, 4}, &texture.surface, {0, 0, 8, 8}},
    };
    for (const Case& c : cases) {
        ForEachPath([&](const Path& path) {
            Image target(8, 8, 0xFF000000u);
            DrawQuad(target.surface, c.quad, SpriteState(c.texture, c.clip));
            for (std::uint32_t p : target.storage) {
                ASSERT_EQ(p, 0xFF000000u) << c.what << ", " << path.name;
            }
        });
    }
}

}  // namespace
}  // namespace vireo::raster::test
