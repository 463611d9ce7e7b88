// Tints a rectangle into the block four texels a vector (SSE2, which every level has), with
// the rounding of Mul255: a block is built once for many quads, so no wider variants.
#include "platform/raster/TintBlock.h"

#include <emmintrin.h>

namespace vireo::raster {

namespace {

// Channels in 16-bit lanes: add + round(x * mul / 255), as Div255 does it.
inline __m128i TintLanes(__m128i x, __m128i mul, __m128i add)
{
    const __m128i t = _mm_add_epi16(_mm_mullo_epi16(x, mul), _mm_set1_epi16(128));
    return _mm_add_epi16(add, _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8));
}

} // namespace

void TintBlock::Build(const std::uint32_t* src, int pitch, int w, int h, const Tint& tint)
{
    if (!m_texels) {
        m_texels = std::make_unique_for_overwrite<std::uint32_t[]>(kMaxTexels);
    }
    const __m128i mul = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(tint.mul)),
                                           _mm_loadl_epi64(reinterpret_cast<const __m128i*>(tint.mul)));
    const __m128i add = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(tint.add)),
                                           _mm_loadl_epi64(reinterpret_cast<const __m128i*>(tint.add)));
    const __m128i zero = _mm_setzero_si128();
    std::uint32_t* out = m_texels.get();
    for (int y = 0; y < h; ++y, out += w) {
        const std::uint32_t* row = reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const char*>(src) +
                                                                          static_cast<std::ptrdiff_t>(pitch) * y);
        int x = 0;
        for (; x + 4 <= w; x += 4) {
            const __m128i texels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
            const __m128i low = TintLanes(_mm_unpacklo_epi8(texels, zero), mul, add);
            const __m128i high = TintLanes(_mm_unpackhi_epi8(texels, zero), mul, add);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_packus_epi16(low, high));
        }
        for (; x < w; ++x) {
            out[x] = ApplyTint(row[x], tint);
        }
    }
}

} // namespace vireo::raster
