// The layout cache: least recently used entries, bounded in number and in characters, found
// by a hash of the whole string, the box and the flags and matched on all three, valid only
// while the font's glyphs stay where they were.
#include "platform/gfx/font/LayoutCache.h"

#include <cstring>
#include <cwchar>

namespace vireo::font {

namespace {

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

constexpr std::uint64_t kMix = 0x9E3779B97F4A7C15u;

// Four independent lanes of 8 bytes: a long text (a page of 2,000 characters drawn every
// frame) is hashed at memory speed rather than a byte at a time; a hit is compared in full
// anyway, so the hash only has to tell texts apart.
std::uint64_t HashText(const wchar_t* text, std::size_t length)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    const std::size_t size = length * sizeof(wchar_t);
    std::uint64_t lanes[4] = {size, kMix, ~kMix, kMix >> 7};
    auto mix = [](std::uint64_t lane, std::uint64_t word) {
        lane = (lane ^ word) * kMix;
        return lane ^ (lane >> 31);
    };
    std::size_t at = 0;
    for (; at + 32 <= size; at += 32) {
        for (int j = 0; j < 4; ++j) {
            std::uint64_t word;
            std::memcpy(&word, bytes + at + 8 * j, 8);
            lanes[j] = mix(lanes[j], word);
        }
    }
    for (int j = 0; at < size; ++j) {
        std::uint64_t word = 0;
        const std::size_t part = size - at < 8 ? size - at : 8;
        std::memcpy(&word, bytes + at, part);
        lanes[j] = mix(lanes[j], word);
        at += part;
    }
    return mix(mix(lanes[0], lanes[1]), mix(lanes[2], lanes[3]));
}

std::uint64_t Key(const wchar_t* text, std::size_t length, const RECT& rect, DWORD format)
{
    std::uint64_t key = HashText(text, length);
    for (const std::int64_t value : {std::int64_t{rect.left}, std::int64_t{rect.top}, std::int64_t{rect.right},
                                     std::int64_t{rect.bottom}, std::int64_t{format}})
        key = (key ^ static_cast<std::uint64_t>(value)) * kMix;
    return key ^ (key >> 29);
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
    const std::uint64_t key = Key(text, length, rect, format);
    if (const auto found = m_index.find(key); found != m_index.end()) {
        SEntry& entry = *found->second;
        if (entry.format == format && entry.text.size() == length && SameRect(entry.rect, rect) &&
            std::wmemcmp(entry.text.data(), text, length) == 0) {
            m_entries.splice(m_entries.begin(), m_entries, found->second);
            if (entry.generation != generation) {
                LayoutText(font, text, count, rect, format, entry.layout);
                entry.generation = GlyphGeneration(font);
            } else {
                ++m_hits;
            }
            return entry.layout;
        }
    }
    // Room for one more text of this length: the least recently used go, and the last of
    // them lends its storage to the new entry.
    bool reused = false;
    while (!m_entries.empty() && (m_entries.size() >= kEntries || m_characters + length > kCharacterBudget)) {
        const Entries::iterator last = std::prev(m_entries.end());
        if (const auto indexed = m_index.find(last->key); indexed != m_index.end() && indexed->second == last)
            m_index.erase(indexed);
        m_characters -= last->text.size();
        if (m_characters + length <= kCharacterBudget) {
            m_entries.splice(m_entries.begin(), m_entries, last);
            reused = true;
            break;
        }
        m_entries.erase(last);
    }
    if (!reused)
        m_entries.emplace_front();
    SEntry& entry = m_entries.front();
    entry.key = key;
    entry.text.assign(text, length);
    entry.rect = rect;
    entry.format = format;
    m_characters += length;
    m_index[key] = m_entries.begin();
    LayoutText(font, text, count, rect, format, entry.layout);
    entry.generation = GlyphGeneration(font); // after the layout: it rasterises what it lacks
    return entry.layout;
}

void CLayoutCache::Clear()
{
    m_entries.clear();
    m_index.clear();
    m_characters = 0;
}

std::uint64_t GlyphGeneration(const CTextFont& font)
{
    return font.Generation();
}

} // namespace vireo::font
