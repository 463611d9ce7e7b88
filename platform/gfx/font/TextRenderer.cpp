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

// Two 8-bit channels in the 16-bit lanes 0x00FF00FF, each x/255 rounded as (x + 127) / 255.
// Each lane holds src * a + dst * (255 - a) <= 255 * 255, so no carry crosses into the next.
inline std::uint32_t Div255Lanes(std::uint32_t lanes)
{
    lanes += 0x00800080;
    return ((lanes + ((lanes >> 8) & 0x00FF00FF)) >> 8) & 0x00FF00FF;
}

} // namespace

void RenderTextLayout(const raster::Surface& target, const STextLayout& layout, const CGlyphAtlas& atlas, DWORD color)
{
    if (!target.pixels || target.width <= 0 || target.height <= 0)
        return;
    const std::uint32_t colorA = color >> 24;
    if (colorA == 0)
        return; // every texel would be discarded by the alpha test
    const std::uint32_t colorRB = color & 0x00FF00FF;
    const std::uint32_t colorG = (color >> 8) & 0xFF;
    const std::uint32_t opaque = 0xFF000000 | (color & 0x00FFFFFF);

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
            const std::uint8_t* cov =
                &page.coverage[static_cast<std::size_t>(quad.source.top + (y - quad.target.top)) * page.width +
                               quad.source.left + (x0 - quad.target.left)];
            std::uint32_t* row = target.Row(y);
            // Per channel: out = (src * a + dst * (255 - a) + 127) / 255, with src.a = a.
            // Red/blue and alpha/green go through the arithmetic two lanes at a time.
            for (int x = x0; x < x1; ++x, ++cov) {
                const std::uint32_t a = alphaOf[*cov];
                if (a == 0)
                    continue; // alpha test
                if (a == 255) {
                    row[x] = opaque;
                    continue;
                }
                const std::uint32_t inv = 255 - a;
                const std::uint32_t d = row[x];
                const std::uint32_t rb = Div255Lanes(colorRB * a + (d & 0x00FF00FF) * inv);
                const std::uint32_t ag = Div255Lanes(((a << 16) | colorG) * a + ((d >> 8) & 0x00FF00FF) * inv);
                row[x] = (ag << 8) | rb;
            }
        }
    }
}

} // namespace vireo::font
