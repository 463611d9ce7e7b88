// Per-triangle set-up shared by the reference and span paths: fixed-point edge functions with
// the top-left rule, the pixel rectangle to visit, and the attribute planes (depth, 1/w and
// every attribute divided by w) evaluated in one fixed order, so both paths get the same bits.
// Also the per-pixel pieces both paths compose: sampling, depth, colour conversion.
#pragma once

#include "platform/raster/Combiner.h"
#include "platform/raster/Pixel.h"
#include "platform/raster/Triangle.h"

#include <cstdint>

namespace vireo::raster {

constexpr int kSubpixelBits = 8;
constexpr std::int64_t kSubpixel = 1 << kSubpixelBits;

// E(x, y) = a * X + b * Y + c at the pixel centre X = x * 256 + 128 (and Y likewise); a
// pixel is inside when E >= bias (0 on top and left edges, 1 on the others).
struct EdgeFn {
    std::int64_t a, b, c;
    std::int64_t bias;
    double inverseStep; // 1 / |a * 256|, 0 when a is 0
    std::int64_t At(int x, int y) const
    {
        return a * (x * kSubpixel + kSubpixel / 2) + b * (y * kSubpixel + kSubpixel / 2) + c;
    }
};

// value(fx, fy) = (c + dy * fy) + dx * fx at the pixel centre (fx, fy) = (x + 0.5, y + 0.5);
// always in this order, so a row base computed once gives the per-pixel value exactly.
struct Plane {
    float c, dx, dy;
    float Row(float fy) const { return c + dy * fy; }
    float At(float row, float fx) const { return row + dx * fx; }
};

enum TriPlane { kPlaneZ, kPlaneW, kPlaneU, kPlaneV, kPlaneR, kPlaneG, kPlaneB, kPlaneA, kPlaneSR, kPlaneSG, kPlaneSB };
constexpr int kPlaneCount = 11;

struct TriSetup {
    RECT bounds{};
    EdgeFn edges[3];
    Plane planes[kPlaneCount];
    // Flat shading: the colours as bytes, memory order B, G, R, A; specular likewise.
    std::uint32_t flatDiffuse = 0;
    std::uint32_t flatSpecular = 0;
    bool Covers(int x, int y) const
    {
        return edges[0].At(x, y) >= edges[0].bias && edges[1].At(x, y) >= edges[1].bias &&
               edges[2].At(x, y) >= edges[2].bias;
    }
    // Covered pixels of row y as [left, right) within the bounds; false when none.
    bool RowSpan(int y, int& left, int& right) const;
};

// False when the triangle covers nothing: degenerate, non-finite, too far out, or clipped away.
bool SetupTriangle(const TriVertex& v0, const TriVertex& v1, const TriVertex& v2, const TriState& state,
                   TriSetup& setup);

// A colour channel in 0..255 from an interpolated float (rounded, saturated; NaN gives 0).
inline int ToByte(float c)
{
    c += 0.5f;
    if (!(c > 0.0f))
        return 0;
    return c >= 255.0f ? 255 : static_cast<int>(c);
}

inline bool Passes(Compare func, std::uint32_t value, std::uint32_t stored)
{
    switch (func) {
    case Compare::Never:
        return false;
    case Compare::Less:
        return value < stored;
    case Compare::Equal:
        return value == stored;
    case Compare::LessEqual:
        return value <= stored;
    case Compare::Greater:
        return value > stored;
    case Compare::NotEqual:
        return value != stored;
    case Compare::GreaterEqual:
        return value >= stored;
    case Compare::Always:
        return true;
    }
    return true;
}

// Texture coordinate in 16.16 texels minus half a texel, after wrap reduction or clamping.
inline std::int32_t TexelCoordinate(float t, int size, Address address)
{
    if (!(t == t))
        t = 0.0f;
    if (address == Address::Wrap) {
        // Reduce to [0, 1) first so the fixed-point value cannot overflow.
        if (t < 0.0f || t >= 1.0f) {
            if (!(t > -8388608.0f && t < 8388608.0f)) {
                t = 0.0f; // no fraction left at this size
            } else {
                const auto whole = static_cast<std::int32_t>(t);
                t -= static_cast<float>(t < static_cast<float>(whole) ? whole - 1 : whole);
                if (t >= 1.0f)
                    t = 0.0f;
            }
        }
    } else {
        t = t < -1.0f ? -1.0f : (t > 2.0f ? 2.0f : t);
    }
    return static_cast<std::int32_t>(t * static_cast<float>(size) * 65536.0f - 32768.0f);
}

inline int AddressTexel(int i, int size, Address address)
{
    if (address == Address::Clamp)
        return i < 0 ? 0 : (i >= size ? size - 1 : i);
    if (i < 0)
        return i + size;
    return i >= size ? i - size : i;
}

inline std::uint32_t SampleStage(const TriStage& stage, float u, float v)
{
    const Surface& tex = *stage.texture;
    if (!stage.hasCoordinates)
        u = v = 0.0f;
    const std::int32_t fu = TexelCoordinate(u, tex.width, stage.addressU);
    const std::int32_t fv = TexelCoordinate(v, tex.height, stage.addressV);
    if (stage.filter == Filter::Point) {
        const int x = AddressTexel((fu + 0x8000) >> 16, tex.width, stage.addressU);
        const int y = AddressTexel((fv + 0x8000) >> 16, tex.height, stage.addressV);
        return tex.Row(y)[x];
    }
    const int x0 = fu >> 16, y0 = fv >> 16;
    const int fx = (fu >> 10) & 63, fy = (fv >> 8) & 0xFF;
    const int xa = AddressTexel(x0, tex.width, stage.addressU), xb = AddressTexel(x0 + 1, tex.width, stage.addressU);
    const std::uint32_t* r0 = tex.Row(AddressTexel(y0, tex.height, stage.addressV));
    const std::uint32_t* r1 = tex.Row(AddressTexel(y0 + 1, tex.height, stage.addressV));
    return Bilerp(r0[xa], r0[xb], r1[xa], r1[xb], fx, fy);
}

// The stage cascade of one fragment (diffuse and specular as packed B, G, R, A bytes), with
// the specular sum when enabled: the colour that goes to the alpha test and the blend.
std::uint32_t ShadeFragment(const TriState& state, std::uint32_t diffuse, std::uint32_t specular, float u, float v);

// Per pixel, any state: the truth the spans must match.
void DrawTriangleReference(const Surface& target, const TriSetup& setup, const TriState& state);
// Span functions for the common cases; false (nothing drawn) for any other state.
bool DrawTriangleSpans(const Surface& target, const TriSetup& setup, const TriState& state);

} // namespace vireo::raster
