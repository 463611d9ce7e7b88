// The triangle span functions compiled for AVX2 (three-operand forms, byte multiply-adds and
// rounding high multiplies in the bilinear filter), still four pixels a vector. Everything
// below the target pragmas is compiled for AVX2: nothing here runs before the processor check.
#include "platform/raster/TriangleSpans.h"

#include <algorithm>

#include <immintrin.h>

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

namespace vireo::raster {

namespace {

constexpr bool kAvx2 = true;

#include "platform/raster/TriangleSpanKernels.inl"

} // namespace

TriSpanFn Avx2TriangleSpans(const TriSpanKind& kind)
{
    return PickSpans(kind);
}

} // namespace vireo::raster

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
