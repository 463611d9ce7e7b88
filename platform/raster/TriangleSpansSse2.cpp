// The triangle span functions for SSE2 alone, the level every x86-64 processor has: four
// pixels a vector. The functions are in TriangleSpanKernels.inl.
#include "platform/raster/TriangleSpans.h"

#include <algorithm>

#include <emmintrin.h>
#include <smmintrin.h> // declared for the branches kAvx2 leaves out

namespace vireo::raster {

namespace {

constexpr bool kAvx2 = false;

#include "platform/raster/TriangleSpanKernels.inl"

} // namespace

TriSpanFn Sse2TriangleSpans(const TriSpanKind& kind)
{
    return PickSpans(kind);
}

} // namespace vireo::raster
