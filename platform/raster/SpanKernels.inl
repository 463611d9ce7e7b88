// Span kernels written once over an instruction-set wrapper `Isa` (SSE2: 4 pixels a vector,
// AVX2: 8). Included inside an anonymous namespace by SpansSse2.cpp and SpansAvx2.cpp, after
// the wrapper is defined there; it includes nothing itself. Channels widen to 16-bit lanes,
// so every product x * k <= 255 * 255 fits a lane and Div255 needs no division.

using V = Isa::V;

// Div255 as one high multiply: ((t + 128) * 257) >> 16 equals ((t + 128) + ((t + 128) >> 8)) >> 8.
inline V Div255V(V t) { return Isa::MulHi16(Isa::Add16(t, Isa::Set16(128)), Isa::Set16(257)); }

// s * a + d * (255 - a), rounded once; a is the source alpha broadcast over its pixel.
inline V BlendLanes(V s, V d, V a, V ia) { return Div255V(Isa::Add16(Isa::Mul16(s, a), Isa::Mul16(d, ia))); }
inline V BlendLanes(V s, V d, V a) { return BlendLanes(s, d, a, Isa::Sub16(Isa::Set16(255), a)); }

template <bool kAdd>
inline V TintLanes(V s, V mul, V add)
{
    const V scaled = Div255V(Isa::Mul16(s, mul));
    return kAdd ? Isa::Add16(add, scaled) : scaled;
}

// Plain version: for each pixel, dst = BlendOver(src, dst).
void OverRow(std::uint32_t* dst, const std::uint32_t* src, int count)
{
    const V alphaMask = Isa::Set32(0xFF000000u);
    const V zero = Isa::Zero();
    int i = 0;
    for (; i + Isa::kPixels <= count; i += Isa::kPixels) {
        const V s = Isa::Load(src + i);
        const V a = Isa::And(s, alphaMask);
        if (Isa::AllTrue(Isa::CmpEq32(a, zero))) {
            continue;
        }
        if (Isa::AllTrue(Isa::CmpEq32(a, alphaMask))) {
            Isa::Store(dst + i, s);
            continue;
        }
        const V d = Isa::Load(dst + i);
        const V sl = Isa::Lo8(s), sh = Isa::Hi8(s);
        Isa::Store(dst + i, Isa::Pack(BlendLanes(sl, Isa::Lo8(d), Isa::AlphaOf(sl)), BlendLanes(sh, Isa::Hi8(d), Isa::AlphaOf(sh))));
    }
    for (; i < count; ++i) {
        const std::uint32_t a = src[i] >> 24;
        if (a == 255) {
            dst[i] = src[i];
        } else if (a != 0) {
            dst[i] = BlendOver(src[i], dst[i]);
        }
    }
}

// Plain version: for each pixel, dst = BlendOver(ApplyTint(src, tint), dst). kAdd is false
// when the tint has no additive part (modulate, select), which saves two adds a vector.
template <bool kAdd>
void TintOverRowOf(std::uint32_t* dst, const std::uint32_t* src, int count, const Tint& tint)
{
    const V alphaMask = Isa::Set32(0xFF000000u);
    const V zero = Isa::Zero();
    const V mul = Isa::Set16x4(tint.mul);
    const V add = Isa::Set16x4(tint.add);
    const bool opaqueStaysOpaque = tint.mul[3] == 255;
    const V tintAlpha = Isa::Set16(tint.mul[3]);  // alpha of an opaque texel after the tint (add[3] is 0)
    const V tintAlphaInverse = Isa::Set16(255 - tint.mul[3]);
    int i = 0;
    for (; i + Isa::kPixels <= count; i += Isa::kPixels) {
        const V s = Isa::Load(src + i);
        const V a = Isa::And(s, alphaMask);
        if (Isa::AllTrue(Isa::CmpEq32(a, zero))) {
            continue;
        }
        const V sl = TintLanes<kAdd>(Isa::Lo8(s), mul, add);
        const V sh = TintLanes<kAdd>(Isa::Hi8(s), mul, add);
        const V d = Isa::Load(dst + i);
        if (Isa::AllTrue(Isa::CmpEq32(a, alphaMask))) {
            // Opaque texels all get the tint's alpha: no per-pixel alpha to spread.
            if (opaqueStaysOpaque) {
                Isa::Store(dst + i, Isa::Pack(sl, sh));
            } else {
                Isa::Store(dst + i, Isa::Pack(BlendLanes(sl, Isa::Lo8(d), tintAlpha, tintAlphaInverse),
                                              BlendLanes(sh, Isa::Hi8(d), tintAlpha, tintAlphaInverse)));
            }
            continue;
        }
        Isa::Store(dst + i, Isa::Pack(BlendLanes(sl, Isa::Lo8(d), Isa::AlphaOf(sl)), BlendLanes(sh, Isa::Hi8(d), Isa::AlphaOf(sh))));
    }
    for (; i < count; ++i) {
        if ((src[i] >> 24) != 0) {
            dst[i] = BlendOver(ApplyTint(src[i], tint), dst[i]);
        }
    }
}

void TintOverRow(std::uint32_t* dst, const std::uint32_t* src, int count, const Tint& tint)
{
    if ((tint.add[0] | tint.add[1] | tint.add[2] | tint.add[3]) == 0) {
        TintOverRowOf<false>(dst, src, count, tint);
    } else {
        TintOverRowOf<true>(dst, src, count, tint);
    }
}

// One pixel in the low four 16-bit lanes: tint, then blend into *dst (skipped when the
// result is transparent, stored as is when it is opaque).
inline void TintBlendPixel(std::uint32_t* dst, __m128i texel, __m128i mul, __m128i add)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i c128 = _mm_set1_epi16(128);
    __m128i t = _mm_mullo_epi16(texel, mul);
    t = _mm_add_epi16(t, c128);
    t = _mm_add_epi16(add, _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8));
    const int a = _mm_extract_epi16(t, 3);
    if (a == 0) {
        return;
    }
    if (a != 255) {
        const __m128i d = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(*dst)), zero);
        const __m128i av = _mm_set1_epi16(static_cast<short>(a));
        __m128i b = _mm_add_epi16(_mm_mullo_epi16(t, av), _mm_mullo_epi16(d, _mm_sub_epi16(_mm_set1_epi16(255), av)));
        b = _mm_add_epi16(b, c128);
        t = _mm_srli_epi16(_mm_add_epi16(b, _mm_srli_epi16(b, 8)), 8);
    }
    *dst = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(t, t)));
}

inline int ClampTo(int v, int hi) { return v < 0 ? 0 : (v > hi ? hi : v); }

// Plain version: for each pixel, dst = BlendOver(ApplyTint(SamplePoint(tex, u, v)), dst).
void PointWalk(std::uint32_t* dst, int count, const TexWalk& walk, const Tint& tint)
{
    const Surface& tex = *walk.texture;
    const __m128i zero = _mm_setzero_si128();
    const __m128i mul = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(tint.mul));
    const __m128i add = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(tint.add));
    const bool clearStaysClear = tint.add[3] == 0;
    std::uint32_t u = walk.u, v = walk.v;
    for (int i = 0; i < count; ++i, u += walk.du, v += walk.dv) {
        const int x = ClampTo((static_cast<std::int32_t>(u) + 0x8000) >> 16, tex.width - 1);
        const int y = ClampTo((static_cast<std::int32_t>(v) + 0x8000) >> 16, tex.height - 1);
        const std::uint32_t texel = tex.Row(y)[x];
        if (clearStaysClear && (texel >> 24) == 0) {
            continue;
        }
        TintBlendPixel(dst + i, _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(texel)), zero), mul, add);
    }
}
