// The quad batch: unscaled quads at whole pixels and texels (text, GUI, untransformed
// sprites) in a state the copy kernels take become rectangles with no edge set-up; every
// other quad flushes what is gathered and takes the span path or the per-pixel reference.
#include "platform/raster/QuadBatch.h"

#include "platform/raster/RasterInternal.h"

#include <algorithm>
#include <cstring>

namespace vireo::raster {

namespace {

// v as a whole number of pixels or texels within the set-up's range.
bool Whole(float v, int& out)
{
    if (!(v >= -1.0e7f && v <= 1.0e7f)) {
        return false;
    }
    out = static_cast<int>(v);
    return static_cast<float>(out) == v;
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
    m_drawable = target.pixels != nullptr && m_state.clip.left < m_state.clip.right &&
                 m_state.clip.top < m_state.clip.bottom;
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
}

void QuadBatch::SetFilters(Filter stage0, Filter stage1)
{
    m_state.stages[0].filter = stage0;
    m_state.stages[1].filter = stage1;
}

void QuadBatch::UseDiffuse(std::uint32_t diffuse)
{
    if (m_tintKnown && diffuse == m_tintDiffuse) {
        return;
    }
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
    if (Gather(quad, diffuse)) {
        return;
    }
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

bool QuadBatch::Gather(const Quad& quad, std::uint32_t diffuse)
{
    int x0 = 0, y0 = 0, u0 = 0, v0 = 0, w = 0, h = 0;
    if (!m_spanBlend || !m_textureOk || quad.edgeUy != 0 || quad.edgeVx != 0 || quad.edgeUx != quad.u1 - quad.u0 ||
        quad.edgeVy != quad.v1 - quad.v0 || !Whole(quad.x0, x0) || !Whole(quad.y0, y0) || !Whole(quad.u0, u0) ||
        !Whole(quad.v0, v0) || !Whole(quad.edgeUx, w) || !Whole(quad.edgeVy, h) || w <= 0 || h <= 0) {
        return false;
    }
    // Texels outside the texture need clamping: the general path's.
    if (u0 < 0 || v0 < 0 || u0 + w > m_texture.width || v0 + h > m_texture.height) {
        return false;
    }
    UseDiffuse(diffuse);
    if (!m_tintCopies) {
        return false;
    }
    // Pixel centres sit half a pixel inside a whole-pixel edge: the quad covers exactly
    // [x0, x0 + w) x [y0, y0 + h), and pixel (x, y) reads texel (u0 + x - x0, v0 + y - y0).
    const RECT& clip = m_state.clip;
    const int left = std::max<int>(x0, clip.left), right = std::min<int>(x0 + w, clip.right);
    const int top = std::max<int>(y0, clip.top), bottom = std::min<int>(y0 + h, clip.bottom);
    if (left >= right || top >= bottom) {
        return true;
    }
    m_pending[m_count++] = CopyRect{m_target.Row(top) + left,
                                    m_texture.Row(v0 + top - y0) + u0 + left - x0,
                                    m_target.pitch,
                                    m_texture.pitch,
                                    right - left,
                                    bottom - top};
    if (m_count == kPending) {
        Flush();
    }
    return true;
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
