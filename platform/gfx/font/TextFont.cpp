// Opens faces with FreeType, sizes them by the LOGFONT height rule and rasterises glyphs into
// the atlas. Coverage is kept at GDI's 65 grey levels (0-64 scaled to 0-255), as a D3DX glyph
// texture holds it. Kerning is never applied: GDI measuring does not apply it either.
#include "platform/gfx/font/TextFont.h"

#include "platform/core/Utf8.h"
#include "platform/gfx/font/FontLog.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cwchar>

namespace vireo::font {

namespace {

constexpr int kMaxPixelHeight = 1024; // larger heights are cut: a glyph is a bitmap in memory
constexpr int kDefaultCellHeight = 16;
constexpr int kMaxFallbackFaces = 8;

// One FreeType library for the process, never freed: fonts may outlive static destructors.
FT_Library Library()
{
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0)
            lib = nullptr;
        return lib;
    }();
    return library;
}

bool IsControl(char32_t c)
{
    return c < 0x20 || c == 0x7F;
}

} // namespace

struct CTextFont::SFace {
    FT_Face face = nullptr;
    SFaceMatch match;
    ~SFace()
    {
        if (face)
            FT_Done_Face(face);
    }
};

std::unique_ptr<CTextFont> CTextFont::Create(const STextFontDesc& desc)
{
    std::unique_ptr<CTextFont> font(new CTextFont());
    font->m_Desc = desc;
    if (!Library() || !font->OpenPrimary())
        return nullptr;
    return font;
}

CTextFont::~CTextFont() = default;

int CTextFont::OpenFace(const SFaceMatch& match)
{
    if (!match.found)
        return -1;
    for (std::size_t i = 0; i < m_Faces.size(); ++i) {
        if (m_Faces[i]->match.file == match.file && m_Faces[i]->match.index == match.index)
            return static_cast<int>(i);
    }
    auto face = std::make_unique<SFace>();
    if (FT_New_Face(Library(), match.file.c_str(), match.index, &face->face) != 0) {
        face->face = nullptr;
        FontLog(3, L"Font \"%ls\": cannot open %ls", m_Desc.face.c_str(),
                vireo::platform::WideFromUtf8(match.file).c_str());
        return -1;
    }
    face->match = match;
    // Fallback faces take the chosen face's em size, so mixed text shares one baseline and size.
    if (!m_Faces.empty() && m_EmPixels > 0) {
        FT_Set_Char_Size(face->face, std::lround(m_EmPixelsX * 64), std::lround(m_EmPixels * 64), 72, 72);
    }
    m_Faces.push_back(std::move(face));
    return static_cast<int>(m_Faces.size()) - 1;
}

bool CTextFont::OpenPrimary()
{
    SFaceRequest request{m_Desc.face, m_Desc.weight, m_Desc.italic};
    m_Match = MatchFace(request);
    if (OpenFace(m_Match) != 0)
        return false;
    FT_Face face = m_Faces[0]->face;

    // Vertical metrics as GDI reads them: OS/2 usWinAscent/usWinDescent, else hhea.
    double upem = face->units_per_EM > 0 ? face->units_per_EM : 2048;
    double winAscent = face->ascender;
    double winDescent = -face->descender;
    double averageUnits = upem / 2;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2)); os2 && os2->version != 0xFFFF) {
        if (os2->usWinAscent + os2->usWinDescent > 0) {
            winAscent = os2->usWinAscent;
            winDescent = os2->usWinDescent;
        }
        if (os2->xAvgCharWidth > 0)
            averageUnits = os2->xAvgCharWidth;
    }
    if (winAscent + winDescent <= 0) {
        winAscent = upem * 0.8;
        winDescent = upem * 0.2;
    }

    // LOGFONT height: positive = cell height, negative = em height, 0 = a default cell.
    std::int64_t height = m_Desc.height == 0 ? kDefaultCellHeight : m_Desc.height;
    bool cell = height > 0;
    std::int64_t magnitude = cell ? height : -height;
    if (magnitude > kMaxPixelHeight) {
        FontLog(2, L"Font \"%ls\": height %d cut to %d pixels", m_Desc.face.c_str(), m_Desc.height, kMaxPixelHeight);
        magnitude = kMaxPixelHeight;
    }
    m_EmPixels = cell ? magnitude * upem / (winAscent + winDescent) : static_cast<double>(magnitude);
    m_Metrics.ascent = static_cast<int>(std::lround(winAscent * m_EmPixels / upem));
    m_Metrics.descent = cell ? static_cast<int>(magnitude) - m_Metrics.ascent
                             : static_cast<int>(std::lround(winDescent * m_EmPixels / upem));
    m_Metrics.height = m_Metrics.ascent + m_Metrics.descent;
    m_Metrics.internalLeading = m_Metrics.height - static_cast<int>(std::lround(m_EmPixels));

    // A width asks for that average character width: stretch the em horizontally.
    double naturalAverage = averageUnits * m_EmPixels / upem;
    m_EmPixelsX = m_EmPixels;
    if (m_Desc.width > 0 && naturalAverage > 0)
        m_EmPixelsX = std::clamp(m_EmPixels * m_Desc.width / naturalAverage, 1.0, double(kMaxPixelHeight));
    m_Metrics.averageWidth =
        m_Desc.width > 0 ? std::min(m_Desc.width, kMaxPixelHeight) : static_cast<int>(std::lround(naturalAverage));

    if (FT_Set_Char_Size(face, std::lround(m_EmPixelsX * 64), std::lround(m_EmPixels * 64), 72, 72) != 0) {
        FontLog(3, L"Font \"%ls\": %ls cannot be sized", m_Desc.face.c_str(),
                vireo::platform::WideFromUtf8(m_Match.file).c_str());
        return false;
    }
    m_Low.assign(256, nullptr);
    return true;
}

void CTextFont::ResolveFace(char32_t c, int& faceSlot, unsigned& glyphIndex)
{
    faceSlot = 0;
    glyphIndex = c > 0x10FFFF ? 0 : FT_Get_Char_Index(m_Faces[0]->face, c);
    if (glyphIndex != 0 || IsControl(c) || c > 0x10FFFF)
        return;
    for (std::size_t i = 1; i < m_Faces.size(); ++i) {
        if (unsigned index = FT_Get_Char_Index(m_Faces[i]->face, c)) {
            faceSlot = static_cast<int>(i);
            glyphIndex = index;
            return;
        }
    }
    if (static_cast<int>(m_Faces.size()) > kMaxFallbackFaces)
        return;
    if (!m_Fallback)
        m_Fallback = std::make_unique<CFallbackFaces>(SFaceRequest{m_Desc.face, m_Desc.weight, m_Desc.italic});
    int slot = OpenFace(m_Fallback->FindFor(c));
    if (slot <= 0)
        return;
    if (unsigned index = FT_Get_Char_Index(m_Faces[slot]->face, c)) {
        faceSlot = slot;
        glyphIndex = index;
    }
}

void CTextFont::Rasterise(SGlyph& glyph, int faceSlot, unsigned glyphIndex)
{
    ++m_Rasterised;
    glyph.faceSlot = faceSlot;
    glyph.glyphIndex = glyphIndex;
    SFace& face = *m_Faces[faceSlot];
    // Outlines only: embedded bitmap strikes would draw some sizes in a different style.
    constexpr FT_Int32 flags = FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL;
    if (FT_Load_Glyph(face.face, glyphIndex, flags) != 0 && FT_Load_Glyph(face.face, 0, flags) != 0)
        return;
    FT_GlyphSlot slot = face.face->glyph;
    if (face.match.syntheticItalic)
        FT_GlyphSlot_Oblique(slot);
    if (face.match.syntheticBold)
        FT_GlyphSlot_Embolden(slot);
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
        return;

    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.width == 0 || bitmap.rows == 0)
        return;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.pixel_mode != FT_PIXEL_MODE_MONO)
        return;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.height = static_cast<int>(bitmap.rows);

    const unsigned grayMax = bitmap.num_grays > 1 ? bitmap.num_grays - 1u : 255u;
    std::vector<std::uint8_t> coverage(static_cast<std::size_t>(glyph.width) * glyph.height);
    for (int y = 0; y < glyph.height; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
        std::uint8_t* out = &coverage[static_cast<std::size_t>(y) * glyph.width];
        for (int x = 0; x < glyph.width; ++x) {
            unsigned value = bitmap.pixel_mode == FT_PIXEL_MODE_MONO ? ((row[x >> 3] >> (7 - (x & 7))) & 1) * 255u
                                                                     : row[x] * 255u / grayMax;
            unsigned level = (value * 64 + 127) / 255; // GDI's 65 levels
            out[x] = static_cast<std::uint8_t>((level * 255 + 32) / 64);
        }
    }
    // At the bound, the page drawn least recently (and not by this text) makes room.
    if (m_Atlas.NeedsNewPage(glyph.width, glyph.height) && m_Atlas.LivePageCount() >= kMaxAtlasPages)
        EvictPage(m_Atlas.LeastRecentlyUsedPage(m_Clock));
    glyph.slot = m_Atlas.Allocate(glyph.width, glyph.height);
    m_Atlas.Write(glyph.slot, coverage.data(), glyph.width);
}

SGlyph& CTextFont::GlyphAt(int faceSlot, unsigned glyphIndex)
{
    const std::uint64_t key = (std::uint64_t(faceSlot) << 32) | glyphIndex;
    auto [entry, added] = m_Glyphs.try_emplace(key);
    if (added)
        Rasterise(entry->second, faceSlot, glyphIndex);
    return entry->second;
}

SGlyph& CTextFont::Lookup(char32_t c)
{
    int faceSlot = 0;
    unsigned index = 0;
    ResolveFace(c, faceSlot, index);
    return GlyphAt(faceSlot, index);
}

const SGlyph& CTextFont::Use(SGlyph& glyph)
{
    glyph.lastUse = m_Clock;
    if (glyph.slot.page >= 0)
        m_Atlas.Touch(glyph.slot.page, m_Clock);
    return glyph;
}

void CTextFont::ForgetCharacters()
{
    std::fill(m_Low.begin(), m_Low.end(), nullptr);
    m_High.clear();
}

void CTextFont::EvictPage(int page)
{
    if (page < 0)
        return;
    for (auto it = m_Glyphs.begin(); it != m_Glyphs.end();) {
        if (it->second.slot.page == page)
            it = m_Glyphs.erase(it);
        else
            ++it;
    }
    ForgetCharacters();
    m_Atlas.ReleasePage(page);
}

void CTextFont::BeginText()
{
    ++m_Clock;
    while (m_Atlas.LivePageCount() > kMaxAtlasPages)
        EvictPage(m_Atlas.LeastRecentlyUsedPage(m_Clock));
    if (m_High.size() > kMaxCharacters)
        m_High.clear();
    if (m_Glyphs.size() > kMaxGlyphs) {
        // Glyphs without a page (blank ones) cost only their entry: drop them all.
        for (auto it = m_Glyphs.begin(); it != m_Glyphs.end();) {
            if (it->second.slot.page < 0)
                it = m_Glyphs.erase(it);
            else
                ++it;
        }
        ForgetCharacters();
    }
}

const SGlyph& CTextFont::Glyph(char32_t c)
{
    if (c > 0x10FFFF || (c >= 0xD800 && c < 0xE000))
        return Use(GlyphAt(0, 0));
    if (c < 256) {
        if (!m_Low[c])
            m_Low[c] = &Lookup(c);
        return Use(*m_Low[c]);
    }
    auto found = m_High.find(c);
    if (found != m_High.end())
        return Use(*found->second);
    SGlyph& glyph = Lookup(c);
    m_High.emplace(c, &glyph);
    return Use(glyph);
}

SIZE CTextFont::Measure(const wchar_t* text, int count)
{
    std::size_t length = !text ? 0 : count < 0 ? std::wcslen(text) : static_cast<std::size_t>(count);
    BeginText();
    // A game measures the same labels every frame. While nothing was rasterised or evicted
    // since, the text's glyphs sit where they were: touching their pages does what looking
    // every glyph up again would, and the width is the one found then.
    SMeasured& last = m_Measured;
    if (last.kept && last.generation == Generation() && last.text.size() == length &&
        std::wmemcmp(last.text.data(), text, length) == 0) {
        for (int page : last.pages)
            m_Atlas.Touch(page, m_Clock);
        return SIZE{last.width, m_Metrics.height};
    }
    std::int64_t width = 0;
    last.pages.clear();
    for (std::size_t i = 0; i < length; ++i) {
        const SGlyph& glyph = Glyph(static_cast<char32_t>(text[i]));
        width += glyph.advance;
        if (glyph.slot.page >= 0 &&
            std::find(last.pages.begin(), last.pages.end(), glyph.slot.page) == last.pages.end())
            last.pages.push_back(glyph.slot.page);
    }
    last.width = static_cast<LONG>(std::min<std::int64_t>(width, INT32_MAX));
    // Long texts are measured each time rather than kept.
    last.kept = length <= kMaxMeasuredCharacters;
    last.text.assign(last.kept ? text : L"", last.kept ? length : 0);
    last.generation = Generation();
    return SIZE{last.width, m_Metrics.height};
}

std::uint64_t CTextFont::Generation() const
{
    // The count of rasterisations alone would do while it only grows; the atlas pages'
    // versions are added so that a cleared and refilled atlas still reads as changed.
    std::uint64_t versions = static_cast<std::uint64_t>(m_Atlas.PageCount());
    for (int i = 0; i < m_Atlas.PageCount(); ++i)
        versions += m_Atlas.Page(i).version;
    return static_cast<std::uint64_t>(m_Rasterised) << 32 ^ versions;
}

const std::string& CTextFont::FamilyName() const
{
    return m_Faces[0]->match.family;
}

const std::string& CTextFont::FamilyFor(char32_t c)
{
    return m_Faces[Glyph(c).faceSlot]->match.family;
}

} // namespace vireo::font
