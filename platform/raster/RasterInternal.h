// What the rasterizer's own files share and its tests reach: the reference quad path, the
// fast span path, the choice of instruction set, and the stage-to-tint reduction.
// Not part of the contract the device codes against.
#pragma once

#include "platform/raster/Pixel.h"
#include "platform/raster/QuadSetup.h"
#include "platform/raster/Raster.h"

#include <cstddef>
#include <cstdint>
#include <emmintrin.h>

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
// Stage 0 modulates the texture by the diffuse colour on all four channels (the sprite
// batch's state): StageTint gives DiffuseTint's tint of state.diffuse, whatever the colour.
bool TintIsDiffuse(const QuadState& state);
// A colour's channels as mul and no add: texture times that colour. Widened in one vector
// and stored at once: a caller that reads the tint back whole (a colour a sprite) would
// otherwise wait for eight small stores.
inline void DiffuseTint(std::uint32_t color, Tint& tint)
{
    static_assert(sizeof(Tint) == 16 && offsetof(Tint, add) == 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&tint),
                     _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(color)), _mm_setzero_si128()));
}

enum class SimdLevel { Sse2, Avx2, Avx512 };
bool CpuHasAvx2();
bool CpuHasAvx512(); // F, VL and BW: what the masked row tails use
// Defaults to the widest level the processor has; tests force each one in turn. A level the
// processor lacks gives the widest one below it.
void SetSimdLevel(SimdLevel level);
SimdLevel ActiveSimdLevel();

} // namespace vireo::raster
