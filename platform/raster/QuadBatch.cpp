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

// An unscaled, axis-aligned quad at whole pixels and texels within the set-up's range:
// position, size and source corner as integers. All six numbers are tested at once,
// since this runs for every glyph.
struct WholeQuad {
    int x0, y0, w, h, u0, v0;
};

[[gnu::always_inline]] inline bool AsWholeQuad(const Quad& quad, WholeQuad& out)
{
    static_assert(offsetof(Quad, edgeVx) == offsetof(Quad, x0) + 4 * sizeof(float));
    const __m128 a = _mm_loadu_ps(&quad.x0);     // x0 y0 edgeUx edgeUy
    const __m128 b = _mm_loadu_ps(&quad.edgeVx); // edgeVx edgeVy u0 v0
    const __m128i ia = _mm_cvttps_epi32(a), ib = _mm_cvttps_epi32(b);
    const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF)), limit = _mm_set1_ps(1.0e7f);
    // Within range (NaN fails) and whole: truncation gives the value back.
    const __m128 okA = _mm_and_ps(_mm_cmple_ps(_mm_and_ps(a, magnitude), limit), _mm_cmpeq_ps(_mm_cvtepi32_ps(ia), a));
    const __m128 okB = _mm_and_ps(_mm_cmple_ps(_mm_and_ps(b, magnitude), limit), _mm_cmpeq_ps(_mm_cvtepi32_ps(ib), b));
    if (_mm_movemask_ps(_mm_and_ps(okA, okB)) != 15) {
        return false;
    }
    alignas(16) int va[4], vb[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(va), ia);
    _mm_store_si128(reinterpret_cast<__m128i*>(vb), ib);
    out = WholeQuad{va[0], va[1], va[2], vb[1], vb[2], vb[3]};
    // No shear, a positive size, and edges as long as the source rectangle.
    return (va[3] | vb[0]) == 0 && out.w > 0 && out.h > 0 && quad.edgeUx == quad.u1 - quad.u0 &&
           quad.edgeVy == quad.v1 - quad.v0;
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
    m_drawable =
        target.pixels != nullptr && m_state.clip.left < m_state.clip.right && m_state.clip.top < m_state.clip.bottom;
    // Stage 1's texture must be one the set-up would take too, or the general path's
    // refusal would differ from what is drawn here.
    m_spanBlend = !UsingReferencePath() && SpanBlendState(m_state) && UsableTexture(m_state.stages[1].texture);
    SetTexture(state.stages[0].texture);
}

void QuadBatch::SetTexture(const Surface* texture)
{
    m_texture = texture ? *texture : Surface{};
    m_state.stages[0].texture = texture ? &m_texture : nullptr;
    m_textureOk = texture && UsableTexture(&m_texture);
    m_trim = SourceTrim{};
}

void QuadBatch::SetFilters(Filter stage0, Filter stage1)
{
    m_state.stages[0].filter = stage0;
    m_state.stages[1].filter = stage1;
}

void QuadBatch::UseDiffuse(std::uint32_t diffuse)
{
    m_state.diffuse = diffuse;
    Tint tint{};
    const bool copies = StageTint(m_state, tint) && (IsIdentity(tint) || tint.add[3] == 0);
    // Gathered rectangles were for the old tint.
    if (m_count > 0 && (!copies || !m_tintCopies || std::memcmp(&tint, &m_tint, sizeof tint) != 0)) {
        Flush();
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
        GatherRun<true>(quad, diffuse, stride, count);
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
    WholeQuad q;
    if (!m_spanBlend || !m_textureOk || !AsWholeQuad(quad, q)) {
        return false;
    }
    // Texels outside the texture need clamping: the general path's.
    if (q.u0 < 0 || q.v0 < 0 || q.u0 + q.w > m_texture.width || q.v0 + q.h > m_texture.height) {
        return false;
    }
    // The colour is nearly always the last quad's: tested here, not behind a call.
    if (!m_tintKnown || diffuse != m_tintDiffuse) {
        UseDiffuse(diffuse);
    }
    if (!m_tintCopies) {
        return false;
    }
    // Gathered quads' tints keep transparent texels transparent: rows of them draw nothing.
    if (!kTrim) {
    } else if (q.w == m_trim.w && q.h == m_trim.h && q.u0 == m_trim.u0 && q.v0 == m_trim.v0) {
        if (!m_trim.known) {
            MeasureTrim();
        }
        q.y0 += m_trim.top;
        q.v0 += m_trim.top;
        q.h -= m_trim.top + m_trim.bottom;
        if (q.h <= 0) {
            return true;
        }
    } else {
        m_trim = SourceTrim{q.w, q.h, q.u0, q.v0};
    }
    // Pixel centres sit half a pixel inside a whole-pixel edge: the quad covers exactly
    // [x0, x0 + w) x [y0, y0 + h), and pixel (x, y) reads texel (u0 + x - x0, v0 + y - y0).
    const RECT& clip = m_state.clip;
    const int left = std::max<int>(q.x0, clip.left), right = std::min<int>(q.x0 + q.w, clip.right);
    const int top = std::max<int>(q.y0, clip.top), bottom = std::min<int>(q.y0 + q.h, clip.bottom);
    if (left >= right || top >= bottom) {
        return true;
    }
    m_pending[m_count++] = CopyRect{m_target.Row(top) + left,
                                    m_texture.Row(q.v0 + top - q.y0) + q.u0 + left - q.x0,
                                    m_target.pitch,
                                    m_texture.pitch,
                                    right - left,
                                    bottom - top};
    if (m_count == kPending) {
        Flush();
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
}

void QuadBatch::Flush()
{
    if (m_count == 0) {
        return;
    }
    if (m_plain) {
        m_spans.over(m_pending, m_count);
    } else {
        m_spans.tintOver(m_pending, m_count, m_tint);
    }
    m_count = 0;
}

} // namespace vireo::raster
