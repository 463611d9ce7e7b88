// Shelf packing of glyph bitmaps into coverage pages. Simple and good enough for text: glyphs
// of one font have similar heights, so shelves waste little. Space is never given back glyph
// by glyph: a page is released whole and then filled again from its top.
#include "platform/gfx/font/GlyphAtlas.h"

#include <algorithm>
#include <cstring>

namespace vireo::font {

namespace {

bool FitsOn(const SAtlasPage& page, int w, int h)
{
    if (page.width != CGlyphAtlas::kPageSize || page.height != CGlyphAtlas::kPageSize)
        return false;
    if (page.cursorX + w <= CGlyphAtlas::kPageSize &&
        page.shelfY + std::max(page.shelfHeight, h) <= CGlyphAtlas::kPageSize)
        return true;
    return page.shelfY + page.shelfHeight + h <= CGlyphAtlas::kPageSize; // on the next shelf
}

} // namespace

SAtlasPage& CGlyphAtlas::NewPage(int width, int height, int& index)
{
    auto released = std::find_if(m_Pages.begin(), m_Pages.end(), [](const SAtlasPage& p) { return p.width == 0; });
    if (released == m_Pages.end())
        released = m_Pages.emplace(m_Pages.end());
    index = static_cast<int>(released - m_Pages.begin());
    SAtlasPage& page = *released;
    const std::uint32_t version = page.version + 1;
    page = SAtlasPage{};
    page.version = version;
    page.width = width;
    page.height = height;
    page.coverage.assign(static_cast<std::size_t>(width) * height, 0);
    return page;
}

int CGlyphAtlas::CurrentPage() const
{
    return m_Current >= 0 && m_Current < PageCount() && m_Pages[m_Current].width == kPageSize ? m_Current : -1;
}

bool CGlyphAtlas::NeedsNewPage(int width, int height) const
{
    if (width <= 0 || height <= 0)
        return false;
    const int w = width + kPadding;
    const int h = height + kPadding;
    if (w > kPageSize || h > kPageSize)
        return true;
    const int current = CurrentPage();
    return current < 0 || !FitsOn(m_Pages[current], w, h);
}

SAtlasSlot CGlyphAtlas::Allocate(int width, int height)
{
    SAtlasSlot slot;
    if (width <= 0 || height <= 0)
        return slot;
    const int w = width + kPadding;
    const int h = height + kPadding;
    if (w > kPageSize || h > kPageSize) {
        NewPage(w, h, slot.page);
        slot.rect = {0, 0, width, height};
        return slot;
    }
    int current = CurrentPage();
    if (current < 0 || !FitsOn(m_Pages[current], w, h))
        NewPage(kPageSize, kPageSize, current);
    m_Current = current;
    SAtlasPage& page = m_Pages[current];
    if (page.cursorX + w > kPageSize || page.shelfY + std::max(page.shelfHeight, h) > kPageSize) { // next shelf
        page.shelfY += page.shelfHeight;
        page.shelfHeight = 0;
        page.cursorX = 0;
    }
    slot.page = current;
    slot.rect = {page.cursorX, page.shelfY, page.cursorX + width, page.shelfY + height};
    page.cursorX += w;
    page.shelfHeight = std::max(page.shelfHeight, h);
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

int CGlyphAtlas::LivePageCount() const
{
    return static_cast<int>(
        std::count_if(m_Pages.begin(), m_Pages.end(), [](const SAtlasPage& p) { return p.width > 0; }));
}

int CGlyphAtlas::LeastRecentlyUsedPage(std::uint64_t before) const
{
    int found = -1;
    for (int i = 0; i < PageCount(); ++i) {
        const SAtlasPage& page = m_Pages[i];
        if (page.width > 0 && page.lastUse < before && (found < 0 || page.lastUse < m_Pages[found].lastUse))
            found = i;
    }
    return found;
}

void CGlyphAtlas::ReleasePage(int index)
{
    if (index < 0 || index >= PageCount())
        return;
    SAtlasPage& page = m_Pages[index];
    const std::uint32_t version = page.version + 1;
    page = SAtlasPage{};
    page.version = version;
    if (m_Current == index)
        m_Current = -1;
}

std::size_t CGlyphAtlas::CoverageBytes() const
{
    std::size_t bytes = 0;
    for (const SAtlasPage& page : m_Pages)
        bytes += page.coverage.capacity();
    return bytes;
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
