// Span kernels written once over an instruction-set wrapper `Isa` (SSE2: 4 pixels a vector,
// AVX2: 8, AVX-512: 16). Included inside an anonymous namespace by SpansSse2.cpp and
// SpansAvx2.cpp, after the wrapper is defined there; it includes nothing itself. Each
// includer uses the entry points it needs (hence [[maybe_unused]]). Channels sit in 16-bit lanes,
// so every product x * k <= 255 * 255 fits a lane and a division by 255 is a high multiply.

using V = Isa::V;

inline std::uint32_t* NextRow(std::uint32_t* row, int pitch, int rows = 1)
{
    return reinterpret_cast<std::uint32_t*>(reinterpret_cast<char*>(row) + static_cast<std::ptrdiff_t>(pitch) * rows);
}
inline const std::uint32_t* NextRow(const std::uint32_t* row, int pitch, int rows = 1)
{
    return reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const char*>(row) +
                                                  static_cast<std::ptrdiff_t>(pitch) * rows);
}

// Target rows asked for this many rows ahead of the one being drawn: a sprite row is a few
// cache lines and the next one is a target pitch away, too short a stream for the hardware
// prefetcher, and a small sprite or glyph is drawn in less time than one row takes to come.
constexpr int kPrefetchRows = 8;

inline void PrefetchRow(const std::uint32_t* row, int count)
{
    const char* bytes = reinterpret_cast<const char*>(row);
    for (int offset = 0; offset < count * 4; offset += 64) {
        __builtin_prefetch(bytes + offset, 1);
    }
}

// The first rows at once, before any is drawn.
inline void PrefetchFirstRows(const CopyRect& rect)
{
    const int rows = rect.rows < kPrefetchRows ? rect.rows : kPrefetchRows;
    for (int row = 0; row < rows; ++row) {
        PrefetchRow(NextRow(rect.dst, rect.dstPitch, row), rect.count);
    }
}

// The tinted kernel works on even and odd bytes in place instead of widening through unpack
// and pack: `s & 0x00FF00FF` holds blue and red, `s >> 8` (16-bit lanes) green and alpha,
// each channel in its own 16-bit lane. That costs two plain ALU operations where widening
// costs shuffles, and the halves recombine with a shift and an or. The constants live in
// one place so the loop keeps them in registers.
struct TintConstants {
    V alphaMask, low, c128, c257, mulEven, mulOdd, addEven, addOdd;
    // White texels: the colour mask, and their tinted blue/red and green (tint of 255 is
    // add + mul exactly) beside an alpha lane mask.
    V colorMask, whiteEven, whiteGreen, alphaLanes;
    // White texels whose alpha passes: xor that turns (s >> 8) | (d & ~low) into BlendHalves'
    // green/alpha operand, putting the tinted green (from s's green of 255) in byte 0.
    V whiteOddFlip;
    V flip;       // 0x80 in every byte: unsigned byte to signed byte minus 128
    V blendRound; // 32768, see BlendHalves

    explicit TintConstants(const Tint& tint)
        : alphaMask(Isa::Set32(0xFF000000u)), low(Isa::Set32(0x00FF00FFu)), c128(Isa::Set16(128)),
          c257(Isa::Set16(257)), colorMask(Isa::Set32(0x00FFFFFFu)), alphaLanes(Isa::Set32(0xFFFF0000u)),
          flip(Isa::Set32(0x80808080u)), blendRound(Isa::Set16(-32768))
    {
        Retint(tint);
        // GCC would rather rebuild these two in the loop (three instructions each) than keep
        // them in registers; hiding their values from it stops that.
        asm("" : "+x"(c257), "+x"(blendRound));
    }
    // The vectors that depend on the tint, the others kept: lists whose rectangles carry a
    // tint each make the rest once.
    void Retint(const Tint& tint)
    {
        mulEven = Pair(tint.mul[0], tint.mul[2]);
        mulOdd = Pair(tint.mul[1], tint.mul[3]);
        addEven = Pair(tint.add[0], tint.add[2]);
        addOdd = Pair(tint.add[1], tint.add[3]);
        whiteEven = Pair(tint.add[0] + tint.mul[0], tint.add[2] + tint.mul[2]);
        whiteGreen = Pair(tint.add[1] + tint.mul[1], 0);
        whiteOddFlip =
            Isa::Set32(0x80808000u | ((0x7Fu ^ static_cast<std::uint32_t>(tint.add[1] + tint.mul[1])) & 0xFFu));
    }
    // The same constants in the low part of wider vectors: narrow(v) is that part, which
    // costs nothing, so lists of both widths hold one set of constants.
    template <typename Wide, typename Narrow>
    TintConstants(const Wide& w, Narrow narrow)
        : alphaMask(narrow(w.alphaMask)), low(narrow(w.low)), c128(narrow(w.c128)), c257(narrow(w.c257)),
          mulEven(narrow(w.mulEven)), mulOdd(narrow(w.mulOdd)), addEven(narrow(w.addEven)), addOdd(narrow(w.addOdd)),
          colorMask(narrow(w.colorMask)), whiteEven(narrow(w.whiteEven)), whiteGreen(narrow(w.whiteGreen)),
          alphaLanes(narrow(w.alphaLanes)), whiteOddFlip(narrow(w.whiteOddFlip)), flip(narrow(w.flip)),
          blendRound(narrow(w.blendRound))
    {
    }
    static V Pair(int even, int odd) { return Isa::Set32(static_cast<std::uint32_t>(even | odd << 16)); }
};

template <bool kAdd> inline V TintHalf(V half, V mul, V add, const TintConstants& k)
{
    const V scaled = Isa::MulHi16(Isa::Add16(Isa::Mul16(half, mul), k.c128), k.c257);
    return kAdd ? Isa::Add16(add, scaled) : scaled;
}

// Blends the tinted halves te (blue, red) and to (green, alpha) over d; w is
// Isa::AlphaWeights(to). With a byte multiply-add it holds, in every 16-bit lane, the
// pixel's tinted alpha a in the low byte and 255 - a in the high one, and (colours biased
// by -128 to fit its signed operand):
//   a * (c - 128) + (255 - a) * (d - 128) + 32768 = a * c + (255 - a) * d + 128,
// and the left side never leaves 16 bits (|sum| <= 255 * 128); one high multiply then
// divides by 255 exactly as Div255 does.
// (I is Isa, a parameter so that the byte multiply-add branch is only compiled where it exists.)
template <typename I = Isa> inline V BlendHalves(V te, V to, V d, V w, const TintConstants& k)
{
    if constexpr (I::kHasMaddubs) {
        const V pe = I::OrXor(te, I::Sll16(d, 8), k.flip);
        const V po = I::Xor(I::OrAndNot(to, d, k.low), k.flip);
        const V be = Isa::MulHi16(Isa::Add16(Isa::MaddUbs(w, pe), k.blendRound), k.c257);
        const V bo = Isa::MulHi16(Isa::Add16(Isa::MaddUbs(w, po), k.blendRound), k.c257);
        return Isa::Or(be, Isa::Sll16(bo, 8));
    } else {
        const V a = w; // the alpha in both lanes
        const V ia = Isa::Sub16(Isa::Set16(255), a);
        const V be =
            Isa::MulHi16(Isa::Add16(Isa::Add16(Isa::Mul16(te, a), Isa::Mul16(Isa::And(d, k.low), ia)), k.c128), k.c257);
        const V bo =
            Isa::MulHi16(Isa::Add16(Isa::Add16(Isa::Mul16(to, a), Isa::Mul16(Isa::Srl16(d, 8), ia)), k.c128), k.c257);
        return Isa::Or(be, Isa::Sll16(bo, 8));
    }
}

// BlendHalves for white texels whose alpha the tint passes unchanged: the tint's colour over
// d at the texel's own alpha. odd is s >> 8; its green byte is 255, which the flip turns
// into the tinted green, so the green/alpha operand is one bit select and one xor.
template <typename I = Isa> inline V BlendWhite(V odd, V d, const TintConstants& k)
{
    if constexpr (I::kHasMaddubs) {
        const V pe = I::OrXor(k.whiteEven, I::Sll16(d, 8), k.flip);
        const V po = I::Xor(I::OrAndNot(odd, d, k.low), k.whiteOddFlip);
        const V w = Isa::AlphaWeights(odd);
        const V be = Isa::MulHi16(Isa::Add16(Isa::MaddUbs(w, pe), k.blendRound), k.c257);
        const V bo = Isa::MulHi16(Isa::Add16(Isa::MaddUbs(w, po), k.blendRound), k.c257);
        return Isa::Or(be, Isa::Sll16(bo, 8));
    } else {
        const V to = Isa::AndOr(odd, k.alphaLanes, k.whiteGreen);
        return BlendHalves(k.whiteEven, to, d, Isa::AlphaWeights(to), k);
    }
}

// A row's last count % kPixels pixels (all of a row narrower than a vector) as one vector:
// with masked loads and stores where the instruction set has them, so a glyph's short rows
// stay in vectors; one pixel at a time through pixel(x) otherwise. step(s, load, store) is
// the kernel's body for one vector; masked lanes load as transparent and are never stored.
// Made once per rectangle (every row has the same tail); I is Isa, a parameter so that the
// masked branch is only compiled where it exists.
template <typename I, bool kMasked = I::kMaskedTail> struct TailMaskOf {
    using Type = int; // unused
};
template <typename I> struct TailMaskOf<I, true> {
    using Type = decltype(I::TailMask(1));
};

// Whether the instruction set's masked store is slow enough (I::kWholeWhereRoom) that masked
// vectors are better loaded and stored whole where the target row has room. Tested as a
// constant beside the run-time flags, so other sets compile no whole-vector branch.
template <typename I> constexpr bool StoresWhole()
{
    if constexpr (requires { I::kWholeWhereRoom; }) {
        return I::kWholeWhereRoom;
    } else {
        return false;
    }
}
// Whether the masked vector at pixel `at` of a rectangle's rows is stored whole: room is
// CopyRect::dstRoom. Its lanes past the rectangle then blend transparent texels, which give
// the target pixels back as they were.
template <typename I> inline bool RoomForWhole(int room, int at)
{
    return StoresWhole<I>() && room >= at + I::kPixels;
}

template <typename I = Isa> class RowTail {
  public:
    // room: CopyRect::dstRoom.
    RowTail(int count, int room) : m_start(count - count % I::kPixels), m_count(count)
    {
        if constexpr (I::kMaskedTail) {
            if (m_start < count) {
                m_mask = I::TailMask(count - m_start);
                m_whole = RoomForWhole<I>(room, m_start);
            }
        }
    }
    int Start() const { return m_start; }

    template <typename Step, typename Pixel>
    void Draw(std::uint32_t* dst, const std::uint32_t* src, Step step, Pixel pixel) const
    {
        if (m_start >= m_count) {
            return;
        }
        if constexpr (I::kMaskedTail) {
            if (StoresWhole<I>() && m_whole) {
                step(
                    I::LoadTexels(src + m_start, m_mask), [&] { return I::Load(dst + m_start); },
                    [&](V out) { I::Store(dst + m_start, out); });
                return;
            }
            step(
                I::LoadTexels(src + m_start, m_mask), [&] { return I::LoadMasked(dst + m_start, m_mask); },
                [&](V out) { I::StoreMasked(dst + m_start, m_mask, out); });
        } else {
            for (int x = m_start; x < m_count; ++x) {
                pixel(x);
            }
        }
    }

  private:
    int m_start, m_count;
    typename TailMaskOf<I>::Type m_mask{};
    bool m_whole = false;
};

// Rows narrower than two vectors (glyphs, 8 x 8 sprites) where the instruction set has
// masked loads and stores: several rows a step, every load of the step before any store,
// since a load that follows a masked store waits for it. A row is one masked vector, or
// with kWide a whole vector and a masked one after it. step is the kernel's body as for
// RowTail::Draw; a vector it stores nothing to is written back as it was. kFull: rows of
// exactly one vector (8 x 8 sprites), loaded and stored whole, since masked loads and
// stores cost more than plain ones even with every lane on; likewise two-vector rows.
// room: the target row has room for the masked vector whole, and the instruction set
// would rather store it so (see RoomForWhole). kWhite: only if every texel of the group is
// white (colorMask all set; else false, with nothing stored), for glyphs tested once a group.
template <int kRows, bool kWide, typename I, bool kFull = false, bool kWhite = false, typename Mask, typename Step>
inline bool RowGroup(std::uint32_t*& dst, const std::uint32_t*& src, const CopyRect& rect, Mask mask, bool room,
                     Step step, V colorMask = V{})
{
    constexpr int kPer = kWide ? 2 : 1;           // vectors a row
    constexpr int kTail = kWide ? I::kPixels : 0; // where the masked vector starts
    std::uint32_t* d[kRows];
    const std::uint32_t* s[kRows];
    V in[kRows * kPer], under[kRows * kPer];
    for (int r = 0; r < kRows; ++r) {
        d[r] = r == 0 ? dst : NextRow(d[r - 1], rect.dstPitch);
        s[r] = r == 0 ? src : NextRow(s[r - 1], rect.srcPitch);
    }
    for (int r = 0; r < kRows; ++r) {
        if constexpr (kWide) {
            in[r * kPer] = I::Load(s[r]);
            under[r * kPer] = I::Load(d[r]);
        }
        if constexpr (kFull) {
            in[r * kPer + kPer - 1] = I::Load(s[r] + kTail);
            under[r * kPer + kPer - 1] = I::Load(d[r] + kTail);
        } else {
            in[r * kPer + kPer - 1] = I::LoadTexels(s[r] + kTail, mask);
            under[r * kPer + kPer - 1] =
                StoresWhole<I>() && room ? I::Load(d[r] + kTail) : I::LoadMasked(d[r] + kTail, mask);
        }
    }
    if constexpr (kWhite) {
        V all = in[0];
        for (int i = 1; i < kRows * kPer; ++i) {
            all = I::And(all, in[i]);
        }
        if (!I::AllSet(all, colorMask)) {
            return false;
        }
    }
    for (int i = 0; i < kRows * kPer; ++i) {
        V out = under[i];
        step(
            in[i], [&] { return under[i]; }, [&](V result) { out = result; });
        under[i] = out;
    }
    for (int r = 0; r < kRows; ++r) {
        if constexpr (kWide) {
            I::Store(d[r], under[r * kPer]);
        }
        if (kFull || (StoresWhole<I>() && room)) {
            I::Store(d[r] + kTail, under[r * kPer + kPer - 1]);
        } else {
            I::StoreMasked(d[r] + kTail, mask, under[r * kPer + kPer - 1]);
        }
    }
    dst = NextRow(d[kRows - 1], rect.dstPitch);
    src = NextRow(s[kRows - 1], rect.srcPitch);
    return true;
}

template <bool kWide, typename I, bool kFull = false, typename Step>
inline void GroupedRows(const CopyRect& rect, Step step)
{
    // Four narrow rows or two wide ones a step: eight vectors, which stay in registers.
    constexpr int kGroup = kWide ? 2 : 4;
    const auto mask = I::TailMask(kWide ? rect.count - I::kPixels : rect.count);
    const bool room = !kFull && RoomForWhole<I>(rect.dstRoom, kWide ? I::kPixels : 0);
    // Masked rows of one vector (glyphs) are not prefetched: a glyph's rows share their cache
    // lines with the glyphs beside it, on their way already, and the requests measured slower.
    constexpr bool kPrefetch = kWide || kFull;
    std::uint32_t* dst = rect.dst;
    const std::uint32_t* src = rect.src;
    if constexpr (kPrefetch) {
        PrefetchFirstRows(rect);
    }
    int row = 0;
    for (; row + kGroup <= rect.rows; row += kGroup) {
        for (int ahead = kPrefetchRows; kPrefetch && ahead < kPrefetchRows + kGroup && row + ahead < rect.rows;
             ++ahead) {
            PrefetchRow(NextRow(dst, rect.dstPitch, ahead), rect.count);
        }
        RowGroup<kGroup, kWide, I, kFull>(dst, src, rect, mask, room, step);
    }
    if (kGroup == 4 && row + 2 <= rect.rows) {
        RowGroup<2, kWide, I, kFull>(dst, src, rect, mask, room, step);
        row += 2;
    }
    if (row < rect.rows) {
        RowGroup<1, kWide, I, kFull>(dst, src, rect, mask, room, step);
    }
}

// The rows of a glyph (kWide: 9 to 16 texels a row, a whole vector and a masked one) in
// groups through step; with kWhite, as long as they are white texels, tested once a group
// rather than once a vector, so that the loop holds nothing but the white blend. How many
// rows it drew (all of them for a glyph). A glyph's last one to three rows are one group.
// (I is Isa, a parameter so that it is only compiled where rows have masked tails.)
template <bool kWide, bool kWhite, typename I = Isa, typename Step>
inline int GlyphRows(const CopyRect& rect, Step step, V colorMask)
{
    constexpr int kGroup = kWide ? 2 : 4;
    constexpr int kTwo = kWide ? 1 : 2, kThree = kWide ? 1 : 3; // a wide glyph's last row is a group alone
    const auto mask = I::TailMask(kWide ? rect.count - I::kPixels : rect.count);
    const bool room = RoomForWhole<I>(rect.dstRoom, kWide ? I::kPixels : 0);
    std::uint32_t* dst = rect.dst;
    const std::uint32_t* src = rect.src;
    int row = 0;
    for (; row + kGroup <= rect.rows; row += kGroup) {
        if (!RowGroup<kGroup, kWide, I, false, kWhite>(dst, src, rect, mask, room, step, colorMask)) {
            return row;
        }
    }
    bool drawn = true;
    switch (rect.rows - row) {
    case 3:
        drawn = RowGroup<kThree, kWide, I, false, kWhite>(dst, src, rect, mask, room, step, colorMask);
        break;
    case 2:
        drawn = RowGroup<kTwo, kWide, I, false, kWhite>(dst, src, rect, mask, room, step, colorMask);
        break;
    case 1:
        drawn = RowGroup<1, kWide, I, false, kWhite>(dst, src, rect, mask, room, step, colorMask);
        break;
    default:
        break;
    }
    return drawn ? rect.rows : row;
}

// rects[0] from row row on, then the rest of the list, through list(rects, n): for list loops
// that hand over part of the way through a rectangle.
template <typename List> inline void RestOfList(const CopyRect* rects, int n, int row, List list)
{
    const CopyRect& first = rects[0];
    const CopyRect rest{NextRow(first.dst, first.dstPitch, row),
                        NextRow(first.src, first.srcPitch, row),
                        first.dstPitch,
                        first.srcPitch,
                        first.count,
                        first.rows - row,
                        first.dstRoom};
    list(&rest, 1);
    list(rects + 1, n - 1);
}

// Whether the instruction set blends two rows of up to half a vector in one vector (I is Isa).
template <typename I> constexpr bool PairsRows()
{
    if constexpr (requires { I::kPairsRows; }) {
        return I::kPairsRows;
    } else {
        return false;
    }
}

// Rows of exactly half a vector (8 x 8 sprites) two to a vector, the upper row in the upper
// half: a vector's work does two rows where the instruction count, not the lanes, is what
// limits. kPairs vectors a step, all loads before any store, as RowGroup; alone: the last
// vector has one row, loaded and stored as both halves (the same pixels twice). Masked rows
// narrower than that (glyphs) are not paired: measured, they lost more than they gained.
template <int kPairs, typename I, typename Step>
inline void RowPairGroup(std::uint32_t*& dst, const std::uint32_t*& src, const CopyRect& rect, Step step,
                         bool alone = false)
{
    constexpr int kRows = 2 * kPairs;
    std::uint32_t* d[kRows];
    const std::uint32_t* s[kRows];
    for (int r = 0; r < kRows; ++r) {
        const bool repeat = alone && r == kRows - 1;
        d[r] = r == 0 ? dst : (repeat ? d[r - 1] : NextRow(d[r - 1], rect.dstPitch));
        s[r] = r == 0 ? src : (repeat ? s[r - 1] : NextRow(s[r - 1], rect.srcPitch));
    }
    V in[kPairs], under[kPairs];
    for (int p = 0; p < kPairs; ++p) {
        in[p] = I::LoadPair(s[2 * p], s[2 * p + 1]);
        under[p] = I::LoadPair(d[2 * p], d[2 * p + 1]);
    }
    for (int p = 0; p < kPairs; ++p) {
        V out = under[p];
        step(
            in[p], [&] { return under[p]; }, [&](V result) { out = result; });
        under[p] = out;
    }
    for (int p = 0; p < kPairs; ++p) {
        I::StorePair(d[2 * p], d[2 * p + 1], under[p]);
    }
    dst = NextRow(d[kRows - 1], rect.dstPitch);
    src = NextRow(s[kRows - 1], rect.srcPitch);
}

template <typename I, typename Step> [[gnu::always_inline]] inline void PairedRows(const CopyRect& in, Step step)
{
    // A copy: the stores below may alias the caller's rectangle for all GCC knows, so it
    // would read its fields again after each of them. Its width is known, which makes each
    // row's prefetch one request.
    CopyRect rect = in;
    rect.count = I::kPixels / 2;
    constexpr int kGroup = 8; // rows a step: four vectors in, four under
    std::uint32_t* dst = rect.dst;
    const std::uint32_t* src = rect.src;
    PrefetchFirstRows(rect);
    int row = 0;
    for (; row + kGroup <= rect.rows; row += kGroup) {
        for (int ahead = kPrefetchRows; ahead < kPrefetchRows + kGroup && row + ahead < rect.rows; ++ahead) {
            PrefetchRow(NextRow(dst, rect.dstPitch, ahead), rect.count);
        }
        RowPairGroup<kGroup / 2, I>(dst, src, rect, step);
    }
    if (row + 4 <= rect.rows) {
        RowPairGroup<2, I>(dst, src, rect, step);
        row += 4;
    }
    if (row + 2 <= rect.rows) {
        RowPairGroup<1, I>(dst, src, rect, step);
        row += 2;
    }
    if (row < rect.rows) {
        RowPairGroup<1, I>(dst, src, rect, step, true);
    }
}

// True when the rectangle was drawn: rows of one or two vectors, the last masked unless the
// row fills it (8 x 8 and 16 x 16 sprites with eight lanes). Rows of half a vector, where
// they pair, go through the list loops' runs (OverPairs, TintOverPairs) instead.
template <typename I = Isa, typename Step> inline bool NarrowRows(const CopyRect& rect, Step step)
{
    if constexpr (I::kMaskedTail) {
        if (rect.count == I::kPixels) {
            GroupedRows<false, I, true>(rect, step);
            return true;
        }
        if (rect.count < I::kPixels) {
            GroupedRows<false, I>(rect, step);
            return true;
        }
        if (rect.count < 2 * I::kPixels) {
            GroupedRows<true, I>(rect, step);
            return true;
        }
        if (rect.count == 2 * I::kPixels) {
            GroupedRows<true, I, true>(rect, step);
            return true;
        }
    }
    return false;
}

// Rows up to this wide (glyphs, small sprites) blend every vector without testing for the
// transparent and opaque shortcuts: on their short, varied rows the tests mispredict more
// than the blend costs, and the blend gives the shortcuts' pixels exactly anyway.
constexpr int kShortcutWidth = 16;

// Plain version: for each pixel, dst = BlendOver(src, dst).
// Mixed vectors take the tinted kernel's even/odd blend with an identity tint.
template <bool kShortcuts> inline auto OverStep(const TintConstants& k)
{
    return [&k, alphaMask = k.alphaMask](V s, auto loadDst, auto store) {
        if (kShortcuts && Isa::NoneSet(s, alphaMask)) {
            return;
        }
        if (kShortcuts && Isa::AllSet(s, alphaMask)) {
            store(s);
            return;
        }
        const V odd = Isa::Srl16(s, 8);
        store(BlendHalves(Isa::And(s, k.low), odd, loadDst(), Isa::AlphaWeights(odd), k));
    };
}

template <bool kShortcuts> inline void OverOne(const CopyRect& rect, const TintConstants& k)
{
    const auto step = OverStep<kShortcuts>(k);
    if (NarrowRows(rect, step)) {
        return;
    }
    std::uint32_t* dst = rect.dst;
    const std::uint32_t* src = rect.src;
    const int count = rect.count;
    const RowTail<> tail(count, rect.dstRoom);
    PrefetchFirstRows(rect);
    for (int row = 0; row < rect.rows; ++row, dst = NextRow(dst, rect.dstPitch), src = NextRow(src, rect.srcPitch)) {
        if (row + kPrefetchRows < rect.rows) {
            PrefetchRow(NextRow(dst, rect.dstPitch, kPrefetchRows), count);
        }
        for (int i = 0; i < tail.Start(); i += Isa::kPixels) {
            step(
                Isa::Load(src + i), [&] { return Isa::Load(dst + i); }, [&](V out) { Isa::Store(dst + i, out); });
        }
        tail.Draw(dst, src, step, [&](int x) {
            const std::uint32_t a = src[x] >> 24;
            if (a == 255) {
                dst[x] = src[x];
            } else if (a != 0) {
                dst[x] = BlendOver(src[x], dst[x]);
            }
        });
    }
}

// Wide rectangles (sprites) out of line, with constants of their own: their loop is
// compiled by itself, keeping them in registers, rather than inside the list loop beside
// the narrow paths. A wide rectangle pays for its constants many times over.
[[gnu::noinline]] void OverWide(const CopyRect& rect)
{
    const TintConstants k(Tint{{255, 255, 255, 255}, {0, 0, 0, 0}});
    OverOne<true>(rect, k);
}

// A run of rectangles whose rows pair (8 x 8 sprites), as TintOverPairs below.
// (I is Isa, a parameter so that it is only compiled where rows pair.)
template <typename I = Isa> [[gnu::noinline]] int OverPairs(const CopyRect* rects, int n, const TintConstants& shared)
{
    const TintConstants k = shared;
    const auto step = OverStep<false>(k);
    int r = 0;
    do {
        PairedRows<I>(rects[r], step);
    } while (++r < n && rects[r].count == I::kPixels / 2);
    return r;
}

// The constants are made once for the whole list: a glyph is a few short rows, and their
// set-up would otherwise cost about as much as blending them.

[[maybe_unused]] void OverRects(const CopyRect* rects, int n)
{
    const TintConstants k(Tint{{255, 255, 255, 255}, {0, 0, 0, 0}});
    for (int r = 0; r < n;) {
        if constexpr (PairsRows<Isa>()) {
            if (rects[r].count == Isa::kPixels / 2) {
                r += OverPairs(rects + r, n - r, k);
                continue;
            }
        }
        rects[r].count > kShortcutWidth ? OverWide(rects[r]) : OverOne<false>(rects[r], k);
        ++r;
    }
}

// A vector of white texels s tinted and blended over d. White texels (a glyph atlas: coverage
// in alpha over white) tint to the tint's own colour; only alpha is left to work out, and
// often it passes as it is (kAlphaPasses).
template <bool kAdd, bool kAlphaPasses> inline V TintWhite(V s, V d, const TintConstants& k)
{
    const V odd = Isa::Srl16(s, 8);
    if constexpr (kAlphaPasses) {
        return BlendWhite(odd, d, k);
    } else {
        const V to = TintHalf<kAdd>(odd, k.mulOdd, k.addOdd, k);
        return BlendHalves(k.whiteEven, to, d, Isa::AlphaWeights(to), k);
    }
}

// Plain version: for each pixel, dst = BlendOver(ApplyTint(src, tint), dst). kAdd is false
// when the tint has no additive part (modulate, select), which saves two adds a vector;
// kBlueRed is false when blue and red pass unchanged (an alpha-only tint), which saves
// their multiplies. The roundings are those of the reference: tint, then blend.
// kAlphaPasses: the tint leaves alpha as it is (mul 255, add 0), known per list so that the
// white texels' path has no test for it.
template <bool kAdd, bool kBlueRed, bool kAlphaPasses, bool kShortcuts>
inline auto TintStep(const Tint& tint, const TintConstants& k)
{
    const bool opaqueStaysOpaque = kShortcuts && tint.mul[3] == 255;
    // Narrow rows (glyphs) only: wide sprites are rarely white and their loop is tight already.
    auto white = [&k](V s, V d) { return TintWhite<kAdd, kAlphaPasses>(s, d, k); };
    return [&k, opaqueStaysOpaque, white](V s, auto loadDst, auto store) {
        if (kShortcuts && Isa::NoneSet(s, k.alphaMask)) {
            return;
        }
        if (!kShortcuts && Isa::AllSet(s, k.colorMask)) {
            store(white(s, loadDst()));
            return;
        }
        const V te = kBlueRed ? TintHalf<kAdd>(Isa::And(s, k.low), k.mulEven, k.addEven, k) : Isa::And(s, k.low);
        const V to = TintHalf<kAdd>(Isa::Srl16(s, 8), k.mulOdd, k.addOdd, k);
        if (opaqueStaysOpaque && Isa::AllSet(s, k.alphaMask)) {
            store(Isa::Or(te, Isa::Sll16(to, 8)));
            return;
        }
        // Opaque texels need no case of their own otherwise: their weights come out of
        // the tinted alpha like any other, and a branch per vector costs more.
        store(BlendHalves(te, to, loadDst(), Isa::AlphaWeights(to), k));
    };
}

template <bool kAdd, bool kBlueRed, bool kAlphaPasses, bool kShortcuts>
inline void TintOverOne(const CopyRect& rect, const Tint& tint, const TintConstants& k)
{
    const auto step = TintStep<kAdd, kBlueRed, kAlphaPasses, kShortcuts>(tint, k);
    if (NarrowRows(rect, step)) {
        return;
    }
    std::uint32_t* dst = rect.dst;
    const std::uint32_t* src = rect.src;
    const int count = rect.count;
    const RowTail<> tail(count, rect.dstRoom);
    PrefetchFirstRows(rect);
    for (int row = 0; row < rect.rows; ++row, dst = NextRow(dst, rect.dstPitch), src = NextRow(src, rect.srcPitch)) {
        if (row + kPrefetchRows < rect.rows) {
            PrefetchRow(NextRow(dst, rect.dstPitch, kPrefetchRows), count);
        }
        for (int i = 0; i < tail.Start(); i += Isa::kPixels) {
            step(
                Isa::Load(src + i), [&] { return Isa::Load(dst + i); }, [&](V out) { Isa::Store(dst + i, out); });
        }
        tail.Draw(dst, src, step, [&](int x) {
            if ((src[x] >> 24) != 0) {
                dst[x] = BlendOver(ApplyTint(src[x], tint), dst[x]);
            }
        });
    }
}

template <bool kAdd, bool kBlueRed> [[gnu::noinline]] void TintOverWide(const CopyRect& rect, const Tint& tint)
{
    const TintConstants k(tint);
    TintOverOne<kAdd, kBlueRed, false, true>(rect, tint, k); // wide rows take no white path
}

// A run of rectangles whose rows pair (8 x 8 sprites, which repeat one size) in a loop of its
// own: with the constants copied in, GCC keeps them in registers through the run instead of
// reloading them from the list loop's spills for every rectangle. How many it drew.
template <bool kAdd, bool kBlueRed, bool kAlphaPasses>
[[gnu::noinline]] int TintOverPairs(const CopyRect* rects, int n, const Tint& tint, const TintConstants& shared)
{
    const TintConstants k = shared;
    const auto step = TintStep<kAdd, kBlueRed, kAlphaPasses, false>(tint, k);
    int r = 0;
    do {
        PairedRows<Isa>(rects[r], step);
    } while (++r < n && rects[r].count == Isa::kPixels / 2);
    return r;
}

template <bool kAdd, bool kBlueRed, bool kAlphaPasses> void TintOverList(const CopyRect* rects, int n, const Tint& tint)
{
    const TintConstants k(tint);
    for (int r = 0; r < n;) {
        if constexpr (PairsRows<Isa>()) {
            if (rects[r].count == Isa::kPixels / 2) {
                r += TintOverPairs<kAdd, kBlueRed, kAlphaPasses>(rects + r, n - r, tint, k);
                continue;
            }
        }
        rects[r].count > kShortcutWidth ? TintOverWide<kAdd, kBlueRed>(rects[r], tint)
                                        : TintOverOne<kAdd, kBlueRed, kAlphaPasses, false>(rects[r], tint, k);
        ++r;
    }
}

// Calls list(add, blueRed, alphaPasses) with the variant exact for every one of n tints, as
// std::bool_constant values: an additive part if any has one, blue and red worked out if any
// changes them (c * 255 / 255 rounds back to c), the shortcut for alpha that passes only if
// every tint passes it. A kernel that has no use for one of them ignores it.
template <typename List> inline void ForTints(const Tint* tints, int n, List list)
{
    bool add = false, blueRed = false, alphaPasses = true;
    for (int i = 0; i < n; ++i) {
        const Tint& tint = tints[i];
        add = add || (tint.add[0] | tint.add[1] | tint.add[2] | tint.add[3]) != 0;
        blueRed = blueRed || tint.mul[0] != 255 || tint.mul[2] != 255;
        alphaPasses = alphaPasses && tint.mul[3] == 255 && tint.add[3] == 0;
    }
    const auto withAlpha = [&](auto a, auto b) {
        alphaPasses ? list(a, b, std::true_type{}) : list(a, b, std::false_type{});
    };
    if (add) {
        withAlpha(std::true_type{}, std::true_type{});
    } else if (blueRed) {
        withAlpha(std::false_type{}, std::true_type{});
    } else {
        withAlpha(std::false_type{}, std::false_type{});
    }
}

[[maybe_unused]] void TintOverRects(const CopyRect* rects, int n, const Tint& tint)
{
    ForTints(&tint, 1, [&](auto add, auto blueRed, auto alphaPasses) {
        TintOverList<add(), blueRed(), alphaPasses()>(rects, n, tint);
    });
}

// Lists whose rectangles each carry a tint (particles: a colour a sprite): the constants are
// made once a list and the tint's vectors once a rectangle.

// A run of rectangles whose rows pair, as TintOverPairs, each under its own tint.
template <bool kAdd, bool kBlueRed, bool kAlphaPasses, typename I = Isa>
[[gnu::noinline]] int TintEachPairs(const CopyRect* rects, const Tint* tints, int n, const TintConstants& shared)
{
    TintConstants k = shared;
    int r = 0;
    do {
        k.Retint(tints[r]);
        PairedRows<I>(rects[r], TintStep<kAdd, kBlueRed, kAlphaPasses, false>(tints[r], k));
    } while (++r < n && rects[r].count == I::kPixels / 2);
    return r;
}

// Wide rectangles, whose constants pay for themselves, take their own tint's variant.
template <bool kAdd, bool kBlueRed, bool kAlphaPasses>
void TintOverEachList(const CopyRect* rects, const Tint* tints, int n)
{
    TintConstants k(tints[0]);
    for (int r = 0; r < n;) {
        if constexpr (PairsRows<Isa>()) {
            if (rects[r].count == Isa::kPixels / 2) {
                r += TintEachPairs<kAdd, kBlueRed, kAlphaPasses>(rects + r, tints + r, n - r, k);
                continue;
            }
        }
        const Tint& tint = tints[r];
        if (rects[r].count > kShortcutWidth) {
            ForTints(&tint, 1, [&](auto add, auto blueRed, auto) { TintOverWide<add(), blueRed()>(rects[r], tint); });
        } else {
            k.Retint(tint);
            TintOverOne<kAdd, kBlueRed, kAlphaPasses, false>(rects[r], tint, k);
        }
        ++r;
    }
}

// tints[i] is rects[i]'s; each must have add[3] == 0, as for tintOver.
[[maybe_unused]] void TintOverEachRects(const CopyRect* rects, const Tint* tints, int n)
{
    ForTints(tints, n, [&](auto add, auto blueRed, auto alphaPasses) {
        TintOverEachList<add(), blueRed(), alphaPasses()>(rects, tints, n);
    });
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

inline int ClampTo(int v, int hi)
{
    return v < 0 ? 0 : (v > hi ? hi : v);
}

// Plain version: for each pixel, dst = BlendOver(ApplyTint(SamplePoint(tex, u, v)), dst).
[[maybe_unused]] void PointWalk(std::uint32_t* dst, int count, const TexWalk& walk, const Tint& tint)
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
