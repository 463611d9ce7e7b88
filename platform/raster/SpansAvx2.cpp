// The span kernels built for AVX2, eight pixels per vector; used only when the processor
// reports AVX2 at run time. Everything below the target pragma is compiled for AVX2, so
// nothing from here may be called before that check.
#include "platform/raster/Spans.h"

#include <cstring>
#include <immintrin.h>

#pragma GCC push_options
#pragma GCC target("avx2")

namespace vireo::raster {

namespace {

struct Isa {
    using V = __m256i;
    static constexpr int kPixels = 8;

    static V Load(const std::uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
    static void Store(std::uint32_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
    static V Zero() { return _mm256_setzero_si256(); }
    static V Set32(std::uint32_t v) { return _mm256_set1_epi32(static_cast<int>(v)); }
    static V Set16(int v) { return _mm256_set1_epi16(static_cast<short>(v)); }
    static V Set16x4(const std::uint16_t* four)
    {
        long long bits;
        std::memcpy(&bits, four, sizeof bits);
        return _mm256_set1_epi64x(bits);
    }
    static V And(V a, V b) { return _mm256_and_si256(a, b); }
    static V CmpEq32(V a, V b) { return _mm256_cmpeq_epi32(a, b); }
    static bool AllTrue(V mask) { return _mm256_movemask_epi8(mask) == -1; }
    static V Add16(V a, V b) { return _mm256_add_epi16(a, b); }
    static V Sub16(V a, V b) { return _mm256_sub_epi16(a, b); }
    static V Mul16(V a, V b) { return _mm256_mullo_epi16(a, b); }
    static V MulHi16(V a, V b) { return _mm256_mulhi_epu16(a, b); }
    static V Srl16(V a, int n) { return _mm256_srli_epi16(a, n); }
    // Unpack and pack both work within 128-bit lanes, so they undo each other exactly.
    static V Lo8(V a) { return _mm256_unpacklo_epi8(a, _mm256_setzero_si256()); }
    static V Hi8(V a) { return _mm256_unpackhi_epi8(a, _mm256_setzero_si256()); }
    static V Pack(V lo, V hi) { return _mm256_packus_epi16(lo, hi); }
    static V AlphaOf(V a) { return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(a, 0xFF), 0xFF); }
};

#include "platform/raster/SpanKernels.inl"

}  // namespace

const SpanKernels& Avx2Spans() { return kKernels; }

}  // namespace vireo::raster

#pragma GCC pop_options
