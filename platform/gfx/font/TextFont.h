// One font as an ID3DXFont sees it: a face chosen by name, weight and slant, sized by the
// LOGFONT height rule, with per-character fallback faces and a glyph cache in a coverage
// atlas. Each glyph is rasterised once, on first use. It knows no device and draws nothing.
#pragma once

#include "platform/gfx/font/FontMatcher.h"
#include "platform/gfx/font/GlyphAtlas.h"

#include <vireo/platform/Win32.h>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace vireo::font {

struct STextFontDesc {
    int height = 0;   // LOGFONT height: > 0 cell height, < 0 character (em) height, 0 = 16-pixel cell
    int width = 0;    // average character width in pixels; 0 = the face's natural width
    int weight = 400; // 0-1000; 0 = normal; 600 and above asks for bold
    bool italic = false;
    std::wstring face; // Win32 face name
};

// Integer pixel metrics in the GDI sense (TEXTMETRIC).
struct STextMetrics {
    int ascent = 0;  // baseline below the cell top
    int descent = 0; // cell bottom below the baseline
    int height = 0;  // cell height = ascent + descent; also the line advance
    int internalLeading = 0;
    int averageWidth = 0;
};

struct SGlyph {
    int advance = 0; // pen advance in whole pixels
    int left = 0;    // bitmap left edge relative to the pen
    int top = 0;     // bitmap top edge above the baseline
    int width = 0;   // bitmap size; 0 x 0 for blank glyphs (space)
    int height = 0;
    SAtlasSlot slot;           // page -1 for blank glyphs
    int faceSlot = 0;          // 0 = the chosen face, above = a fallback face
    unsigned glyphIndex = 0;   // 0 = the face's missing-glyph box
    std::uint64_t lastUse = 0; // the font's text clock when last looked up
};

class CTextFont {
  public:
    // Null when no font file can be opened at all (no fonts installed).
    static std::unique_ptr<CTextFont> Create(const STextFontDesc& desc);
    ~CTextFont();
    CTextFont(const CTextFont&) = delete;
    CTextFont& operator=(const CTextFont&) = delete;

    const STextFontDesc& Desc() const { return m_Desc; }
    const STextMetrics& Metrics() const { return m_Metrics; }
    double EmPixels() const { return m_EmPixels; }

    // The cache is bounded: at most kMaxAtlasPages live atlas pages (2 MiB of coverage at
    // 512 x 512, more only for glyphs larger than a page), kMaxGlyphs glyphs and
    // kMaxCharacters remembered characters between texts. When a new glyph needs a page
    // beyond the bound, the page drawn least recently is emptied and its glyphs forgotten
    // (rasterised again when drawn again). Pages used by the text being laid out are never
    // taken, so one text may go beyond the bound until the next BeginText.
    static constexpr int kMaxAtlasPages = 8;
    static constexpr std::size_t kMaxGlyphs = 16384;
    static constexpr std::size_t kMaxCharacters = 16384;

    // Starts a text: glyphs looked up from now on belong to it, and the cache is brought back
    // within its bound. Pointers to glyphs stay valid until the next BeginText.
    void BeginText();

    // The glyph for a character; the first call for it rasterises, later calls only look up.
    // Values that are no character (above U+10FFFF, lone surrogates) all share the face's
    // missing-glyph box.
    const SGlyph& Glyph(char32_t c);

    // GetTextExtentPoint32W: sum of advances of count characters (negative = up to the
    // terminator), and the cell height. CR and LF count as glyphs.
    SIZE Measure(const wchar_t* text, int count);

    const CGlyphAtlas& Atlas() const { return m_Atlas; }
    int RasterisedCount() const { return m_Rasterised; } // glyph rasterisations so far
    // Changes whenever a glyph was rasterised or a page emptied (and so whenever a slot may
    // have been given or taken).
    std::uint64_t Generation() const;
    std::size_t GlyphCount() const { return m_Glyphs.size(); }
    std::size_t CharacterCount() const { return m_High.size(); } // remembered characters from 256 up

    // Family names of the chosen face and of the face that draws c (rasterises c if needed).
    const std::string& FamilyName() const;
    const std::string& FamilyFor(char32_t c);
    const SFaceMatch& Match() const { return m_Match; }

  private:
    struct SFace;

    CTextFont() = default;
    bool OpenPrimary();
    int OpenFace(const SFaceMatch& match);
    void Rasterise(SGlyph& glyph, int faceSlot, unsigned glyphIndex);
    SGlyph& Lookup(char32_t c);
    SGlyph& GlyphAt(int faceSlot, unsigned glyphIndex);
    void ResolveFace(char32_t c, int& faceSlot, unsigned& glyphIndex);
    const SGlyph& Use(SGlyph& glyph);
    void EvictPage(int page);
    void ForgetCharacters();

    STextFontDesc m_Desc;
    SFaceMatch m_Match;
    STextMetrics m_Metrics;
    double m_EmPixels = 0;
    double m_EmPixelsX = 0;
    std::vector<std::unique_ptr<SFace>> m_Faces; // [0] the chosen face
    // Glyphs by face slot and glyph index: characters that share a glyph (every character
    // without one shares the missing-glyph box) share one rasterisation and one atlas slot.
    std::unordered_map<std::uint64_t, SGlyph> m_Glyphs;
    std::vector<SGlyph*> m_Low; // characters below 256, by value
    std::unordered_map<char32_t, SGlyph*> m_High;
    std::unique_ptr<CFallbackFaces> m_Fallback; // made on the first character the face lacks
    CGlyphAtlas m_Atlas;
    int m_Rasterised = 0;
    std::uint64_t m_Clock = 1; // advanced by BeginText
    // The last text measured, its width and the pages its glyphs sit on.
    static constexpr std::size_t kMaxMeasuredCharacters = 8192;
    struct SMeasured {
        bool kept = false;
        std::wstring text;
        std::uint64_t generation = 0;
        LONG width = 0;
        std::vector<int> pages;
    };
    SMeasured m_Measured;
};

} // namespace vireo::font
