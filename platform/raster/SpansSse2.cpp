// The span kernels built for the SSE2 baseline every x86-64 processor has: four pixels per
// vector. The kernels themselves are in SpanKernels.inl; this file only supplies the vector
// operations.
#include "platform/raster/Spans.h"

#include <cstring>
#include <emmintrin.h>

namespace vireo::raster {

namespace {

struct Isa {
    using V = __m128i;
    static constexpr int kPixels = 4;

    static V Load(const std::uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static void Store(std::uint32_t* p, V v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
    static V Zero() { return _mm_setzero_si128(); }
    static V Set32(std::uint32_t v) { return _mm_set1_epi32(static_cast<int>(v)); }
    static V Set16(int v) { return _mm_set1_epi16(static_cast<short>(v)); }
    static V Set16x4(const std::uint16_t* four)
    {
        long long bits;
        std::memcpy(&bits, four, sizeof bits);
        return _mm_set1_epi64x(bits);
    }
    static V And(V a, V b) { return _mm_and_si128(a, b); }
    static V CmpEq32(V a, V b) { return _mm_cmpeq_epi32(a, b); }
    static bool AllTrue(V mask) { return _mm_movemask_epi8(mask) == 0xFFFF; }
    static V Add16(V a, V b) { return _mm_add_epi16(a, b); }
    static V Sub16(V a, V b) { return _mm_sub_epi16(a, b); }
    static V Mul16(V a, V b) { return _mm_mullo_epi16(a, b); }
    static V MulHi16(V a, V b) { return _mm_mulhi_epu16(a, b); }
    static V Srl16(V a, int n) { return _mm_srli_epi16(a, n); }
    static V Lo8(V a) { return _mm_unpacklo_epi8(a, _mm_setzero_si128()); }
    static V Hi8(V a) { return _mm_unpackhi_epi8(a, _mm_setzero_si128()); }
    static V Pack(V lo, V hi) { return _mm_packus_epi16(lo, hi); }
    static V AlphaOf(V a) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(a, 0xFF), 0xFF); }
};

#include "platform/raster/SpanKernels.inl"

}  // namespace

const SpanKernels& Sse2Spans() { return kKernels; }

}  // namespace vireo::raster
