// The CPU text renderer: the sprite's blend of white-coverage glyph texels with the colour.
#include "FontTestUtil.h"

#include <random>

namespace vireo::font::test {
namespace {

// The documented per-channel blend, one pixel at a time, against the renderer's packed path.
std::uint32_t ReferenceBlend(std::uint32_t dst, std::uint32_t color, std::uint32_t coverage)
{
    const std::uint32_t a = (coverage * (color >> 24) + 127) / 255;
    if (a == 0)
        return dst;
    std::uint32_t out = (a * a + (dst >> 24) * (255 - a) + 127) / 255 << 24;
    for (int shift : {16, 8, 0}) {
        std::uint32_t s = (color >> shift) & 0xFF, d = (dst >> shift) & 0xFF;
        out |= (s * a + d * (255 - a) + 127) / 255 << shift;
    }
    return out;
}

// Covers partial coverage at every edge of real glyphs over random targets and colours.
TEST(TextRenderer, EveryPixelMatchesThePerChannelBlend)
{
    const auto font = MakeFont(L"DejaVu Sans", 20);
    ASSERT_NE(font, nullptr);
    // Hand-checked: a = 128 gives rgb c*128/255 + d*127/255 and alpha (128*128 + 255*127) / 255.
    EXPECT_EQ(ReferenceBlend(0xFF0000FF, 0x80FF0000, 255), 0xBF80007Fu);
    EXPECT_EQ(ReferenceBlend(0x00000000, 0x80FFFFFF, 255), 0x40808080u);
    EXPECT_EQ(ReferenceBlend(0xFF0000FF, 0xFF102030, 255), 0xFF102030u);
    const unsigned seed = 20261205;
    std::mt19937 random(seed);
    const wchar_t* text = L"Vireo @#%& 你好 gjpqy";
    STextLayout layout;
    LayoutText(*font, text, -1, {0, 0, 300, 40}, DT_LEFT, layout);
    for (int round = 0; round < 20; ++round) {
        const std::uint32_t color = random();
        Canvas canvas(300, 40), expected(300, 40);
        for (std::size_t i = 0; i < canvas.pixels.size(); ++i)
            canvas.pixels[i] = expected.pixels[i] = random();
        RenderTextLayout(canvas.surface, layout, font->Atlas(), color);
        for (const SGlyphQuad& q : layout.quads) {
            const SAtlasPage& page = font->Atlas().Page(q.page);
            for (int y = q.target.top; y < q.target.bottom; ++y) {
                for (int x = q.target.left; x < q.target.right; ++x) {
                    std::uint32_t& p = expected.pixels[static_cast<std::size_t>(y) * 300 + x];
                    p = ReferenceBlend(
                        p, color,
                        page.coverage[static_cast<std::size_t>(q.source.top + y - q.target.top) * page.width +
                                      q.source.left + x - q.target.left]);
                }
            }
        }
        ASSERT_EQ(canvas.pixels, expected.pixels)
            << "seed " << seed << " round " << round << std::hex << " colour " << color;
    }
}

} // namespace
} // namespace vireo::font::test
