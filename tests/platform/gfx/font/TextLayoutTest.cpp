// DrawText layout: line breaks, tab stops, word breaking (Latin and Chinese), clipping, and
// the agreement of measuring with what is drawn. Alignment in the box is pinned through the
// engine font's box rule (render/EngineFontTest).
#include "FontTestUtil.h"

#include <string>
#include <tuple>

namespace vireo::font::test {
namespace {

class TextLayoutTest : public testing::Test {
  protected:
    void SetUp() override
    {
        m_Font = MakeFont(L"Times New Roman", 17);
        ASSERT_NE(m_Font, nullptr);
    }
    int Width(const wchar_t* text) { return m_Font->Measure(text, -1).cx; }
    STextLayout Lay(const wchar_t* text, RECT box, DWORD format, int count = -1)
    {
        STextLayout layout;
        LayoutText(*m_Font, text, count, box, format, layout);
        return layout;
    }
    std::wstring LineText(const wchar_t* text, const SLayoutLine& line)
    {
        return std::wstring(text + line.begin, text + line.end);
    }
    std::unique_ptr<CTextFont> m_Font;
};

TEST_F(TextLayoutTest, LineBreaksOnCrLfAndCrLfPairs)
{
    std::tuple<const wchar_t*, int> cases[] = {
        {L"ab", 1},  {L"a\nb", 2}, {L"a\r\nb", 2}, {L"a\rb", 2},       {L"a\n\nb", 3}, {L"a\n\rb", 3},
        {L"a\n", 1}, {L"\n", 1},   {L"a\r\n", 1},  {L"a\r\n\r\nb", 3}, {L"\n\n", 2},
    };
    for (const auto& [text, lines] : cases) {
        SCOPED_TRACE(testing::Message() << "lines " << lines);
        STextLayout layout = Lay(text, {0, 0, 200, 200}, DT_LEFT);
        EXPECT_EQ(std::pair(layout.lineCount, layout.height), std::pair(lines, 17 * lines));
        // One line and no breaks under DT_SINGLELINE; CR and LF are skipped, not drawn.
        LayoutText(*m_Font, text, -1, {0, 0, 200, 200}, DT_SINGLELINE, layout);
        EXPECT_EQ(layout.lineCount, 1);
        std::wstring kept = text;
        std::erase_if(kept, [](wchar_t c) { return c == L'\r' || c == L'\n'; });
        EXPECT_EQ(layout.lines[0].width, Width(kept.c_str()));
    }
}

TEST_F(TextLayoutTest, ExpandTabsMovesToStopsOfEightAverageWidths)
{
    const int stop = 8 * m_Font->Metrics().averageWidth;
    ASSERT_GT(stop, Width(L"abc"));
    EXPECT_EQ(Lay(L"a\tb", {0, 0, 400, 50}, DT_EXPANDTABS).lines[0].width, stop + Width(L"b"));
    EXPECT_EQ(Lay(L"abc\tb", {0, 0, 400, 50}, DT_EXPANDTABS).lines[0].width, stop + Width(L"b"));
    const STextLayout two = Lay(L"a\t\tb", {0, 0, 400, 50}, DT_EXPANDTABS | DT_RIGHT);
    EXPECT_EQ(two.lines[0].width, 2 * stop + Width(L"b"));
    // The b is drawn at the stop: its quad is the last one and starts right of the stop.
    ASSERT_FALSE(two.quads.empty());
    EXPECT_GE(two.quads.back().target.left, two.lines[0].left + 2 * stop - 1);
}

TEST_F(TextLayoutTest, WordBreakFillsLinesGreedilyAndDropsTheSpacesAtBreaks)
{
    const wchar_t* text = L"aaa bbb ccc";
    const int fits = Width(L"aaa bbb");
    std::tuple<int, std::vector<std::wstring>> cases[] = {
        {fits, {L"aaa bbb", L"ccc"}},
        {fits - 1, {L"aaa", L"bbb", L"ccc"}},
        {Width(text), {L"aaa bbb ccc"}},
        {Width(L"bb"), {L"aa", L"a", L"bb", L"b", L"cc", L"c"}},     // words wider than the box break
        {0, {L"a", L"a", L"a", L"b", L"b", L"b", L"c", L"c", L"c"}}, // at least one character a line
    };
    for (const auto& [boxWidth, lines] : cases) {
        SCOPED_TRACE(testing::Message() << "box width " << boxWidth);
        STextLayout layout = Lay(text, {0, 0, boxWidth, 300}, DT_WORDBREAK | DT_NOCLIP);
        ASSERT_EQ(layout.lines.size(), lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i)
            EXPECT_EQ(LineText(text, layout.lines[i]), lines[i]);
        EXPECT_EQ(layout.height, 17 * static_cast<int>(lines.size()));
    }
    // Right-aligned wrapped lines end at the box edge: no trailing space is kept.
    STextLayout layout;
    Ink ink = DrawInk(*m_Font, L"aaa bbb ccc ddd", {0, 0, fits, 100}, DT_WORDBREAK | DT_RIGHT, 400, 200, &layout);
    ASSERT_EQ(layout.lines.size(), 2u);
    EXPECT_EQ(layout.lines[0].left + layout.lines[0].width, fits);
    EXPECT_EQ(layout.lines[1].left + layout.lines[1].width, fits);
    EXPECT_NEAR(ink.right, fits, 2);
    // DT_SINGLELINE cancels word breaking (format 48 of the engine's GUI).
    LayoutText(*m_Font, text, -1, {0, 0, fits - 1, 100}, DT_SINGLELINE | DT_WORDBREAK, layout);
    EXPECT_EQ(layout.lineCount, 1);
}

TEST_F(TextLayoutTest, ChineseWrapsBetweenCharactersButKeepsPunctuationAttached)
{
    if (m_Font->Glyph(U'你').glyphIndex == 0)
        GTEST_SKIP() << "no CJK font installed (fonts-wqy-microhei)";
    const wchar_t* text = L"你好世界你好世界";
    const int two = Width(L"你好");
    STextLayout layout = Lay(text, {0, 0, two, 300}, DT_WORDBREAK);
    ASSERT_EQ(layout.lines.size(), 4u);
    EXPECT_EQ(LineText(text, layout.lines[1]), L"世界");

    const wchar_t* punctuated = L"你好，世界。";
    LayoutText(*m_Font, punctuated, -1, {0, 0, two, 300}, DT_WORDBREAK, layout);
    for (const SLayoutLine& line : layout.lines) {
        ASSERT_LT(line.begin, line.end);
        EXPECT_NE(punctuated[line.begin], L'，');
        EXPECT_NE(punctuated[line.begin], L'。');
    }
    // Mixed text breaks at the space and between the ideographs.
    const wchar_t* mixed = L"Hello 你好世界";
    LayoutText(*m_Font, mixed, -1, {0, 0, Width(L"Hello 你好"), 300}, DT_WORDBREAK, layout);
    ASSERT_EQ(layout.lines.size(), 2u);
    EXPECT_EQ(LineText(mixed, layout.lines[0]), L"Hello 你好");
    EXPECT_EQ(LineText(mixed, layout.lines[1]), L"世界");
}

TEST_F(TextLayoutTest, ClippingKeepsEveryPixelInsideTheBoxUnlessNoClip)
{
    const RECT box{50, 30, 120, 55}; // narrower than the text, room for 1.5 lines
    const wchar_t* text = L"Hello World Hello\nsecond line\nthird line";
    // returned: three lines of 17; DT_BOTTOM/DT_VCENTER return the offset to the text's foot
    std::tuple<DWORD, int> cases[] = {
        {DT_LEFT, 51}, {DT_CENTER, 51}, {DT_RIGHT, 51}, {DT_BOTTOM, 25}, {DT_VCENTER, (25 - 51) / 2 + 51}};
    for (const auto& [format, returned] : cases) {
        SCOPED_TRACE(testing::Message() << "format " << format);
        STextLayout layout;
        Ink ink = DrawInk(*m_Font, text, box, format, 300, 200, &layout);
        ASSERT_GT(ink.count, 0);
        EXPECT_TRUE(ink.left >= box.left && ink.top >= box.top && ink.right <= box.right && ink.bottom <= box.bottom)
            << ink.left << "," << ink.top << " to " << ink.right << "," << ink.bottom;
        EXPECT_EQ(layout.height, returned);
        Ink free = DrawInk(*m_Font, text, box, format | DT_NOCLIP, 300, 200);
        EXPECT_TRUE(free.left < box.left || free.right > box.right);
        EXPECT_TRUE(free.top < box.top || free.bottom > box.bottom);
    }
    // A clipped glyph shows the same pixels as its unclipped self inside the box.
    Canvas clipped(300, 200), whole(300, 200);
    STextLayout layout = Lay(text, box, DT_LEFT);
    RenderTextLayout(clipped.surface, layout, m_Font->Atlas(), 0xFFFFFFFF);
    LayoutText(*m_Font, text, -1, box, DT_LEFT | DT_NOCLIP, layout);
    RenderTextLayout(whole.surface, layout, m_Font->Atlas(), 0xFFFFFFFF);
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            ASSERT_EQ(clipped.At(x, y), whole.At(x, y)) << x << "," << y;
}

} // namespace
} // namespace vireo::font::test
