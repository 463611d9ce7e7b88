// What the triangle span path's dispatch and its per-instruction-set span functions share:
// the reduced stage-0 case a span draws and the choice of function. The functions themselves
// are in TriangleSpanKernels.inl; the state recognition is in TriangleSpans.cpp.
#pragma once

#include "platform/raster/TriangleSetup.h"

#include <cstdint>

namespace vireo::raster {

// What one channel group (colour or alpha) of stage 0 reduces to.
enum class Source : std::uint8_t { Diffuse, Texture, Product, White };

struct SpanCase {
    Source color, alpha;
};

// The compile-time branches of a span function.
struct TriSpanKind {
    bool depth, texture, flat, blend;
};

using TriSpanFn = void (*)(const Surface&, const TriSetup&, const TriState&, SpanCase);

TriSpanFn Sse2TriangleSpans(const TriSpanKind& kind);
// SSE2's spans compiled for AVX2 with byte multiply-adds in the filter; only once the
// processor has reported AVX2.
TriSpanFn Avx2TriangleSpans(const TriSpanKind& kind);

} // namespace vireo::raster
