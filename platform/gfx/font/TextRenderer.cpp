// Per-pixel blend of glyph coverage: src.a = cov * color.a, dst = src * src.a + dst * (1 -
// src.a) on all four channels (one blend for colour and alpha), 8-bit with rounding.
#include "platform/gfx/font/TextRenderer.h"

#include <algorithm>
#include <cstdint>

namespace vireo::font {

namespace {

inline std::uint32_t Mul255(std::uint32_t a, std::uint32_t b)
{
    return (a * b + 127) / 255;
}

}  // namespace

void RenderTextLayout(const raster::Surface& target, const STextLayout& layout, const CGlyphAtlas& atlas,
                      DWORD color)
{
    if (!target.pixels || target.width <= 0 || target.height <= 0)
        return;
    const std::uint32_t colorA = color >> 24;
    const std::uint32_t colorR = (color >> 16) & 0xFF, colorG = (color >> 8) & 0xFF, colorB = color & 0xFF;
    if (colorA == 0)
        return;  // every texel would be discarded by the alpha test

    // alpha of each coverage value for this colour, looked up per pixel
    std::uint8_t alphaOf[256];
    for (std::uint32_t c = 0; c < 256; ++c)
        alphaOf[c] = static_cast<std::uint8_t>(Mul255(c, colorA));

    for (const SGlyphQuad& quad : layout.quads) {
        if (quad.page < 0 || quad.page >= atlas.PageCount())
            continue;
        const SAtlasPage& page = atlas.Page(quad.page);
        const int x0 = std::max<int>(quad.target.left, 0), y0 = std::max<int>(quad.target.top, 0);
        const int x1 = std::min<int>(quad.target.right, target.width);
        const int y1 = std::min<int>(quad.target.bottom, target.height);
        for (int y = y0; y < y1; ++y) {
            const std::uint8_t* cov = &page.coverage[static_cast<std::size_t>(quad.source.top + (y - quad.target.top)) *
                                                         page.width +
                                                     quad.source.left + (x0 - quad.target.left)];
            std::uint32_t* row = target.Row(y);
            for (int x = x0; x < x1; ++x, ++cov) {
                const std::uint32_t a = alphaOf[*cov];
                if (a == 0)
                    continue;
                const std::uint32_t inv = 255 - a;
                const std::uint32_t d = row[x];
                const std::uint32_t outA = (a * a + (d >> 24) * inv + 127) / 255;
                const std::uint32_t outR = (colorR * a + ((d >> 16) & 0xFF) * inv + 127) / 255;
                const std::uint32_t outG = (colorG * a + ((d >> 8) & 0xFF) * inv + 127) / 255;
                const std::uint32_t outB = (colorB * a + (d & 0xFF) * inv + 127) / 255;
                row[x] = (outA << 24) | (outR << 16) | (outG << 8) | outB;
            }
        }
    }
}

}  // namespace vireo::font
