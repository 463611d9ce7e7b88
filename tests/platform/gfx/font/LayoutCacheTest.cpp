// The layout cache: what it returns always equals a fresh layout of the same call, it is
// reused only for the same string, box and flags with no glyph rasterised since, and it
// stays bounded in texts and in characters.
#include "FontTestUtil.h"

#include "platform/gfx/font/LayoutCache.h"

#include <cstring>
#include <string>

namespace vireo::font::test {
namespace {

// Every quad byte for byte (target, page, source and clip), and the text's extent.
bool SameQuads(const STextLayout& a, const STextLayout& b)
{
    return a.height == b.height && a.lineCount == b.lineCount && a.quads.size() == b.quads.size() &&
           std::memcmp(a.quads.data(), b.quads.data(), a.quads.size() * sizeof(SGlyphQuad)) == 0;
}

TEST(LayoutCache, ReusesOnlyAnUnchangedCallAndAlwaysMatchesAFreshLayout)
{
    auto font = MakeFont(L"Times New Roman", 17);
    ASSERT_NE(font, nullptr);
    CLayoutCache cache;
    const RECT box{10, 10, 200, 120};
    const std::wstring base = L"Hello world, the quick brown fox";
    struct Call {
        std::wstring text;
        RECT box;
        DWORD format;
        bool hit;       // expected reuse
        int count = -1; // characters of the text laid out
    };
    // Same call twice hits; a string one character longer, a moved box or other flags miss,
    // then hit on their own repeat; count limits the string like a shorter text.
    const Call calls[] = {
        // clang-format off
        {base, box, DT_WORDBREAK, false}, {base, box, DT_WORDBREAK, true},
        {base + L"x", box, DT_WORDBREAK, false}, {base, RECT{11, 10, 201, 120}, DT_WORDBREAK, false},
        {base, box, DT_WORDBREAK | DT_CENTER, false}, {base, box, DT_WORDBREAK | DT_CENTER, true},
        {base + L"x", box, DT_WORDBREAK, true}, {base, box, DT_WORDBREAK, true},
        // a glyph rasterised since: every earlier layout is made again
        {L"\u4E2D\u6587 Q", box, 0, false}, {base, box, DT_WORDBREAK, false}, {base, box, DT_WORDBREAK, true},
        {base, box, DT_WORDBREAK, false, 5}, // a count shorter than the string is its own text
        // clang-format on
    };
    for (std::size_t i = 0; i < std::size(calls); ++i) {
        const Call& call = calls[i];
        const std::size_t hits = cache.Hits();
        const STextLayout& cached = cache.Get(*font, call.text.c_str(), call.count, call.box, call.format);
        EXPECT_EQ(cache.Hits() - hits, call.hit ? 1u : 0u) << "call " << i;
        STextLayout fresh;
        LayoutText(*font, call.text.c_str(), call.count, call.box, call.format, fresh);
        EXPECT_TRUE(SameQuads(cached, fresh)) << "call " << i;
    }
    EXPECT_EQ(cache.Get(*font, base.c_str(), 5, box, DT_WORDBREAK).quads.size(), 5u);
}

TEST(LayoutCache, BoundedLeastRecentlyUsedAndClearedOnRequest)
{
    auto font = MakeFont(L"Times New Roman", 17);
    ASSERT_NE(font, nullptr);
    CLayoutCache cache;
    const RECT box{0, 0, 300, 40};
    auto text = [](std::size_t i) { return L"label " + std::to_wstring(i % 10) + L"." + std::to_wstring(i / 10); };
    for (std::size_t i = 0; i < CLayoutCache::kEntries; ++i)
        cache.Get(*font, text(i).c_str(), -1, box, 0);
    cache.Get(*font, text(0).c_str(), -1, box, 0);                      // the first, used again
    cache.Get(*font, text(CLayoutCache::kEntries).c_str(), -1, box, 0); // one more than it keeps
    std::size_t hits = cache.Hits();
    for (std::size_t kept : {std::size_t{0}, CLayoutCache::kEntries})
        cache.Get(*font, text(kept).c_str(), -1, box, 0);
    EXPECT_EQ(cache.Hits(), hits + 2);
    cache.Get(*font, text(1).c_str(), -1, box, 0); // the least recently used was dropped
    EXPECT_EQ(cache.Hits(), hits + 2);

    cache.Clear();
    hits = cache.Hits();
    cache.Get(*font, text(CLayoutCache::kEntries).c_str(), -1, box, 0);
    EXPECT_EQ(cache.Hits(), hits);

    // A text longer than the cache keeps is laid out every time, correctly.
    const std::wstring longText(CLayoutCache::kMaxCharacters + 1, L'a');
    const STextLayout& first = cache.Get(*font, longText.c_str(), -1, RECT{0, 0, 100, 20}, DT_SINGLELINE);
    EXPECT_FALSE(first.quads.empty());
    hits = cache.Hits();
    cache.Get(*font, longText.c_str(), -1, RECT{0, 0, 100, 20}, DT_SINGLELINE);
    EXPECT_EQ(cache.Hits(), hits);

    // Its characters are bounded too: as many of the longest texts it keeps as they allow
    // (one text in boxes one pixel apart).
    cache.Clear();
    const std::size_t fit = CLayoutCache::kCharacterBudget / CLayoutCache::kMaxCharacters;
    const std::wstring kept(CLayoutCache::kMaxCharacters, L'a');
    auto at = [](std::size_t i) { return RECT{static_cast<LONG>(i), 0, 300, 40}; };
    for (std::size_t i = 0; i <= fit; ++i)
        cache.Get(*font, kept.c_str(), -1, at(i), DT_SINGLELINE);
    hits = cache.Hits();
    cache.Get(*font, kept.c_str(), -1, at(1), DT_SINGLELINE);
    EXPECT_EQ(cache.Hits(), hits + 1);
    cache.Get(*font, kept.c_str(), -1, at(0), DT_SINGLELINE);
    EXPECT_EQ(cache.Hits(), hits + 1);
    // A long text makes room by dropping as many short ones as it needs.
    cache.Clear();
    const std::wstring small(CLayoutCache::kCharacterBudget / CLayoutCache::kEntries, L'a');
    for (std::size_t i = 0; i < CLayoutCache::kEntries; ++i)
        cache.Get(*font, small.c_str(), -1, at(i), DT_SINGLELINE);
    cache.Get(*font, kept.c_str(), -1, at(0), DT_SINGLELINE);
    hits = cache.Hits();
    cache.Get(*font, small.c_str(), -1, at(CLayoutCache::kMaxCharacters / small.size()), DT_SINGLELINE);
    EXPECT_EQ(cache.Hits(), hits + 1);
    cache.Get(*font, small.c_str(), -1, at(CLayoutCache::kMaxCharacters / small.size() - 1), DT_SINGLELINE);
    EXPECT_EQ(cache.Hits(), hits + 1);
}

} // namespace
} // namespace vireo::font::test
