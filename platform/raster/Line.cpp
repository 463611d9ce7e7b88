// One-pixel lines: a DDA that steps the major axis one pixel at a time and rounds the minor
// axis, end pixel excluded so the joints of a polyline are blended once. No width, pattern
// or antialiasing; each pixel goes through the scalar blend.
#include "platform/raster/Combiner.h"
#include "platform/raster/Raster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vireo::raster {

namespace {

// End points this far out are refused; it keeps every product below 2^63.
constexpr double kMaxCoordinate = 268435456.0; // 2^28

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) // b > 0
{
    const std::int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

bool Usable(float v)
{
    return std::isfinite(v) && std::fabs(v) <= kMaxCoordinate;
}

} // namespace

void DrawLine(const Surface& target, float x0, float y0, float x1, float y1, std::uint32_t argb,
              const BlendState& blend, const RECT& clip)
{
    const std::int64_t left = std::max<LONG>(clip.left, 0), right = std::min<LONG>(clip.right, target.width);
    const std::int64_t top = std::max<LONG>(clip.top, 0), bottom = std::min<LONG>(clip.bottom, target.height);
    if (target.pixels == nullptr || left >= right || top >= bottom || !Usable(x0) || !Usable(y0) || !Usable(x1) ||
        !Usable(y1)) {
        return;
    }
    // Pixel (x, y) covers [x, x + 1) x [y, y + 1): an end point belongs to the pixel containing it.
    const auto ax = static_cast<std::int64_t>(std::floor(x0)), ay = static_cast<std::int64_t>(std::floor(y0));
    const auto bx = static_cast<std::int64_t>(std::floor(x1)), by = static_cast<std::int64_t>(std::floor(y1));
    const bool xMajor = std::llabs(bx - ax) >= std::llabs(by - ay);
    // Work in (major, minor) coordinates so one loop serves both orientations.
    const std::int64_t m0 = xMajor ? ax : ay, n0 = xMajor ? ay : ax;
    const std::int64_t dm = xMajor ? bx - ax : by - ay, dn = xMajor ? by - ay : bx - ax;
    const std::int64_t mLo = xMajor ? left : top, mHi = xMajor ? right : bottom; // [lo, hi)
    const std::int64_t nLo = xMajor ? top : left, nHi = xMajor ? bottom : right;
    const std::int64_t steps = std::llabs(dm);
    if (steps == 0) {
        return;
    }
    const std::int64_t dir = dm > 0 ? 1 : -1;
    // Steps k in [0, steps) whose major coordinate m0 + k * dir lies in the clip.
    std::int64_t kFirst = dir > 0 ? mLo - m0 : m0 - (mHi - 1);
    std::int64_t kLast = dir > 0 ? mHi - 1 - m0 : m0 - mLo;
    kFirst = std::max<std::int64_t>(kFirst, 0);
    kLast = std::min(kLast, steps - 1);
    for (std::int64_t k = kFirst; k <= kLast; ++k) {
        const std::int64_t m = m0 + k * dir;
        const std::int64_t n = n0 + FloorDiv(2 * k * dn + steps, 2 * steps); // round(k * dn / steps), halves up
        if (n < nLo || n >= nHi) {
            continue;
        }
        const int x = static_cast<int>(xMajor ? m : n), y = static_cast<int>(xMajor ? n : m);
        std::uint32_t& pixel = target.Row(y)[x];
        pixel = BlendPixel(argb, pixel, blend);
    }
}

} // namespace vireo::raster
