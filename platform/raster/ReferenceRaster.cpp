// The plain per-pixel quad path: every covered pixel runs both texture stages and the blend
// through the scalar formulas of Combiner. Slow on purpose; the span path is checked
// against it and it draws whatever state the spans do not cover (masks, other blends).
#include "platform/raster/Combiner.h"
#include "platform/raster/Pixel.h"
#include "platform/raster/RasterInternal.h"

namespace vireo::raster {

namespace {

constexpr std::uint32_t kMissingTexture = 0xFFFFFFFFu; // a stage without texture reads opaque white

std::uint32_t Sample(const TextureStage& stage, const QuadSetup& setup, int k, int x, int y)
{
    if (stage.texture == nullptr) {
        return kMissingTexture;
    }
    const auto u = static_cast<std::int32_t>(setup.u[k].At(x, y));
    const auto v = static_cast<std::int32_t>(setup.v[k].At(x, y));
    return stage.filter == Filter::Point ? SamplePoint(*stage.texture, u, v) : SampleBilinear(*stage.texture, u, v);
}

// The stage cascade for one pixel: current starts as the diffuse colour; a disabled colour
// operation ends the cascade; a disabled alpha operation keeps the current alpha.
std::uint32_t Shade(const QuadState& state, const QuadSetup& setup, int x, int y)
{
    std::uint32_t current = state.diffuse;
    for (int k = 0; k < 2; ++k) {
        const TextureStage& stage = state.stages[k];
        if (stage.colorOp == StageOp::Disable) {
            break;
        }
        const std::uint32_t texel = ReadsTexture(stage) ? Sample(stage, setup, k, x, y) : kMissingTexture;
        const std::uint32_t c1 = PickArgument(stage.colorArg1, state.diffuse, current, texel, state.textureFactor);
        const std::uint32_t c2 = PickArgument(stage.colorArg2, state.diffuse, current, texel, state.textureFactor);
        int out[4];
        for (int c = 0; c < 3; ++c) {
            out[c] = StageOpChannel(stage.colorOp, Channel(c1, c), Channel(c2, c));
        }
        if (stage.alphaOp == StageOp::Disable) {
            out[3] = Channel(current, 3);
        } else {
            const std::uint32_t a1 = PickArgument(stage.alphaArg1, state.diffuse, current, texel, state.textureFactor);
            const std::uint32_t a2 = PickArgument(stage.alphaArg2, state.diffuse, current, texel, state.textureFactor);
            out[3] = StageOpChannel(stage.alphaOp, Channel(a1, 3), Channel(a2, 3));
        }
        current = PackChannels(out[0], out[1], out[2], out[3]);
    }
    return current;
}

} // namespace

void DrawQuadReference(const Surface& target, const QuadSetup& setup, const QuadState& state)
{
    for (int y = setup.bounds.top; y < setup.bounds.bottom; ++y) {
        std::uint32_t* row = target.Row(y);
        for (int x = setup.bounds.left; x < setup.bounds.right; ++x) {
            if (!setup.Covers(x, y)) {
                continue;
            }
            const std::uint32_t color = Shade(state, setup, x, y);
            if (state.alphaTest && (color >> 24) == 0) {
                continue;
            }
            row[x] = BlendPixel(color, row[x], state.blend);
        }
    }
}

} // namespace vireo::raster
