// Geometry set-up of a textured parallelogram: edge tests, clipped bounds, row spans and the
// fixed-point texture mappings of both stages. Sampling and blending live elsewhere.
#include "platform/raster/QuadSetup.h"

#include <algorithm>
#include <cmath>

namespace vireo::raster {

namespace {

// Positions beyond this are refused (they cannot be on any target and would only cost
// precision); texture coordinates are bounded so 16.16 values stay inside 32 bits.
constexpr double kMaxPosition = 1.0e7;
constexpr double kMaxTexel = 16384.0;
constexpr int kMaxTextureSize = 16384;
constexpr double kMaxGradient = 8192.0; // texels per pixel

bool Finite(double v, double limit)
{
    return std::isfinite(v) && std::fabs(v) <= limit;
}

// A boundary owns the centres lying on it when the interior is to its right, or below a
// horizontal one (the top-left rule); gx, gy point from the boundary into the interior.
bool OwnsTies(double gx, double gy)
{
    return gx > 0 || (gx == 0 && gy > 0);
}

// floor(v) clamped to [lo, hi] without a library call (rows ask for it twice each):
// past the clamp, v - lo is non-negative and truncation is the floor. NaN gives lo.
int FloorToInt(double v, int lo, int hi)
{
    if (!(v > lo)) {
        return lo;
    }
    if (v >= hi) {
        return hi;
    }
    return lo + static_cast<int>(v - lo);
}
// 16.16 fixed point, halves away from zero like llround, without the library call (a
// sprite asks for six of these); the value is already bounded.
std::int64_t ToFixed(double v)
{
    const double scaled = v * 65536.0;
    return scaled >= 0 ? static_cast<std::int64_t>(scaled + 0.5) : -static_cast<std::int64_t>(0.5 - scaled);
}

int CeilToInt(double v, int lo, int hi)
{
    return static_cast<int>(std::clamp(std::ceil(v), static_cast<double>(lo), static_cast<double>(hi)));
}

} // namespace

bool UsableTexture(const Surface* texture)
{
    return texture == nullptr || (texture->pixels != nullptr && texture->width > 0 && texture->height > 0 &&
                                  texture->width <= kMaxTextureSize && texture->height <= kMaxTextureSize &&
                                  texture->pitch >= texture->width * 4);
}

bool QuadSetup::RowSpan(int y, int& left, int& right) const
{
    if (y < bounds.top || y >= bounds.bottom) {
        return false;
    }
    left = bounds.left;
    right = bounds.right;
    const double cy = y + 0.5 - y0;
    // Each of the two slabs bounds x by a solved interval; widen it by a pixel on each side
    // and let the exact test trim the ends, so the span equals the per-pixel test.
    const double slabs[2][2] = {{sInverse, sB * cy}, {tInverse, tB * cy}};
    for (const auto& slab : slabs) {
        const double inverse = slab[0];
        const double c = slab[1];
        if (inverse == 0) {
            continue; // constant along the row: the end tests below decide
        }
        double lo = x0 - c * inverse;
        double hi = x0 + (extent - c) * inverse;
        if (lo > hi) {
            std::swap(lo, hi);
        }
        left = std::max(left, FloorToInt(lo - 0.5, bounds.left - 1, bounds.right));
        right = std::min(right, FloorToInt(hi - 0.5, bounds.left - 2, bounds.right) + 2);
    }
    while (left < right && !Covers(left, y)) {
        ++left;
    }
    while (right > left && !Covers(right - 1, y)) {
        --right;
    }
    return left < right;
}

bool SetupQuad(const Quad& quad, const QuadState& state, QuadSetup& setup)
{
    const RECT& clip = state.clip;
    if (clip.left >= clip.right || clip.top >= clip.bottom) {
        return false;
    }
    const double pos[] = {quad.x0, quad.y0, quad.edgeUx, quad.edgeUy, quad.edgeVx, quad.edgeVy};
    for (double p : pos) {
        if (!Finite(p, kMaxPosition)) {
            return false;
        }
    }
    const double tex[] = {quad.u0, quad.v0, quad.u1, quad.v1};
    for (double t : tex) {
        if (!Finite(t, kMaxTexel)) {
            return false;
        }
    }
    for (const TextureStage& stage : state.stages) {
        if (!UsableTexture(stage.texture)) {
            return false;
        }
    }

    const double ux = quad.edgeUx, uy = quad.edgeUy, vx = quad.edgeVx, vy = quad.edgeVy;
    const double det = ux * vy - uy * vx;
    if (!(std::fabs(det) > 1e-9)) {
        return false;
    }
    const double sign = det > 0 ? 1.0 : -1.0;
    setup.x0 = quad.x0;
    setup.y0 = quad.y0;
    setup.sA = vy * sign;
    setup.sB = -vx * sign;
    setup.tA = -uy * sign;
    setup.tB = ux * sign;
    setup.extent = std::fabs(det);
    setup.sInverse = setup.sA != 0 ? 1.0 / setup.sA : 0.0;
    setup.tInverse = setup.tA != 0 ? 1.0 / setup.tA : 0.0;
    setup.sIncludesZero = OwnsTies(setup.sA, setup.sB);
    setup.tIncludesZero = OwnsTies(setup.tA, setup.tB);
    setup.axisAligned = (uy == 0 && vx == 0) || (ux == 0 && vy == 0);

    const double xs[] = {quad.x0, quad.x0 + ux, quad.x0 + vx, quad.x0 + ux + vx};
    const double ys[] = {quad.y0, quad.y0 + uy, quad.y0 + vy, quad.y0 + uy + vy};
    const double minX = *std::min_element(xs, xs + 4), maxX = *std::max_element(xs, xs + 4);
    const double minY = *std::min_element(ys, ys + 4), maxY = *std::max_element(ys, ys + 4);
    // Pixel x is a candidate when its centre x + 0.5 lies within [minX, maxX].
    setup.bounds.left = std::max<LONG>(clip.left, CeilToInt(minX - 0.5, clip.left - 1, clip.right));
    setup.bounds.right = std::min<LONG>(clip.right, FloorToInt(maxX - 0.5, clip.left - 1, clip.right) + 1);
    setup.bounds.top = std::max<LONG>(clip.top, CeilToInt(minY - 0.5, clip.top - 1, clip.bottom));
    setup.bounds.bottom = std::min<LONG>(clip.bottom, FloorToInt(maxY - 0.5, clip.top - 1, clip.bottom) + 1);
    if (setup.bounds.left >= setup.bounds.right || setup.bounds.top >= setup.bounds.bottom) {
        return false;
    }

    // Stage 1 reads the same normalised coordinates, so its texels scale by the size ratio.
    const Surface* base = state.stages[0].texture;
    const double baseW = base ? base->width : 1.0;
    const double baseH = base ? base->height : 1.0;
    const int ox = setup.bounds.left, oy = setup.bounds.top;
    const double cx = ox + 0.5 - setup.x0, cy = oy + 0.5 - setup.y0;
    const double s = (cx * vy - cy * vx) / det;
    const double t = (cy * ux - cx * uy) / det;
    // Stage 1 is mapped only when it takes part; its maps stay zero otherwise.
    const int stages =
        state.stages[0].colorOp != StageOp::Disable && state.stages[1].colorOp != StageOp::Disable ? 2 : 1;
    setup.u[1] = setup.v[1] = TexMap{};
    for (int k = 0; k < stages; ++k) {
        const Surface* texture = state.stages[k].texture;
        const double scaleU = texture ? texture->width / baseW : 1.0;
        const double scaleV = texture ? texture->height / baseH : 1.0;
        const double du = (quad.u1 - quad.u0) * scaleU;
        const double dv = (quad.v1 - quad.v0) * scaleV;
        const double uOrigin = quad.u0 * scaleU + du * s - 0.5;
        const double vOrigin = quad.v0 * scaleV + dv * t - 0.5;
        if (!Finite(uOrigin, 4 * kMaxTexel) || !Finite(vOrigin, 4 * kMaxTexel) || !Finite(du, 4 * kMaxTexel) ||
            !Finite(dv, 4 * kMaxTexel)) {
            return false;
        }
        const double gradients[] = {du * vy / det, du * vx / det, dv * uy / det, dv * ux / det};
        for (double g : gradients) {
            if (!Finite(g, kMaxGradient)) {
                return false;
            }
        }
        setup.u[k] = TexMap{ToFixed(uOrigin), ToFixed(du * vy / det), ToFixed(-du * vx / det), ox, oy};
        setup.v[k] = TexMap{ToFixed(vOrigin), ToFixed(-dv * uy / det), ToFixed(dv * ux / det), ox, oy};
    }
    return true;
}

} // namespace vireo::raster
