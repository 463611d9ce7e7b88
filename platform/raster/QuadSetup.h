// Per-draw geometry of a textured parallelogram: which pixels it covers (pixel centres at
// +0.5, top-left rule on ties), the rows to visit after clipping, and the fixed-point texture
// coordinates of each stage. Both the reference path and the span path read it, so they
// agree on coverage and sample positions bit for bit. It draws nothing itself.
#pragma once

#include "platform/raster/Raster.h"

#include <cstdint>

namespace vireo::raster {

// Texture coordinate minus half a texel, in 16.16 fixed point, as an affine function of the
// pixel: value(x, y) = origin + (x - ox) * dx + (y - oy) * dy. Integer steps keep the
// incremental span walk and the per-pixel evaluation identical.
struct TexMap {
    std::int64_t origin = 0;
    std::int64_t dx = 0;
    std::int64_t dy = 0;
    int ox = 0;
    int oy = 0;

    std::int64_t At(int x, int y) const
    {
        return origin + static_cast<std::int64_t>(x - ox) * dx + static_cast<std::int64_t>(y - oy) * dy;
    }
};

struct QuadSetup {
    RECT bounds{}; // pixels worth testing: the corners' bounding box within the clip
    TexMap u[2];   // per stage, in that stage's texels
    TexMap v[2];

    // Edge tests in doubles: s' and t' run from 0 to extent across the parallelogram.
    double x0 = 0, y0 = 0;
    double sA = 0, sB = 0; // s' = sA * (cx - x0) + sB * (cy - y0)
    double tA = 0, tB = 0;
    double extent = 0;
    double sInverse = 0, tInverse = 0; // 1 / sA, 1 / tA, or 0 where those are 0
    bool sIncludesZero = true;         // which of the two parallel edges owns centres lying on it
    bool tIncludesZero = true;

    bool axisAligned = false; // edges along the axes: coverage is a row test times a column test

    bool Covers(int x, int y) const
    {
        const double cx = x + 0.5 - x0;
        const double cy = y + 0.5 - y0;
        const double s = sA * cx + sB * cy;
        const double t = tA * cx + tB * cy;
        const bool sIn = sIncludesZero ? (s >= 0 && s < extent) : (s > 0 && s <= extent);
        const bool tIn = tIncludesZero ? (t >= 0 && t < extent) : (t > 0 && t <= extent);
        return sIn && tIn;
    }
    // Covered pixels of row y as [left, right); false when none.
    bool RowSpan(int y, int& left, int& right) const;
};

// Null, or pixels within the sizes the set-up accepts.
bool UsableTexture(const Surface* texture);

// False when nothing can be drawn: empty clip, degenerate or non-finite quad, coordinates
// beyond the fixed-point range, or a texture without pixels.
bool SetupQuad(const Quad& quad, const QuadState& state, QuadSetup& setup);

} // namespace vireo::raster
