// Triangles, lines and points of the 3D pipeline: dispatch to the span path or the per-pixel
// reference, the reference itself (every state, one pixel at a time through the scalar
// formulas), and lines and points, which are few and always take the per-pixel route.
#include "platform/raster/RasterInternal.h"
#include "platform/raster/TriangleSetup.h"

#include <algorithm>
#include <cmath>

namespace vireo::raster {

namespace {

constexpr std::uint32_t kMissingTexture = 0xFFFFFFFFu;

// Alpha test, blend, colour and depth writes of a fragment that passed the depth test.
void WriteFragment(std::uint32_t color, std::uint32_t* pixel, std::uint32_t* depthSlot, std::uint32_t depth,
                   const TriState& state)
{
    if (state.alphaTest && !Passes(state.alphaFunc, color >> 24, static_cast<std::uint32_t>(state.alphaRef)))
        return;
    *pixel = BlendPixel(color, *pixel, state.blend);
    if (depthSlot && state.depthWrite)
        *depthSlot = depth;
}

std::uint32_t* DepthSlot(const TriState& state, int x, int y)
{
    const DepthBuffer* d = state.depth;
    return d ? d->values + static_cast<std::ptrdiff_t>(y) * d->width + x : nullptr;
}

// A fragment of a line or point from interpolated (not plane) attributes.
void DrawFragment(const Surface& target, const TriVertex& v, const TriState& state, int x, int y)
{
    if (x < state.clip.left || x >= state.clip.right || y < state.clip.top || y >= state.clip.bottom)
        return;
    std::uint32_t* slot = DepthSlot(state, x, y);
    const std::uint32_t z = state.depth ? QuantizeDepth(v.z, state.depth->bits) : 0;
    if (slot && !Passes(state.depthFunc, z, *slot))
        return;
    const std::uint32_t diffuse =
        PackChannels(ToByte(v.diffuse[2]), ToByte(v.diffuse[1]), ToByte(v.diffuse[0]), ToByte(v.diffuse[3]));
    const std::uint32_t specular = PackChannels(ToByte(v.specular[2]), ToByte(v.specular[1]), ToByte(v.specular[0]), 0);
    WriteFragment(ShadeFragment(state, diffuse, specular, v.u, v.v), target.Row(y) + x, slot, z, state);
}

// Perspective-correct blend of two vertices at screen fraction t.
TriVertex Between(const TriVertex& a, const TriVertex& b, float t, bool flat)
{
    const float wa = a.rhw * (1.0f - t), wb = b.rhw * t;
    const float rhw = wa + wb;
    const float ka = rhw > 0.0f ? wa / rhw : 1.0f - t, kb = 1.0f - ka;
    TriVertex out = a; // flat shading keeps the first vertex's colours
    out.x = a.x + (b.x - a.x) * t;
    out.y = a.y + (b.y - a.y) * t;
    out.z = a.z + (b.z - a.z) * t;
    out.rhw = rhw;
    out.u = a.u * ka + b.u * kb;
    out.v = a.v * ka + b.v * kb;
    if (!flat) {
        for (int c = 0; c < 4; ++c)
            out.diffuse[c] = a.diffuse[c] * ka + b.diffuse[c] * kb;
        for (int c = 0; c < 3; ++c)
            out.specular[c] = a.specular[c] * ka + b.specular[c] * kb;
    }
    return out;
}

} // namespace

std::uint32_t ShadeFragment(const TriState& state, std::uint32_t diffuse, std::uint32_t specular, float u, float v)
{
    std::uint32_t current = diffuse;
    for (const TriStage& stage : state.stages) {
        if (stage.colorOp == StageOp::Disable)
            break;
        const std::uint32_t texel = stage.texture && ReadsTexture(stage) ? SampleStage(stage, u, v) : kMissingTexture;
        const std::uint32_t c1 = PickArgument(stage.colorArg1, diffuse, current, texel, state.textureFactor);
        const std::uint32_t c2 = PickArgument(stage.colorArg2, diffuse, current, texel, state.textureFactor);
        int out[4];
        for (int c = 0; c < 3; ++c)
            out[c] = StageOpChannel(stage.colorOp, Channel(c1, c), Channel(c2, c));
        if (stage.alphaOp == StageOp::Disable) {
            out[3] = Channel(current, 3);
        } else {
            const std::uint32_t a1 = PickArgument(stage.alphaArg1, diffuse, current, texel, state.textureFactor);
            const std::uint32_t a2 = PickArgument(stage.alphaArg2, diffuse, current, texel, state.textureFactor);
            out[3] = StageOpChannel(stage.alphaOp, Channel(a1, 3), Channel(a2, 3));
        }
        current = PackChannels(out[0], out[1], out[2], out[3]);
    }
    if (state.specular) {
        current = PackChannels(std::min(255, Channel(current, 0) + Channel(specular, 0)),
                               std::min(255, Channel(current, 1) + Channel(specular, 1)),
                               std::min(255, Channel(current, 2) + Channel(specular, 2)), Channel(current, 3));
    }
    return current;
}

void DrawTriangleReference(const Surface& target, const TriSetup& setup, const TriState& state)
{
    const Plane* p = setup.planes;
    for (int y = setup.bounds.top; y < setup.bounds.bottom; ++y) {
        const float fy = static_cast<float>(y) + 0.5f;
        for (int x = setup.bounds.left; x < setup.bounds.right; ++x) {
            if (!setup.Covers(x, y))
                continue;
            const float fx = static_cast<float>(x) + 0.5f;
            auto at = [&](int plane) { return p[plane].At(p[plane].Row(fy), fx); };
            std::uint32_t* slot = DepthSlot(state, x, y);
            const std::uint32_t z = slot ? QuantizeDepth(at(kPlaneZ), state.depth->bits) : 0;
            if (slot && !Passes(state.depthFunc, z, *slot))
                continue;
            const float q = 1.0f / at(kPlaneW);
            std::uint32_t diffuse = setup.flatDiffuse, specular = setup.flatSpecular;
            if (!state.flat) {
                diffuse = PackChannels(ToByte(at(kPlaneB) * q), ToByte(at(kPlaneG) * q), ToByte(at(kPlaneR) * q),
                                       ToByte(at(kPlaneA) * q));
                specular =
                    PackChannels(ToByte(at(kPlaneSB) * q), ToByte(at(kPlaneSG) * q), ToByte(at(kPlaneSR) * q), 0);
            }
            const float u = at(kPlaneU) * q, v = at(kPlaneV) * q;
            WriteFragment(ShadeFragment(state, diffuse, specular, u, v), target.Row(y) + x, slot, z, state);
        }
    }
}

void DrawTriangle(const Surface& target, const TriVertex& v0, const TriVertex& v1, const TriVertex& v2,
                  const TriState& state)
{
    if (target.pixels == nullptr)
        return;
    TriSetup setup;
    if (!SetupTriangle(v0, v1, v2, state, setup))
        return;
    if (UsingReferencePath() || !DrawTriangleSpans(target, setup, state))
        DrawTriangleReference(target, setup, state);
}

void DrawTriLine(const Surface& target, const TriVertex& v0, const TriVertex& v1, const TriState& state)
{
    if (target.pixels == nullptr)
        return;
    const float dx = v1.x - v0.x, dy = v1.y - v0.y;
    const float length = std::max(std::fabs(dx), std::fabs(dy));
    if (!(length < 1e6f))
        return;
    // One pixel per step of the major axis; the end point itself is left out.
    const int steps = static_cast<int>(std::lround(length));
    for (int i = 0; i < steps; ++i) {
        const float t = static_cast<float>(i) / length;
        const TriVertex at = Between(v0, v1, t, state.flat);
        DrawFragment(target, at, state, static_cast<int>(std::floor(at.x)), static_cast<int>(std::floor(at.y)));
    }
}

void DrawTriPoint(const Surface& target, const TriVertex& v, const TriState& state)
{
    if (target.pixels == nullptr || !(std::fabs(v.x) < 1e6f && std::fabs(v.y) < 1e6f))
        return;
    DrawFragment(target, v, state, static_cast<int>(std::floor(v.x)), static_cast<int>(std::floor(v.y)));
}

} // namespace vireo::raster
