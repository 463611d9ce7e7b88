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
    SAtlasSlot slot;         // page -1 for blank glyphs
    int faceSlot = 0;        // 0 = the chosen face, above = a fallback face
    unsigned glyphIndex = 0; // 0 = the face's missing-glyph box
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

    // The glyph for a character; the first call for it rasterises, later calls only look up.
    const SGlyph& Glyph(char32_t c);

    // GetTextExtentPoint32W: sum of advances of count characters (negative = up to the
    // terminator), and the cell height. CR and LF count as glyphs.
    SIZE Measure(const wchar_t* text, int count);

    const CGlyphAtlas& Atlas() const { return m_Atlas; }
    int RasterisedCount() const { return m_Rasterised; } // distinct glyphs rendered so far

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
    const SGlyph& Lookup(char32_t c);
    void ResolveFace(char32_t c, int& faceSlot, unsigned& glyphIndex);

    STextFontDesc m_Desc;
    SFaceMatch m_Match;
    STextMetrics m_Metrics;
    double m_EmPixels = 0;
    double m_EmPixelsX = 0;
    std::vector<std::unique_ptr<SFace>> m_Faces; // [0] the chosen face
    // Glyphs by face slot and glyph index: characters that share a glyph (every character
    // without one shares the missing-glyph box) share one rasterisation and one atlas slot.
    std::unordered_map<std::uint64_t, SGlyph> m_Glyphs;
    std::vector<const SGlyph*> m_Low; // characters below 256, by value
    std::unordered_map<char32_t, const SGlyph*> m_High;
    std::unique_ptr<CFallbackFaces> m_Fallback; // made on the first character the face lacks
    CGlyphAtlas m_Atlas;
    int m_Rasterised = 0;
};

} // namespace vireo::font
