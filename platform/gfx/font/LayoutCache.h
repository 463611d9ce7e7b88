// Laid-out texts kept from one frame to the next: a text drawn again with the same string,
// box and flags reuses its glyph quads instead of being wrapped and looked up again.
// Bounded in texts and in their characters (long texts not kept); a hashed lookup, so that a
// screen of a few hundred labels finds each one at once. It draws nothing and owns no glyphs.
#pragma once

#include "platform/gfx/font/TextLayout.h"

#include <cstdint>
#include <list>
#include <string>
#include <unordered_map>

namespace vireo::font {

class CLayoutCache {
  public:
    static constexpr std::size_t kEntries = 1024;
    static constexpr std::size_t kMaxCharacters = 4096;    // longer texts are laid out each time
    static constexpr std::size_t kCharacterBudget = 65536; // of all the texts kept

    // The layout of text (count < 0: up to the terminator) in rect with format, laid out
    // again only when it is not kept or glyphs were rasterised since it was made: new glyphs
    // may have moved others in the atlas (see GlyphGeneration). Valid until the next call.
    const STextLayout& Get(CTextFont& font, const wchar_t* text, int count, const RECT& rect, DWORD format);

    // Forgets every layout (device reset).
    void Clear();

    std::size_t Hits() const { return m_hits; }

  private:
    struct SEntry {
        std::uint64_t key = 0; // the hash of text, rect and format
        std::wstring text;
        RECT rect{};
        DWORD format = 0;
        std::uint64_t generation = 0;
        STextLayout layout;
    };
    using Entries = std::list<SEntry>;

    Entries m_entries; // the most recently used first
    // Key to entry. Two calls of one key (a hash collision) keep the newer one here; the
    // other stays in the list, unreachable, until it is the least recently used.
    std::unordered_map<std::uint64_t, Entries::iterator> m_index;
    std::size_t m_characters = 0; // of the texts in m_entries
    STextLayout m_uncached;       // for texts too long to keep
    std::size_t m_hits = 0;
};

// What a font's atlas looks like now, as a number that changes whenever a glyph was
// rasterised (and so whenever a slot may have been given or taken).
std::uint64_t GlyphGeneration(const CTextFont& font);

} // namespace vireo::font
