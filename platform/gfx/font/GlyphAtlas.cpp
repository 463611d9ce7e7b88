// Shelf packing of glyph bitmaps into coverage pages. Simple and good enough for text: glyphs
// of one font have similar heights, so shelves waste little.
#include "platform/gfx/font/GlyphAtlas.h"

#include <algorithm>
#include <cstring>

namespace vireo::font {

SAtlasPage& CGlyphAtlas::NewPage(int width, int height)
{
    SAtlasPage& page = m_Pages.emplace_back();
    page.width = width;
    page.height = height;
    page.coverage.assign(static_cast<std::size_t>(width) * height, 0);
    return page;
}

SAtlasSlot CGlyphAtlas::Allocate(int width, int height)
{
    SAtlasSlot slot;
    if (width <= 0 || height <= 0)
        return slot;
    const int w = width + kPadding;
    const int h = height + kPadding;
    if (w > kPageSize || h > kPageSize) {
        NewPage(w, h);
        slot.page = PageCount() - 1;
        slot.rect = {0, 0, width, height};
        return slot;
    }
    // Only the last regular page takes new glyphs; earlier ones are full.
    SAtlasPage* page = nullptr;
    for (int i = PageCount() - 1; i >= 0; --i) {
        if (m_Pages[i].width == kPageSize && m_Pages[i].height == kPageSize) {
            page = &m_Pages[i];
            slot.page = i;
            break;
        }
    }
    if (page && page->cursorX + w > kPageSize) { // next shelf
        page->shelfY += page->shelfHeight;
        page->shelfHeight = 0;
        page->cursorX = 0;
    }
    if (!page || page->shelfY + h > kPageSize) {
        page = &NewPage(kPageSize, kPageSize);
        slot.page = PageCount() - 1;
    }
    slot.rect = {page->cursorX, page->shelfY, page->cursorX + width, page->shelfY + height};
    page->cursorX += w;
    page->shelfHeight = std::max(page->shelfHeight, h);
    return slot;
}

void CGlyphAtlas::Write(const SAtlasSlot& slot, const std::uint8_t* source, int pitch)
{
    if (slot.page < 0 || slot.page >= PageCount() || !source)
        return;
    SAtlasPage& page = m_Pages[slot.page];
    const int width = slot.rect.right - slot.rect.left;
    for (int y = slot.rect.top; y < slot.rect.bottom; ++y) {
        const std::uint8_t* row = source + static_cast<std::ptrdiff_t>(y - slot.rect.top) * pitch;
        std::memcpy(&page.coverage[static_cast<std::size_t>(y) * page.width + slot.rect.left], row, width);
    }
    ++page.version;
}

void CGlyphAtlas::ExpandPage(int index, std::uint32_t* texels, int pitch) const
{
    if (index < 0 || index >= PageCount() || !texels)
        return;
    const SAtlasPage& page = m_Pages[index];
    for (int y = 0; y < page.height; ++y) {
        auto* out = reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(texels) +
                                                     static_cast<std::ptrdiff_t>(y) * pitch);
        const std::uint8_t* in = &page.coverage[static_cast<std::size_t>(y) * page.width];
        for (int x = 0; x < page.width; ++x)
            out[x] = (static_cast<std::uint32_t>(in[x]) << 24) | 0x00FFFFFF;
    }
}

} // namespace vireo::font
