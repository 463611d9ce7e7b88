// Pages of 8-bit glyph coverage filled shelf by shelf. A page can be expanded to A8R8G8B8
// texels (white, coverage in alpha) for a texture; the atlas itself knows no device and
// knows nothing of the glyphs in it: their owner evicts whole pages (ReleasePage).
#pragma once

#include <vireo/platform/Win32.h>

#include <cstdint>
#include <vector>

namespace vireo::font {

struct SAtlasPage {
    int width = 0; // 0 x 0: a released page, free for the next page needed
    int height = 0;
    std::vector<std::uint8_t> coverage; // width * height, top row first, 0 = empty
    std::uint32_t version = 0;          // bumped on every glyph added or page released, for texture uploads
    std::uint64_t lastUse = 0;          // the owner's clock at the last draw of a glyph on it
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
    // than a page gets a page of its own size. A new page takes the place of a released one.
    SAtlasSlot Allocate(int width, int height);
    // Whether Allocate(width, height) would need a page beyond those holding coverage now.
    bool NeedsNewPage(int width, int height) const;

    // Copies rows of coverage into a slot; pitch in bytes of the source rows.
    void Write(const SAtlasSlot& slot, const std::uint8_t* source, int pitch);

    int PageCount() const { return static_cast<int>(m_Pages.size()); } // released pages included
    int LivePageCount() const;                                         // pages holding coverage
    const SAtlasPage& Page(int index) const { return m_Pages[index]; }
    void Touch(int page, std::uint64_t now) { m_Pages[page].lastUse = now; }
    // The live page drawn least recently before `before`, or -1.
    int LeastRecentlyUsedPage(std::uint64_t before) const;
    // Frees the page's coverage; its slots are gone (the owner forgets their glyphs).
    void ReleasePage(int index);
    // Bytes of coverage held by live pages.
    std::size_t CoverageBytes() const;

    // The page as A8R8G8B8 texels: RGB white, alpha the coverage. pitch in bytes.
    void ExpandPage(int index, std::uint32_t* texels, int pitch) const;

    void Clear() { m_Pages.clear(); }

  private:
    SAtlasPage& NewPage(int width, int height, int& index);
    // The regular page taking new glyphs: the last one that still has room.
    int CurrentPage() const;

    std::vector<SAtlasPage> m_Pages;
    int m_Current = -1;
};

} // namespace vireo::font
