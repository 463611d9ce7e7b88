// The span functions of the fast path: one row of one case each, chosen once per draw.
// Every function blends source-alpha over (s * sa + d * (1 - sa), rounded once) and gives
// exactly the pixels of the reference path; the shortcuts (skip a transparent run, copy an
// opaque one) are exact cases of the same formula. They do no clipping and no set-up.
#pragma once

#include "platform/raster/Pixel.h"
#include "platform/raster/Raster.h"

#include <cstdint>

namespace vireo::raster {

// A walk along one row through a texture: coordinates minus half a texel in 16.16, stepped
// by du, dv per pixel (unsigned so the step past the last pixel cannot overflow).
struct TexWalk {
    const Surface* texture;
    std::uint32_t u, v;
    std::uint32_t du, dv;
};

// A rectangle of texels drawn one to one: rows of count pixels from src onto dst, each
// pointer stepped by its pitch in bytes. Whole rectangles, so the set-up is paid per draw.
struct CopyRect {
    std::uint32_t* dst;
    const std::uint32_t* src;
    int dstPitch, srcPitch;
    int count, rows;
    // Target pixels from dst to the end of its row (0: unknown, only count). A kernel may load
    // and store up to this many a row whole, if it writes those past count back as they were.
    int dstRoom = 0;
};

struct SpanKernels {
    // Texels copied one to one, n rectangles in order: plain over.
    void (*over)(const CopyRect* rects, int n);
    // Texels one to one through a tint; tint.add[3] must be 0 (transparent stays transparent).
    void (*tintOver)(const CopyRect* rects, int n, const Tint& tint);
    // As tintOver, rects[i] through tints[i]: a list whose colour changes from rectangle to
    // rectangle (particles) in one call, rather than a call a colour.
    void (*tintOverEach)(const CopyRect* rects, const Tint* tints, int n);
    // Any affine walk, clamp addressing, then the tint.
    void (*bilinearOver)(std::uint32_t* dst, int count, const TexWalk& walk, const Tint& tint);
    void (*pointOver)(std::uint32_t* dst, int count, const TexWalk& walk, const Tint& tint);
};

const SpanKernels& Sse2Spans();
const SpanKernels& Avx2Spans();
const SpanKernels& Avx512Spans(); // AVX2's kernels with AVX-512 masks (F, VL, BW) for row tails
// The set of the level SetSimdLevel chose.
const SpanKernels& ActiveSpans();

} // namespace vireo::raster
