// Draws a laid-out text onto an A8R8G8B8 surface on the CPU, the way the sprite draws glyph
// textures: texel white with coverage alpha, modulated by the colour, source-alpha blended,
// texels of alpha 0 discarded. For tests and benchmarks now; the sprite path must match it.
#pragma once

#include "platform/gfx/font/GlyphAtlas.h"
#include "platform/gfx/font/TextLayout.h"
#include "platform/raster/Raster.h"

#include <vireo/platform/Win32.h>

namespace vireo::font {

// color is ARGB. Quads are cut to the surface; nothing outside it is touched.
void RenderTextLayout(const raster::Surface& target, const STextLayout& layout, const CGlyphAtlas& atlas, DWORD color);

} // namespace vireo::font
