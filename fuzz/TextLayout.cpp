// Fuzzes DrawText layout and the CPU text renderer with any text, box, format and font height:
// bytes 0-19 choose the height, box and flags, the rest is UTF-32LE text. Checks that every
// quad stays inside the box (unless DT_NOCLIP) and matches its atlas source in size.
#include "platform/gfx/font/TextLayout.h"
#include "platform/gfx/font/TextFont.h"
#include "platform/gfx/font/TextRenderer.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace vireo::font;

namespace {

std::int32_t Read32(const std::uint8_t* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return static_cast<std::int32_t>(v);
}

CTextFont* FontOfHeight(int height)
{
    // Heights are folded into a few fonts, so glyph caches (and memory) stay bounded.
    static std::map<int, std::unique_ptr<CTextFont>> fonts;
    height = height % 64;
    auto& font = fonts[height];
    if (!font) {
        STextFontDesc desc;
        desc.face = L"Times New Roman";
        desc.height = height;
        font = CTextFont::Create(desc);
    }
    return font.get();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 20)
        return 0;
    CTextFont* font = FontOfHeight(static_cast<std::int8_t>(data[0]));
    if (!font)
        return 0;
    // Box corners in a small range around the canvas, plus the odd extreme value.
    auto coordinate = [&](int i) {
        std::int32_t v = Read32(data + 4 + 4 * i);
        return (v & 0x40000000) ? v : v % 400;
    };
    RECT box{coordinate(0), coordinate(1), coordinate(2), 0};
    box.bottom = static_cast<std::int16_t>(data[2] | (data[3] << 8)) % 400;
    DWORD format = static_cast<DWORD>(Read32(data + 16));

    std::wstring text;
    for (std::size_t i = 20; i + 4 <= size && text.size() < 4096; i += 4)
        text += static_cast<wchar_t>(Read32(data + i));

    STextLayout layout;
    LayoutText(*font, text.c_str(), static_cast<int>(text.size()), box, format, layout);
    for (const SGlyphQuad& quad : layout.quads) {
        if (quad.target.right - quad.target.left != quad.source.right - quad.source.left ||
            quad.target.bottom - quad.target.top != quad.source.bottom - quad.source.top)
            std::abort();
        if (!(format & DT_NOCLIP) && (quad.target.left < box.left || quad.target.right > box.right ||
                                      quad.target.top < box.top || quad.target.bottom > box.bottom))
            std::abort();
    }
    std::vector<std::uint32_t> pixels(200 * 100, 0xFF000000);
    vireo::raster::Surface surface{pixels.data(), 200, 100, 200 * 4};
    RenderTextLayout(surface, layout, font->Atlas(), 0x80FFFFFF);
    return 0;
}
