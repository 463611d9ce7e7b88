// Triangle set-up: snapping to 1/256 pixel, the edge functions with their top-left biases, the
// bounding rectangle within the clip, and the attribute planes; and a row's covered span,
// solved exactly from the integer edge functions.
#include "platform/raster/TriangleSetup.h"

#include <algorithm>
#include <cmath>

namespace vireo::raster {

namespace {

// Beyond this many pixels from the origin the fixed-point products could overflow.
constexpr float kMaxCoordinate = 1 << 20;

std::int64_t Snap(float v)
{
    // Half away from zero, as lround, without the library call: |v| < 2^20, so v * 256 and
    // the added half are exact in a double and truncation finishes the rounding.
    const double scaled = static_cast<double>(v) * kSubpixel;
    return static_cast<std::int64_t>(scaled + (scaled < 0 ? -0.5 : 0.5));
}

// floor(n / d) and ceil(n / d) for d > 0, exactly: a floating-point estimate (a 64-bit integer
// division costs several times more), then corrected by whole steps.
// `inverse` is 1 / d, computed once per edge where rows divide by the same d.
std::int64_t FloorDiv(std::int64_t n, std::int64_t d, double inverse)
{
    auto q = static_cast<std::int64_t>(static_cast<double>(n) * inverse); // a few steps off at most
    while (q * d > n)
        --q;
    while ((q + 1) * d <= n)
        ++q;
    return q;
}

std::int64_t FloorDiv(std::int64_t n, std::int64_t d)
{
    return FloorDiv(n, d, 1.0 / static_cast<double>(d));
}

std::int64_t CeilDiv(std::int64_t n, std::int64_t d, double inverse)
{
    return -FloorDiv(-n, d, inverse);
}

std::int64_t CeilDiv(std::int64_t n, std::int64_t d)
{
    return -FloorDiv(-n, d);
}

} // namespace

bool SetupTriangle(const TriVertex& v0, const TriVertex& v1, const TriVertex& v2, const TriState& state,
                   TriSetup& setup)
{
    const TriVertex* v[3] = {&v0, &v1, &v2};
    for (const TriVertex* p : v) {
        if (!(std::fabs(p->x) < kMaxCoordinate && std::fabs(p->y) < kMaxCoordinate))
            return false;
    }
    std::int64_t X[3], Y[3];
    for (int i = 0; i < 3; ++i) {
        X[i] = Snap(v[i]->x);
        Y[i] = Snap(v[i]->y);
    }
    std::int64_t area = (X[1] - X[0]) * (Y[2] - Y[0]) - (X[2] - X[0]) * (Y[1] - Y[0]);
    if (area == 0)
        return false;
    // Edges in clockwise order (y down) so that the inside is where every edge function is positive.
    int order[3] = {0, 1, 2};
    if (area < 0) {
        std::swap(order[1], order[2]);
        area = -area;
    }
    for (int e = 0; e < 3; ++e) {
        const int a = order[e], b = order[(e + 1) % 3];
        const std::int64_t dx = X[b] - X[a], dy = Y[b] - Y[a];
        EdgeFn& edge = setup.edges[e];
        edge.a = -dy;
        edge.b = dx;
        edge.c = dy * X[a] - dx * Y[a];
        edge.bias = (dy < 0 || (dy == 0 && dx > 0)) ? 0 : 1;
        edge.inverseStep = edge.a == 0 ? 0.0 : 1.0 / static_cast<double>(std::abs(edge.a) * kSubpixel);
    }

    const std::int64_t minX = std::min({X[0], X[1], X[2]}), maxX = std::max({X[0], X[1], X[2]});
    const std::int64_t minY = std::min({Y[0], Y[1], Y[2]}), maxY = std::max({Y[0], Y[1], Y[2]});
    // Pixels whose centres can lie inside: centre x * 256 + 128 within [min, max].
    const auto left = static_cast<LONG>(std::max<std::int64_t>(state.clip.left, CeilDiv(minX - 128, kSubpixel)));
    const auto right = static_cast<LONG>(std::min<std::int64_t>(state.clip.right, FloorDiv(maxX - 128, kSubpixel) + 1));
    const auto top = static_cast<LONG>(std::max<std::int64_t>(state.clip.top, CeilDiv(minY - 128, kSubpixel)));
    const auto bottom =
        static_cast<LONG>(std::min<std::int64_t>(state.clip.bottom, FloorDiv(maxY - 128, kSubpixel) + 1));
    if (left >= right || top >= bottom)
        return false;
    setup.bounds = RECT{left, top, right, bottom};

    // Attribute planes through the snapped positions, in pixels.
    const double x0 = static_cast<double>(X[0]) / kSubpixel, y0 = static_cast<double>(Y[0]) / kSubpixel;
    const double ex1 = static_cast<double>(X[1] - X[0]) / kSubpixel, ey1 = static_cast<double>(Y[1] - Y[0]) / kSubpixel;
    const double ex2 = static_cast<double>(X[2] - X[0]) / kSubpixel, ey2 = static_cast<double>(Y[2] - Y[0]) / kSubpixel;
    const double inverse = 1.0 / (ex1 * ey2 - ex2 * ey1);
    auto planeOf = [&](float a0, float a1, float a2) {
        const double d1 = static_cast<double>(a1) - a0, d2 = static_cast<double>(a2) - a0;
        const double dx = (d1 * ey2 - d2 * ey1) * inverse;
        const double dy = (d2 * ex1 - d1 * ex2) * inverse;
        return Plane{static_cast<float>(a0 - dx * x0 - dy * y0), static_cast<float>(dx), static_cast<float>(dy)};
    };
    auto perW = [&](float TriVertex::*field) {
        return planeOf(v0.*field * v0.rhw, v1.*field * v1.rhw, v2.*field * v2.rhw);
    };
    setup.planes[kPlaneZ] = planeOf(v0.z, v1.z, v2.z);
    setup.planes[kPlaneW] = planeOf(v0.rhw, v1.rhw, v2.rhw);
    setup.planes[kPlaneU] = perW(&TriVertex::u);
    setup.planes[kPlaneV] = perW(&TriVertex::v);
    for (int c = 0; c < 4; ++c)
        setup.planes[kPlaneR + c] = planeOf(v0.diffuse[c] * v0.rhw, v1.diffuse[c] * v1.rhw, v2.diffuse[c] * v2.rhw);
    // Specular planes only where the stages' result gets the specular sum; otherwise zero.
    for (int c = 0; c < 3; ++c)
        setup.planes[kPlaneSR + c] =
            state.specular ? planeOf(v0.specular[c] * v0.rhw, v1.specular[c] * v1.rhw, v2.specular[c] * v2.rhw)
                           : Plane{0.0f, 0.0f, 0.0f};
    if (state.flat) {
        setup.flatDiffuse =
            PackChannels(ToByte(v0.diffuse[2]), ToByte(v0.diffuse[1]), ToByte(v0.diffuse[0]), ToByte(v0.diffuse[3]));
        setup.flatSpecular = PackChannels(ToByte(v0.specular[2]), ToByte(v0.specular[1]), ToByte(v0.specular[0]), 0);
    }
    for (const Plane& p : setup.planes) {
        if (!(std::isfinite(p.c) && std::isfinite(p.dx) && std::isfinite(p.dy)))
            return false;
    }
    return true;
}

bool TriSetup::RowSpan(int y, int& left, int& right) const
{
    std::int64_t lo = bounds.left, hi = bounds.right; // [lo, hi)
    for (const EdgeFn& e : edges) {
        // E(x) = e0 + a * 256 * (x - bounds.left) >= bias
        const std::int64_t e0 = e.At(bounds.left, y);
        const std::int64_t step = e.a * kSubpixel;
        if (step == 0) {
            if (e0 < e.bias)
                return false;
        } else if (step > 0) {
            lo = std::max(lo, bounds.left + CeilDiv(e.bias - e0, step, e.inverseStep));
        } else {
            hi = std::min(hi, bounds.left + FloorDiv(e0 - e.bias, -step, e.inverseStep) + 1);
        }
    }
    if (lo >= hi)
        return false;
    left = static_cast<int>(lo);
    right = static_cast<int>(hi);
    return true;
}

} // namespace vireo::raster
