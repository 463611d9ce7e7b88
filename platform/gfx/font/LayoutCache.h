// Laid-out texts kept from one frame to the next: a text drawn again with the same string,
// box and flags reuses its glyph quads instead of being wrapped and looked up again.
// Bounded (a few dozen texts, long texts not kept); it draws nothing and owns no glyphs.
#pragma once

#include "platform/gfx/font/TextLayout.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vireo::font {

class CLayoutCache {
  public:
    static constexpr std::size_t kEntries = 32;
    static constexpr std::size_t kMaxCharacters = 4096; // longer texts are laid out each time

    // The layout of text (count < 0: up to the terminator) in rect with format, laid out
    // again only when it is not kept or glyphs were rasterised since it was made: new glyphs
    // may have moved others in the atlas (see GlyphGeneration). Valid until the next call.
    const STextLayout& Get(CTextFont& font, const wchar_t* text, int count, const RECT& rect, DWORD format);

    // Forgets every layout (device reset), keeping the storage.
    void Clear();

    std::size_t Hits() const { return m_hits; }

  private:
    struct SEntry {
        std::wstring text;
        RECT rect{};
        DWORD format = 0;
        std::uint64_t generation = 0;
        std::uint64_t lastUse = 0; // 0: empty
        STextLayout layout;
    };

    std::vector<SEntry> m_entries;
    STextLayout m_uncached; // for texts too long to keep
    std::uint64_t m_clock = 0;
    std::size_t m_hits = 0;
};

// What a font's atlas looks like now, as a number that changes whenever a glyph was
// rasterised (and so whenever a slot may have been given or taken).
std::uint64_t GlyphGeneration(const CTextFont& font);

} // namespace vireo::font
