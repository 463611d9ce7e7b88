// Seeded random triangles under random states drawn by the span path and by the per-pixel
// reference; colour and depth must come out identical. States the spans do not take are
// drawn too (the reference draws them), and the test insists that most draws were spans.
#include "RasterTestSupport.h"

#include "platform/raster/RasterInternal.h"
#include "platform/raster/TriangleSetup.h"

#include <gtest/gtest.h>

namespace vireo::raster::test {
namespace {

TriVertex RandomVertex(std::mt19937& rng, const Surface& target)
{
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    TriVertex v{};
    // Reaching past the target, so clipping to it is exercised.
    v.x = unit(rng) * (target.width + 20) - 10;
    v.y = unit(rng) * (target.height + 20) - 10;
    v.z = unit(rng);
    v.rhw = 0.2f + unit(rng) * 2;
    for (float& c : v.diffuse)
        c = unit(rng) * 300 - 20; // past both ends, so saturation is exercised
    for (float& c : v.specular)
        c = unit(rng) * 255;
    v.u = unit(rng) * 6 - 3;
    v.v = unit(rng) * 6 - 3;
    return v;
}

TriState RandomState(std::mt19937& rng, const Surface* texture, const DepthBuffer* depth, const Surface& target)
{
    std::uniform_int_distribution<int> coin(0, 1), die(0, 5);
    constexpr StageOp kOps[] = {StageOp::Disable,  StageOp::SelectArg1, StageOp::SelectArg2,
                                StageOp::Modulate, StageOp::Modulate,   StageOp::Add};
    constexpr StageArg kArgs[] = {StageArg::Texture, StageArg::Diffuse, StageArg::Current,
                                  StageArg::Texture, StageArg::Texture, StageArg::TFactor};
    TriState s;
    TriStage& t = s.stages[0];
    t.colorOp = kOps[die(rng)];
    t.colorArg1 = kArgs[die(rng)];
    t.colorArg2 = kArgs[die(rng)];
    t.alphaOp = kOps[die(rng)];
    t.alphaArg1 = kArgs[die(rng)];
    t.alphaArg2 = kArgs[die(rng)];
    t.texture = die(rng) == 0 ? nullptr : texture;
    t.filter = coin(rng) ? Filter::Linear : Filter::Point;
    t.addressU = coin(rng) ? Address::Wrap : Address::Clamp;
    t.addressV = coin(rng) ? Address::Wrap : Address::Clamp;
    s.flat = die(rng) == 0;
    s.specular = die(rng) == 0;
    s.alphaTest = die(rng) == 0;
    s.alphaFunc = Compare::Greater;
    s.alphaRef = 100;
    s.blend.enabled = coin(rng);
    s.blend.src = die(rng) == 0 ? BlendFactor::One : BlendFactor::SrcAlpha;
    s.blend.dst = BlendFactor::InvSrcAlpha;
    s.depth = die(rng) == 0 ? nullptr : depth;
    s.depthFunc = static_cast<Compare>(std::uniform_int_distribution<int>(0, 7)(rng));
    s.depthWrite = die(rng) != 0;
    s.clip = RECT{0, 0, target.width, target.height};
    return s;
}

TEST(TriangleSpans, MatchTheReferencePixelForPixelAndDepthForDepth)
{
    std::mt19937 rng(TestSeed());
    const int width = 96, height = 64;
    // A power-of-two texture and an odd one, so wrapping at both kinds of size is exercised.
    Image textures[2] = {RandomImage(rng, 16, 8), RandomImage(rng, 5, 7)};
    Image fast = RandomImage(rng, width, height);
    Image reference(fast);
    std::vector<std::uint32_t> fastDepth(static_cast<std::size_t>(width) * height);
    for (std::uint32_t& d : fastDepth)
        d = rng() & 0xFFFFFF;
    std::vector<std::uint32_t> referenceDepth = fastDepth;
    DepthBuffer fastBuffer{fastDepth.data(), width, height, 24};
    DepthBuffer referenceBuffer{referenceDepth.data(), width, height, 24};

    // Draws alternate between the instruction sets whose span functions differ (SSE2 twice where
    // the processor has no AVX2).
    const SimdLevel levels[] = {SimdLevel::Sse2, SimdLevel::Avx2};
    const SimdLevel saved = ActiveSimdLevel();
    int spans = 0;
    const int draws = 2000;
    for (int i = 0; i < draws; ++i) {
        SetSimdLevel(levels[i % 2]);
        const TriVertex a = RandomVertex(rng, fast.surface), b = RandomVertex(rng, fast.surface),
                        c = RandomVertex(rng, fast.surface);
        TriState state = RandomState(rng, &textures[i & 1].surface, &fastBuffer, fast.surface);
        TriSetup setup;
        if (!SetupTriangle(a, b, c, state, setup))
            continue;
        if (DrawTriangleSpans(fast.surface, setup, state))
            ++spans;
        else
            DrawTriangleReference(fast.surface, setup, state);
        if (state.depth)
            state.depth = &referenceBuffer;
        DrawTriangleReference(reference.surface, setup, state);
        const std::string differences = CompareImages(reference, fast);
        ASSERT_EQ(differences, "") << "after draw " << i << " at SIMD level " << static_cast<int>(ActiveSimdLevel());
        ASSERT_TRUE(fastDepth == referenceDepth) << "depth differs after draw " << i;
    }
    SetSimdLevel(saved);
    EXPECT_GT(spans, draws / 8) << "the span path took too few of the draws to be checked";
}

} // namespace
} // namespace vireo::raster::test
