// Pages of 8-bit glyph coverage filled shelf by shelf. A page can be expanded to A8R8G8B8
// texels (white, coverage in alpha) for a texture; the atlas itself knows no device.
// Glyphs are never evicted: a font's pages grow with the characters it has drawn.
#pragma once

#include <vireo/platform/Win32.h>

#include <cstdint>
#include <vector>

namespace vireo::font {

struct SAtlasPage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage; // width * height, top row first, 0 = empty
    std::uint32_t version = 0;          // bumped on every glyph added, for texture uploads
    // shelf packing state
    int shelfY = 0;
    int shelfHeight = 0;
    int cursorX = 0;
};

struct SAtlasSlot {
    int page = -1;
    RECT rect{}; // in page pixels, right/bottom exclusive
};

class CGlyphAtlas {
  public:
    static constexpr int kPageSize = 512;
    static constexpr int kPadding = 1; // empty texels between glyphs, so filtering never bleeds

    // Reserves a width x height area (0 x 0 gives an empty slot on no page). A glyph larger
    // than a page gets a page of its own size.
    SAtlasSlot Allocate(int width, int height);

    // Copies rows of coverage into a slot; pitch in bytes of the source rows.
    void Write(const SAtlasSlot& slot, const std::uint8_t* source, int pitch);

    int PageCount() const { return static_cast<int>(m_Pages.size()); }
    const SAtlasPage& Page(int index) const { return m_Pages[index]; }

    // The page as A8R8G8B8 texels: RGB white, alpha the coverage. pitch in bytes.
    void ExpandPage(int index, std::uint32_t* texels, int pitch) const;

    void Clear() { m_Pages.clear(); }

  private:
    SAtlasPage& NewPage(int width, int height);

    std::vector<SAtlasPage> m_Pages;
};

} // namespace vireo::font
