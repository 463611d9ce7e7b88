// The triangle span functions, written once and included inside an anonymous namespace by
// TriangleSpansSse2.cpp and TriangleSpansAvx2.cpp, which say through kAvx2 whether the SSSE3
// and SSE4.1 instructions (byte multiply-adds, rounding high multiplies, floor) may be used.
// It includes nothing itself.
// Four pixels at a time with SSE2 floats: the same operations in the same order as the scalar
// reference (plane row plus step times centre, one division, round and saturate), so every
// lane carries exactly the reference's value.
inline __m128i ToBytes(__m128 c)
{
    c = _mm_add_ps(c, _mm_set1_ps(0.5f));
    c = _mm_min_ps(_mm_max_ps(c, _mm_setzero_ps()), _mm_set1_ps(255.0f)); // NaN becomes 0
    return _mm_cvttps_epi32(c);
}

inline __m128i Quantize(__m128 z, float max, __m128i maxInt)
{
    z = _mm_min_ps(_mm_max_ps(z, _mm_setzero_ps()), _mm_set1_ps(1.0f));
    const __m128i q = _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(z, _mm_set1_ps(max)), _mm_set1_ps(0.5f)));
    const __m128i over = _mm_cmpgt_epi32(q, maxInt);
    return _mm_or_si128(_mm_andnot_si128(over, q), _mm_and_si128(over, maxInt));
}

// Lanes where value `func` stored holds; values are below 2^24, so signed compares serve.
inline __m128i DepthPasses(Compare func, __m128i value, __m128i stored)
{
    const __m128i all = _mm_set1_epi32(-1);
    switch (func) {
    case Compare::Never:
        return _mm_setzero_si128();
    case Compare::Less:
        return _mm_cmplt_epi32(value, stored);
    case Compare::Equal:
        return _mm_cmpeq_epi32(value, stored);
    case Compare::LessEqual:
        return _mm_xor_si128(_mm_cmpgt_epi32(value, stored), all);
    case Compare::Greater:
        return _mm_cmpgt_epi32(value, stored);
    case Compare::NotEqual:
        return _mm_xor_si128(_mm_cmpeq_epi32(value, stored), all);
    case Compare::GreaterEqual:
        return _mm_xor_si128(_mm_cmplt_epi32(value, stored), all);
    case Compare::Always:
        break;
    }
    return all;
}

inline __m128 PlaneAt(const Plane& p, float row, __m128 fx)
{
    return _mm_add_ps(_mm_set1_ps(row), _mm_mul_ps(_mm_set1_ps(p.dx), fx));
}

inline __m128i Select(__m128i mask, __m128i a, __m128i b)
{
    return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}

// TexelCoordinate for four lanes.
inline __m128i TexelCoordinates(__m128 t, int size, Address address)
{
    t = _mm_and_ps(t, _mm_cmpord_ps(t, t)); // NaN to 0
    if (address == Address::Wrap) {
        const __m128 limit = _mm_set1_ps(8388608.0f);
        const __m128 small = _mm_and_ps(_mm_cmplt_ps(t, limit), _mm_cmpgt_ps(t, _mm_sub_ps(_mm_setzero_ps(), limit)));
        t = _mm_and_ps(t, small);
        __m128 whole;
        if constexpr (kAvx2) {
            whole = _mm_floor_ps(t);
        } else {
            whole = _mm_cvtepi32_ps(_mm_cvttps_epi32(t));
            whole = _mm_sub_ps(whole, _mm_and_ps(_mm_cmplt_ps(t, whole), _mm_set1_ps(1.0f)));
        }
        t = _mm_sub_ps(t, whole);
        t = _mm_andnot_ps(_mm_cmpge_ps(t, _mm_set1_ps(1.0f)), t);
    } else {
        t = _mm_min_ps(_mm_max_ps(t, _mm_set1_ps(-1.0f)), _mm_set1_ps(2.0f));
    }
    const __m128 scaled = _mm_mul_ps(_mm_mul_ps(t, _mm_set1_ps(static_cast<float>(size))), _mm_set1_ps(65536.0f));
    return _mm_cvttps_epi32(_mm_sub_ps(scaled, _mm_set1_ps(32768.0f)));
}

// AddressTexel for four lanes.
inline __m128i AddressTexels(__m128i i, int size, Address address)
{
    const __m128i sizes = _mm_set1_epi32(size);
    if (address == Address::Clamp) {
        i = _mm_and_si128(i, _mm_cmpgt_epi32(i, _mm_set1_epi32(-1)));
        const __m128i last = _mm_set1_epi32(size - 1);
        return Select(_mm_cmpgt_epi32(i, last), last, i);
    }
    i = _mm_add_epi32(i, _mm_and_si128(_mm_cmplt_epi32(i, _mm_setzero_si128()), sizes));
    return _mm_sub_epi32(i, _mm_andnot_si128(_mm_cmplt_epi32(i, sizes), sizes));
}

// Bilinear wrapping on both axes at power-of-two sizes, with every byte offset within 16-bit
// multiply-adds: the common texture, addressed with masks.
bool MasksWrap(const TriStage& stage)
{
    const Surface& tex = *stage.texture;
    auto powerOfTwo = [](int n) { return n > 0 && (n & (n - 1)) == 0; };
    return stage.filter == Filter::Linear && stage.addressU == Address::Wrap && stage.addressV == Address::Wrap &&
           powerOfTwo(tex.width) && powerOfTwo(tex.height) && tex.height < 32768 && tex.pitch > 0 &&
           tex.pitch < 32768 && tex.width * 4 <= tex.pitch;
}

// SampleStage for four lanes; the texels come back packed.
[[gnu::always_inline]] inline __m128i SampleLanes(const TriStage& stage, bool maskWrap, __m128 u, __m128 v)
{
    const Surface& tex = *stage.texture;
    if (!stage.hasCoordinates)
        u = v = _mm_setzero_ps();
    const __m128i fu = TexelCoordinates(u, tex.width, stage.addressU);
    const __m128i fv = TexelCoordinates(v, tex.height, stage.addressV);
    if (stage.filter == Filter::Point) {
        alignas(16) std::int32_t xa[4], ya[4];
        const __m128i half = _mm_set1_epi32(0x8000);
        _mm_store_si128(reinterpret_cast<__m128i*>(xa),
                        AddressTexels(_mm_srai_epi32(_mm_add_epi32(fu, half), 16), tex.width, stage.addressU));
        _mm_store_si128(reinterpret_cast<__m128i*>(ya),
                        AddressTexels(_mm_srai_epi32(_mm_add_epi32(fv, half), 16), tex.height, stage.addressV));
        return _mm_setr_epi32(static_cast<int>(tex.Row(ya[0])[xa[0]]), static_cast<int>(tex.Row(ya[1])[xa[1]]),
                              static_cast<int>(tex.Row(ya[2])[xa[2]]), static_cast<int>(tex.Row(ya[3])[xa[3]]));
    }
    const __m128i one = _mm_set1_epi32(1);
    const __m128i x0 = _mm_srai_epi32(fu, 16), y0 = _mm_srai_epi32(fv, 16);
    __m128i p00, p10, p01, p11;
    if (maskWrap) {
        // x0 and y0 lie in [-1, size - 1], so wrapping is a mask; byte offsets row * pitch +
        // column * 4 come from one multiply-add of 16-bit (column, row) pairs.
        const __m128i wMask = _mm_set1_epi32(tex.width - 1), hMask = _mm_set1_epi32(tex.height - 1);
        const __m128i xa = _mm_and_si128(x0, wMask), xb = _mm_and_si128(_mm_add_epi32(x0, one), wMask);
        const __m128i ya = _mm_and_si128(y0, hMask), yb = _mm_and_si128(_mm_add_epi32(y0, one), hMask);
        const __m128i scale = _mm_set1_epi32(4 | tex.pitch << 16);
        auto offsets = [&](__m128i xs, __m128i ys, std::int32_t* out) {
            _mm_store_si128(reinterpret_cast<__m128i*>(out),
                            _mm_madd_epi16(_mm_or_si128(xs, _mm_slli_epi32(ys, 16)), scale));
        };
        const auto* base = reinterpret_cast<const std::uint8_t*>(tex.pixels);
        alignas(16) std::int32_t o00[4], o01[4];
        offsets(xa, ya, o00);
        offsets(xa, yb, o01);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(xb, _mm_add_epi32(xa, one))) == 0xFFFF) {
            auto pairs = [&](const std::int32_t* o, __m128i& left, __m128i& rightTexels) {
                auto pair = [&](int i) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(base + o[i])); };
                const __m128 low = _mm_castsi128_ps(_mm_unpacklo_epi64(pair(0), pair(1)));
                const __m128 high = _mm_castsi128_ps(_mm_unpacklo_epi64(pair(2), pair(3)));
                left = _mm_castps_si128(_mm_shuffle_ps(low, high, _MM_SHUFFLE(2, 0, 2, 0)));
                rightTexels = _mm_castps_si128(_mm_shuffle_ps(low, high, _MM_SHUFFLE(3, 1, 3, 1)));
            };
            pairs(o00, p00, p10);
            pairs(o01, p01, p11);
        } else {
            alignas(16) std::int32_t o10[4], o11[4];
            offsets(xb, ya, o10);
            offsets(xb, yb, o11);
            auto texels = [&](const std::int32_t* o) {
                auto at = [&](int i) { return *reinterpret_cast<const int*>(base + o[i]); };
                return _mm_setr_epi32(at(0), at(1), at(2), at(3));
            };
            p00 = texels(o00), p10 = texels(o10), p01 = texels(o01), p11 = texels(o11);
        }
    } else {
        alignas(16) std::int32_t xa[4], xb[4], ya[4], yb[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(xa), AddressTexels(x0, tex.width, stage.addressU));
        _mm_store_si128(reinterpret_cast<__m128i*>(xb),
                        AddressTexels(_mm_add_epi32(x0, one), tex.width, stage.addressU));
        _mm_store_si128(reinterpret_cast<__m128i*>(ya), AddressTexels(y0, tex.height, stage.addressV));
        _mm_store_si128(reinterpret_cast<__m128i*>(yb),
                        AddressTexels(_mm_add_epi32(y0, one), tex.height, stage.addressV));
        // Texels straight into vectors: four scalar stores read back as one vector would stall.
        const std::uint32_t* r0[4] = {tex.Row(ya[0]), tex.Row(ya[1]), tex.Row(ya[2]), tex.Row(ya[3])};
        const std::uint32_t* r1[4] = {tex.Row(yb[0]), tex.Row(yb[1]), tex.Row(yb[2]), tex.Row(yb[3])};
        auto gather = [](const std::uint32_t* const* rows, const std::int32_t* xs) {
            return _mm_setr_epi32(static_cast<int>(rows[0][xs[0]]), static_cast<int>(rows[1][xs[1]]),
                                  static_cast<int>(rows[2][xs[2]]), static_cast<int>(rows[3][xs[3]]));
        };
        const __m128i right = _mm_load_si128(reinterpret_cast<const __m128i*>(xb));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(
                right, _mm_add_epi32(_mm_load_si128(reinterpret_cast<const __m128i*>(xa)), one))) == 0xFFFF) {
            // No lane wraps or clamps sideways: each row's two texels are neighbours, read as one
            // 64-bit pair and split into left and right texels.
            auto pairs = [&](const std::uint32_t* const* rows, __m128i& left, __m128i& rightTexels) {
                auto pair = [&](int i) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(rows[i] + xa[i])); };
                const __m128 low = _mm_castsi128_ps(_mm_unpacklo_epi64(pair(0), pair(1)));
                const __m128 high = _mm_castsi128_ps(_mm_unpacklo_epi64(pair(2), pair(3)));
                left = _mm_castps_si128(_mm_shuffle_ps(low, high, _MM_SHUFFLE(2, 0, 2, 0)));
                rightTexels = _mm_castps_si128(_mm_shuffle_ps(low, high, _MM_SHUFFLE(3, 1, 3, 1)));
            };
            pairs(r0, p00, p10);
            pairs(r1, p01, p11);
        } else {
            p00 = gather(r0, xa), p10 = gather(r0, xb), p01 = gather(r1, xa), p11 = gather(r1, xb);
        }
    }
    const __m128i fx = _mm_and_si128(_mm_srai_epi32(fu, 10), _mm_set1_epi32(63));
    const __m128i fy = _mm_and_si128(_mm_srai_epi32(fv, 8), _mm_set1_epi32(0xFF));
    if constexpr (kAvx2) {
        // Horizontally t0 * (64 - fx) + t1 * fx per channel, one multiply-add of interleaved
        // texel bytes against (64 - fx, fx) byte pairs. Vertically the 32-bit form below,
        // (top * (256 - fy) + bottom * fy + 128) >> 8, is top + ((bottom - top) * fy + 128) >> 8
        // since top * 256 has no fraction: one rounding high multiply by fy * 128 in 16 bits.
        const __m128i wx = _mm_or_si128(_mm_sub_epi32(_mm_set1_epi32(64), fx), _mm_slli_epi32(fx, 8));
        const __m128i wx2 = _mm_or_si128(wx, _mm_slli_epi32(wx, 16));
        const __m128i wy = _mm_slli_epi32(fy, 7);
        const __m128i wy2 = _mm_or_si128(wy, _mm_slli_epi32(wy, 16));
        auto pixels = [&](__m128i t0, __m128i t1, __m128i b0, __m128i b1, __m128i wxs, __m128i wys) {
            const __m128i top = _mm_maddubs_epi16(_mm_unpacklo_epi8(t0, t1), wxs);
            const __m128i bottom = _mm_maddubs_epi16(_mm_unpacklo_epi8(b0, b1), wxs);
            const __m128i middle = _mm_add_epi16(top, _mm_mulhrs_epi16(_mm_sub_epi16(bottom, top), wys));
            return _mm_srli_epi16(_mm_add_epi16(middle, _mm_set1_epi16(32)), 6);
        };
        // Pixels 0 and 1 from the low halves, 2 and 3 from the high halves moved down.
        auto high = [](__m128i v) { return _mm_unpackhi_epi64(v, v); };
        const __m128i first = pixels(p00, p10, p01, p11, _mm_unpacklo_epi32(wx2, wx2), _mm_unpacklo_epi32(wy2, wy2));
        const __m128i second = pixels(high(p00), high(p10), high(p01), high(p11), _mm_unpackhi_epi32(wx2, wx2),
                                      _mm_unpackhi_epi32(wy2, wy2));
        return _mm_packus_epi16(first, second);
    }
    // Weights in both 16-bit halves of a pixel's lane: the even bytes (blue, red) and the odd
    // ones (green, alpha) each sit in 16-bit lanes, two channels a pixel.
    const __m128i wx = _mm_or_si128(fx, _mm_slli_epi32(fx, 16));
    const __m128i iwx = _mm_sub_epi16(_mm_set1_epi16(64), wx);
    // Vertically top * (256 - fy) + bottom * fy, which equals 256 * top + (bottom - top) * fy:
    // one multiply-add of interleaved (top, bottom) pairs against (256 - fy, fy) pairs.
    const __m128i wy = _mm_or_si128(_mm_sub_epi32(_mm_set1_epi32(256), fy), _mm_slli_epi32(fy, 16));
    const __m128i wyLow = _mm_unpacklo_epi32(wy, wy), wyHigh = _mm_unpackhi_epi32(wy, wy);
    const __m128i low = _mm_set1_epi32(0x00FF00FF);
    const __m128i round8 = _mm_set1_epi32(128), round6 = _mm_set1_epi32(32);
    auto half = [&](int shift) {
        auto bytes = [&](__m128i pixels) { return _mm_and_si128(_mm_srli_epi32(pixels, shift), low); };
        const __m128i top = _mm_add_epi16(_mm_mullo_epi16(bytes(p00), iwx), _mm_mullo_epi16(bytes(p10), wx));
        const __m128i bottom = _mm_add_epi16(_mm_mullo_epi16(bytes(p01), iwx), _mm_mullo_epi16(bytes(p11), wx));
        auto finish = [&](__m128i sums) {
            const __m128i middle = _mm_srai_epi32(_mm_add_epi32(sums, round8), 8);
            return _mm_srai_epi32(_mm_add_epi32(middle, round6), 6);
        };
        const __m128i first = finish(_mm_madd_epi16(_mm_unpacklo_epi16(top, bottom), wyLow));
        const __m128i second = finish(_mm_madd_epi16(_mm_unpackhi_epi16(top, bottom), wyHigh));
        return _mm_packs_epi32(first, second); // back to two channels a pixel lane
    };
    return _mm_or_si128(half(0), _mm_slli_epi32(half(8), 8));
}

// round(a * b / 255) per channel of four pixels, in 16-bit lanes: even bytes, then odd ones.
inline __m128i ModulatePixels(__m128i a, __m128i b)
{
    const __m128i low = _mm_set1_epi32(0x00FF00FF), c128 = _mm_set1_epi16(128);
    auto half = [&](__m128i x, __m128i y) {
        const __m128i t = _mm_add_epi16(_mm_mullo_epi16(x, y), c128);
        return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
    };
    const __m128i even = half(_mm_and_si128(a, low), _mm_and_si128(b, low));
    const __m128i odd = half(_mm_and_si128(_mm_srli_epi32(a, 8), low), _mm_and_si128(_mm_srli_epi32(b, 8), low));
    return _mm_or_si128(even, _mm_slli_epi32(odd, 8));
}

// Combine for four lanes.
inline __m128i CombineLanes(SpanCase c, __m128i diffuse, __m128i texel)
{
    const bool product = c.color == Source::Product || c.alpha == Source::Product;
    const __m128i modulated = product ? ModulatePixels(texel, diffuse) : diffuse;
    auto pick = [&](Source source) {
        switch (source) {
        case Source::White:
            return _mm_set1_epi32(-1);
        case Source::Texture:
            return texel;
        case Source::Product:
            return modulated;
        case Source::Diffuse:
            break;
        }
        return diffuse;
    };
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    return _mm_or_si128(_mm_andnot_si128(alphaMask, pick(c.color)), _mm_and_si128(alphaMask, pick(c.alpha)));
}

template <bool kDepth, bool kTexture, bool kFlat, bool kBlend>
void DrawSpans(const Surface& target, const TriSetup& setup, const TriState& state, SpanCase c)
{
    const Plane* p = setup.planes;
    const TriStage& stage = state.stages[0];
    const DepthBuffer* depth = state.depth;
    const float depthMax = kDepth ? static_cast<float>((1u << depth->bits) - 1) : 0.0f;
    const __m128i depthMaxInt = _mm_set1_epi32(kDepth ? static_cast<int>((1u << depth->bits) - 1) : 0);
    const Compare func = state.depthFunc;
    const bool depthWrite = state.depthWrite;
    const __m128i lane = _mm_setr_epi32(0, 1, 2, 3);
    const bool maskWrap = kTexture && MasksWrap(stage);
    for (int y = setup.bounds.top; y < setup.bounds.bottom; ++y) {
        int left = 0, right = 0;
        if (!setup.RowSpan(y, left, right))
            continue;
        const float fy = static_cast<float>(y) + 0.5f;
        float rows[kPlaneCount];
        for (int k = 0; k <= kPlaneA; ++k)
            rows[k] = p[k].Row(fy);
        std::uint32_t* row = target.Row(y);
        std::uint32_t* depthRow = kDepth ? depth->values + static_cast<std::ptrdiff_t>(y) * depth->width : nullptr;
        const int rowEnd = kDepth ? std::min(target.width, depth->width) : target.width;
        // The buffers are larger than the caches and a triangle's next row is a pitch away,
        // too far for the hardware prefetcher: ask for it while this row is drawn.
        if (y + 1 < setup.bounds.bottom) {
            __builtin_prefetch(target.Row(y + 1) + left, 1);
            if constexpr (kDepth)
                __builtin_prefetch(depthRow + depth->width + left, 1);
        }
        for (int x = left; x < right; x += 4) {
            const int n = right - x < 4 ? right - x : 4;
            // Past the span but inside the row, whole vectors are read and the same values
            // written back; only at the target's right edge are lanes moved one by one.
            const bool whole = x + 4 <= rowEnd;
            const __m128i xs = _mm_add_epi32(_mm_set1_epi32(x), lane);
            __m128i live = _mm_cmplt_epi32(xs, _mm_set1_epi32(right));
            const __m128 fx = _mm_add_ps(_mm_cvtepi32_ps(xs), _mm_set1_ps(0.5f));
            // The target's pixels are asked for before the depth test, so that their load
            // overlaps the test rather than following it.
            __m128i before;
            if (whole) {
                before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
            } else {
                alignas(16) std::uint32_t part[4] = {0, 0, 0, 0};
                for (int i = 0; i < n; ++i)
                    part[i] = row[x + i];
                before = _mm_load_si128(reinterpret_cast<const __m128i*>(part));
            }
            __m128i storedDepth = _mm_setzero_si128();
            __m128i z = _mm_setzero_si128();
            if constexpr (kDepth) {
                if (whole) {
                    storedDepth = _mm_loadu_si128(reinterpret_cast<const __m128i*>(depthRow + x));
                } else {
                    alignas(16) std::uint32_t part[4] = {0, 0, 0, 0};
                    for (int i = 0; i < n; ++i)
                        part[i] = depthRow[x + i];
                    storedDepth = _mm_load_si128(reinterpret_cast<const __m128i*>(part));
                }
                z = Quantize(PlaneAt(p[kPlaneZ], rows[kPlaneZ], fx), depthMax, depthMaxInt);
                live = _mm_and_si128(live, DepthPasses(func, z, storedDepth));
                if (_mm_movemask_epi8(live) == 0)
                    continue;
            }
            const __m128 q = _mm_div_ps(_mm_set1_ps(1.0f), PlaneAt(p[kPlaneW], rows[kPlaneW], fx));
            __m128i diffuse = _mm_set1_epi32(static_cast<int>(setup.flatDiffuse));
            if constexpr (!kFlat) {
                const __m128i r = ToBytes(_mm_mul_ps(PlaneAt(p[kPlaneR], rows[kPlaneR], fx), q));
                const __m128i g = ToBytes(_mm_mul_ps(PlaneAt(p[kPlaneG], rows[kPlaneG], fx), q));
                const __m128i b = ToBytes(_mm_mul_ps(PlaneAt(p[kPlaneB], rows[kPlaneB], fx), q));
                const __m128i a = ToBytes(_mm_mul_ps(PlaneAt(p[kPlaneA], rows[kPlaneA], fx), q));
                diffuse = _mm_or_si128(_mm_or_si128(b, _mm_slli_epi32(g, 8)),
                                       _mm_or_si128(_mm_slli_epi32(r, 16), _mm_slli_epi32(a, 24)));
            }
            __m128i texel = _mm_set1_epi32(-1);
            if constexpr (kTexture)
                texel = SampleLanes(stage, maskWrap, _mm_mul_ps(PlaneAt(p[kPlaneU], rows[kPlaneU], fx), q),
                                    _mm_mul_ps(PlaneAt(p[kPlaneV], rows[kPlaneV], fx), q));
            __m128i color = CombineLanes(c, diffuse, texel);
            if constexpr (kBlend) {
                alignas(16) std::uint32_t blended[4], old[4];
                _mm_store_si128(reinterpret_cast<__m128i*>(blended), color);
                _mm_store_si128(reinterpret_cast<__m128i*>(old), before);
                for (int i = 0; i < n; ++i)
                    blended[i] = BlendOver(blended[i], old[i]);
                color = _mm_load_si128(reinterpret_cast<const __m128i*>(blended));
            }
            color = Select(live, color, before);
            if (whole) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x), color);
            } else {
                alignas(16) std::uint32_t out[4];
                _mm_store_si128(reinterpret_cast<__m128i*>(out), color);
                for (int i = 0; i < n; ++i)
                    row[x + i] = out[i];
            }
            if constexpr (kDepth) {
                if (depthWrite) {
                    const __m128i written = Select(live, z, storedDepth);
                    if (whole) {
                        _mm_storeu_si128(reinterpret_cast<__m128i*>(depthRow + x), written);
                    } else {
                        alignas(16) std::uint32_t zs[4];
                        _mm_store_si128(reinterpret_cast<__m128i*>(zs), written);
                        for (int i = 0; i < n; ++i)
                            depthRow[x + i] = zs[i];
                    }
                }
            }
        }
    }
}

template <bool kDepth, bool kTexture> TriSpanFn Pick(bool flat, bool blend)
{
    if (flat)
        return blend ? DrawSpans<kDepth, kTexture, true, true> : DrawSpans<kDepth, kTexture, true, false>;
    return blend ? DrawSpans<kDepth, kTexture, false, true> : DrawSpans<kDepth, kTexture, false, false>;
}

TriSpanFn PickSpans(const TriSpanKind& kind)
{
    if (kind.depth)
        return kind.texture ? Pick<true, true>(kind.flat, kind.blend) : Pick<true, false>(kind.flat, kind.blend);
    return kind.texture ? Pick<false, true>(kind.flat, kind.blend) : Pick<false, false>(kind.flat, kind.blend);
}
