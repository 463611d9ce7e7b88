// The fast quad path: recognises the states the engine draws most (stage 0 reducing to a
// tint, source-alpha blending, no mask), picks one span function per draw and walks the
// covered rows. Masks and other blends return false and go to the reference path.
// Unscaled whole-pixel quads do not come here: QuadBatch gathers them.
#include "platform/raster/Combiner.h"
#include "platform/raster/RasterInternal.h"
#include "platform/raster/Spans.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace vireo::raster {

namespace {

SimdLevel Supported(SimdLevel level)
{
    if (level == SimdLevel::Avx512 && !CpuHasAvx512()) {
        level = SimdLevel::Avx2;
    }
    return level == SimdLevel::Avx2 && !CpuHasAvx2() ? SimdLevel::Sse2 : level;
}

SimdLevel InitialSimdLevel()
{
    const char* forced = std::getenv("VIREO_RASTER_SIMD");
    if (forced != nullptr && std::strcmp(forced, "sse2") == 0) {
        return SimdLevel::Sse2;
    }
    if (forced != nullptr && std::strcmp(forced, "avx2") == 0) {
        return Supported(SimdLevel::Avx2);
    }
    return Supported(SimdLevel::Avx512);
}

SimdLevel g_simd = InitialSimdLevel();

// One channel of a stage operation as add + texel * mul / 255, if it has that shape.
bool LinearChannel(StageOp op, bool tex1, int k1, bool tex2, int k2, std::uint16_t& mul, std::uint16_t& add)
{
    if (!tex1 && !tex2) {
        mul = 0;
        add = static_cast<std::uint16_t>(StageOpChannel(op, k1, k2));
        return true;
    }
    const bool both = tex1 && tex2;
    const int k = tex1 ? k2 : k1; // the constant beside the texture
    switch (op) {
    case StageOp::SelectArg1:
    case StageOp::SelectArg2: {
        const bool picksTexture = op == StageOp::SelectArg1 ? tex1 : tex2;
        mul = picksTexture ? 255 : 0;
        add = picksTexture ? 0 : static_cast<std::uint16_t>(op == StageOp::SelectArg1 ? k1 : k2);
        return true;
    }
    case StageOp::Modulate:
        mul = static_cast<std::uint16_t>(k);
        add = 0;
        return !both;
    case StageOp::AddSmooth: // t + k - t * k = k + t * (255 - k), exactly so after rounding
        mul = static_cast<std::uint16_t>(255 - k);
        add = static_cast<std::uint16_t>(k);
        return !both;
    default:
        return false;
    }
}

bool IsTexture(StageArg arg)
{
    return arg == StageArg::Texture;
}

int Constant(StageArg arg, const QuadState& state, int c)
{
    return Channel(arg == StageArg::TFactor ? state.textureFactor : state.diffuse, c); // current is diffuse on stage 0
}

// Untransformed and texel-aligned: every covered pixel centre lands on a texel centre inside
// the texture, one texel per pixel. Then sampling is a copy whatever the filter.
bool TexelAligned(const QuadSetup& setup, const Surface& tex, int& texelX, int& texelY)
{
    const TexMap& u = setup.u[0];
    const TexMap& v = setup.v[0];
    if (u.dx != 0x10000 || u.dy != 0 || v.dx != 0 || v.dy != 0x10000 || (u.origin & 0xFFFF) != 0 ||
        (v.origin & 0xFFFF) != 0) {
        return false;
    }
    texelX = static_cast<int>(u.origin >> 16); // texel of pixel (ox, oy), the bounds' corner
    texelY = static_cast<int>(v.origin >> 16);
    const int w = setup.bounds.right - setup.bounds.left, h = setup.bounds.bottom - setup.bounds.top;
    return texelX >= 0 && texelY >= 0 && texelX + w <= tex.width && texelY + h <= tex.height;
}

} // namespace

bool CpuHasAvx2()
{
    __builtin_cpu_init(); // may run from a static initialiser, before libgcc has looked
    return __builtin_cpu_supports("avx2");
}

bool CpuHasAvx512()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
           __builtin_cpu_supports("avx512bw");
}

const SpanKernels& ActiveSpans()
{
    switch (g_simd) {
    case SimdLevel::Avx512:
        return Avx512Spans();
    case SimdLevel::Avx2:
        return Avx2Spans();
    default:
        return Sse2Spans();
    }
}

void SetSimdLevel(SimdLevel level)
{
    g_simd = Supported(level);
}

SimdLevel ActiveSimdLevel()
{
    return g_simd;
}

namespace {

// Texture times one constant on all four channels.
bool ModulatesByConstant(const TextureStage& stage)
{
    return stage.colorOp == StageOp::Modulate && stage.alphaOp == StageOp::Modulate &&
           stage.colorArg1 == StageArg::Texture && stage.alphaArg1 == StageArg::Texture &&
           stage.colorArg2 == stage.alphaArg2 && stage.colorArg2 != StageArg::Texture;
}

} // namespace

bool TintIsDiffuse(const QuadState& state)
{
    return ModulatesByConstant(state.stages[0]) && state.stages[0].colorArg2 != StageArg::TFactor;
}

bool StageTint(const QuadState& state, Tint& tint)
{
    const TextureStage& stage = state.stages[0];
    // The sprite batch's own state is asked for once per sprite or glyph: straight to the
    // answer the general case gives.
    if (ModulatesByConstant(stage)) {
        DiffuseTint(stage.colorArg2 == StageArg::TFactor ? state.textureFactor : state.diffuse, tint);
        return true;
    }
    if (stage.colorOp == StageOp::Disable) {
        for (int c = 0; c < 4; ++c) {
            tint.mul[c] = 0;
            tint.add[c] = static_cast<std::uint16_t>(Channel(state.diffuse, c));
        }
        return true;
    }
    for (int c = 0; c < 3; ++c) {
        if (!LinearChannel(stage.colorOp, IsTexture(stage.colorArg1), Constant(stage.colorArg1, state, c),
                           IsTexture(stage.colorArg2), Constant(stage.colorArg2, state, c), tint.mul[c], tint.add[c])) {
            return false;
        }
    }
    if (stage.alphaOp == StageOp::Disable) {
        tint.mul[3] = 0;
        tint.add[3] = static_cast<std::uint16_t>(Channel(state.diffuse, 3));
        return true;
    }
    return LinearChannel(stage.alphaOp, IsTexture(stage.alphaArg1), Constant(stage.alphaArg1, state, 3),
                         IsTexture(stage.alphaArg2), Constant(stage.alphaArg2, state, 3), tint.mul[3], tint.add[3]);
}

bool SpanBlendState(const QuadState& state)
{
    const BlendState& blend = state.blend;
    return blend.enabled && blend.src == BlendFactor::SrcAlpha && blend.dst == BlendFactor::InvSrcAlpha &&
           state.stages[1].colorOp == StageOp::Disable;
}

namespace {

// The states the span path takes: source-alpha over a texture on stage 0 alone, whose
// operations reduce to a tint.
bool SpanState(const QuadState& state, Tint& tint)
{
    return SpanBlendState(state) && state.stages[0].texture != nullptr && StageTint(state, tint);
}

} // namespace

bool DrawQuadSpans(const Surface& target, const QuadSetup& setup, const QuadState& state)
{
    Tint tint;
    if (!SpanState(state, tint)) {
        return false;
    }
    const Surface* tex = state.stages[0].texture;
    // Source-alpha blending of a transparent pixel leaves the target as it was, so the
    // alpha test needs no work of its own here.
    const SpanKernels& spans = ActiveSpans();
    const bool plain = IsIdentity(tint);
    int texelX = 0, texelY = 0;
    const bool aligned = TexelAligned(setup, *tex, texelX, texelY);
    const bool copyKernel = aligned && (plain || tint.add[3] == 0);
    // Axis-aligned coverage is a rectangle: solve the first row, find the last covered row
    // from the bottom, and every row between has the same span.
    int rowEnd = setup.bounds.bottom;
    int alignedLeft = 0, alignedRight = 0;
    bool alignedKnown = false;
    for (int y = setup.bounds.top; y < rowEnd; ++y) {
        int left = alignedLeft, right = alignedRight;
        if (!alignedKnown) {
            if (!setup.RowSpan(y, left, right)) {
                continue;
            }
            if (setup.axisAligned) {
                alignedLeft = left, alignedRight = right, alignedKnown = true;
                while (rowEnd > y + 1 && !setup.Covers(left, rowEnd - 1)) {
                    --rowEnd;
                }
            }
        }
        std::uint32_t* dst = target.Row(y) + left;
        const int count = right - left;
        if (copyKernel) {
            // On an axis-aligned quad every row from here to rowEnd has this span: one kernel
            // call draws them all and pays its set-up once.
            const int rows = alignedKnown ? rowEnd - y : 1;
            const CopyRect rect{
                dst,          tex->Row(texelY + y - setup.bounds.top) + texelX + (left - setup.bounds.left),
                target.pitch, tex->pitch,
                count,        rows};
            if (plain) {
                spans.over(&rect, 1);
            } else {
                spans.tintOver(&rect, 1, tint);
            }
            y += rows - 1;
            continue;
        }
        // A sprite row is a few cache lines and the next one is a target pitch away, too
        // short a stream for the hardware prefetcher: ask for the next row's pixels now.
        if (y + 1 < rowEnd) {
            const char* next = reinterpret_cast<const char*>(target.Row(y + 1) + left);
            for (int offset = 0; offset < count * 4; offset += 64) {
                __builtin_prefetch(next + offset, 1);
            }
        }
        const TexWalk walk{tex, static_cast<std::uint32_t>(setup.u[0].At(left, y)),
                           static_cast<std::uint32_t>(setup.v[0].At(left, y)),
                           static_cast<std::uint32_t>(setup.u[0].dx), static_cast<std::uint32_t>(setup.v[0].dx)};
        if (state.stages[0].filter == Filter::Point || aligned) {
            spans.pointOver(dst, count, walk, tint);
        } else {
            spans.bilinearOver(dst, count, walk, tint);
        }
    }
    return true;
}

} // namespace vireo::raster
