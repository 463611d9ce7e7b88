// DrawText line building and placement in whole pixels. Word breaks fall after spaces and
// around CJK characters (Chinese has no spaces); a word wider than the box breaks between
// characters. Tabs expand to stops of 8 average widths under DT_EXPANDTABS. No prefix
// processing, no right-to-left reordering.
#include "platform/gfx/font/TextLayout.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>

namespace vireo::font {

namespace {

struct SItem {
    char32_t c;
    const SGlyph* glyph;
    std::size_t offset; // in the text
};

struct SLine {
    std::size_t begin; // item range
    std::size_t end;
    std::int64_t width;
};

bool IsSpace(char32_t c)
{
    return c == U' ' || c == 0x3000;
}

bool IsCjk(char32_t c)
{
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x20000 && c <= 0x3FFFF);
}

// Closing punctuation stays with the character before it.
bool NoBreakBefore(char32_t c)
{
    static constexpr char32_t kClosing[] = U"，。、；：？！）》」』】〕〉…・ー,.;:?!)]}%";
    return std::char_traits<char32_t>::find(kClosing, std::size(kClosing) - 1, c) != nullptr;
}

// Opening punctuation stays with the character after it.
bool NoBreakAfter(char32_t c)
{
    static constexpr char32_t kOpening[] = U"（《「『【〔〈([{";
    return std::char_traits<char32_t>::find(kOpening, std::size(kOpening) - 1, c) != nullptr;
}

bool CanBreakBefore(char32_t previous, char32_t current)
{
    if (IsSpace(current))
        return false;
    if (IsSpace(previous))
        return true;
    if (NoBreakBefore(current) || NoBreakAfter(previous))
        return false;
    return IsCjk(current) || IsCjk(previous);
}

// Pen position after an item at x (relative to the line start). tabWidth > 0 under
// DT_EXPANDTABS: a tab moves to the next multiple of it instead of drawing a glyph.
std::int64_t Step(std::int64_t x, const SItem& item, std::int64_t tabWidth)
{
    if (item.c == U'\t' && tabWidth > 0)
        return (x / tabWidth + 1) * tabWidth;
    return x + item.glyph->advance;
}

std::int64_t Advance(const std::vector<SItem>& items, std::size_t begin, std::size_t end, std::int64_t tabWidth)
{
    std::int64_t width = 0;
    for (std::size_t i = begin; i < end; ++i)
        width = Step(width, items[i], tabWidth);
    return width;
}

// Splits the paragraph [begin, end) into lines no wider than maxWidth (at least one item
// per line, so every line makes progress); the spaces at a break are dropped.
void WrapParagraph(const std::vector<SItem>& items, std::size_t begin, std::size_t end, std::int64_t maxWidth,
                   std::int64_t tabWidth, std::vector<SLine>& lines)
{
    std::size_t start = begin;
    while (true) {
        std::int64_t x = 0;
        std::size_t lastBreak = start;
        std::size_t cut = end;
        for (std::size_t i = start; i < end; ++i) {
            if (i > start && CanBreakBefore(items[i - 1].c, items[i].c))
                lastBreak = i;
            x = Step(x, items[i], tabWidth);
            // Spaces never overflow a line: they are dropped if a break follows them.
            if (x > maxWidth && i > start && !IsSpace(items[i].c)) {
                cut = lastBreak > start ? lastBreak : i;
                break;
            }
        }
        if (cut == end) {
            lines.push_back({start, end, Advance(items, start, end, tabWidth)});
            return;
        }
        std::size_t lineEnd = cut;
        while (lineEnd > start && IsSpace(items[lineEnd - 1].c))
            --lineEnd;
        lines.push_back({start, lineEnd, Advance(items, start, lineEnd, tabWidth)});
        start = cut;
        while (start < end && IsSpace(items[start].c))
            ++start;
        if (start == end)
            return;
    }
}

LONG ClampLong(std::int64_t v)
{
    return static_cast<LONG>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

} // namespace

void LayoutText(CTextFont& font, const wchar_t* text, int count, const RECT& rect, DWORD format, STextLayout& out)
{
    out.quads.clear();
    out.lines.clear();
    out.height = 0;
    out.lineCount = 0;
    out.rect = rect;
    std::size_t length = !text ? 0 : count < 0 ? std::wcslen(text) : static_cast<std::size_t>(count);
    if (length == 0)
        return;
    if (format & DT_SINGLELINE)
        format &= ~DT_WORDBREAK;

    thread_local std::vector<SItem> items;
    thread_local std::vector<SLine> lines;
    items.clear();
    lines.clear();
    font.BeginText(); // the glyphs held in items stay in the cache until the next text

    // Items, with line breaks turned into paragraph ends (CR, LF and CR-LF each end one line;
    // a break at the very end starts no new line). DT_SINGLELINE skips them instead.
    const std::int64_t boxWidth = std::int64_t(rect.right) - rect.left;
    const std::int64_t tabWidth = (format & DT_EXPANDTABS) ? 8 * std::max(font.Metrics().averageWidth, 1) : 0;
    std::size_t paragraphStart = 0;
    auto endParagraph = [&] {
        if (format & DT_WORDBREAK)
            WrapParagraph(items, paragraphStart, items.size(), boxWidth, tabWidth, lines);
        else
            lines.push_back({paragraphStart, items.size(), Advance(items, paragraphStart, items.size(), tabWidth)});
        paragraphStart = items.size();
    };
    for (std::size_t i = 0; i < length; ++i) {
        auto c = static_cast<char32_t>(text[i]);
        if (c == U'\r' || c == U'\n') {
            if (format & DT_SINGLELINE)
                continue;
            endParagraph();
            if (c == U'\r' && i + 1 < length && text[i + 1] == L'\n')
                ++i;
            continue;
        }
        items.push_back({c, &font.Glyph(c), i});
    }
    const bool endedOnBreak = !(format & DT_SINGLELINE) && (text[length - 1] == L'\r' || text[length - 1] == L'\n');
    if (!endedOnBreak)
        endParagraph();

    const STextMetrics& metrics = font.Metrics();
    const std::int64_t total = std::int64_t(lines.size()) * metrics.height;
    out.lineCount = static_cast<int>(lines.size());

    if (format & DT_CALCRECT) {
        std::int64_t widest = 0;
        for (const SLine& line : lines)
            widest = std::max(widest, line.width);
        if (!(format & DT_WORDBREAK))
            out.rect.right = ClampLong(std::int64_t(rect.left) + widest);
        out.rect.bottom = ClampLong(std::int64_t(rect.top) + total);
        out.height = ClampLong(total);
        return;
    }

    std::int64_t top = rect.top;
    if (format & DT_VCENTER)
        top += (std::int64_t(rect.bottom) - rect.top - total) / 2;
    else if (format & DT_BOTTOM)
        top = std::int64_t(rect.bottom) - total;
    out.height = ClampLong((format & (DT_VCENTER | DT_BOTTOM)) ? top - rect.top + total : total);

    const bool clip = !(format & DT_NOCLIP);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const SLine& line = lines[n];
        const std::int64_t lineTop = top + std::int64_t(n) * metrics.height;
        std::int64_t pen = rect.left;
        if (format & DT_CENTER)
            pen = (std::int64_t(rect.left) + rect.right - line.width) / 2;
        else if (format & DT_RIGHT)
            pen = std::int64_t(rect.right) - line.width;
        SLayoutLine& info = out.lines.emplace_back();
        info.begin = line.begin < line.end ? static_cast<int>(items[line.begin].offset) : 0;
        info.end = line.begin < line.end ? static_cast<int>(items[line.end - 1].offset + 1) : info.begin;
        info.left = ClampLong(pen);
        info.top = ClampLong(lineTop);
        info.width = ClampLong(line.width);
        if (clip && (lineTop >= rect.bottom || lineTop + metrics.height <= rect.top))
            continue;
        const std::int64_t baseline = lineTop + metrics.ascent;
        const std::int64_t lineStart = pen;
        for (std::size_t i = line.begin; i < line.end; ++i) {
            const SGlyph& glyph = *items[i].glyph;
            if (tabWidth > 0 && items[i].c == U'\t') {
                pen = lineStart + Step(pen - lineStart, items[i], tabWidth);
                continue;
            }
            if (glyph.slot.page >= 0) {
                std::int64_t x0 = pen + glyph.left, y0 = baseline - glyph.top;
                std::int64_t x1 = x0 + glyph.width, y1 = y0 + glyph.height;
                std::int64_t cx0 = x0, cy0 = y0, cx1 = x1, cy1 = y1;
                if (clip) {
                    cx0 = std::max<std::int64_t>(x0, rect.left);
                    cy0 = std::max<std::int64_t>(y0, rect.top);
                    cx1 = std::min<std::int64_t>(x1, rect.right);
                    cy1 = std::min<std::int64_t>(y1, rect.bottom);
                }
                if (cx0 < cx1 && cy0 < cy1 && cx0 > INT32_MIN && cx1 < INT32_MAX && cy0 > INT32_MIN &&
                    cy1 < INT32_MAX) {
                    SGlyphQuad quad;
                    quad.target = {LONG(cx0), LONG(cy0), LONG(cx1), LONG(cy1)};
                    quad.page = glyph.slot.page;
                    quad.source = {LONG(glyph.slot.rect.left + (cx0 - x0)), LONG(glyph.slot.rect.top + (cy0 - y0)),
                                   LONG(glyph.slot.rect.left + (cx1 - x0)), LONG(glyph.slot.rect.top + (cy1 - y0))};
                    quad.clip = clip ? rect : quad.target;
                    out.quads.push_back(quad);
                }
            }
            pen += glyph.advance;
        }
    }
}

} // namespace vireo::font
