// The vertex stage: format parsing, transform and lighting with a small post-transform cache,
// primitive assembly, clipping of triangles and lines in clip space (near, far, a guard band
// for x and y, and w > 0), projection through the viewport, culling and the fill modes.
#include "platform/gfx/VertexPipeline.h"

#include "platform/gfx/Device.h"

#include <vireo/platform/D3DX9.h>

#include <cmath>
#include <cstring>

namespace vireo::gfx {

namespace {

constexpr float kMinW = 1e-6f;
// Planes a clip-space point must be on the inner side of: near, far, the guard band, w > 0.
constexpr int kPlanes = 7;

float PlaneDistance(int plane, const float c[4], float guard)
{
    switch (plane) {
    case 0:
        return c[2];
    case 1:
        return c[3] - c[2];
    case 2:
        return c[0] + guard * c[3];
    case 3:
        return guard * c[3] - c[0];
    case 4:
        return c[1] + guard * c[3];
    case 5:
        return guard * c[3] - c[1];
    default:
        return c[3] - kMinW;
    }
}

unsigned Outcode(const float c[4], float guard)
{
    unsigned code = 0;
    for (int p = 0; p < kPlanes; ++p)
        if (!(PlaneDistance(p, c, guard) >= 0.0f))
            code |= 1u << p;
    return code;
}

float ReadFloat(const std::uint8_t* p)
{
    float v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

DWORD ReadDword(const std::uint8_t* p)
{
    DWORD v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

void Transform(const float in[4], const D3DMATRIX& m, float out[4])
{
    for (int c = 0; c < 4; ++c)
        out[c] = in[0] * m.m[0][c] + in[1] * m.m[1][c] + in[2] * m.m[2][c] + in[3] * m.m[3][c];
}

void SetColor(D3DCOLOR argb, float out[4])
{
    out[0] = static_cast<float>((argb >> 16) & 0xFF);
    out[1] = static_cast<float>((argb >> 8) & 0xFF);
    out[2] = static_cast<float>(argb & 0xFF);
    out[3] = static_cast<float>(argb >> 24);
}

// A clip-space point with its attributes, for the clipper.
struct SClipVertex {
    float clip[4];
    raster::TriVertex attributes;
};

SClipVertex Lerp(const SClipVertex& a, const SClipVertex& b, float t)
{
    SClipVertex out;
    for (int i = 0; i < 4; ++i)
        out.clip[i] = a.clip[i] + (b.clip[i] - a.clip[i]) * t;
    const raster::TriVertex& p = a.attributes;
    const raster::TriVertex& q = b.attributes;
    raster::TriVertex& r = out.attributes;
    for (int i = 0; i < 4; ++i)
        r.diffuse[i] = p.diffuse[i] + (q.diffuse[i] - p.diffuse[i]) * t;
    for (int i = 0; i < 3; ++i)
        r.specular[i] = p.specular[i] + (q.specular[i] - p.specular[i]) * t;
    r.u = p.u + (q.u - p.u) * t;
    r.v = p.v + (q.v - p.v) * t;
    return out;
}

// Sutherland-Hodgman against the planes in `mask`; returns the vertex count left.
int ClipPolygon(SClipVertex* poly, int count, unsigned mask, float guard)
{
    SClipVertex scratch[16];
    for (int plane = 0; plane < kPlanes && count > 0; ++plane) {
        if (!(mask & (1u << plane)))
            continue;
        int out = 0;
        for (int i = 0; i < count; ++i) {
            const SClipVertex& a = poly[i];
            const SClipVertex& b = poly[(i + 1) % count];
            const float da = PlaneDistance(plane, a.clip, guard), db = PlaneDistance(plane, b.clip, guard);
            if (da >= 0.0f)
                scratch[out++] = a;
            if ((da >= 0.0f) != (db >= 0.0f) && out < 16)
                scratch[out++] = Lerp(a, b, da / (da - db));
        }
        count = out;
        for (int i = 0; i < count; ++i)
            poly[i] = scratch[i];
    }
    return count;
}

} // namespace

bool ParseFvf(DWORD fvf, SVertexLayout& layout)
{
    layout = SVertexLayout{};
    UINT offset = 0;
    switch (fvf & D3DFVF_POSITION_MASK) {
    case D3DFVF_XYZ:
        offset = 12;
        break;
    case D3DFVF_XYZRHW:
        offset = 16;
        layout.pretransformed = true;
        break;
    case D3DFVF_XYZB1:
    case D3DFVF_XYZB2:
    case D3DFVF_XYZB3:
    case D3DFVF_XYZB4:
    case D3DFVF_XYZB5:
        // Blend weights are stepped over; vertex blending is off.
        offset = 12 + 4 * (((fvf & D3DFVF_POSITION_MASK) - D3DFVF_XYZ) / 2);
        break;
    default:
        return false;
    }
    if (fvf & D3DFVF_NORMAL) {
        layout.normal = static_cast<int>(offset);
        offset += 12;
    }
    if (fvf & D3DFVF_PSIZE)
        offset += 4;
    if (fvf & D3DFVF_DIFFUSE) {
        layout.diffuse = static_cast<int>(offset);
        offset += 4;
    }
    if (fvf & D3DFVF_SPECULAR) {
        layout.specular = static_cast<int>(offset);
        offset += 4;
    }
    const DWORD sets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    if (sets > 8)
        return false;
    for (DWORD i = 0; i < sets; ++i) {
        static constexpr int kDims[4] = {2, 3, 4, 1};
        const int dims = kDims[(fvf >> (16 + 2 * i)) & 3];
        if (i == 0) {
            layout.texture = static_cast<int>(offset);
            layout.textureDims = dims;
        }
        offset += 4 * static_cast<UINT>(dims);
    }
    layout.size = offset;
    return true;
}

void CVertexPipeline::Draw(const SDeviceState& state, const std::map<DWORD, SLightSlot>& lights,
                           const SVertexLayout& layout, const SVertexSource& vertices, const SPrimitiveRun& run,
                           const raster::Surface& target, const raster::TriState& raster)
{
    m_state = &state;
    m_layout = &layout;
    m_source = &vertices;
    m_target = &target;
    m_raster = &raster;
    ++m_drawSerial;
    const DWORD* rs = state.renderStates;
    m_cull = rs[D3DRS_CULLMODE];
    m_fill = rs[D3DRS_FILLMODE];
    m_flat = rs[D3DRS_SHADEMODE] == D3DSHADE_FLAT;
    m_lit = !layout.pretransformed && rs[D3DRS_LIGHTING] != FALSE;
    if (!layout.pretransformed) {
        const D3DXMATRIX world(state.world[0]), view(state.view), projection(state.projection);
        D3DXMATRIX worldView;
        D3DXMatrixMultiply(&worldView, &world, &view);
        D3DXMATRIX wvp;
        D3DXMatrixMultiply(&wvp, &worldView, &projection);
        m_worldView = worldView;
        m_worldViewProjection = wvp;
        // Normals go through the inverse transpose, so non-uniform scaling keeps them square
        // to the surface; a singular matrix keeps the plain one.
        D3DXMATRIX inverse;
        if (D3DXMatrixInverse(&inverse, nullptr, &worldView)) {
            D3DXMATRIX transposed;
            D3DXMatrixTranspose(&transposed, &inverse);
            m_normalMatrix = transposed;
        } else {
            m_normalMatrix = worldView;
        }
        // The guard band keeps projected positions within about 65536 pixels of the viewport.
        const float side =
            static_cast<float>(std::max<DWORD>(1, std::max(state.viewport.Width, state.viewport.Height)));
        m_guard = 65536.0f / side;
        if (m_lit)
            m_lighting.Prepare(state, lights, layout.diffuse >= 0, layout.specular >= 0);
    }

    auto vertexAt = [&](UINT i, bool& ok) -> const SVertex* {
        std::int64_t index = 0;
        if (run.indices) {
            const std::uint8_t* p = run.indices + std::size_t{i} * (run.indexFormat == D3DFMT_INDEX32 ? 4 : 2);
            if (run.indexFormat == D3DFMT_INDEX32) {
                index = ReadDword(p);
            } else {
                std::uint16_t v;
                std::memcpy(&v, p, 2);
                index = v;
            }
            index += run.baseVertex;
        } else {
            index = std::int64_t{run.first} + i;
        }
        if (index < 0 || index >= vertices.count) {
            ok = false;
            return nullptr;
        }
        return Fetch(static_cast<UINT>(index));
    };
    const UINT n = run.count;
    bool ok = true;
    switch (run.type) {
    case D3DPT_TRIANGLELIST:
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: {
        const UINT triangles = run.type == D3DPT_TRIANGLELIST ? n / 3 : n - 2;
        for (UINT t = 0; t < triangles; ++t) {
            UINT i0, i1, i2;
            if (run.type == D3DPT_TRIANGLELIST) {
                i0 = 3 * t, i1 = 3 * t + 1, i2 = 3 * t + 2;
            } else if (run.type == D3DPT_TRIANGLESTRIP) {
                // Every other triangle of a strip is listed the other way round, so the whole
                // strip keeps one winding.
                i0 = t, i1 = t + 1, i2 = t + 2;
                if (t & 1)
                    std::swap(i0, i1);
            } else {
                i0 = 0, i1 = t + 1, i2 = t + 2;
            }
            ok = true;
            // Copies: the cache may evict one while another is fetched.
            const SVertex* pa = vertexAt(i0, ok);
            const SVertex a = ok ? *pa : SVertex{};
            const SVertex* pb = ok ? vertexAt(i1, ok) : nullptr;
            const SVertex b = ok ? *pb : SVertex{};
            const SVertex* pc = ok ? vertexAt(i2, ok) : nullptr;
            if (!ok)
                continue;
            const SVertex c = *pc;
            // Flat shading takes the triangle's first vertex as the draw lists it: the fan's
            // second, and for a strip triangle listed the other way round, the swapped one.
            const bool second = run.type == D3DPT_TRIANGLEFAN || (run.type == D3DPT_TRIANGLESTRIP && (t & 1));
            Triangle(a, b, c, second ? b : a);
        }
        break;
    }
    case D3DPT_LINELIST:
    case D3DPT_LINESTRIP: {
        const UINT lines = run.type == D3DPT_LINELIST ? n / 2 : n - 1;
        for (UINT l = 0; l < lines; ++l) {
            const UINT i0 = run.type == D3DPT_LINELIST ? 2 * l : l;
            ok = true;
            const SVertex* pa = vertexAt(i0, ok);
            const SVertex a = ok ? *pa : SVertex{};
            const SVertex* pb = ok ? vertexAt(i0 + 1, ok) : nullptr;
            if (ok)
                Line(a, *pb);
        }
        break;
    }
    case D3DPT_POINTLIST:
        for (UINT i = 0; i < n; ++i) {
            ok = true;
            const SVertex* p = vertexAt(i, ok);
            if (ok && p->outcode == 0)
                raster::DrawTriPoint(target, p->screen, raster);
        }
        break;
    }
}

const CVertexPipeline::SVertex* CVertexPipeline::Fetch(UINT index)
{
    SCacheSlot& slot = m_cache[index & (m_cache.size() - 1)];
    const std::uint64_t tag = (m_drawSerial << 32) | index;
    if (slot.tag != tag) {
        Process(m_source->bytes + std::size_t{index} * m_source->stride, slot.vertex);
        slot.tag = tag;
    }
    return &slot.vertex;
}

void CVertexPipeline::Process(const std::uint8_t* p, SVertex& out) const
{
    const SVertexLayout& layout = *m_layout;
    raster::TriVertex& v = out.screen;
    const D3DCOLOR diffuse = layout.diffuse >= 0 ? ReadDword(p + layout.diffuse) : 0xFFFFFFFFu;
    const D3DCOLOR specular = layout.specular >= 0 ? ReadDword(p + layout.specular) : 0;
    v.u = layout.texture >= 0 ? ReadFloat(p + layout.texture) : 0.0f;
    v.v = layout.texture >= 0 && layout.textureDims >= 2 ? ReadFloat(p + layout.texture + 4) : 0.0f;
    const float position[4] = {ReadFloat(p), ReadFloat(p + 4), ReadFloat(p + 8), 1.0f};
    if (layout.pretransformed) {
        // Screen positions with pixel centres on integers; the rasterizer's are at +0.5.
        v.x = position[0] + 0.5f;
        v.y = position[1] + 0.5f;
        v.z = position[2];
        v.rhw = ReadFloat(p + 12);
        SetColor(diffuse, v.diffuse);
        float s[4];
        SetColor(specular, s);
        v.specular[0] = s[0], v.specular[1] = s[1], v.specular[2] = s[2];
        out.outcode = 0;
        return;
    }
    Transform(position, m_worldViewProjection, out.clip);
    out.outcode = Outcode(out.clip, m_guard);
    if (m_lit) {
        float view[4], normalView[4] = {0, 0, 0, 0};
        Transform(position, m_worldView, view);
        if (layout.normal >= 0) {
            const float normal[4] = {ReadFloat(p + layout.normal), ReadFloat(p + layout.normal + 4),
                                     ReadFloat(p + layout.normal + 8), 0.0f};
            Transform(normal, m_normalMatrix, normalView);
        }
        m_lighting.Light(view, normalView, diffuse, specular, v.diffuse, v.specular);
    } else {
        SetColor(diffuse, v.diffuse);
        float s[4];
        SetColor(specular, s);
        v.specular[0] = s[0], v.specular[1] = s[1], v.specular[2] = s[2];
    }
    if (out.outcode == 0)
        v = Project(out.clip, v);
}

raster::TriVertex CVertexPipeline::Project(const float clip[4], const raster::TriVertex& attributes) const
{
    const D3DVIEWPORT9& vp = m_state->viewport;
    raster::TriVertex v = attributes;
    const float rhw = 1.0f / clip[3];
    v.x = static_cast<float>(vp.X) + (1.0f + clip[0] * rhw) * static_cast<float>(vp.Width) * 0.5f + 0.5f;
    v.y = static_cast<float>(vp.Y) + (1.0f - clip[1] * rhw) * static_cast<float>(vp.Height) * 0.5f + 0.5f;
    v.z = vp.MinZ + clip[2] * rhw * (vp.MaxZ - vp.MinZ);
    v.rhw = rhw;
    return v;
}

void CVertexPipeline::Triangle(const SVertex& a, const SVertex& b, const SVertex& c, const SVertex& provoking)
{
    if (a.outcode & b.outcode & c.outcode)
        return; // wholly outside one plane
    raster::TriVertex poly[16];
    int count = 3;
    if ((a.outcode | b.outcode | c.outcode) == 0) {
        poly[0] = a.screen, poly[1] = b.screen, poly[2] = c.screen;
    } else {
        SClipVertex clip[16];
        const SVertex* corners[3] = {&a, &b, &c};
        for (int i = 0; i < 3; ++i) {
            std::memcpy(clip[i].clip, corners[i]->clip, sizeof clip[i].clip);
            clip[i].attributes = corners[i]->screen;
        }
        count = ClipPolygon(clip, 3, a.outcode | b.outcode | c.outcode, m_guard);
        for (int i = 0; i < count; ++i)
            poly[i] = Project(clip[i].clip, clip[i].attributes);
    }
    if (m_flat) {
        for (int i = 0; i < count; ++i) {
            std::memcpy(poly[i].diffuse, provoking.screen.diffuse, sizeof poly[i].diffuse);
            std::memcpy(poly[i].specular, provoking.screen.specular, sizeof poly[i].specular);
        }
    }
    Polygon(poly, count);
}

void CVertexPipeline::Polygon(raster::TriVertex* v, int count)
{
    if (count < 3)
        return;
    // Twice the signed area, y down: positive when the corners run clockwise on screen.
    double area = 0;
    for (int i = 0; i < count; ++i) {
        const raster::TriVertex& p = v[i];
        const raster::TriVertex& q = v[(i + 1) % count];
        area += static_cast<double>(p.x) * q.y - static_cast<double>(q.x) * p.y;
    }
    if ((m_cull == D3DCULL_CCW && area < 0) || (m_cull == D3DCULL_CW && area > 0))
        return;
    const raster::TriState& state = *m_raster;
    if (m_fill == D3DFILL_POINT) {
        for (int i = 0; i < count; ++i)
            raster::DrawTriPoint(*m_target, v[i], state);
    } else if (m_fill == D3DFILL_WIREFRAME) {
        for (int i = 0; i < count; ++i)
            raster::DrawTriLine(*m_target, v[i], v[(i + 1) % count], state);
    } else {
        for (int i = 1; i + 1 < count; ++i)
            raster::DrawTriangle(*m_target, v[0], v[i], v[i + 1], state);
    }
}

void CVertexPipeline::Line(const SVertex& a, const SVertex& b)
{
    if (a.outcode & b.outcode)
        return;
    raster::TriVertex ends[2] = {a.screen, b.screen};
    if (a.outcode | b.outcode) {
        // Parametric clip of the segment against each plane it crosses.
        float t0 = 0.0f, t1 = 1.0f;
        for (int plane = 0; plane < kPlanes; ++plane) {
            const float da = PlaneDistance(plane, a.clip, m_guard), db = PlaneDistance(plane, b.clip, m_guard);
            if (da < 0 && db < 0)
                return;
            if (da < 0)
                t0 = std::max(t0, da / (da - db));
            else if (db < 0)
                t1 = std::min(t1, da / (da - db));
        }
        if (t0 >= t1)
            return;
        SClipVertex ca{}, cb{};
        std::memcpy(ca.clip, a.clip, sizeof ca.clip);
        std::memcpy(cb.clip, b.clip, sizeof cb.clip);
        ca.attributes = a.screen;
        cb.attributes = b.screen;
        const SClipVertex p = Lerp(ca, cb, t0), q = Lerp(ca, cb, t1);
        ends[0] = Project(p.clip, p.attributes);
        ends[1] = Project(q.clip, q.attributes);
    }
    if (m_flat) {
        std::memcpy(ends[1].diffuse, ends[0].diffuse, sizeof ends[1].diffuse);
        std::memcpy(ends[1].specular, ends[0].specular, sizeof ends[1].specular);
    }
    raster::DrawTriLine(*m_target, ends[0], ends[1], *m_raster);
}

} // namespace vireo::gfx
