// Entry points of the rasterizer: quad dispatch (span path, else the per-pixel reference),
// the fill, and the switch that forces the reference path. Lines are in Line.cpp.
#include "platform/raster/QuadBatch.h"
#include "platform/raster/RasterInternal.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <emmintrin.h>

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
    QuadBatch batch(target, state);
    batch.Draw(quad, state.diffuse);
}

void FillRect(const Surface& target, const RECT& rect, std::uint32_t argb)
{
    const int left = std::max<int>(rect.left, 0), right = std::min<int>(rect.right, target.width);
    const int top = std::max<int>(rect.top, 0), bottom = std::min<int>(rect.bottom, target.height);
    if (target.pixels == nullptr || left >= right || top >= bottom) {
        return;
    }
    // Explicit vector stores, so the clear runs at memory speed whatever the optimiser does
    // with a plain loop; ordinary (not streaming) stores, because the target is drawn over
    // right after a clear and should stay in cache.
    // Plain version: for each row, std::fill_n(row + left, right - left, argb).
    for (int y = top; y < bottom; ++y) {
        FillValues(target.Row(y) + left, static_cast<std::size_t>(right - left), argb);
    }
}

void FillValues(std::uint32_t* values, std::size_t count, std::uint32_t value)
{
    std::size_t i = 0;
    for (; i < count && (reinterpret_cast<std::uintptr_t>(values + i) & 15) != 0; ++i) {
        values[i] = value;
    }
    const __m128i v = _mm_set1_epi32(static_cast<int>(value));
    for (; i + 16 <= count; i += 16) {
        auto* p = reinterpret_cast<__m128i*>(values + i);
        _mm_store_si128(p, v);
        _mm_store_si128(p + 1, v);
        _mm_store_si128(p + 2, v);
        _mm_store_si128(p + 3, v);
    }
    for (; i + 4 <= count; i += 4) {
        _mm_store_si128(reinterpret_cast<__m128i*>(values + i), v);
    }
    for (; i < count; ++i) {
        values[i] = value;
    }
}

} // namespace vireo::raster
