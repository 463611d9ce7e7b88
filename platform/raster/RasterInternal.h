// What the rasterizer's own files share and its tests reach: the reference quad path, the
// fast span path, the choice of instruction set, and the stage-to-tint reduction.
// Not part of the contract the device codes against.
#pragma once

#include "platform/raster/Pixel.h"
#include "platform/raster/QuadSetup.h"
#include "platform/raster/Raster.h"

namespace vireo::raster {

// Per pixel, any state: coverage test, both stages, blend. The truth the spans must match.
void DrawQuadReference(const Surface& target, const QuadSetup& setup, const QuadState& state);

// Span functions for the cases they cover; false (nothing drawn) for any other state.
bool DrawQuadSpans(const Surface& target, const QuadSetup& setup, const QuadState& state);

// Source-alpha over with stage 1 off: the blend the span functions take, whatever stage 0's
// texture and tint.
bool SpanBlendState(const QuadState& state);

// Stage 0 alone (stage 1 disabled) as tint = add + texel * mul / 255 per channel, when its
// operations reduce to that shape: select, modulate or add-smooth of the texture with a
// constant (diffuse, current or texture factor), or constants alone.
bool StageTint(const QuadState& state, Tint& tint);

enum class SimdLevel { Sse2, Avx2, Avx512 };
bool CpuHasAvx2();
bool CpuHasAvx512(); // F, VL and BW: what the masked row tails use
// Defaults to the widest level the processor has; tests force each one in turn. A level the
// processor lacks gives the widest one below it.
void SetSimdLevel(SimdLevel level);
SimdLevel ActiveSimdLevel();

} // namespace vireo::raster
