// Helpers of the font tests: a font by face and height, a canvas to render a layout onto,
// and the ink box of what was drawn.
#pragma once

#include "platform/gfx/font/TextFont.h"
#include "platform/gfx/font/TextLayout.h"
#include "platform/gfx/font/TextRenderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <vector>

namespace vireo::font::test {

inline std::unique_ptr<CTextFont> MakeFont(const wchar_t* face, int height, int weight = 400, bool italic = false,
                                           int width = 0)
{
    return CTextFont::Create({height, width, weight, italic, face});
}

struct Canvas {
    static constexpr std::uint32_t kBackground = 0xFF000000;
    std::vector<std::uint32_t> pixels;
    raster::Surface surface;

    Canvas(int width, int height, std::uint32_t fill = kBackground)
        : pixels(static_cast<std::size_t>(width) * height, fill)
    {
        surface.pixels = pixels.data();
        surface.width = width;
        surface.height = height;
        surface.pitch = width * 4;
    }
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * surface.width + x]; }
};

struct Ink {
    int left = INT_MAX, top = INT_MAX, right = 0, bottom = 0; // right/bottom exclusive
    long count = 0;                                           // pixels that differ from the background
};

inline Ink FindInk(const Canvas& canvas)
{
    Ink ink;
    for (int y = 0; y < canvas.surface.height; ++y)
        for (int x = 0; x < canvas.surface.width; ++x)
            if (canvas.At(x, y) != Canvas::kBackground)
                ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1),
                       std::max(ink.bottom, y + 1), ink.count + 1};
    return ink;
}

// Lays text out and draws it white onto a fresh canvas; returns the ink box.
inline Ink DrawInk(CTextFont& font, const wchar_t* text, RECT box, DWORD format, int width = 400, int height = 200,
                   STextLayout* layoutOut = nullptr)
{
    Canvas canvas(width, height);
    STextLayout layout;
    LayoutText(font, text, -1, box, format, layout);
    RenderTextLayout(canvas.surface, layout, font.Atlas(), 0xFFFFFFFF);
    if (layoutOut)
        *layoutOut = layout;
    return FindInk(canvas);
}

} // namespace vireo::font::test
