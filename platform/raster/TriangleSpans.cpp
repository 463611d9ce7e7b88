// The fast triangle path: states the 3D scenes draw most (one texture stage whose colour and
// alpha are the texture, the interpolated diffuse colour or their product, no specular, no
// alpha test, no blend or source-alpha blending) get a span function chosen once per triangle,
// built from the same per-pixel pieces as the reference so the pixels come out identical.
#include "platform/raster/TriangleSetup.h"

namespace vireo::raster {

namespace {

// What one channel group (colour or alpha) of stage 0 reduces to.
enum class Source : std::uint8_t { Diffuse, Texture, Product };

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
        if (picked != Arg::Diffuse && picked != Arg::Texture)
            return false;
        out = picked == Arg::Diffuse ? Source::Diffuse : Source::Texture;
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

inline int Modulate(int a, int b)
{
    return (a * b + 127) / 255;
}

inline std::uint32_t Combine(Source colorSource, Source alphaSource, std::uint32_t diffuse, std::uint32_t texel)
{
    std::uint32_t color = diffuse & 0x00FFFFFFu;
    if (colorSource == Source::Texture) {
        color = texel & 0x00FFFFFFu;
    } else if (colorSource == Source::Product) {
        color = PackChannels(Modulate(Channel(texel, 0), Channel(diffuse, 0)),
                             Modulate(Channel(texel, 1), Channel(diffuse, 1)),
                             Modulate(Channel(texel, 2), Channel(diffuse, 2)), 0);
    }
    std::uint32_t alpha = diffuse >> 24;
    if (alphaSource == Source::Texture)
        alpha = texel >> 24;
    else if (alphaSource == Source::Product)
        alpha = static_cast<std::uint32_t>(Modulate(static_cast<int>(texel >> 24), static_cast<int>(diffuse >> 24)));
    return color | (alpha << 24);
}

struct SpanCase {
    Source color, alpha;
};

template <bool kDepth, bool kTexture, bool kFlat, bool kBlend>
void DrawSpans(const Surface& target, const TriSetup& setup, const TriState& state, SpanCase c)
{
    const Plane* p = setup.planes;
    const TriStage& stage = state.stages[0];
    const DepthBuffer* depth = state.depth;
    const int bits = kDepth ? depth->bits : 0;
    const Compare func = state.depthFunc;
    const bool depthWrite = state.depthWrite;
    for (int y = setup.bounds.top; y < setup.bounds.bottom; ++y) {
        int left = 0, right = 0;
        if (!setup.RowSpan(y, left, right))
            continue;
        const float fy = static_cast<float>(y) + 0.5f;
        const float rz = p[kPlaneZ].Row(fy), rw = p[kPlaneW].Row(fy);
        const float ru = p[kPlaneU].Row(fy), rv = p[kPlaneV].Row(fy);
        const float rr = p[kPlaneR].Row(fy), rg = p[kPlaneG].Row(fy), rb = p[kPlaneB].Row(fy), ra = p[kPlaneA].Row(fy);
        std::uint32_t* row = target.Row(y);
        std::uint32_t* depthRow = kDepth ? depth->values + static_cast<std::ptrdiff_t>(y) * depth->width : nullptr;
        for (int x = left; x < right; ++x) {
            const float fx = static_cast<float>(x) + 0.5f;
            std::uint32_t z = 0;
            if constexpr (kDepth) {
                z = QuantizeDepth(p[kPlaneZ].At(rz, fx), bits);
                if (!Passes(func, z, depthRow[x]))
                    continue;
            }
            const float q = 1.0f / p[kPlaneW].At(rw, fx);
            std::uint32_t diffuse = setup.flatDiffuse;
            if constexpr (!kFlat) {
                diffuse = PackChannels(ToByte(p[kPlaneB].At(rb, fx) * q), ToByte(p[kPlaneG].At(rg, fx) * q),
                                       ToByte(p[kPlaneR].At(rr, fx) * q), ToByte(p[kPlaneA].At(ra, fx) * q));
            }
            std::uint32_t texel = 0xFFFFFFFFu;
            if constexpr (kTexture)
                texel = SampleStage(stage, p[kPlaneU].At(ru, fx) * q, p[kPlaneV].At(rv, fx) * q);
            const std::uint32_t color = Combine(c.color, c.alpha, diffuse, texel);
            if constexpr (kBlend)
                row[x] = BlendOver(color, row[x]);
            else
                row[x] = color;
            if constexpr (kDepth) {
                if (depthWrite)
                    depthRow[x] = z;
            }
        }
    }
}

using SpanFn = void (*)(const Surface&, const TriSetup&, const TriState&, SpanCase);

template <bool kDepth, bool kTexture> SpanFn Pick(bool flat, bool blend)
{
    if (flat)
        return blend ? DrawSpans<kDepth, kTexture, true, true> : DrawSpans<kDepth, kTexture, true, false>;
    return blend ? DrawSpans<kDepth, kTexture, false, true> : DrawSpans<kDepth, kTexture, false, false>;
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
    const bool texture = c.color != Source::Diffuse || c.alpha != Source::Diffuse;
    const bool depth = state.depth != nullptr;
    SpanFn fn = depth ? (texture ? Pick<true, true>(state.flat, blend) : Pick<true, false>(state.flat, blend))
                      : (texture ? Pick<false, true>(state.flat, blend) : Pick<false, false>(state.flat, blend));
    fn(target, setup, state, c);
    return true;
}

} // namespace vireo::raster
