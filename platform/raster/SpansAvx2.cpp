// The span kernels built for AVX2, eight pixels per vector, and again with AVX-512 masks for
// row tails; each set used only when the processor reports its instructions at run time.
// Everything below the target pragmas is compiled for them, so nothing from here may be
// called before that check.
#include "platform/raster/Spans.h"

#include "platform/raster/Combiner.h"

#include <cstring>
#include <immintrin.h>
#include <type_traits>

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

namespace vireo::raster {

namespace {

struct Isa {
    using V = __m256i;
    static constexpr int kPixels = 8;

    static V Load(const std::uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
    static void Store(std::uint32_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
    static V Set32(std::uint32_t v) { return _mm256_set1_epi32(static_cast<int>(v)); }
    static V Set16(int v) { return _mm256_set1_epi16(static_cast<short>(v)); }
    static V And(V a, V b) { return _mm256_and_si256(a, b); }
    static V Add16(V a, V b) { return _mm256_add_epi16(a, b); }
    static V Mul16(V a, V b) { return _mm256_mullo_epi16(a, b); }
    static V MulHi16(V a, V b) { return _mm256_mulhi_epu16(a, b); }
    static V Srl16(V a, int n) { return _mm256_srli_epi16(a, n); }
    static V Or(V a, V b) { return _mm256_or_si256(a, b); }
    static V AndNot(V a, V b) { return _mm256_andnot_si256(a, b); }
    static V Xor(V a, V b) { return _mm256_xor_si256(a, b); }
    static V Sll16(V a, int n) { return _mm256_slli_epi16(a, n); }
    static bool NoneSet(V a, V mask) { return _mm256_testz_si256(a, mask) != 0; }
    static bool AllSet(V a, V mask) { return _mm256_testc_si256(a, mask) != 0; }
    static constexpr bool kHasMaddubs = true;
    static V MaddUbs(V unsignedBytes, V signedBytes) { return _mm256_maddubs_epi16(unsignedBytes, signedBytes); }
    static V Sub16(V a, V b) { return _mm256_sub_epi16(a, b); }
    // Two-operation bit combinations BlendHalves uses, one instruction each on AVX-512.
    static V OrXor(V a, V b, V c) { return _mm256_xor_si256(_mm256_or_si256(a, b), c); }             // (a | b) ^ c
    static V AndOr(V a, V b, V c) { return _mm256_or_si256(_mm256_and_si256(a, b), c); }             // (a & b) | c
    static V OrAndNot(V a, V b, V mask) { return _mm256_or_si256(a, _mm256_andnot_si256(mask, b)); } // a | (b & ~mask)
    // Row tails: the first n (1-7) lanes loaded and stored, the others read as zero.
    static constexpr bool kMaskedTail = true;
    static V TailMask(int n)
    {
        alignas(32) static const std::int32_t kLanes[16] = {-1, -1, -1, -1, -1, -1, -1, -1, 0, 0, 0, 0, 0, 0, 0, 0};
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(kLanes + 8 - n));
    }
    static V LoadMasked(const std::uint32_t* p, V mask)
    {
        return _mm256_maskload_epi32(reinterpret_cast<const int*>(p), mask);
    }
    // Texels of a row tail: lanes outside the mask read as transparent white, so a glyph's
    // short rows still test as white texels in the tinted kernel.
    static V LoadTexels(const std::uint32_t* p, V mask)
    {
        return _mm256_or_si256(LoadMasked(p, mask), _mm256_andnot_si256(mask, _mm256_set1_epi32(0x00FFFFFF)));
    }
    static void StoreMasked(std::uint32_t* p, V mask, V v)
    {
        _mm256_maskstore_epi32(reinterpret_cast<int*>(p), mask, v);
    }
    // That masked store is microcoded on AMD processors, several times an ordinary store's
    // cost: short rows are stored whole where the target row has room.
    static constexpr bool kWholeWhereRoom = true;
    // What BlendHalves takes from green/alpha lanes (alpha at byte 2 of each pixel): the
    // byte weights a, 255 - a, a, 255 - a.
    static V AlphaWeights(V odd)
    {
        const V pick = _mm256_setr_epi8(2, 2, 2, 2, 6, 6, 6, 6, 10, 10, 10, 10, 14, 14, 14, 14, 2, 2, 2, 2, 6, 6, 6, 6,
                                        10, 10, 10, 10, 14, 14, 14, 14);
        return _mm256_xor_si256(_mm256_shuffle_epi8(odd, pick), _mm256_set1_epi32(static_cast<int>(0xFF00FF00u)));
    }
};

#include "platform/raster/SpanKernels.inl"

// A glyph list: rectangles of 1 to 16 texels a row through glyphRows(rect, wide), until the
// first that is wider or whose rows it does not all draw; list(rects, n) takes the rest from
// there (the first rows drawn left out).
template <typename Rows, typename List> inline void GlyphList(const CopyRect* rects, int n, Rows glyphRows, List list)
{
    for (int r = 0; r < n; ++r) {
        const CopyRect& rect = rects[r];
        const int done = rect.count <= Isa::kPixels       ? glyphRows(rect, std::false_type{})
                         : rect.count <= 2 * Isa::kPixels ? glyphRows(rect, std::true_type{})
                                                          : 0;
        if (done < rect.rows) {
            RestOfList(rects + r, n - r, done, list);
            return;
        }
    }
}

// A list that starts with a glyph (rows of 1 to 16 texels other than 8) goes through the
// glyph loop; one that starts with a sprite, through the general kernels.
inline bool StartsWithGlyph(const CopyRect* rects)
{
    return rects[0].count < 2 * Isa::kPixels && rects[0].count != Isa::kPixels;
}

[[gnu::noinline]] void OverRest(const CopyRect* rects, int n)
{
    OverRects(rects, n);
}

void OverRectsMixed(const CopyRect* rects, int n)
{
    if (!StartsWithGlyph(rects)) {
        OverRects(rects, n);
        return;
    }
    const TintConstants k(Tint{{255, 255, 255, 255}, {0, 0, 0, 0}});
    const auto step = OverStep<false>(k);
    GlyphList(
        rects, n, [&](const CopyRect& rect, auto wide) { return GlyphRows<wide(), false>(rect, step, k.colorMask); },
        OverRest);
}

[[gnu::noinline]] void TintOverRest(const CopyRect* rects, int n, const Tint& tint)
{
    TintOverRects(rects, n, tint);
}

// Tinted glyphs are white texels (an atlas of coverage) blended through the tint's colour:
// from the first rows that are not, or the first rectangle that is no glyph, the general
// tinted kernels take the rest of the list.
template <bool kAdd, bool kAlphaPasses> void TintOverGlyphs(const CopyRect* rects, int n, const Tint& tint)
{
    const TintConstants k(tint);
    const auto step = [&k](V s, auto loadDst, auto store) { store(TintWhite<kAdd, kAlphaPasses>(s, loadDst(), k)); };
    GlyphList(
        rects, n, [&](const CopyRect& rect, auto wide) { return GlyphRows<wide(), true>(rect, step, k.colorMask); },
        [&tint](const CopyRect* rest, int count) { TintOverRest(rest, count, tint); });
}

void TintOverRectsMixed(const CopyRect* rects, int n, const Tint& tint)
{
    if (!StartsWithGlyph(rects)) {
        TintOverRects(rects, n, tint);
        return;
    }
    ForTints(&tint, 1, [&](auto add, auto, auto alphaPasses) { TintOverGlyphs<add(), alphaPasses()>(rects, n, tint); });
}

// One pixel the scalar way, for samples whose neighbours need clamping and for row tails.
inline void BilinearPixel(std::uint32_t* dst, const Surface& tex, std::uint32_t u, std::uint32_t v, const Tint& tint)
{
    const std::uint32_t color =
        ApplyTint(SampleBilinear(tex, static_cast<std::int32_t>(u), static_cast<std::int32_t>(v)), tint);
    if ((color >> 24) != 0) {
        *dst = BlendOver(color, *dst);
    }
}

// Plain version: for each pixel, dst = BlendOver(ApplyTint(SampleBilinear(tex, u, v)), dst);
// u += du; v += dv. Four pixels a step: each fetches its two texel pairs as two 8-byte loads;
// a byte shuffle interleaves left and right texels so one multiply-add per row of pixels
// does the horizontal step, a rounding high multiply the vertical one.
template <bool kTinted> void BilinearRow4(std::uint32_t* dst, int count, const TexWalk& walk, const Tint& tint)
{
    const Surface& tex = *walk.texture;
    const auto* base = reinterpret_cast<const std::uint8_t*>(tex.pixels);
    const std::ptrdiff_t pitch = tex.pitch;
    const __m128i du = _mm_set1_epi32(static_cast<int>(walk.du)), dv = _mm_set1_epi32(static_cast<int>(walk.dv));
    const __m128i lanes = _mm_setr_epi32(0, 1, 2, 3);
    __m128i u = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(walk.u)), _mm_mullo_epi32(lanes, du));
    __m128i v = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(walk.v)), _mm_mullo_epi32(lanes, dv));
    const __m128i du4 = _mm_slli_epi32(du, 2), dv4 = _mm_slli_epi32(dv, 2);
    const __m128i lastX = _mm_set1_epi32(tex.width - 2), lastRow = _mm_set1_epi32(tex.height - 1);
    const __m128i zero4 = _mm_setzero_si128(), one4 = _mm_set1_epi32(1);
    const __m128i pitchV = _mm_set1_epi32(static_cast<int>(pitch));
    // Per pixel pair [t0.b t0.g t0.r t0.a t1.b ...] -> [t0.b t1.b t0.g t1.g ...].
    const __m256i interleave = _mm256_setr_epi8(0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15, 0, 4, 1, 5, 2, 6,
                                                3, 7, 8, 12, 9, 13, 10, 14, 11, 15);
    // The low 16 bits of each 64-bit lane copied to its four 16-bit lanes.
    const __m256i spread = _mm256_setr_epi8(0, 1, 0, 1, 0, 1, 0, 1, 8, 9, 8, 9, 8, 9, 8, 9, 0, 1, 0, 1, 0, 1, 0, 1, 8,
                                            9, 8, 9, 8, 9, 8, 9);
    const __m256i c32 = _mm256_set1_epi16(32), c128 = _mm256_set1_epi16(128), c255 = _mm256_set1_epi16(255),
                  c257 = _mm256_set1_epi16(257);
    const __m256i zero = _mm256_setzero_si256();
    std::uint64_t mulBits, addBits;
    std::memcpy(&mulBits, tint.mul, sizeof mulBits);
    std::memcpy(&addBits, tint.add, sizeof addBits);
    const __m256i mul = _mm256_set1_epi64x(static_cast<long long>(mulBits)),
                  add = _mm256_set1_epi64x(static_cast<long long>(addBits));
    const __m256i alphaBytes =
        _mm256_set1_epi64x(static_cast<long long>(0xFFFF000000000000ull)); // after the interleave
    const bool clearStaysClear = tint.add[3] == 0;
    alignas(16) std::int32_t offsets[4];
    alignas(16) std::int32_t offsetsBelow[4];
    // The pair loads need two texels a row; byte offsets must fit 32 bits.
    const bool vectorOk = tex.width >= 2 && static_cast<std::int64_t>(tex.height) * pitch < (std::int64_t{1} << 31);
    const int vectorEnd = vectorOk ? count : 0;
    int i = 0;
    for (; i + 4 <= vectorEnd; i += 4, u = _mm_add_epi32(u, du4), v = _mm_add_epi32(v, dv4)) {
        // Clamp addressing without leaving the vector path: a sample left of the first
        // texel pair takes the pair at 0 with all weight left, one right of the last takes
        // the last pair with all weight right; rows clamp independently.
        const __m128i x = _mm_srai_epi32(u, 16), y = _mm_srai_epi32(v, 16);
        const __m128i leftOut = _mm_cmpgt_epi32(zero4, x), rightOut = _mm_cmpgt_epi32(x, lastX);
        const __m128i pairX = _mm_min_epi32(_mm_max_epi32(x, zero4), lastX);
        const __m128i y0 = _mm_min_epi32(_mm_max_epi32(y, zero4), lastRow);
        const __m128i y1 = _mm_min_epi32(_mm_max_epi32(_mm_add_epi32(y, one4), zero4), lastRow);
        const __m128i column = _mm_slli_epi32(pairX, 2);
        _mm_store_si128(reinterpret_cast<__m128i*>(offsets), _mm_add_epi32(_mm_mullo_epi32(y0, pitchV), column));
        _mm_store_si128(reinterpret_cast<__m128i*>(offsetsBelow), _mm_add_epi32(_mm_mullo_epi32(y1, pitchV), column));
        __m128i fx =
            _mm_andnot_si128(_mm_or_si128(leftOut, rightOut), _mm_and_si128(_mm_srli_epi32(u, 10), _mm_set1_epi32(63)));
        fx = _mm_or_si128(fx, _mm_and_si128(rightOut, _mm_set1_epi32(64)));
        auto pairs = [&](const std::int32_t* at) {
            const __m128i p01 = _mm_castps_si128(
                _mm_loadh_pi(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(base + at[0]))),
                             reinterpret_cast<const __m64*>(base + at[1])));
            const __m128i p23 = _mm_castps_si128(
                _mm_loadh_pi(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(base + at[2]))),
                             reinterpret_cast<const __m64*>(base + at[3])));
            return _mm256_shuffle_epi8(_mm256_inserti128_si256(_mm256_castsi128_si256(p01), p23, 1), interleave);
        };
        const __m256i topPairs = pairs(offsets), bottomPairs = pairs(offsetsBelow);
        if (clearStaysClear && _mm256_testz_si256(_mm256_or_si256(topPairs, bottomPairs), alphaBytes)) {
            continue; // all sixteen texels transparent
        }
        const __m128i wx =
            _mm_or_si128(_mm_slli_epi32(fx, 8), _mm_sub_epi32(_mm_set1_epi32(64), fx)); // bytes: 64 - fx, fx
        const __m256i weightsX = _mm256_shuffle_epi8(_mm256_cvtepu32_epi64(wx), spread);
        const __m128i fy = _mm_slli_epi32(_mm_and_si128(_mm_srli_epi32(v, 8), _mm_set1_epi32(255)), 7);
        const __m256i weightsY = _mm256_shuffle_epi8(_mm256_cvtepu32_epi64(fy), spread);
        const __m256i top = _mm256_maddubs_epi16(topPairs, weightsX); // 64 times the value
        const __m256i bottom = _mm256_maddubs_epi16(bottomPairs, weightsX);
        // mulhrs(d, wy * 128) = (d * wy + 128) >> 8
        const __m256i middle = _mm256_add_epi16(top, _mm256_mulhrs_epi16(_mm256_sub_epi16(bottom, top), weightsY));
        __m256i color = _mm256_srli_epi16(_mm256_add_epi16(middle, c32), 6);
        if (kTinted) {
            color =
                _mm256_add_epi16(add, _mm256_mulhi_epu16(_mm256_add_epi16(_mm256_mullo_epi16(color, mul), c128), c257));
        }
        const __m256i alpha = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(color, 0xFF), 0xFF);
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi16(alpha, zero)) == -1) {
            continue;
        }
        __m256i out = color;
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi16(alpha, c255)) != -1) {
            const __m256i d = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i)));
            const __m256i sum = _mm256_add_epi16(_mm256_mullo_epi16(color, alpha),
                                                 _mm256_mullo_epi16(d, _mm256_sub_epi16(c255, alpha)));
            out = _mm256_mulhi_epu16(_mm256_add_epi16(sum, c128), c257);
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i),
                         _mm_packus_epi16(_mm256_castsi256_si128(out), _mm256_extracti128_si256(out, 1)));
    }
    for (; i < count; ++i) {
        BilinearPixel(dst + i, tex, walk.u + static_cast<std::uint32_t>(i) * walk.du,
                      walk.v + static_cast<std::uint32_t>(i) * walk.dv, tint);
    }
}

void BilinearRow(std::uint32_t* dst, int count, const TexWalk& walk, const Tint& tint)
{
    bool identity = true;
    for (int c = 0; c < 4; ++c) {
        identity = identity && tint.mul[c] == 255 && tint.add[c] == 0;
    }
    if (identity) {
        BilinearRow4<false>(dst, count, walk, tint);
    } else {
        BilinearRow4<true>(dst, count, walk, tint);
    }
}

const SpanKernels kKernels{&OverRectsMixed, &TintOverRectsMixed, &TintOverEachRects, &BilinearRow, &PointWalk};

} // namespace

const SpanKernels& Avx2Spans()
{
    return kKernels;
}

} // namespace vireo::raster

#if defined(__clang__)
#pragma clang attribute pop
#pragma clang attribute push(__attribute__((target("avx2,avx512f,avx512vl,avx512bw"))), apply_to = function)
#else
#pragma GCC pop_options
#pragma GCC push_options
#pragma GCC target("avx2,avx512f,avx512vl,avx512bw")
#endif

namespace vireo::raster {

namespace {

// The low eight lanes: a register's lower half (a move; GCC 12's cast warns of an
// uninitialised operand, as its extract does).
inline __m256i LowHalf(__m512i v)
{
    __m256i lower;
    std::memcpy(&lower, &v, sizeof lower);
    return lower;
}

namespace avx512 {

// The AVX2 wrapper with AVX-512's mask registers for row tails: a masked store there is
// an ordinary store, where AVX2's masked store is several times slower on some processors.
struct Isa : vireo::raster::Isa {
    static __mmask8 TailMask(int n) { return static_cast<__mmask8>((1u << n) - 1); }
    static V LoadMasked(const std::uint32_t* p, __mmask8 mask) { return _mm256_maskz_loadu_epi32(mask, p); }
    // Lanes outside the mask read as transparent white, so a glyph's short rows still test
    // as white texels in the tinted kernel.
    static V LoadTexels(const std::uint32_t* p, __mmask8 mask)
    {
        return _mm256_mask_loadu_epi32(_mm256_set1_epi32(0x00FFFFFF), mask, p);
    }
    static void StoreMasked(std::uint32_t* p, __mmask8 mask, V v) { _mm256_mask_storeu_epi32(p, mask, v); }
    static constexpr bool kWholeWhereRoom = false;
    // Truth tables over a = 0xF0, b = 0xCC, c = 0xAA.
    static V OrXor(V a, V b, V c) { return _mm256_ternarylogic_epi32(a, b, c, 0x56); }
    static V AndOr(V a, V b, V c) { return _mm256_ternarylogic_epi32(a, b, c, 0xEA); }
    static V OrAndNot(V a, V b, V mask) { return _mm256_ternarylogic_epi32(a, b, mask, 0xF4); }
};

#include "platform/raster/SpanKernels.inl"

} // namespace avx512

namespace zmm {

// Sixteen pixels a vector, for rows of 8 to 16 pixels (glyphs, small sprites): one vector a
// row of 9 to 16 where eight lanes take two, two rows of 8 a vector. Fewer instructions
// for the same lanes: that, not the lanes, limits these short rows even where the processor
// does 512-bit work in two halves.
struct Isa {
    using V = __m512i;
    static constexpr int kPixels = 16;

    static V Load(const std::uint32_t* p) { return _mm512_loadu_si512(p); }
    static void Store(std::uint32_t* p, V v) { _mm512_storeu_si512(p, v); }
    static V Set32(std::uint32_t v) { return _mm512_set1_epi32(static_cast<int>(v)); }
    static V Set16(int v) { return _mm512_set1_epi16(static_cast<short>(v)); }
    static V And(V a, V b) { return _mm512_and_si512(a, b); }
    static V Add16(V a, V b) { return _mm512_add_epi16(a, b); }
    static V Mul16(V a, V b) { return _mm512_mullo_epi16(a, b); }
    static V MulHi16(V a, V b) { return _mm512_mulhi_epu16(a, b); }
    static V Srl16(V a, int n) { return _mm512_srli_epi16(a, static_cast<unsigned>(n)); }
    static V Or(V a, V b) { return _mm512_or_si512(a, b); }
    // ~a & b (GCC 12's own and-not for 512 bits warns of an uninitialised operand).
    static V AndNot(V a, V b) { return _mm512_ternarylogic_epi32(a, b, b, 0x0C); }
    static V Xor(V a, V b) { return _mm512_xor_si512(a, b); }
    static V Sll16(V a, int n) { return _mm512_slli_epi16(a, static_cast<unsigned>(n)); }
    static bool NoneSet(V a, V mask) { return _mm512_test_epi32_mask(a, mask) == 0; }
    // (a & mask) == mask in every lane: an and and a compare, with no copy for a ternary and-not.
    static bool AllSet(V a, V mask) { return _mm512_cmpneq_epi32_mask(_mm512_and_si512(a, mask), mask) == 0; }
    static constexpr bool kHasMaddubs = true;
    static V MaddUbs(V unsignedBytes, V signedBytes) { return _mm512_maddubs_epi16(unsignedBytes, signedBytes); }
    static V Sub16(V a, V b) { return _mm512_sub_epi16(a, b); }
    static V OrXor(V a, V b, V c) { return _mm512_ternarylogic_epi32(a, b, c, 0x56); }
    static V AndOr(V a, V b, V c) { return _mm512_ternarylogic_epi32(a, b, c, 0xEA); }
    static V OrAndNot(V a, V b, V mask) { return _mm512_ternarylogic_epi32(a, b, mask, 0xF4); }
    static constexpr bool kMaskedTail = true;
    static __mmask16 TailMask(int n) { return static_cast<__mmask16>((1u << n) - 1); }
    static V LoadMasked(const std::uint32_t* p, __mmask16 mask) { return _mm512_maskz_loadu_epi32(mask, p); }
    static V LoadTexels(const std::uint32_t* p, __mmask16 mask)
    {
        return _mm512_mask_loadu_epi32(_mm512_set1_epi32(0x00FFFFFF), mask, p);
    }
    static void StoreMasked(std::uint32_t* p, __mmask16 mask, V v) { _mm512_mask_storeu_epi32(p, mask, v); }
    // Two rows of eight pixels, a in the lower half, b in the upper.
    static constexpr bool kPairsRows = true;
    // (The zero-masked forms: GCC 12's plain insert and extract warn of an uninitialised operand.)
    static V LoadPair(const std::uint32_t* a, const std::uint32_t* b)
    {
        return _mm512_maskz_inserti64x4(0xFF,
                                        _mm512_castsi256_si512(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(a))),
                                        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b)), 1);
    }
    static void StorePair(std::uint32_t* a, std::uint32_t* b, V v)
    {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(a), LowHalf(v));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(b), _mm512_maskz_extracti64x4_epi64(0xF, v, 1));
    }
    static V AlphaWeights(V odd)
    {
        const V pick = _mm512_set4_epi32(0x0E0E0E0E, 0x0A0A0A0A, 0x06060606, 0x02020202);
        return _mm512_xor_si512(_mm512_shuffle_epi8(odd, pick), _mm512_set1_epi32(static_cast<int>(0xFF00FF00u)));
    }
};

#include "platform/raster/SpanKernels.inl"

} // namespace zmm

namespace avx512 {

// Which width takes a rectangle of the list: 16 lanes for rows of 8 (paired) and more, 8
// lanes for narrower rows; but wide plain rectangles stay at 8 lanes, whose transparent and
// opaque shortcuts, tested a vector at a time, skip more vectors (measured: 64x64 plain
// sprites lost at 16 lanes what tinted ones gained).
template <bool kWideToo> inline bool SixteenLanes(const CopyRect& rect)
{
    return rect.count >= Isa::kPixels && (kWideToo || rect.count <= kShortcutWidth);
}

// The list in runs of one width, in order, each run through its width's list kernel: the two
// widths' constants are never held at once (for the general tinted kernels together they
// would not fit the registers).
template <bool kWideToo, typename Eight, typename Sixteen>
inline void ByWidth(const CopyRect* rects, int n, Eight eight, Sixteen sixteen)
{
    for (int start = 0; start < n;) {
        const bool wide = SixteenLanes<kWideToo>(rects[start]);
        int end = start + 1;
        while (end < n && SixteenLanes<kWideToo>(rects[end]) == wide) {
            ++end;
        }
        wide ? sixteen(rects + start, end - start) : eight(rects + start, end - start);
        start = end;
    }
}

void OverRectsByWidth(const CopyRect* rects, int n)
{
    ByWidth<false>(rects, n, OverRects, zmm::OverRects);
}

void TintOverRectsByWidth(const CopyRect* rects, int n, const Tint& tint)
{
    ByWidth<true>(
        rects, n, [&](const CopyRect* run, int count) { TintOverRects(run, count, tint); },
        [&](const CopyRect* run, int count) { zmm::TintOverRects(run, count, tint); });
}

void TintOverEachByWidth(const CopyRect* rects, const Tint* tints, int n)
{
    ByWidth<true>(
        rects, n, [&](const CopyRect* run, int count) { TintOverEachRects(run, tints + (run - rects), count); },
        [&](const CopyRect* run, int count) { zmm::TintOverEachRects(run, tints + (run - rects), count); });
}

// A list that starts with a glyph: rows of 1 to 15 pixels other than 8. One of whole vectors
// (8 x 8 and 16 x 16 sprites) or wider starts a list of sprites, which the width kernels take.
inline bool StartsWithGlyph(const CopyRect* rects)
{
    return rects[0].count < zmm::Isa::kPixels && rects[0].count != Isa::kPixels;
}

// blend(s, d) as a row group's step.
template <typename Blend> inline auto AsStep(Blend blend)
{
    return [blend](auto s, auto loadDst, auto store) { store(blend(s, loadDst())); };
}

// Glyph lists in one loop whatever their widths (8 lanes up to 8 pixels, 16 lanes up to 16)
// with one set of constants, the eight-lane ones the low halves of the sixteen-lane ones,
// rather than cut into runs of one width, each with its own set-up: glyph widths alternate.
// From the first rectangle wider than 16 pixels, or (kWhite) the first rows of texels not
// all white, rest(rects, n, row) takes the rest of the list, starting at row row of rects[0].
template <bool kWhite, typename Blend8, typename Blend16, typename Rest>
inline void GlyphList(const CopyRect* rects, int n, __m512i colorMask, Blend8 blend8, Blend16 blend16, Rest rest)
{
    for (int r = 0; r < n; ++r) {
        const CopyRect& rect = rects[r];
        int done = 0;
        if (rect.count <= Isa::kPixels) {
            done = GlyphRows<false, kWhite>(rect, AsStep(blend8), LowHalf(colorMask));
        } else if (rect.count <= zmm::Isa::kPixels) {
            done = zmm::GlyphRows<false, kWhite>(rect, AsStep(blend16), colorMask);
        }
        if (done < rect.rows) {
            rest(rects + r, n - r, done);
            return;
        }
    }
}

[[gnu::noinline]] void OverRest(const CopyRect* rects, int n, int row)
{
    RestOfList(rects, n, row, OverRectsByWidth);
}

[[gnu::noinline]] void TintOverRest(const CopyRect* rects, int n, int row, const Tint& tint)
{
    RestOfList(rects, n, row, [&](const CopyRect* list, int count) { TintOverRectsByWidth(list, count, tint); });
}

void OverRectsMixed(const CopyRect* rects, int n)
{
    if (!StartsWithGlyph(rects)) {
        OverRectsByWidth(rects, n);
        return;
    }
    const zmm::TintConstants k16(Tint{{255, 255, 255, 255}, {0, 0, 0, 0}});
    const TintConstants k8(k16, LowHalf);
    const auto blend8 = [&](V s, V d) {
        const V odd = Isa::Srl16(s, 8);
        return BlendHalves(Isa::And(s, k8.low), odd, d, Isa::AlphaWeights(odd), k8);
    };
    const auto blend16 = [&](__m512i s, __m512i d) {
        const __m512i odd = zmm::Isa::Srl16(s, 8);
        return zmm::BlendHalves(zmm::Isa::And(s, k16.low), odd, d, zmm::Isa::AlphaWeights(odd), k16);
    };
    GlyphList<false>(rects, n, k16.colorMask, blend8, blend16, OverRest);
}

// Tinted glyphs are white texels (an atlas of coverage), blended through the tint's colour;
// the rest of a list that is not goes through the general tinted kernels.
template <bool kAdd, bool kAlphaPasses> void TintOverGlyphs(const CopyRect* rects, int n, const Tint& tint)
{
    const zmm::TintConstants k16(tint);
    const TintConstants k8(k16, LowHalf);
    GlyphList<true>(
        rects, n, k16.colorMask, [&](V s, V d) { return TintWhite<kAdd, kAlphaPasses>(s, d, k8); },
        [&](__m512i s, __m512i d) { return zmm::TintWhite<kAdd, kAlphaPasses>(s, d, k16); },
        [&](const CopyRect* rest, int count, int row) { TintOverRest(rest, count, row, tint); });
}

void TintOverRectsMixed(const CopyRect* rects, int n, const Tint& tint)
{
    if (!StartsWithGlyph(rects)) {
        TintOverRectsByWidth(rects, n, tint);
        return;
    }
    ForTints(&tint, 1, [&](auto add, auto, auto alphaPasses) { TintOverGlyphs<add(), alphaPasses()>(rects, n, tint); });
}

// Only the copy kernels have row tails worth masking; the bilinear walk is the AVX2 one.
const SpanKernels kKernels{&OverRectsMixed, &TintOverRectsMixed, &TintOverEachByWidth, &vireo::raster::BilinearRow,
                           &PointWalk};

} // namespace avx512

} // namespace

const SpanKernels& Avx512Spans()
{
    return avx512::kKernels;
}

} // namespace vireo::raster

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
