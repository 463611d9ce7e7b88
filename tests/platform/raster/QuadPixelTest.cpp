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

// Runs body once per path with that path forced, restoring the defaults afterwards; the
// instruction sets this processor lacks are left out.
void ForEachPath(const std::function<void(const Path&)>& body)
{
    const SimdLevel saved = ActiveSimdLevel();
    const Path paths[] = {{"reference", true, SimdLevel::Sse2},
                          {"SSE2", false, SimdLevel::Sse2},
                          {"AVX2", false, SimdLevel::Avx2},
                          {"AVX-512", false, SimdLevel::Avx512}};
    for (const Path& path : paths) {
        SetReferencePath(path.reference);
        SetSimdLevel(path.simd);
        if (ActiveSimdLevel() == path.simd) {
            body(path);
        }
    }
    SetReferencePath(false);
    SetSimdLevel(saved);
}

// The state the sprite sets: stage 0 modulates texture by diffuse, source-alpha over.
QuadState SpriteState(const Surface* texture, const RECT& clip, std::uint32_t diffuse = 0xFFFFFFFFu,
                      Filter filter = Filter::Linear)
{
    QuadState state;
    state.stages[0] = TextureStage{StageOp::Modulate, StageArg::Texture, StageArg::Diffuse, StageOp::Modulate,
                                   StageArg::Texture, StageArg::Diffuse, texture,           filter};
    state.diffuse = diffuse;
    state.blend = BlendState{true, BlendFactor::SrcAlpha, BlendFactor::InvSrcAlpha};
    state.alphaTest = true;
    state.clip = clip;
    return state;
}

Quad Untransformed(int x, int y, int w, int h, int u0 = 0, int v0 = 0)
{
    const auto f = [](int i) { return static_cast<float>(i); };
    return Quad{f(x), f(y), f(w), 0, 0, f(h), f(u0), f(v0), f(u0 + w), f(v0 + h)};
}

TEST(QuadPixels, UntransformedQuadsCopyTexelsExactlyAndClip)
{
    std::mt19937 rng(7);
    Image texture = RandomImage(rng, 20, 12);
    for (std::uint32_t& p : texture.storage) {
        p |= 0xFF000000u; // opaque, so the copy is visible whatever lies below
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
                DrawQuad(target.surface, Untransformed(c.x, c.y, c.w, c.h, c.srcX, c.srcY),
                         SpriteState(&texture.surface, c.clip, 0xFFFFFFFFu, filter));
                for (int y = 0; y < 30; ++y) {
                    for (int x = 0; x < 40; ++x) {
                        const bool inQuad = x >= c.x && x < c.x + c.w && y >= c.y && y < c.y + c.h;
                        const bool inClip =
                            x >= c.clip.left && x < c.clip.right && y >= c.clip.top && y < c.clip.bottom;
                        const std::uint32_t want =
                            inQuad && inClip ? texture.At(c.srcX + x - c.x, c.srcY + y - c.y) : 0xFF102030u;
                        ASSERT_EQ(target.At(x, y), want) << c.what << ", " << path.name << ", filter "
                                                         << static_cast<int>(filter) << " at " << x << "," << y;
                    }
                }
            });
        }
    }
}

// Stage results against the floating-point formulas, blended source-alpha over a colour.
// Tolerance 2: the stage result is rounded to 8 bits before the blend rounds again. The span
// paths must give the reference's pixels exactly; 38 texels a row leave a tail after the
// vectors. The mask on stage 1 is half the picture's size, read at the same normalised
// coordinates, so each mask texel covers two by two picture texels.
TEST(QuadPixels, StagesAndBlendMatchTheirFormulasAndThePathsAgree)
{
    constexpr int kW = 38, kH = 24;
    std::mt19937 rng(11);
    const Image texture = RandomImage(rng, kW, kH), mask = RandomImage(rng, kW / 2, kH / 2);
    struct Case {
        const char* what;
        StageOp colorOp, alphaOp;
        std::uint32_t diffuse, below;
        bool masked;
    };
    const Case cases[] = {
        {"plain over, translucent target", StageOp::Modulate, StageOp::Modulate, 0xFFFFFFFFu, 0x3F7F01FEu, false},
        {"modulate", StageOp::Modulate, StageOp::Modulate, 0x80FF8040u, 0xFF336699u, false},
        {"modulate by alpha zero", StageOp::Modulate, StageOp::Modulate, 0x00FFFFFFu, 0xFF336699u, false},
        {"add-smooth", StageOp::AddSmooth, StageOp::Modulate, 0xC0406080u, 0xFF336699u, false},
        {"add-smooth, texture alpha", StageOp::AddSmooth, StageOp::SelectArg1, 0x80402010u, 0xFF336699u, false},
        {"select texture", StageOp::SelectArg1, StageOp::SelectArg1, 0x10203040u, 0x00000000u, false},
        {"select diffuse", StageOp::SelectArg2, StageOp::SelectArg2, 0x90A0B0C0u, 0xFFFFFFFFu, false},
        {"stage 1 mask", StageOp::Modulate, StageOp::Modulate, 0xFFFFFFFFu, 0xFF808080u, true},
    };
    const auto unit = [](std::uint32_t pixel, int c) { return Channel(pixel, c) / 255.0; };
    const auto op = [](StageOp o, double t, double k) {
        return o == StageOp::Modulate     ? t * k
               : o == StageOp::AddSmooth  ? t + k - t * k
               : o == StageOp::SelectArg2 ? k
                                          : t;
    };
    for (const Case& c : cases) {
        Image expected(kW, kH);
        ForEachPath([&](const Path& path) {
            Image target(kW, kH, c.below);
            QuadState state = SpriteState(&texture.surface, WholeOf(target), c.diffuse);
            state.stages[0].colorOp = c.colorOp;
            state.stages[0].alphaOp = c.alphaOp;
            if (c.masked) {
                state.stages[1] =
                    TextureStage{StageOp::Modulate, StageArg::Texture, StageArg::Current, StageOp::Modulate,
                                 StageArg::Texture, StageArg::Current, &mask.surface,     Filter::Point};
            }
            DrawQuad(target.surface, Untransformed(0, 0, kW, kH), state);
            if (!path.reference) {
                const std::string report = CompareImages(expected, target);
                ASSERT_TRUE(report.empty()) << c.what << ", " << path.name << ": " << report;
                return;
            }
            expected.storage = target.storage;
            for (int y = 0; y < kH; ++y) {
                for (int x = 0; x < kW; ++x) {
                    const std::uint32_t t = texture.At(x, y), m = c.masked ? mask.At(x / 2, y / 2) : 0xFFFFFFFFu;
                    const double a = op(c.alphaOp, unit(t, 3), unit(c.diffuse, 3)) * unit(m, 3);
                    for (int ch = 0; ch < 4; ++ch) {
                        const double s = ch == 3 ? a : op(c.colorOp, unit(t, ch), unit(c.diffuse, ch)) * unit(m, ch);
                        const double exact = 255.0 * (s * a + unit(c.below, ch) * (1 - a));
                        ASSERT_LE(std::fabs(Channel(target.At(x, y), ch) - exact), 2.0)
                            << c.what << " at " << x << "," << y;
                    }
                }
            }
        });
    }
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

// Twice the size: point filtering repeats each texel over two by two pixels; bilinear lands a
// quarter texel off the centres and is within 2 of the floating-point result. A quarter turn
// puts every pixel centre on a texel centre, so both filters give the rotated texels exactly.
TEST(QuadPixels, ScaledAndTurnedQuadsSampleAsExpected)
{
    std::mt19937 rng(3);
    Image texture = RandomImage(rng, 6, 5);
    for (std::uint32_t& p : texture.storage) {
        p |= 0xFF000000u;
    }
    constexpr std::uint32_t kBlack = 0xFF000000u;
    for (Filter filter : {Filter::Point, Filter::Linear}) {
        ForEachPath([&](const Path& path) {
            Image twice(20, 16, kBlack), turned(16, 12, kBlack);
            DrawQuad(twice.surface, Quad{4, 3, 12, 0, 0, 10, 0, 0, 6, 5},
                     SpriteState(&texture.surface, WholeOf(twice), 0xFFFFFFFFu, filter));
            // u runs down the screen, v to the left: texel (i, j) lands on pixel (10 - j, 4 + i).
            DrawQuad(turned.surface, Quad{11, 4, 0, 6, -5, 0, 0, 0, 6, 5},
                     SpriteState(&texture.surface, WholeOf(turned), 0xFFFFFFFFu, filter));
            for (int y = 0; y < 16; ++y) {
                for (int x = 0; x < 20; ++x) {
                    const std::uint32_t got = twice.At(x, y);
                    if (x < 4 || x >= 16 || y < 3 || y >= 13) {
                        ASSERT_EQ(got, kBlack) << path.name << " outside at " << x << "," << y;
                    } else if (filter == Filter::Point) {
                        ASSERT_EQ(got, texture.At((x - 4) / 2, (y - 3) / 2)) << path.name << " at " << x << "," << y;
                    } else {
                        ASSERT_LE(ChannelDistance(got, FloatBilinear(texture, (x - 3.5) / 2, (y - 2.5) / 2)), 2)
                            << path.name << " at " << x << "," << y;
                    }
                }
            }
            for (int y = 0; y < 12; ++y) {
                for (int x = 0; x < 16; ++x) {
                    const int i = y - 4, j = 10 - x;
                    const bool inside = i >= 0 && i < 6 && j >= 0 && j < 5;
                    ASSERT_EQ(turned.At(x, y), inside ? texture.At(i, j) : kBlack)
                        << path.name << " turned at " << x << "," << y;
                }
            }
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
        {10.5f, 10.5f, 20, 0, 0, 17},              // edges through pixel centres
        {7.25f, 30.0f, 18.3f, -9.1f, 6.2f, 12.4f}, // rotated
        {40.0f, 5.5f, 0, 13, -11.5f, 0},           // quarter turn, half-pixel offset
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

} // namespace
} // namespace vireo::raster::test
