// The fast triangle path: states the 3D scenes draw most (one texture stage whose colour and
// alpha are the texture, the interpolated diffuse colour or their product, no specular, no
// alpha test, no blend or source-alpha blending) get a span function chosen once per triangle,
// built from the same per-pixel pieces as the reference so the pixels come out identical, in
// the instruction set the processor offers.
#include "platform/raster/TriangleSpans.h"
#include "platform/raster/RasterInternal.h"

namespace vireo::raster {

namespace {

// An argument as the span functions see it; White is the texture argument of a stage
// without a texture, which reads opaque white.
enum class Arg : std::uint8_t { Diffuse, Texture, White, Other };

Arg Classify(StageArg a, bool haveTexture)
{
    if (a == StageArg::Diffuse || a == StageArg::Current) // current is diffuse on stage 0
        return Arg::Diffuse;
    if (a == StageArg::Texture)
        return haveTexture ? Arg::Texture : Arg::White;
    return Arg::Other;
}

bool Reduce(StageOp op, StageArg a1, StageArg a2, bool haveTexture, Source& out)
{
    const Arg first = Classify(a1, haveTexture), second = Classify(a2, haveTexture);
    switch (op) {
    case StageOp::Disable:
        out = Source::Diffuse;
        return true;
    case StageOp::SelectArg1:
    case StageOp::SelectArg2: {
        const Arg picked = op == StageOp::SelectArg1 ? first : second;
        if (picked == Arg::Other)
            return false;
        out = picked == Arg::Diffuse ? Source::Diffuse : (picked == Arg::Texture ? Source::Texture : Source::White);
        return true;
    }
    case StageOp::Modulate: {
        // x * white = x exactly: (x * 255 + 127) / 255 == x.
        const bool diffuse = first == Arg::Diffuse || second == Arg::Diffuse;
        const bool texture = first == Arg::Texture || second == Arg::Texture;
        const bool white = first == Arg::White || second == Arg::White;
        if (diffuse && texture)
            out = Source::Product;
        else if (diffuse && white)
            out = Source::Diffuse;
        else if (texture && white)
            out = Source::Texture;
        else
            return false;
        return true;
    }
    default:
        return false;
    }
}

} // namespace

bool DrawTriangleSpans(const Surface& target, const TriSetup& setup, const TriState& state)
{
    const TriStage& stage = state.stages[0];
    if (state.specular || state.alphaTest)
        return false;
    if (stage.colorOp != StageOp::Disable && state.stages[1].colorOp != StageOp::Disable)
        return false;
    const BlendState& b = state.blend;
    const bool blend = b.enabled;
    if (blend && (b.src != BlendFactor::SrcAlpha || b.dst != BlendFactor::InvSrcAlpha))
        return false;
    const bool haveTexture = stage.texture != nullptr;
    SpanCase c{};
    if (!Reduce(stage.colorOp, stage.colorArg1, stage.colorArg2, haveTexture, c.color))
        return false;
    if (stage.colorOp == StageOp::Disable || stage.alphaOp == StageOp::Disable)
        c.alpha = Source::Diffuse;
    else if (!Reduce(stage.alphaOp, stage.alphaArg1, stage.alphaArg2, haveTexture, c.alpha))
        return false;
    auto sampled = [](Source source) { return source == Source::Texture || source == Source::Product; };
    const bool texture = sampled(c.color) || sampled(c.alpha);
    const bool depth = state.depth != nullptr;
    const TriSpanKind kind{depth, texture, state.flat, blend};
    const TriSpanFn fn = ActiveSimdLevel() == SimdLevel::Sse2 ? Sse2TriangleSpans(kind) : Avx2TriangleSpans(kind);
    fn(target, setup, state, c);
    return true;
}

} // namespace vireo::raster
