// Entry points of the rasterizer: quad dispatch (span path, else the per-pixel reference),
// the fill, and the switch that forces the reference path. Lines are in Line.cpp.
#include "platform/raster/RasterInternal.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace vireo::raster {

namespace {

bool ReferenceFromEnvironment()
{
    const char* value = std::getenv("VIREO_RASTER_REFERENCE");
    return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

bool g_reference = ReferenceFromEnvironment();

} // namespace

void SetReferencePath(bool on)
{
    g_reference = on;
}

bool UsingReferencePath()
{
    return g_reference;
}

void DrawQuad(const Surface& target, const Quad& quad, const QuadState& state)
{
    if (target.pixels == nullptr) {
        return;
    }
    QuadState clipped = state;
    clipped.clip.left = std::max<LONG>(state.clip.left, 0);
    clipped.clip.top = std::max<LONG>(state.clip.top, 0);
    clipped.clip.right = std::min<LONG>(state.clip.right, target.width);
    clipped.clip.bottom = std::min<LONG>(state.clip.bottom, target.height);
    QuadSetup setup;
    if (!SetupQuad(quad, clipped, setup)) {
        return;
    }
    if (g_reference || !DrawQuadSpans(target, setup, clipped)) {
        DrawQuadReference(target, setup, clipped);
    }
}

void FillRect(const Surface& target, const RECT& rect, std::uint32_t argb)
{
    const int left = std::max<int>(rect.left, 0), right = std::min<int>(rect.right, target.width);
    const int top = std::max<int>(rect.top, 0), bottom = std::min<int>(rect.bottom, target.height);
    if (target.pixels == nullptr || left >= right || top >= bottom) {
        return;
    }
    // Ordinary stores: the target is drawn over right after a clear, so it should stay in cache.
    for (int y = top; y < bottom; ++y) {
        std::fill_n(target.Row(y) + left, right - left, argb);
    }
}

} // namespace vireo::raster
