// DrawText layout of an ID3DXFont: lines (CR, LF, CR-LF), word breaking, alignment in the
// box, clipping to it, and the returned height and DT_CALCRECT rectangle. The result is a
// list of glyph quads on atlas pages; drawing them is the sprite's or the CPU renderer's job.
#pragma once

#include "platform/gfx/font/TextFont.h"

#include <vireo/platform/Gdi.h>
#include <vireo/platform/Win32.h>

#include <vector>

namespace vireo::font {

struct SGlyphQuad {
    RECT target; // in target pixels, right/bottom exclusive
    int page;    // atlas page
    RECT source; // in page pixels, the same size as target
    RECT clip;   // what the quad was cut to (the box), or its own target under DT_NOCLIP.
                 // Quads arrive already cut: a 1:1 consumer can ignore this.
};

struct SLayoutLine {
    int begin = 0; // text offsets of the characters drawn on the line, end exclusive
    int end = 0;
    LONG left = 0; // pen start and cell top
    LONG top = 0;
    int width = 0; // sum of advances
};

struct STextLayout {
    std::vector<SGlyphQuad> quads;
    std::vector<SLayoutLine> lines; // every line, drawn or clipped away
    int height = 0;                 // what DrawText returns
    int lineCount = 0;
    RECT rect{}; // the box; under DT_CALCRECT the measured rectangle
};

// Lays text out in rect with DT_* format flags. count < 0 means up to the terminator.
// out is overwritten; its storage is reused, so a caller that lays out every frame keeps it.
void LayoutText(CTextFont& font, const wchar_t* text, int count, const RECT& rect, DWORD format, STextLayout& out);

} // namespace vireo::font
