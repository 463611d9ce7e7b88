// Face matching: metric substitutes, the nearest face for unknown names, per-character CJK
// fallback, weights and slants, and the once-per-face log line.
#include "FontTestUtil.h"

#include "platform/gfx/font/FontLog.h"
#include "platform/gfx/font/FontMatcher.h"

#include <string>
#include <tuple>
#include <vector>

namespace vireo::font::test {
namespace {

struct LogCapture {
    std::vector<std::pair<int, std::wstring>> lines;
    LogCapture() { SetFontLogHook(&LogCapture::Hook, this); }
    ~LogCapture() { SetFontLogHook(nullptr, nullptr); }
    static void Hook(void* user, int level, const wchar_t* text)
    {
        static_cast<LogCapture*>(user)->lines.emplace_back(level, text);
    }
};

bool HasCjkFont()
{
    return CFallbackFaces(SFaceRequest{L"Times New Roman", 400, false}).FindFor(U'你').found;
}

TEST(FontMatch, WindowsFacesMapToTheirLinuxSubstitutes)
{
    std::tuple<const wchar_t*, int, bool, const char*, const char*> cases[] = {
        {L"Times New Roman", 400, false, "Liberation Serif", "Regular"},
        {L"Times New Roman", 700, false, "Liberation Serif", "Bold"},
        {L"Times New Roman", 400, true, "Liberation Serif", "Italic"},
        {L"Tahoma", 400, false, "DejaVu Sans", "Book"},
        {L"Tahoma", 200, false, "DejaVu Sans", "ExtraLight"}, // the nearest weight the family has
    };
    for (const auto& [face, weight, italic, family, style] : cases) {
        SCOPED_TRACE(testing::Message() << std::string(family) << " weight " << weight);
        SFaceMatch match = MatchFace(SFaceRequest{face, weight, italic});
        ASSERT_TRUE(match.found);
        EXPECT_EQ(std::pair(match.family, match.style), std::pair(std::string(family), std::string(style)));
        EXPECT_FALSE(match.syntheticBold || match.syntheticItalic);
    }
}

TEST(FontMatch, FamilyWithoutBoldIsEmboldenedAndDrawsHeavier)
{
    if (!HasCjkFont())
        GTEST_SKIP() << "no CJK font installed (fonts-wqy-microhei)";
    SFaceMatch match = MatchFace(SFaceRequest{L"WenQuanYi Micro Hei", 700, false});
    ASSERT_TRUE(match.exactFamily);
    EXPECT_TRUE(match.syntheticBold);

    auto regular = MakeFont(L"WenQuanYi Micro Hei", 24, 400);
    auto bold = MakeFont(L"WenQuanYi Micro Hei", 24, 700);
    ASSERT_TRUE(regular && bold);
    Ink thin = DrawInk(*regular, L"你好 Hello", {0, 0, 400, 40}, DT_LEFT);
    Ink thick = DrawInk(*bold, L"你好 Hello", {0, 0, 400, 40}, DT_LEFT);
    EXPECT_GT(thick.count, thin.count * 11 / 10);
}

TEST(FontMatch, ChineseCharactersFallBackToACjkFacePerCharacter)
{
    if (!HasCjkFont())
        GTEST_SKIP() << "no CJK font installed (fonts-wqy-microhei)";
    LogCapture log; // a new hook starts a log that has reported no face
    auto font = MakeFont(L"Times New Roman", 24);
    ASSERT_NE(font, nullptr);
    font->Measure(L"你好世界，中文", -1);
    ASSERT_EQ(log.lines.size(), 2u); // the face, then the fallback face, once
    EXPECT_NE(log.lines[1].second.find(L"U+4F60"), std::wstring::npos);
    EXPECT_EQ(font->FamilyFor(U'A'), "Liberation Serif");
    const std::string& cjk = font->FamilyFor(U'你');
    EXPECT_NE(cjk, "Liberation Serif");

    // Real glyphs, not the missing-glyph box: each has ink, and the two differ.
    const Ink ni = DrawInk(*font, L"你", {0, 0, 60, 40}, DT_LEFT, 60, 40);
    const Ink hao = DrawInk(*font, L"好", {0, 0, 60, 40}, DT_LEFT, 60, 40);
    EXPECT_GT(std::min(ni.count, hao.count), 40);
    EXPECT_NE(std::tuple(ni.left, ni.top, ni.right, ni.bottom, ni.count),
              std::tuple(hao.left, hao.top, hao.right, hao.bottom, hao.count));
}

} // namespace
} // namespace vireo::font::test
