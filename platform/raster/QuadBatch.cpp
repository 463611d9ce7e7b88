// The quad batch: unscaled quads at whole pixels and texels (text, GUI, untransformed
// sprites) in a state the copy kernels take become rectangles with no edge set-up; every
// other quad flushes what is gathered and takes the span path or the per-pixel reference.
#include "platform/raster/QuadBatch.h"

#include "platform/raster/RasterInternal.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <emmintrin.h>

namespace vireo::raster {

namespace {

// An unscaled, axis-aligned quad at whole pixels and texels within the set-up's range and
// within the texture (texels outside need the general path's clamping): position, size
// and source corner as integers. Every condition is a lane of two vector tests, since
// this runs for every glyph and sprite.
struct WholeQuad {
    int x0, y0, w, h, u0, v0;
    bool inside; // wholly within the clip
};

// limit: the texture's width and height as floats in the low lanes; clipLow, clipHigh: the
// clip's left, top and right, bottom.
[[gnu::always_inline]] inline bool AsWholeQuad(const Quad& quad, __m128 limit, __m128 clipLow, __m128 clipHigh,
                                               WholeQuad& out)
{
    static_assert(offsetof(Quad, edgeVx) == offsetof(Quad, x0) + 4 * sizeof(float));
    static_assert(offsetof(Quad, u1) == offsetof(Quad, u0) + 2 * sizeof(float));
    const __m128 a = _mm_loadu_ps(&quad.x0);     // x0 y0 edgeUx edgeUy
    const __m128 b = _mm_loadu_ps(&quad.edgeVx); // edgeVx edgeVy u0 v0
    const __m128i ia = _mm_cvttps_epi32(a), ib = _mm_cvttps_epi32(b);
    // Ranges (NaN fails): places within the set-up's, no shear, a size of at least one, the
    // source corner on the texture; and whole: truncation gives the value back.
    const __m128 lowA = _mm_setr_ps(-1.0e7f, -1.0e7f, 1, 0), highA = _mm_setr_ps(1.0e7f, 1.0e7f, 1.0e7f, 0);
    const __m128 lowB = _mm_setr_ps(0, 1, 0, 0), highB = _mm_setr_ps(0, 1.0e7f, 1.0e7f, 1.0e7f);
    const __m128 okA =
        _mm_and_ps(_mm_and_ps(_mm_cmpge_ps(a, lowA), _mm_cmple_ps(a, highA)), _mm_cmpeq_ps(_mm_cvtepi32_ps(ia), a));
    const __m128 okB =
        _mm_and_ps(_mm_and_ps(_mm_cmpge_ps(b, lowB), _mm_cmple_ps(b, highB)), _mm_cmpeq_ps(_mm_cvtepi32_ps(ib), b));
    // Edges as long as the source rectangle, whose far corner is within the texture.
    // u1 v1, loaded as one unaligned 8-byte lane (floats are only 4-byte aligned).
    const __m128 far = _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(&quad.u1)));
    const __m128 edges = _mm_shuffle_ps(a, b, _MM_SHUFFLE(1, 1, 2, 2));        // edgeUx edgeUx edgeVy edgeVy
    const __m128 size = _mm_shuffle_ps(edges, edges, _MM_SHUFFLE(2, 2, 2, 0)); // edgeUx edgeVy
    const __m128 okSource =
        _mm_and_ps(_mm_cmpeq_ps(_mm_sub_ps(far, _mm_movehl_ps(b, b)), size), _mm_cmple_ps(far, limit));
    if ((_mm_movemask_ps(_mm_and_ps(okA, okB)) | (_mm_movemask_ps(okSource) & 3) << 4) != 0x3F) {
        return false;
    }
    const __m128 inside = _mm_and_ps(_mm_cmpge_ps(a, clipLow), _mm_cmple_ps(_mm_add_ps(a, size), clipHigh));
    alignas(16) int va[4], vb[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(va), ia);
    _mm_store_si128(reinterpret_cast<__m128i*>(vb), ib);
    out = WholeQuad{va[0], va[1], va[2], vb[1], vb[2], vb[3], (_mm_movemask_ps(inside) & 3) == 3};
    return true;
}

// AsWholeQuad for a quad whose source rectangle is a measured trim's, found whole on this
// texture before: the rectangle's lanes are known good, so only the place (whole, within
// range) and the edges (the rectangle's size, no shear) are tested. The quad comes out with
// the transparent rows (top, bottom) left out and its source corner relative to the
// rectangle's: the caller adds that. Whole integers at once, so no field is stored twice.
[[gnu::always_inline]] inline bool AsRepeatQuad(const Quad& quad, const __m128& low, const __m128& high,
                                                const __m128& edgeV, const __m128& size, __m128 clipLow,
                                                __m128 clipHigh, int top, int bottom, WholeQuad& out)
{
    const __m128 a = _mm_loadu_ps(&quad.x0); // x0 y0 edgeUx edgeUy
    // edgeVx edgeVy as one unaligned 8-byte lane, as in AsWholeQuad.
    const __m128 b = _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(&quad.edgeVx)));
    const __m128i ia = _mm_cvttps_epi32(a);
    const __m128 ok = _mm_and_ps(_mm_and_ps(_mm_cmpge_ps(a, low), _mm_cmple_ps(a, high)),
                                 _mm_and_ps(_mm_cmpeq_ps(_mm_cvtepi32_ps(ia), a), _mm_cmpeq_ps(b, edgeV)));
    if (_mm_movemask_ps(ok) != 15) {
        return false;
    }
    const __m128 inside = _mm_and_ps(_mm_cmpge_ps(a, clipLow), _mm_cmple_ps(_mm_add_ps(a, size), clipHigh));
    alignas(16) int va[4], vs[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(va), ia);
    _mm_store_si128(reinterpret_cast<__m128i*>(vs), _mm_cvttps_epi32(size));
    out = WholeQuad{va[0], va[1] + top, vs[0], vs[1] - top - bottom, 0, top, (_mm_movemask_ps(inside) & 3) == 3};
    return true;
}

RECT ClipToTarget(const RECT& clip, const Surface& target)
{
    return RECT{std::max<LONG>(clip.left, 0), std::max<LONG>(clip.top, 0), std::min<LONG>(clip.right, target.width),
                std::min<LONG>(clip.bottom, target.height)};
}

} // namespace

QuadBatch::QuadBatch(const Surface& target, const QuadState& state)
    : m_target(target), m_state(state), m_spans(ActiveSpans())
{
    m_state.clip = ClipToTarget(state.clip, target);
    m_clipLow = _mm_setr_ps(static_cast<float>(m_state.clip.left), static_cast<float>(m_state.clip.top), 0, 0);
    m_clipHigh = _mm_setr_ps(static_cast<float>(m_state.clip.right), static_cast<float>(m_state.clip.bottom), 0, 0);
    m_drawable =
        target.pixels != nullptr && m_state.clip.left < m_state.clip.right && m_state.clip.top < m_state.clip.bottom;
    // Stage 1's texture must be one the set-up would take too, or the general path's
    // refusal would differ from what is drawn here.
    m_spanBlend = !UsingReferencePath() && SpanBlendState(m_state) && UsableTexture(m_state.stages[1].texture);
    m_tintIsDiffuse = TintIsDiffuse(m_state);
    SetTexture(state.stages[0].texture);
}

void QuadBatch::SetTexture(const Surface* texture)
{
    m_texture = texture ? *texture : Surface{};
    m_state.stages[0].texture = texture ? &m_texture : nullptr;
    m_gathers = m_spanBlend && texture && UsableTexture(&m_texture);
    m_pitches = static_cast<std::uint32_t>(m_target.pitch) |
                static_cast<std::uint64_t>(static_cast<std::uint32_t>(m_texture.pitch)) << 32;
    m_textureLimit = _mm_setr_ps(static_cast<float>(m_texture.width), static_cast<float>(m_texture.height), 0, 0);
    m_trim = SourceTrim{};
    m_blockKnown = false;
}

void QuadBatch::SetFilters(Filter stage0, Filter stage1)
{
    m_state.stages[0].filter = stage0;
    m_state.stages[1].filter = stage1;
}

void QuadBatch::UseDiffuse(std::uint32_t diffuse, bool keepList)
{
    m_state.diffuse = diffuse;
    Tint tint{};
    bool copies = true;
    if (m_tintIsDiffuse) {
        DiffuseTint(diffuse, tint);
    } else {
        copies = StageTint(m_state, tint) && (IsIdentity(tint) || tint.add[3] == 0);
    }
    if (!copies || !m_tintCopies || std::memcmp(&tint, &m_tint, sizeof tint) != 0) {
        // A short run under the old tint (particles: a colour a sprite) stays in the list with
        // its tint beside it. A long one is blended now: its tint's own kernel pays for a call.
        // So are glyphs (keepList false), whose own kernel beats the one of several tints.
        if (keepList && copies && m_tintCopies && !m_trim.tinted && m_count - m_tinted < kMixRun) {
            std::fill(m_tints + m_tinted, m_tints + m_count, m_tint);
            m_tinted = m_count;
        } else {
            // Gathered rectangles were for the old tint, and so was the block.
            if (m_count > 0) {
                Flush();
            }
            if (m_trim.tinted) {
                LeaveBlock();
            }
        }
    }
    m_tint = tint;
    m_tintCopies = copies;
    m_plain = copies && IsIdentity(tint);
    m_tintDiffuse = diffuse;
    m_tintKnown = true;
}

void QuadBatch::Draw(const Quad& quad, std::uint32_t diffuse)
{
    if (!m_drawable) {
        return;
    }
    if (Gather<false>(quad, diffuse)) {
        return;
    }
    DrawAlone(quad, diffuse);
}

void QuadBatch::DrawRun(const Quad* quads, const std::uint32_t* diffuses, std::size_t stride, std::size_t count)
{
    if (!m_drawable) {
        return;
    }
    const auto* quad = reinterpret_cast<const unsigned char*>(quads);
    const auto* diffuse = reinterpret_cast<const unsigned char*>(diffuses);
    // The second quad takes the first one's source rectangle: a run of sprites. (Glyph runs
    // between page changes are often a few quads: those skip the test.)
    const auto* second = reinterpret_cast<const Quad*>(quad + stride);
    if (count >= kTrimRun && second->u0 == quads->u0 && second->v0 == quads->v0 && second->u1 == quads->u1 &&
        second->v1 == quads->v1) {
        m_runEnd = quad + stride * count;
        m_runStride = stride;
        m_diffuseOffset = diffuse - quad;
        GatherRun<true>(quad, diffuse, stride, count);
        // The block serves this run alone (its look ahead ends with it): what comes next
        // may read the texture.
        if (m_trim.tinted) {
            LeaveBlock();
        }
    } else {
        GatherRun<false>(quad, diffuse, stride, count);
    }
}

template <bool kTrim>
void QuadBatch::GatherRun(const unsigned char* quad, const unsigned char* diffuse, std::size_t stride,
                          std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i, quad += stride, diffuse += stride) {
        const Quad& q = *reinterpret_cast<const Quad*>(quad);
        const std::uint32_t d = *reinterpret_cast<const std::uint32_t*>(diffuse);
        if (!Gather<kTrim>(q, d)) {
            DrawAlone(q, d);
        }
    }
}

void QuadBatch::DrawAlone(const Quad& quad, std::uint32_t diffuse)
{
    Flush();
    ++m_alone;
    m_state.diffuse = diffuse;
    QuadSetup setup;
    if (!SetupQuad(quad, m_state, setup)) {
        return;
    }
    if (UsingReferencePath() || !DrawQuadSpans(m_target, setup, m_state)) {
        DrawQuadReference(m_target, setup, m_state);
    }
}

template <bool kTrim> bool QuadBatch::Gather(const Quad& quad, std::uint32_t diffuse)
{
    if (!m_gathers) {
        return false;
    }
    // The colour is nearly always the last quad's: tested here, not behind a call, and
    // before the quad's tests, whose results then stay in registers.
    if (!m_tintKnown || diffuse != m_tintDiffuse) {
        UseDiffuse(diffuse, kTrim);
    }
    // Sprites repeat a rectangle whose trim is measured: its texture tests are done.
    const __m128 source = _mm_loadu_ps(&quad.u0);
    const bool repeat = kTrim && m_trim.known && _mm_movemask_ps(_mm_cmpeq_ps(source, m_trim.source)) == 15;
    WholeQuad q;
    if (repeat) {
        if (!AsRepeatQuad(quad, m_trim.low, m_trim.high, m_trim.edgeV, m_trim.size, m_clipLow, m_clipHigh, m_trim.top,
                          m_trim.bottom, q)) {
            return false;
        }
        q.u0 += m_trim.u0;
        q.v0 += m_trim.v0;
    } else if (!AsWholeQuad(quad, m_textureLimit, m_clipLow, m_clipHigh, q)) {
        return false;
    }
    if (!m_tintCopies) {
        return false;
    }
    // Gathered quads' tints keep transparent texels transparent: rows of them draw nothing.
    if constexpr (kTrim) {
        if (repeat) {
            if (q.h <= 0) {
                return true;
            }
            // Inside the clip, its source and size are the trim's, worked out once.
            if (q.inside) {
                CopyRect& rect = m_pending[m_count++];
                rect.dst = m_target.Row(q.y0) + q.x0;
                rect.src = m_trim.src;
                std::memcpy(&rect.dstPitch, &m_trim.pitches, sizeof m_trim.pitches);
                std::memcpy(&rect.count, &m_trim.rectSize, sizeof m_trim.rectSize);
                rect.dstRoom = m_target.width - q.x0;
                if (m_count == kPending) {
                    Flush();
                    // A full list of one colour: the moment to see whether the block pays,
                    // which costs repeats of a colour nothing until then.
                    UseBlock(quad);
                }
                return true;
            }
        } else if (_mm_movemask_ps(_mm_cmpeq_ps(source, m_trim.source)) == 15) {
            MeasureTrim();
            q.y0 += m_trim.top;
            q.v0 += m_trim.top;
            q.h -= m_trim.top + m_trim.bottom;
            if (q.h <= 0) {
                return true;
            }
        } else {
            if (m_trim.tinted) {
                LeaveBlock();
            }
            m_trim = SourceTrim{source, q.w, q.h, q.u0, q.v0};
        }
    }
    // Field by field, the two pitches and the size as one 8-byte store each: built as one
    // record, the compiler assembles it in a vector register lane by lane.
    static_assert(offsetof(CopyRect, srcPitch) == offsetof(CopyRect, dstPitch) + 4 &&
                  offsetof(CopyRect, rows) == offsetof(CopyRect, count) + 4);
    // Pixel centres sit half a pixel inside a whole-pixel edge: the quad covers exactly
    // [x0, x0 + w) x [y0, y0 + h), and pixel (x, y) reads texel (u0 + x - x0, v0 + y - y0).
    if (q.inside) {
        CopyRect& rect = m_pending[m_count++];
        rect.dst = m_target.Row(q.y0) + q.x0;
        rect.src = m_texture.Row(q.v0) + q.u0;
        const std::uint64_t size =
            static_cast<std::uint32_t>(q.w) | static_cast<std::uint64_t>(static_cast<std::uint32_t>(q.h)) << 32;
        std::memcpy(&rect.dstPitch, &m_pitches, sizeof m_pitches);
        std::memcpy(&rect.count, &size, sizeof size);
        rect.dstRoom = m_target.width - q.x0;
        if (m_count == kPending) {
            Flush();
        }
        return true;
    }
    const RECT& clip = m_state.clip;
    const int left = std::max<int>(q.x0, clip.left), right = std::min<int>(q.x0 + q.w, clip.right);
    const int top = std::max<int>(q.y0, clip.top), bottom = std::min<int>(q.y0 + q.h, clip.bottom);
    if (left >= right || top >= bottom) {
        return true;
    }
    // A repeat's texels are the trim's, which may be the block's.
    const std::uint32_t* origin = m_texture.Row(q.v0) + q.u0;
    std::uint64_t pitches = m_pitches;
    if (repeat) {
        origin = m_trim.src;
        pitches = m_trim.pitches;
    }
    CopyRect& rect = m_pending[m_count++];
    rect.dst = m_target.Row(top) + left;
    rect.src = reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const char*>(origin) +
                                                      static_cast<std::ptrdiff_t>(pitches >> 32) * (top - q.y0)) +
               left - q.x0;
    const std::uint64_t size = static_cast<std::uint32_t>(right - left) |
                               static_cast<std::uint64_t>(static_cast<std::uint32_t>(bottom - top)) << 32;
    std::memcpy(&rect.dstPitch, &pitches, sizeof pitches);
    std::memcpy(&rect.count, &size, sizeof size);
    rect.dstRoom = m_target.width - left;
    if (m_count == kPending) {
        Flush();
        if (repeat) {
            UseBlock(quad); // as for a repeat inside the clip
        }
    }
    return true;
}

void QuadBatch::MeasureTrim()
{
    auto transparent = [&](int v) {
        const std::uint32_t* row = m_texture.Row(v) + m_trim.u0;
        std::uint32_t any = 0;
        for (int x = 0; x < m_trim.w; ++x) {
            any |= row[x];
        }
        return (any >> 24) == 0;
    };
    int top = 0, bottom = 0;
    while (top < m_trim.h && transparent(m_trim.v0 + top)) {
        ++top;
    }
    while (top + bottom < m_trim.h && transparent(m_trim.v0 + m_trim.h - 1 - bottom)) {
        ++bottom;
    }
    m_trim.top = top;
    m_trim.bottom = bottom;
    m_trim.known = true;
    // What AsRepeatQuad compares a repeat's place and edges with.
    const float w = static_cast<float>(m_trim.w), h = static_cast<float>(m_trim.h);
    m_trim.low = _mm_setr_ps(-1.0e7f, -1.0e7f, w, 0);
    m_trim.high = _mm_setr_ps(1.0e7f, 1.0e7f, w, 0);
    m_trim.edgeV = _mm_setr_ps(0, h, 0, 0);
    m_trim.size = _mm_setr_ps(w, h, 0, 0);
    m_trim.src = m_texture.Row(m_trim.v0 + top) + m_trim.u0;
    m_trim.rectSize = static_cast<std::uint32_t>(m_trim.w) |
                      static_cast<std::uint64_t>(static_cast<std::uint32_t>(m_trim.h - top - bottom)) << 32;
    m_trim.pitches = m_pitches;
}

void QuadBatch::UseBlock(const Quad& quad)
{
    const int rows = static_cast<int>(m_trim.rectSize >> 32);
    if (m_plain || m_trim.tinted || !TintBlock::Fits(m_trim.w, rows)) {
        return;
    }
    // The quads ahead, the farthest first: where the colour changes every few quads, that
    // one differs and settles it.
    const auto* here = reinterpret_cast<const unsigned char*>(&quad);
    const auto left = static_cast<std::size_t>(m_runEnd - here) / m_runStride - 1;
    for (std::size_t k = kBlockAhead; k >= 1; --k) {
        const unsigned char* record = here + m_runStride * std::min(k, left);
        if (k > left || *reinterpret_cast<const std::uint32_t*>(record + m_diffuseOffset) != m_tintDiffuse ||
            _mm_movemask_ps(_mm_cmpeq_ps(_mm_loadu_ps(&reinterpret_cast<const Quad*>(record)->u0), m_trim.source)) !=
                15) {
            return;
        }
    }
    if (!m_blockKnown || _mm_movemask_ps(_mm_cmpeq_ps(m_blockSource, m_trim.source)) != 15 ||
        std::memcmp(&m_blockTint, &m_tint, sizeof m_tint) != 0) {
        m_block.Build(m_trim.src, m_texture.pitch, m_trim.w, rows, m_tint);
        m_blockKnown = true;
        m_blockSource = m_trim.source;
        m_blockTint = m_tint;
    }
    m_trim.src = m_block.Texels();
    m_trim.pitches = (m_pitches & 0xFFFFFFFFu) | static_cast<std::uint64_t>(static_cast<std::uint32_t>(m_trim.w) * 4u)
                                                     << 32;
    m_trim.tinted = true;
}

void QuadBatch::LeaveBlock()
{
    Flush();
    m_trim.src = m_texture.Row(m_trim.v0 + m_trim.top) + m_trim.u0;
    m_trim.pitches = m_pitches;
    m_trim.tinted = false;
}

void QuadBatch::Flush()
{
    if (m_count == 0) {
        return;
    }
    // Rectangles from the block hold tinted texels already (never in a list of several tints:
    // the block is left at a colour change).
    if (m_tinted > 0) {
        std::fill(m_tints + m_tinted, m_tints + m_count, m_tint);
        m_spans.tintOverEach(m_pending, m_tints, m_count);
    } else if (m_plain || m_trim.tinted) {
        m_spans.over(m_pending, m_count);
    } else {
        m_spans.tintOver(m_pending, m_count, m_tint);
    }
    m_count = 0;
    m_tinted = 0;
}

} // namespace vireo::raster
