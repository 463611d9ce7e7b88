// Scalar texture-stage arithmetic, texture sampling and framebuffer blending: the plain
// per-pixel formulas the reference path is made of and the span paths must reproduce.
// Channels are 0..255; every result saturates. Nothing here loops over pixels.
#pragma once

#include "platform/raster/Raster.h"

#include <cstdint>

namespace vireo::raster {

// The value an argument selects: the diffuse colour, the previous stage's result, this
// stage's texel or the texture factor.
inline std::uint32_t PickArgument(StageArg arg, std::uint32_t diffuse, std::uint32_t current, std::uint32_t texel,
                                  std::uint32_t factor)
{
    switch (arg) {
    case StageArg::Diffuse:
        return diffuse;
    case StageArg::Current:
        return current;
    case StageArg::Texture:
        return texel;
    case StageArg::TFactor:
        return factor;
    }
    return current;
}

// Whether the stage's operations read its texture at all.
inline bool ReadsTexture(const TextureStage& stage)
{
    return stage.colorArg1 == StageArg::Texture || stage.colorArg2 == StageArg::Texture ||
           (stage.alphaOp != StageOp::Disable &&
            (stage.alphaArg1 == StageArg::Texture || stage.alphaArg2 == StageArg::Texture));
}

// One channel of a stage operation on two arguments.
int StageOpChannel(StageOp op, int a, int b);

// Blends src over dst with the blend factors; a disabled blend returns src.
std::uint32_t BlendPixel(std::uint32_t src, std::uint32_t dst, const BlendState& blend);

// Samples with clamp addressing. U, V are the texel coordinate minus one half in 16.16.
// Point takes the texel containing the coordinate. Bilinear interpolates horizontally with
// 6-bit weights (the byte multiply-add of the vector code), keeping 64 times the value, then
// vertically with 8-bit weights, rounding each step: top + ((bottom - top) * wy + 128) >> 8,
// then (v + 32) >> 6. At a texel centre both weights are 0 and the texel comes back exactly.
std::uint32_t SamplePoint(const Surface& texture, std::int32_t u, std::int32_t v);

// The bilinear weighting above of four texels (t01 below t00), fx in 0..63, fy in 0..255.
inline std::uint32_t Bilerp(std::uint32_t t00, std::uint32_t t10, std::uint32_t t01, std::uint32_t t11, int fx, int fy)
{
    std::uint32_t out = 0;
    for (int c = 0; c < 4; ++c) {
        const int shift = 8 * c;
        const int top =
            static_cast<int>((t00 >> shift) & 0xFF) * (64 - fx) + static_cast<int>((t10 >> shift) & 0xFF) * fx;
        const int bottom =
            static_cast<int>((t01 >> shift) & 0xFF) * (64 - fx) + static_cast<int>((t11 >> shift) & 0xFF) * fx;
        const int middle = top + (((bottom - top) * fy + 128) >> 8);
        out |= static_cast<std::uint32_t>((middle + 32) >> 6) << shift;
    }
    return out;
}
std::uint32_t SampleBilinear(const Surface& texture, std::int32_t u, std::int32_t v);

} // namespace vireo::raster
