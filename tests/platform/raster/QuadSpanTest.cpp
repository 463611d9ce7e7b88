// Seeded random scenes drawn through the per-pixel reference path and through the span path
// (SSE2 and, where the processor has them, AVX2 and AVX-512) and the integer path for
// unscaled quads; the results must be identical. The seed is
// printed so a failure can be replayed with VIREO_TEST_SEED.
#include "RasterTestSupport.h"

#include "platform/raster/QuadBatch.h"
#include "platform/raster/RasterInternal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sys/mman.h>
#include <unistd.h>

namespace vireo::raster::test {
namespace {

Quad RandomQuad(std::mt19937& rng, const Surface& tex, const Surface& target)
{
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::uniform_int_distribution<int> kind(0, 4);
    const int w = tex.width, h = tex.height;
    // A source rectangle, sometimes reaching past the texture so clamping is exercised.
    const int slack = rng() % 3 == 0 ? 2 : 0;
    auto pick = [&](int size) { return std::uniform_int_distribution<int>(-slack, size + slack)(rng); };
    int ua = pick(w), ub = pick(w), va = pick(h), vb = pick(h);
    if (ua == ub)
        ++ub;
    if (va == vb)
        ++vb;
    const float sw = static_cast<float>(std::abs(ub - ua)), sh = static_cast<float>(std::abs(vb - va));
    Quad q{};
    q.u0 = static_cast<float>(ua), q.u1 = static_cast<float>(ub), q.v0 = static_cast<float>(va),
    q.v1 = static_cast<float>(vb);
    const float px = unit(rng) * (target.width + 40) - 30, py = unit(rng) * (target.height + 40) - 30;
    switch (kind(rng)) {
    case 0: // untransformed at integer positions, possibly hanging off the target
        q.x0 = std::floor(px), q.y0 = std::floor(py), q.edgeUx = sw, q.edgeUy = 0, q.edgeVx = 0, q.edgeVy = sh;
        break;
    case 1: // axis-aligned, fractional position and scale
        q.x0 = px, q.y0 = py, q.edgeUx = sw * (0.3f + 2 * unit(rng)), q.edgeUy = 0, q.edgeVx = 0,
        q.edgeVy = sh * (0.3f + 2 * unit(rng));
        break;
    case 4: { // quarter turns at integer positions
        const int turn = std::uniform_int_distribution<int>(1, 3)(rng);
        const float c = turn == 2 ? -1.0f : 0.0f, s = turn == 1 ? 1.0f : (turn == 3 ? -1.0f : 0.0f);
        q.x0 = std::floor(px), q.y0 = std::floor(py);
        q.edgeUx = sw * c, q.edgeUy = sw * s, q.edgeVx = -sh * s, q.edgeVy = sh * c;
        break;
    }
    default: { // rotated and scaled, sometimes mirrored
        const float angle = unit(rng) * 6.2831853f, scale = 0.3f + 2.5f * unit(rng);
        const float mirror = unit(rng) < 0.2f ? -1.0f : 1.0f;
        q.x0 = px, q.y0 = py;
        q.edgeUx = mirror * sw * scale * std::cos(angle), q.edgeUy = mirror * sw * scale * std::sin(angle);
        q.edgeVx = -sh * scale * std::sin(angle), q.edgeVy = sh * scale * std::cos(angle);
        break;
    }
    }
    return q;
}

std::uint32_t RandomColor(std::mt19937& rng)
{
    std::uniform_int_distribution<std::uint32_t> any(0, 0xFFFFFFFFu), coin(0, 3);
    switch (coin(rng)) {
    case 0:
        return 0xFFFFFFFFu;
    case 1:
        return any(rng) | 0xFF000000u;
    default:
        return any(rng);
    }
}

// The states the span path claims: stage 0 alone reducing to a tint, source-alpha over.
QuadState RandomSpanState(std::mt19937& rng, const Surface* tex)
{
    static const StageOp kOps[] = {StageOp::SelectArg1, StageOp::SelectArg2, StageOp::Modulate, StageOp::AddSmooth,
                                   StageOp::Disable};
    static const StageArg kArgs[] = {StageArg::Texture, StageArg::Diffuse, StageArg::Current, StageArg::TFactor};
    auto pick = [&](const auto& list) {
        return list[std::uniform_int_distribution<std::size_t>(0, std::size(list) - 1)(rng)];
    };
    QuadState state;
    TextureStage& s0 = state.stages[0];
    s0.texture = tex;
    s0.colorOp = pick(kOps);
    s0.alphaOp = pick(kOps);
    // One argument is the texture in most draws; the other a constant.
    const bool textureFirst = rng() % 2 == 0;
    s0.colorArg1 = textureFirst ? StageArg::Texture : pick(kArgs);
    s0.colorArg2 = textureFirst ? pick(kArgs) : StageArg::Texture;
    if (s0.colorArg1 == StageArg::Texture && s0.colorArg2 == StageArg::Texture)
        s0.colorArg2 = StageArg::Diffuse;
    s0.alphaArg1 = rng() % 2 ? StageArg::Texture : StageArg::Diffuse;
    s0.alphaArg2 = s0.alphaArg1 == StageArg::Texture ? pick(kArgs) : StageArg::Texture;
    if (s0.alphaArg2 == StageArg::Texture && s0.alphaArg1 == StageArg::Texture)
        s0.alphaArg2 = StageArg::TFactor;
    s0.filter = rng() % 2 ? Filter::Linear : Filter::Point;
    state.diffuse = RandomColor(rng);
    state.textureFactor = RandomColor(rng);
    state.blend = BlendState{true, BlendFactor::SrcAlpha, BlendFactor::InvSrcAlpha};
    state.alphaTest = rng() % 2 == 0;
    return state;
}

// A copy of an image whose last pixel ends right before a page that may not be touched: a
// kernel that loads or stores a vector past the last row faults instead of passing unseen.
class GuardedCopy {
  public:
    explicit GuardedCopy(const Image& image) : m_bytes(image.storage.size() * 4)
    {
        const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        m_mapped = (m_bytes + page - 1) / page * page + page;
        m_base =
            static_cast<char*>(mmap(nullptr, m_mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        EXPECT_NE(m_base, MAP_FAILED);
        EXPECT_EQ(mprotect(m_base + m_mapped - page, page, PROT_NONE), 0);
        surface = image.surface;
        surface.pixels = reinterpret_cast<std::uint32_t*>(m_base + m_mapped - page - m_bytes);
        std::memcpy(surface.pixels, image.storage.data(), m_bytes);
    }
    ~GuardedCopy() { munmap(m_base, m_mapped); }
    GuardedCopy(const GuardedCopy&) = delete;
    GuardedCopy& operator=(const GuardedCopy&) = delete;

    Image Contents() const
    {
        Image image(surface.width, surface.height);
        std::memcpy(image.storage.data(), surface.pixels, m_bytes);
        return image;
    }

    Surface surface;

  private:
    std::size_t m_bytes, m_mapped;
    char* m_base;
};

// A quad of a batch test: which of the test's two atlases, the quad, its colour (a record of
// the layout a caller's queue hands QuadBatch::DrawRun).
struct BatchItem {
    int atlas;
    Quad quad;
    std::uint32_t diffuse;
};

// The items drawn one by one through the reference path onto a copy of start.
Image ReferenceImage(const Image& start, const std::vector<BatchItem>& items, const QuadState& state,
                     const GuardedCopy (&atlases)[2])
{
    Image expected(start);
    SetReferencePath(true);
    for (const BatchItem& item : items) {
        QuadState one = state;
        one.stages[0].texture = &atlases[item.atlas].surface;
        one.diffuse = item.diffuse;
        DrawQuad(expected.surface, item.quad, one);
    }
    SetReferencePath(false);
    return expected;
}

std::vector<SimdLevel> Levels()
{
    std::vector<SimdLevel> levels{SimdLevel::Sse2};
    if (CpuHasAvx2()) {
        levels.push_back(SimdLevel::Avx2);
    }
    if (CpuHasAvx512()) {
        levels.push_back(SimdLevel::Avx512);
    }
    return levels;
}

TEST(QuadSpans, RandomScenesMatchTheReferencePixelForPixel)
{
    std::mt19937 rng(TestSeed());
    const SimdLevel saved = ActiveSimdLevel();
    int drawn = 0;
    for (int scene = 0; scene < 60; ++scene) {
        const Image texture = RandomImage(rng, std::uniform_int_distribution<int>(1, 40)(rng),
                                          std::uniform_int_distribution<int>(1, 40)(rng));
        const Image start = RandomImage(rng, 97, 71);
        Image expected(start);
        std::vector<Image> actual(Levels().size(), start);
        std::vector<Image> dispatched(Levels().size(), start); // DrawQuad: the integer path first
        for (int n = 0; n < 8; ++n) {
            const Quad quad = RandomQuad(rng, texture.surface, start.surface);
            QuadState state = RandomSpanState(rng, &texture.surface);
            state.clip = rng() % 4 ? WholeOf(start) : RECT{5, 7, 90, 60};
            QuadSetup setup;
            if (!SetupQuad(quad, state, setup)) {
                continue;
            }
            ++drawn;
            DrawQuadReference(expected.surface, setup, state);
            for (std::size_t i = 0; i < actual.size(); ++i) {
                SetSimdLevel(Levels()[i]);
                ASSERT_TRUE(DrawQuadSpans(actual[i].surface, setup, state)) << "scene " << scene << " quad " << n;
                DrawQuad(dispatched[i].surface, quad, state);
            }
        }
        for (std::size_t i = 0; i < actual.size(); ++i) {
            const std::string report = CompareImages(expected, actual[i]);
            ASSERT_TRUE(report.empty()) << "scene " << scene << " level " << i << ": " << report;
            const std::string viaDrawQuad = CompareImages(expected, dispatched[i]);
            ASSERT_TRUE(viaDrawQuad.empty())
                << "scene " << scene << " level " << i << " through DrawQuad: " << viaDrawQuad;
        }
    }
    SetSimdLevel(saved);
    EXPECT_GT(drawn, 150); // many random quads land on the target
}

// A glyph run as the sprite queue hands it over: whole-pixel quads of widths 1 to 17 from
// two atlases in turn (one of coloured texels, one of white glyph coverage), the colour changing now and then, some
// quads scaled or hanging off the clip, some flush with the target's right edge or its last pixel, more quads than
// the batch gathers at once. Every quad of the batch must land exactly as the reference draws it alone, in the same
// order. Target and atlases end where memory that may not be touched begins, so a vector that reaches past a
// row's end there (short rows stored whole where the row has no room for it) faults.
TEST(QuadSpans, BatchesMatchTheReferenceQuadByQuad)
{
    std::mt19937 rng(TestSeed());
    const SimdLevel saved = ActiveSimdLevel();
    for (int scene = 0; scene < 12; ++scene) {
        // The second atlas is a glyph atlas: white, coverage in alpha. In two scenes of three,
        // every other texel of a lower row is not white, so that quads turn non-white part of
        // the way down, after white rows.
        Image glyphs = RandomImage(rng, 23, 19);
        for (std::uint32_t& texel : glyphs.storage)
            texel |= 0x00FFFFFFu;
        if (scene % 3 != 0) {
            const int row = std::uniform_int_distribution<int>(6, 18)(rng);
            for (int x = 0; x < 23; x += 2)
                glyphs.surface.Row(row)[x] &= 0xFF7FFFFFu;
        }
        Image atlasImages[] = {RandomImage(rng, 40, 30), glyphs};
        // Bands of two transparent rows in every six (padded sprites), for the rows a repeated
        // source rectangle leaves out; in odd scenes the second row has one texel of alpha 1.
        for (Image& atlas : atlasImages)
            for (int y = 0; y < atlas.surface.height; ++y)
                for (int x = 0; y % 6 < 2 && x < atlas.surface.width; ++x)
                    atlas.surface.Row(y)[x] = (atlas.surface.Row(y)[x] & 0x00FFFFFFu) |
                                              (scene % 2 && y % 6 == 1 && x == y % atlas.surface.width ? 1u << 24 : 0);
        const GuardedCopy atlases[] = {GuardedCopy(atlasImages[0]), GuardedCopy(atlasImages[1])};
        const Image start = RandomImage(rng, 120, 64);
        QuadState state = RandomSpanState(rng, &atlases[0].surface);
        state.clip = scene % 3 == 0 ? RECT{3, 2, 117, 60} : WholeOf(start);
        std::vector<BatchItem> items;
        std::uint32_t diffuse = RandomColor(rng);
        for (int n = 0; n < 150; ++n) {
            const int atlas = (n / 12) % 2;
            const Surface& tex = atlases[atlas].surface;
            // Every fifth quad is one or two whole vectors wide (4, 8, 16, 32: the rows that are
            // loaded and stored unmasked, 8 two to a vector); the others any width up to 17.
            const int whole[] = {4, 8, 16, 32};
            // Quads in the last pixel take every width 1 to 17 in turn over the scenes. The quads
            // that start a run below are whole vectors wide too, so that every scene has runs of
            // rows of 8 (paired, in a loop of their own at sixteen lanes), white ones among them.
            int w = n % 16 == 3   ? 1 + (scene * 10 + n / 16) % 17
                    : n % 12 == 0 ? std::min(whole[(scene + n / 12) % 4], tex.width)
                    : n % 5 == 0  ? std::min(whole[n / 5 % 4], tex.width)
                                  : std::uniform_int_distribution<int>(1, std::min(17, tex.width))(rng);
            int h = std::uniform_int_distribution<int>(1, tex.height)(rng);
            int u = std::uniform_int_distribution<int>(0, tex.width - w)(rng);
            int v = std::uniform_int_distribution<int>(0, tex.height - h)(rng);
            // Runs of one source rectangle (a sprite drawn again and again), now and then one
            // of transparent rows alone.
            if (n % 12 >= 1 && n % 12 <= 6) {
                const Quad& last = items.back().quad;
                w = static_cast<int>(last.u1 - last.u0), h = static_cast<int>(last.v1 - last.v0);
                u = static_cast<int>(last.u0), v = static_cast<int>(last.v0);
            } else if (n % 12 == 0 && scene % 3 == 0) {
                h = 2, v = 6 * std::uniform_int_distribution<int>(0, (tex.height - 2) / 6)(rng);
            }
            // Every eighth quad ends at the target's right edge, every sixteenth in its last pixel.
            const int x = n % 8 == 3 ? 120 - w : std::uniform_int_distribution<int>(-10, 125)(rng);
            const int y = n % 16 == 3 ? 64 - h : std::uniform_int_distribution<int>(-10, 60)(rng);
            Quad q{static_cast<float>(x),
                   static_cast<float>(y),
                   static_cast<float>(w),
                   0,
                   0,
                   static_cast<float>(h),
                   static_cast<float>(u),
                   static_cast<float>(v),
                   static_cast<float>(u + w),
                   static_cast<float>(v + h)};
            if (n % 11 == 5) {
                q.x0 += 0.25f; // not whole pixels: the general path, between gathered ones
            }
            if (n % 13 == 6) {
                q.edgeUx *= 1.5f; // scaled
            }
            if (n % 17 == 8) {
                q.edgeVx = 1; // sheared
            }
            // The colour changes every ninth quad, or (particles) every quad, or every third
            // quad back and forth between two colours, so that lists hold several tints.
            if (scene % 4 == 1 || (scene % 4 == 2 && n % 3 == 0) || n % 9 == 0) {
                diffuse = scene % 4 == 2 && n >= 6 ? items[n - 4].diffuse : RandomColor(rng);
            }
            items.push_back({atlas, q, diffuse});
        }
        const Image expected = ReferenceImage(start, items, state, atlases);
        for (SimdLevel level : Levels()) {
            SetSimdLevel(level);
            GuardedCopy actual(start);
            {
                QuadBatch batch(actual.surface, state);
                // Runs of one atlas in one call, as the device hands them over; the first quads alone.
                for (std::size_t i = 0, end = 0; i < items.size(); i = end) {
                    batch.SetTexture(&atlases[items[i].atlas].surface);
                    for (end = i + 1; end < items.size() && items[end].atlas == items[i].atlas;)
                        ++end;
                    if (i == 0)
                        for (; i < 3; ++i)
                            batch.Draw(items[i].quad, items[i].diffuse);
                    batch.DrawRun(&items[i].quad, &items[i].diffuse, sizeof(BatchItem), end - i);
                }
            }
            const std::string report = CompareImages(expected, actual.Contents());
            ASSERT_TRUE(report.empty()) << "scene " << scene << " level " << static_cast<int>(level) << ": " << report;
        }
    }
    SetSimdLevel(saved);
}

// Sprite runs as the sprite queue hands them over: one source rectangle drawn again and again,
// long enough for the batch to tint it once and blend the copies plainly. Tints hold for a
// whole run, change once inside it, change back to an earlier one, change every quad
// (particles) or every few quads to and fro (lists of several tints); some rectangles keep
// the texture and the tint the one before ended with, so that nothing but the new rectangle
// (in the same call) or the call's end ends its block.
// Widths take every remainder of four (the block is tinted four texels a vector), 128 x 128
// fills the block and 129 x 128 is past it; some quads hang off the target. Every pixel must
// be the reference's, at every instruction set.
TEST(QuadSpans, TintedSpriteRunsMatchTheReference)
{
    std::mt19937 rng(TestSeed());
    const SimdLevel saved = ActiveSimdLevel();
    struct Size {
        int w, h;
    };
    const Size sizes[] = {{8, 8}, {5, 7},     {16, 16},   {1, 3}, {17, 9}, {6, 2},
                          {3, 5}, {128, 128}, {129, 128}, {7, 4}, {2, 1},  {64, 64}};
    for (int scene = 0; scene < 6; ++scene) {
        // Bands of three rows of white texels (soft white particles, which take the tint's colour).
        Image sprites = RandomImage(rng, 40, 30);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; y % 6 >= 3 && x < 40; ++x)
                sprites.surface.Row(y)[x] |= 0x00FFFFFFu;
        const GuardedCopy atlases[] = {GuardedCopy(sprites), GuardedCopy(RandomImage(rng, 131, 130))};
        const Image start = RandomImage(rng, 200, 150);
        // Texture times diffuse, or add-smooth of the two in colour (an additive tint).
        QuadState state;
        TextureStage& s0 = state.stages[0];
        s0.texture = &atlases[0].surface;
        s0.colorOp = scene % 2 ? StageOp::AddSmooth : StageOp::Modulate;
        s0.alphaOp = StageOp::Modulate;
        s0.colorArg1 = s0.alphaArg1 = StageArg::Texture;
        s0.colorArg2 = s0.alphaArg2 = StageArg::Diffuse;
        state.blend = BlendState{true, BlendFactor::SrcAlpha, BlendFactor::InvSrcAlpha};
        state.alphaTest = scene % 3 == 0;
        state.clip = WholeOf(start);
        struct Run {
            std::size_t begin, end;
            bool oneByOne;
        };
        std::vector<BatchItem> items;
        std::vector<Run> runs;
        // Seldom plain white, which has no block.
        auto tint = [&] { return rng() % 8 == 0 ? 0xFFFFFFFFu : RandomColor(rng) ^ 0x100u; };
        std::uint32_t earlier = tint();
        // tints: 0 one, 1 one change, 2 to and fro with an earlier one, 3 one a quad, 4 to and
        // fro every 1 to 10 quads.
        // keep: the tint the run before ended with and its texture, or with swap the other
        // texture and the same source rectangle (the block is the old texture's).
        struct Plan {
            int tints;
            bool keep, swap, oneByOne;
        };
        const Plan plans[] = {{0, false, false, false}, {0, true, false, false}, {2, false, false, false},
                              {0, false, false, false}, {0, true, false, true},  {1, false, false, false},
                              {0, false, false, false}, {0, true, true, false},  {3, false, false, false},
                              {4, false, false, false}};
        int atlas = 0, w = 1, h = 1, u = 0, v = 0;
        for (int r = 0; r < 27; ++r) {
            const Plan& plan = plans[r % std::size(plans)];
            atlas = plan.swap ? 1 - atlas : (plan.keep ? atlas : (r / 3) % 2);
            const Surface& tex = atlases[atlas].surface;
            const Size size = plan.swap ? Size{w, h} : sizes[(scene * 3 + r) % std::size(sizes)];
            w = std::min(size.w, tex.width), h = std::min(size.h, tex.height);
            if (!plan.swap || u + w > tex.width || v + h > tex.height) {
                u = std::uniform_int_distribution<int>(0, tex.width - w)(rng);
                v = std::uniform_int_distribution<int>(0, tex.height - h)(rng);
            }
            // A block is built once a full list of one colour is gathered with more of it to
            // come: runs long enough, where a tint changes, for one before the change and one
            // after.
            const int count = r % 18 == 1           ? 3
                              : plan.tints % 3 == 0 ? std::uniform_int_distribution<int>(85, 100)(rng)
                                                    : std::uniform_int_distribution<int>(170, 190)(rng);
            const int change = std::uniform_int_distribution<int>(85, 100)(rng);
            std::uint32_t diffuse = plan.keep ? items.back().diffuse : tint(), other = tint();
            const std::size_t begin = items.size();
            for (int n = 0; n < count; ++n) {
                const int x = std::uniform_int_distribution<int>(-w / 2 - 2, start.surface.width - w / 2)(rng);
                const int y = std::uniform_int_distribution<int>(-h / 2 - 2, start.surface.height - h / 2)(rng);
                std::uint32_t d = diffuse;
                if (plan.tints == 1 && n >= change) {
                    d = other;
                } else if (plan.tints == 2) {
                    d = n / 85 % 2 ? other : earlier;
                } else if (plan.tints == 3) {
                    d = RandomColor(rng) & (n % 5 ? ~0u : 0xFF000000u); // black adds nothing in add-smooth
                } else if (plan.tints == 4) {
                    d = n / (1 + (scene + r) % 10) % 2 ? other : diffuse;
                }
                items.push_back({atlas,
                                 Quad{static_cast<float>(x), static_cast<float>(y), static_cast<float>(w), 0, 0,
                                      static_cast<float>(h), static_cast<float>(u), static_cast<float>(v),
                                      static_cast<float>(u + w), static_cast<float>(v + h)},
                                 d});
            }
            earlier = diffuse;
            // A run that keeps the texture and tint goes in the same call as the one before,
            // unless it is short or drawn one by one: only its new rectangle ends the block.
            if (plan.keep && !plan.swap && !plan.oneByOne && count > 3) {
                runs.back().end = items.size();
            } else {
                runs.push_back({begin, items.size(), plan.oneByOne});
            }
        }
        const Image expected = ReferenceImage(start, items, state, atlases);
        for (SimdLevel level : Levels()) {
            SetSimdLevel(level);
            GuardedCopy actual(start);
            {
                QuadBatch batch(actual.surface, state);
                atlas = 0;
                for (const Run& run : runs) {
                    if (items[run.begin].atlas != atlas) {
                        atlas = items[run.begin].atlas;
                        batch.SetTexture(&atlases[atlas].surface);
                    }
                    if (run.oneByOne) {
                        for (std::size_t i = run.begin; i < run.end; ++i)
                            batch.Draw(items[i].quad, items[i].diffuse);
                    } else {
                        batch.DrawRun(&items[run.begin].quad, &items[run.begin].diffuse, sizeof(BatchItem),
                                      run.end - run.begin);
                    }
                }
                EXPECT_EQ(batch.AloneCount(), 0);
            }
            const std::string report = CompareImages(expected, actual.Contents());
            ASSERT_TRUE(report.empty()) << "scene " << scene << " level " << static_cast<int>(level) << ": " << report;
        }
    }
    SetSimdLevel(saved);
}

} // namespace
} // namespace vireo::raster::test
