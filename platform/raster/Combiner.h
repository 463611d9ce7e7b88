// Scalar texture-stage arithmetic, texture sampling and framebuffer blending: the plain
// per-pixel formulas the reference path is made of and the span paths must reproduce.
// Channels are 0..255; every result saturates. Nothing here loops over pixels.
#pragma once

#include "platform/raster/Raster.h"

#include <cstdint>

namespace vireo::raster {

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
std::uint32_t SampleBilinear(const Surface& texture, std::int32_t u, std::int32_t v);

} // namespace vireo::raster
