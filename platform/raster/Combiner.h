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
// Point takes the texel containing the coordinate; bilinear interpolates vertically, then
// horizontally, with 8-bit weights, each step rounded: (a * (256 - w) + b * w + 128) >> 8.
std::uint32_t SamplePoint(const Surface& texture, std::int32_t u, std::int32_t v);
std::uint32_t SampleBilinear(const Surface& texture, std::int32_t u, std::int32_t v);

}  // namespace vireo::raster
