// Font sizing by the LOGFONT height rule, weights and slants, the glyph cache,
// measuring through the device context, and hostile descriptions.
#include "FontTestUtil.h"

#include "platform/gfx/font/TextDC.h"

#include <vireo/platform/Gdi.h>

#include <climits>
#include <string>
#include <tuple>

namespace vireo::font::test {
namespace {

TEST(TextFont, HeightFollowsTheLogfontConventionAndWidthStretches)
{
    // Expected cells from the faces' usWinAscent/usWinDescent per 2048 units: Liberation
    // Serif 1825/443, DejaVu Sans 1901/483. Positive = cell height; negative = em height.
    std::tuple<const wchar_t*, int, int, int> cases[] = {
        {L"Times New Roman", 17, 14, 17},  {L"Times New Roman", 40, 32, 40},    {L"Times New Roman", 12, 10, 12},
        {L"Times New Roman", -17, 15, 19}, {L"Times New Roman", -100, 89, 111}, {L"DejaVu Sans", -20, 19, 24},
        {L"DejaVu Sans", 20, 16, 20},
    };
    for (const auto& [face, height, ascent, cell] : cases) {
        auto font = MakeFont(face, height);
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(std::tuple(font->Metrics().ascent, font->Metrics().height, font->Measure(L"x", 1).cy),
                  std::tuple(ascent, cell, LONG{cell}))
            << "height " << height;
    }
    // A width stretches the average character; the cell height is untouched.
    auto natural = MakeFont(L"Times New Roman", 20), wide = MakeFont(L"Times New Roman", 20, 400, false, 2 * 8);
    ASSERT_TRUE(natural && wide && natural->Metrics().averageWidth > 0);
    const double scale = 16.0 / natural->Metrics().averageWidth;
    const wchar_t* text = L"abcdefghijklmnopqrstuvwxyz";
    EXPECT_NEAR(double(wide->Measure(text, -1).cx) / natural->Measure(text, -1).cx, scale, 0.1 * scale);
    EXPECT_EQ(wide->Metrics().height, 20);
}

TEST(TextFont, DeviceContextMeasuresLikeTheFont)
{
    auto font = MakeFont(L"Times New Roman", 17);
    ASSERT_NE(font, nullptr);
    HDC dc = CreateTextDC(font.get());
    SIZE size{};
    // The font's widths, CR and LF measured as characters, not as line breaks.
    for (const auto& [text, count] : {std::pair{L"Hello World", 11}, {L"Hello World", 5}, {L"ab\r\ncd", 6}}) {
        ASSERT_TRUE(GetTextExtentPoint32W(dc, text, count, &size));
        EXPECT_EQ(std::pair(size.cx, size.cy), std::pair(font->Measure(text, count).cx, LONG{17}));
    }
    EXPECT_GT(size.cx, font->Measure(L"abcd", -1).cx); // the last: CR and LF have widths

    EXPECT_FALSE(GetTextExtentPoint32W(dc, L"x", -1, &size));
    EXPECT_FALSE(GetTextExtentPoint32W(dc, nullptr, 3, &size));
    EXPECT_FALSE(GetTextExtentPoint32W(dc, L"x", 1, nullptr));
    DeleteTextDC(dc);
    EXPECT_FALSE(GetTextExtentPoint32W(dc, L"x", 1, &size));
    EXPECT_FALSE(GetTextExtentPoint32W(reinterpret_cast<HDC>(&size), L"x", 1, &size));
    DeleteTextDC(dc); // twice: ignored
}

TEST(TextFont, HostileDescriptionsNeverBreakIt)
{
    std::wstring longName(300, L'Q');
    const std::wstring times = L"Times New Roman";
    std::tuple<std::wstring, int, int, int> cases[] = {
        // clang-format off
        {times, 0, 0, 400}, {times, 1, 0, 400}, {times, -1, 0, 400}, {times, INT_MIN, 0, 400},
        {times, INT_MAX, 0, 400}, {times, 17, INT_MAX, 400}, {times, 17, -5, -1}, {times, 17, 0, 100000},
        {L"", 17, 0, 400}, {longName, 17, 0, 400}, {std::wstring(L"\x01\xFFFF\xD800"), 17, 0, 400},
        // clang-format on
    };
    for (const auto& [face, height, width, weight] : cases) {
        SCOPED_TRACE(testing::Message() << "height " << height << " width " << width << " weight " << weight);
        auto font = CTextFont::Create({height, width, weight, false, face});
        ASSERT_NE(font, nullptr);
        EXPECT_GE(font->Metrics().height, 1);
        EXPECT_LE(font->Metrics().height, 1400); // heights are cut at 1024 pixels of em or cell
        EXPECT_GT(font->Measure(L"ab", 2).cx, 0);
    }
}

TEST(TextFont, CharactersWithoutGlyphsShareOneBoxAndAddNothingToTheCache)
{
    // Text full of characters no font has (private use, plane 16) draws the one missing-glyph
    // box; values above U+10FFFF, lone surrogates and the largest values share one glyph.
    // Neither may grow the cache one box per character.
    auto font = MakeFont(L"Times New Roman", 16);
    ASSERT_NE(font, nullptr);
    font->BeginText();
    const SGlyph& missing = font->Glyph(U'\U0010FF00');
    EXPECT_EQ(std::tuple(missing.glyphIndex, missing.faceSlot), std::tuple(0u, 0));
    EXPECT_GT(missing.advance, 0);
    const int rasterised = font->RasterisedCount();
    std::wstring privateUse;
    for (wchar_t c = 0x10FF01; c <= 0x10FFFD; ++c)
        privateUse += c;
    EXPECT_EQ(font->Measure(privateUse.c_str(), -1).cx, missing.advance * static_cast<int>(privateUse.size()));
    EXPECT_EQ(font->RasterisedCount(), rasterised);

    const SGlyph& box = font->Glyph(0x110000);
    EXPECT_EQ(box.glyphIndex, 0u);
    const auto cache = std::tuple(font->GlyphCount(), font->CharacterCount(), font->RasterisedCount());
    for (char32_t c = 0; c < 4096; ++c) {
        for (char32_t value : {0x110000 + c * 977, 0xD800 + c % 0x800, 0xFFFFFFFF - c}) {
            const SGlyph& glyph = font->Glyph(value);
            ASSERT_EQ(&glyph, &box) << std::hex << static_cast<std::uint32_t>(value);
        }
    }
    EXPECT_EQ(std::tuple(font->GlyphCount(), font->CharacterCount(), font->RasterisedCount()), cache);
}

TEST(TextFont, CacheStaysWithinItsBoundOverAHundredThousandCharacters)
{
    // Large glyphs fill pages fast: 100,000 distinct characters, 100 per text, as a chat
    // window drawing new user text every frame would.
    auto font = MakeFont(L"Times New Roman", 48);
    ASSERT_NE(font, nullptr);
    const std::size_t maxCoverage =
        std::size_t(CTextFont::kMaxAtlasPages) * CGlyphAtlas::kPageSize * CGlyphAtlas::kPageSize;
    std::wstring text;
    const SGlyph first = font->Glyph(L'A');
    char32_t c = 0x21;
    for (int drawn = 0; drawn < 100000;) {
        text.clear();
        for (; text.size() < 100; ++c) {
            if (c >= 0xD800 && c < 0xE000)
                continue;
            text.push_back(static_cast<wchar_t>(c));
        }
        drawn += static_cast<int>(text.size());
        font->Measure(text.c_str(), static_cast<int>(text.size()));
        // One text may add its own glyphs on top of the bound, never more.
        ASSERT_LE(font->Atlas().LivePageCount(), CTextFont::kMaxAtlasPages + 1) << drawn;
        ASSERT_LE(font->Atlas().CoverageBytes(), maxCoverage + CGlyphAtlas::kPageSize * CGlyphAtlas::kPageSize);
        ASSERT_LE(font->GlyphCount(), CTextFont::kMaxGlyphs + text.size());
        ASSERT_LE(font->CharacterCount(), CTextFont::kMaxCharacters + text.size());
    }
    font->BeginText();
    EXPECT_LE(font->Atlas().CoverageBytes(), maxCoverage);
    EXPECT_EQ(font->Atlas().LivePageCount(), CTextFont::kMaxAtlasPages); // the cache was full, and no fuller
    // A glyph evicted long ago comes back the same.
    const SGlyph& again = font->Glyph(L'A');
    EXPECT_EQ(std::tuple(again.width, again.height, again.advance),
              std::tuple(first.width, first.height, first.advance));
    EXPECT_GT(font->RasterisedCount(), static_cast<int>(font->GlyphCount()));
}

TEST(TextFont, RepeatedMeasuresGiveTheWidthAndKeepThePagesInUse)
{
    // Each text against the sum of its glyphs' advances: texts of one length that differ
    // only in their last character, a text again right after itself, and again after
    // another text added glyphs.
    auto font = MakeFont(L"DejaVu Sans", 16);
    ASSERT_NE(font, nullptr);
    const std::wstring tooLong(9000, L'm'); // measured each time, not kept
    const std::wstring texts[] = {L"abc", L"abc", L"abW",  L"abW",  L"abc", L"中文字", L"中文字",
                                  L"abW", L"",    L"abWi", tooLong, L"",    tooLong};
    for (const std::wstring& text : texts) {
        const LONG width = font->Measure(text.c_str(), -1).cx;
        LONG advances = 0;
        for (wchar_t c : text)
            advances += font->Glyph(static_cast<char32_t>(c)).advance;
        EXPECT_EQ(width, advances) << "text " << testing::PrintToString(text);
    }
    // A repeated measure still counts as a use of the text's pages (so they are not the
    // first emptied): their last use moves on with it.
    font->Measure(L"中文字", -1);
    const CGlyphAtlas& atlas = font->Atlas();
    const int page = font->Glyph(U'中').slot.page;
    ASSERT_GE(page, 0);
    const std::uint64_t before = atlas.Page(page).lastUse;
    font->Measure(L"中文字", -1);
    font->Measure(L"中文字", -1);
    EXPECT_GT(atlas.Page(page).lastUse, before);
}

} // namespace
} // namespace vireo::font::test
