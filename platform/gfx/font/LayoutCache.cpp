// The layout cache: least recently used of a fixed number of entries, matched on the whole
// string, the box and the flags, and valid only while the font's glyphs stay where they were.
#include "platform/gfx/font/LayoutCache.h"

#include <cwchar>

namespace vireo::font {

namespace {

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace

const STextLayout& CLayoutCache::Get(CTextFont& font, const wchar_t* text, int count, const RECT& rect, DWORD format)
{
    const std::size_t length = !text ? 0 : count < 0 ? std::wcslen(text) : static_cast<std::size_t>(count);
    if (length > kMaxCharacters) {
        LayoutText(font, text, count, rect, format, m_uncached);
        return m_uncached;
    }
    const std::uint64_t generation = GlyphGeneration(font);
    ++m_clock;
    SEntry* oldest = nullptr;
    for (SEntry& entry : m_entries) {
        if (entry.lastUse != 0 && entry.format == format && entry.text.size() == length && SameRect(entry.rect, rect) &&
            std::wmemcmp(entry.text.data(), text, length) == 0) {
            entry.lastUse = m_clock;
            if (entry.generation != generation) {
                LayoutText(font, text, count, rect, format, entry.layout);
                entry.generation = GlyphGeneration(font);
            } else {
                ++m_hits;
            }
            return entry.layout;
        }
        if (!oldest || entry.lastUse < oldest->lastUse)
            oldest = &entry;
    }
    if ((!oldest || oldest->lastUse != 0) && m_entries.size() < kEntries) {
        m_entries.emplace_back();
        oldest = &m_entries.back();
    }
    oldest->text.assign(text, length);
    oldest->rect = rect;
    oldest->format = format;
    oldest->lastUse = m_clock;
    LayoutText(font, text, count, rect, format, oldest->layout);
    oldest->generation = GlyphGeneration(font); // after the layout: it rasterises what it lacks
    return oldest->layout;
}

void CLayoutCache::Clear()
{
    for (SEntry& entry : m_entries)
        entry.lastUse = 0;
}

std::uint64_t GlyphGeneration(const CTextFont& font)
{
    return font.Generation();
}

} // namespace vireo::font
