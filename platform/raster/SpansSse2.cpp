// The span kernels built for the SSE2 baseline every x86-64 processor has: four pixels per
// vector. The kernels themselves are in SpanKernels.inl; this file only supplies the vector
// operations.
#include "platform/raster/Spans.h"

#include <emmintrin.h>
#include <type_traits>

namespace vireo::raster {

namespace {

struct Isa {
    using V = __m128i;
    static constexpr int kPixels = 4;

    static V Load(const std::uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static void Store(std::uint32_t* p, V v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
    static V Set32(std::uint32_t v) { return _mm_set1_epi32(static_cast<int>(v)); }
    static V Set16(int v) { return _mm_set1_epi16(static_cast<short>(v)); }
    static V And(V a, V b) { return _mm_and_si128(a, b); }
    static V Add16(V a, V b) { return _mm_add_epi16(a, b); }
    static V Mul16(V a, V b) { return _mm_mullo_epi16(a, b); }
    static V MulHi16(V a, V b) { return _mm_mulhi_epu16(a, b); }
    static V Srl16(V a, int n) { return _mm_srli_epi16(a, n); }
    static V Or(V a, V b) { return _mm_or_si128(a, b); }
    static V AndOr(V a, V b, V c) { return _mm_or_si128(_mm_and_si128(a, b), c); } // (a & b) | c
    static V AndNot(V a, V b) { return _mm_andnot_si128(a, b); }
    static V Xor(V a, V b) { return _mm_xor_si128(a, b); }
    static V Sll16(V a, int n) { return _mm_slli_epi16(a, n); }
    static bool NoneSet(V a, V mask)
    {
        return _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(a, mask), _mm_setzero_si128())) == 0xFFFF;
    }
    static bool AllSet(V a, V mask)
    {
        return _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(a, mask), mask)) == 0xFFFF;
    }
    // No byte multiply-add before SSSE3: the blend takes two 16-bit multiplies a half.
    static constexpr bool kHasMaddubs = false;
    // No masked loads or stores either: row tails go one pixel at a time.
    static constexpr bool kMaskedTail = false;
    static V MaddUbs(V, V) { return _mm_setzero_si128(); }
    // What BlendHalves takes from green/alpha lanes: here the alpha alone, in both lanes.
    static V AlphaWeights(V odd) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(odd, 0xF5), 0xF5); }
    static V Sub16(V a, V b) { return _mm_sub_epi16(a, b); }
};

#include "platform/raster/SpanKernels.inl"

// Plain version: for each pixel, dst = BlendOver(ApplyTint(SampleBilinear(tex, u, v)), dst);
// u += du; v += dv. One pixel at a time; kClamp is false when the row stays inside.
template <bool kClamp> void BilinearWalk(std::uint32_t* dst, int count, const TexWalk& walk, const Tint& tint)
{
    const Surface& tex = *walk.texture;
    const auto* base = reinterpret_cast<const std::uint8_t*>(tex.pixels);
    const std::ptrdiff_t pitch = tex.pitch;
    const int maxX = tex.width - 1, maxY = tex.height - 1;
    const __m128i zero = _mm_setzero_si128();
    const __m128i mul = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(tint.mul));
    const __m128i add = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(tint.add));
    const bool clearStaysClear = tint.add[3] == 0;
    std::uint32_t u = walk.u, v = walk.v;
    for (int i = 0; i < count; ++i, u += walk.du, v += walk.dv) {
        const int iu = static_cast<std::int32_t>(u), iv = static_cast<std::int32_t>(v);
        int x0 = iu >> 16, y0 = iv >> 16;
        int x1 = x0 + 1, y1 = y0 + 1;
        if (kClamp) {
            x0 = ClampTo(x0, maxX), x1 = ClampTo(x1, maxX), y0 = ClampTo(y0, maxY), y1 = ClampTo(y1, maxY);
        }
        const auto* r0 = reinterpret_cast<const std::uint32_t*>(base + y0 * pitch);
        const auto* r1 = reinterpret_cast<const std::uint32_t*>(base + y1 * pitch);
        const std::uint32_t t00 = r0[x0], t10 = r0[x1], t01 = r1[x0], t11 = r1[x1];
        if (clearStaysClear && ((t00 | t10 | t01 | t11) >> 24) == 0) {
            continue;
        }
        const int fx = (iu >> 10) & 63;
        const __m128i wx =
            _mm_unpacklo_epi64(_mm_set1_epi16(static_cast<short>(64 - fx)), _mm_set1_epi16(static_cast<short>(fx)));
        __m128i top = _mm_mullo_epi16(_mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(t00)),
                                                                           _mm_cvtsi32_si128(static_cast<int>(t10))),
                                                        zero),
                                      wx);
        __m128i bottom = _mm_mullo_epi16(_mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(t01)),
                                                                              _mm_cvtsi32_si128(static_cast<int>(t11))),
                                                           zero),
                                         wx);
        top = _mm_add_epi16(top, _mm_srli_si128(top, 8)); // lanes 0-3: 64 times the value
        bottom = _mm_add_epi16(bottom, _mm_srli_si128(bottom, 8));
        // (bottom - top) * wy in 32 bits: a signed 16-bit lane paired with 0, multiply-added.
        const __m128i difference = _mm_unpacklo_epi16(_mm_sub_epi16(bottom, top), zero);
        const __m128i product = _mm_madd_epi16(difference, _mm_set1_epi32((iv >> 8) & 0xFF));
        const __m128i step = _mm_srai_epi32(_mm_add_epi32(product, _mm_set1_epi32(128)), 8);
        const __m128i middle = _mm_add_epi16(top, _mm_packs_epi32(step, step));
        TintBlendPixel(dst + i, _mm_srli_epi16(_mm_add_epi16(middle, _mm_set1_epi16(32)), 6), mul, add);
    }
}

// The walk stays inside [0, size - 2] texels on both axes from its first to its last pixel,
// so neither neighbour of any sample needs clamping.
bool WalkInside(const TexWalk& walk, int count)
{
    const std::int64_t last = count - 1;
    const std::int64_t u0 = static_cast<std::int32_t>(walk.u) >> 16, v0 = static_cast<std::int32_t>(walk.v) >> 16;
    const std::int64_t u1 = (static_cast<std::int32_t>(walk.u) + last * static_cast<std::int32_t>(walk.du)) >> 16;
    const std::int64_t v1 = (static_cast<std::int32_t>(walk.v) + last * static_cast<std::int32_t>(walk.dv)) >> 16;
    const int maxU = walk.texture->width - 2, maxV = walk.texture->height - 2;
    return u0 >= 0 && u1 >= 0 && v0 >= 0 && v1 >= 0 && u0 <= maxU && u1 <= maxU && v0 <= maxV && v1 <= maxV;
}

void BilinearRow(std::uint32_t* dst, int count, const TexWalk& walk, const Tint& tint)
{
    if (WalkInside(walk, count)) {
        BilinearWalk<false>(dst, count, walk, tint);
    } else {
        BilinearWalk<true>(dst, count, walk, tint);
    }
}

const SpanKernels kKernels{&OverRects, &TintOverRects, &TintOverEachRects, &BilinearRow, &PointWalk};

} // namespace

const SpanKernels& Sse2Spans()
{
    return kKernels;
}

} // namespace vireo::raster
