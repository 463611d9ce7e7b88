// CEngineFont inside a running engine, checked on the back buffer: the description rules, the
// box rule (measured sides, centring across and down), measuring against the drawn ink, Chinese
// glyphs, text drawn outside the batch, a face that is not installed, device loss, the drawing
// order shared with pictures, and release.
#include "render/RenderTest.h"

#include "platform/gfx/font/TextFont.h"

#include <vireo/platform/Testing.h>

#include <fontconfig/fontconfig.h>

#include <functional>
#include <string>

namespace vireo::test {
namespace {

namespace vt = vireo::testing;

constexpr std::uint32_t kBackground = 0xFF000000;
constexpr DWORD kWhite = 0xFFFFFFFF;
const wchar_t* const kBatchBox = L"在调用CEngineFont::Draw前要先调用CRenderSystem::BeginSprite";

struct Ink {
    bool empty = true;
    int left = 0, top = 0, right = 0, bottom = 0;  // right/bottom exclusive
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

Ink FindInk(const vt::Frame& frame)
{
    Ink ink;
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            if (frame.pixels[static_cast<std::size_t>(y) * frame.width + x] == kBackground)
                continue;
            if (ink.empty) {
                ink = {false, x, y, x + 1, y + 1};
            } else {
                ink.left = std::min(ink.left, x);
                ink.top = std::min(ink.top, y);
                ink.right = std::max(ink.right, x + 1);
                ink.bottom = std::max(ink.bottom, y + 1);
            }
        }
    }
    return ink;
}

// Whether fontconfig knows any face holding the character (asked directly, not through the
// font layer under test).
bool AnyFaceHas(char32_t c)
{
    if (!FcInit())
        return false;
    FcPattern* pattern = FcPatternCreate();
    FcCharSet* set = FcCharSetCreate();
    FcCharSetAddChar(set, c);
    FcPatternAddCharSet(pattern, FC_CHARSET, set);
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, nullptr);
    FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
    const bool found = fonts && fonts->nfont > 0;
    if (fonts)
        FcFontSetDestroy(fonts);
    FcObjectSetDestroy(objects);
    FcCharSetDestroy(set);
    FcPatternDestroy(pattern);
    return found;
}

class EngineFontTest : public RenderTest {
  protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        Start(0);
        vt::ClearMessageBoxes();
    }

    // One frame: a black canvas, then draw() with the batch open (or not), then the back
    // buffer as it stands before anything else draws over it.
    vt::Frame DrawFrame(const std::function<void()>& draw, bool openBatch = true)
    {
        vt::Frame frame;
        m_game->onMessage = [&](UINT msg) {
            if (msg != EMSG_RS_RENDER)
                return -1;
            Render()->ClearCanvas(kBackground);
            if (openBatch)
                Render()->BeginSprite();
            draw();
            if (openBatch)
                Render()->EndSprite();
            frame = vt::ReadBackBuffer(Device());
            return 1;
        };
        m_game->Run();
        m_game->onMessage = nullptr;
        return frame;
    }

    Ink DrawInk(CEngineFont* font, const wchar_t* text, int x, int y, int cx, int cy, DWORD format)
    {
        return FindInk(DrawFrame([&] { font->Draw(text, x, y, cx, cy, kWhite, format); }));
    }

    static SIZE Measure(CEngineFont* font, const wchar_t* text)
    {
        SIZE size{0, 0};
        EXPECT_TRUE(GetTextExtentPoint32W(font->GetD3DXFont()->GetDC(), text, static_cast<int>(std::wcslen(text)),
                                          &size));
        return size;
    }

    static D3DXFONT_DESCW Desc(CEngineFont* font)
    {
        D3DXFONT_DESCW desc{};
        EXPECT_EQ(font->GetD3DXFont()->GetDescW(&desc), D3D_OK);
        return desc;
    }

    std::vector<std::string> FontLines() const
    {
        std::vector<std::string> lines;
        for (const std::string& line : LogMessages())
            if (line.rfind("Font \"", 0) == 0)
                lines.push_back(line);
        return lines;
    }
};

TEST_F(EngineFontTest, DescriptionRules)
{
    const std::wstring longFace = L"A Face Name Much Longer Than Thirty-One Characters";
    struct Row {
        const wchar_t* face;
        int height, width, weight;
        std::wstring wantFace;
        UINT wantWeight;
    } rows[] = {
        {nullptr, 17, 0, -1, L"Times New Roman", 1000},
        {L"Tahoma", 12, 6, 0, L"Tahoma", 0},
        {L"Tahoma", 12, 0, -400, L"Tahoma", 1000},
        {longFace.c_str(), 20, 0, 700, longFace.substr(0, 31), 700},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << "weight " << row.weight << " height " << row.height);
        CEngineFont* font = Render()->CreateEngineFont(row.face, row.height, row.width, row.weight);
        ASSERT_NE(font, nullptr);
        ASSERT_NE(font->GetD3DXFont(), nullptr);
        const D3DXFONT_DESCW desc = Desc(font);
        EXPECT_EQ(std::wstring(desc.FaceName), row.wantFace);
        EXPECT_EQ(desc.Weight, row.wantWeight);
        EXPECT_EQ(desc.Height, row.height);
        EXPECT_EQ(desc.CharSet, DEFAULT_CHARSET);
        EXPECT_EQ(desc.Italic, FALSE);
        const SIZE size = font->GetFontSize();
        EXPECT_EQ(size.cx, row.width);
        EXPECT_EQ(size.cy, row.height);
        Render()->ReleaseEngineFont(&font);
    }

    // The default font is that first row.
    CEngineFont* standard = Render()->GetEngineFont();
    ASSERT_NE(standard, nullptr);
    EXPECT_STREQ(Desc(standard).FaceName, L"Times New Roman");
    EXPECT_EQ(Desc(standard).Weight, 1000u);
    EXPECT_EQ(standard->GetFontSize().cy, 17);
}

TEST_F(EngineFontTest, ZeroSidesTakeTheMeasuredExtent)
{
    CEngineFont* font = Render()->GetEngineFont();
    const wchar_t* text = L"Hello Vireo";
    const SIZE size = Measure(font, text);
    ASSERT_GT(size.cx, 0);
    EXPECT_EQ(size.cy, 17);

    // Right and bottom alignment land exactly where left and top do only if the box is the
    // text's own extent; a box of 0 x 0 (or a clipped one) would draw nothing.
    const Ink leftTop = DrawInk(font, text, 10, 20, 0, 0, DT_LEFT | DT_TOP);
    ASSERT_FALSE(leftTop.empty);
    EXPECT_GE(leftTop.left, 10);
    EXPECT_LE(leftTop.right, 10 + size.cx);
    EXPECT_GE(leftTop.top, 20);
    EXPECT_LE(leftTop.bottom, 20 + size.cy);
    const Ink rightBottom = DrawInk(font, text, 10, 20, 0, 0, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
    EXPECT_EQ(rightBottom.left, leftTop.left);
    EXPECT_EQ(rightBottom.right, leftTop.right);
    EXPECT_EQ(rightBottom.top, leftTop.top);
    EXPECT_EQ(rightBottom.bottom, leftTop.bottom);

    // The box clips: a given width narrower than the text cuts the ink at its edge.
    const Ink cut = DrawInk(font, text, 10, 20, size.cx / 2, 0, DT_LEFT);
    EXPECT_LE(cut.right, 10 + size.cx / 2);
    EXPECT_GT(cut.right, 10 + size.cx / 4);
}

TEST_F(EngineFontTest, CentresAcrossAGivenWidthAndDownAGivenHeight)
{
    CEngineFont* font = Render()->GetEngineFont();
    const wchar_t* text = L"Centre me";
    const SIZE size = Measure(font, text);
    const Ink left = DrawInk(font, text, 10, 20, 200, 0, DT_LEFT);
    const Ink centred = DrawInk(font, text, 10, 20, 200, 0, DT_CENTER);
    ASSERT_FALSE(left.empty);
    ASSERT_FALSE(centred.empty);
    EXPECT_EQ(centred.left - left.left, (200 - size.cx) / 2);
    EXPECT_EQ(centred.top, left.top);
    EXPECT_EQ(centred.Width(), left.Width());

    const Ink top = DrawInk(font, text, 10, 20, 200, 100, DT_SINGLELINE);
    const Ink middle = DrawInk(font, text, 10, 20, 200, 100, DT_SINGLELINE | DT_VCENTER);
    const Ink both = DrawInk(font, text, 10, 20, 200, 100, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    EXPECT_EQ(middle.top - top.top, (100 - size.cy) / 2);
    EXPECT_EQ(middle.left, top.left);
    EXPECT_EQ(both.top, middle.top);
    EXPECT_EQ(both.left, centred.left);

    // Wrapped and centred (format 53): two lines, each inside the 120-pixel box.
    const Ink wrapped =
        DrawInk(font, L"a line of text that needs two", 10, 20, 120, 0, DT_WORDBREAK | DT_CENTER | DT_VCENTER);
    ASSERT_FALSE(wrapped.empty);
    EXPECT_GE(wrapped.left, 10);
    EXPECT_LE(wrapped.right, 130);
}

TEST_F(EngineFontTest, MeasuredWidthIsTheInkWidthPlusTheSideBearings)
{
    const bool cjk = AnyFaceHas(U'你');
    struct Row {
        const wchar_t* face;
        int height, width, weight;
        const wchar_t* text;
        bool needsCjk;
    } rows[] = {
        {nullptr, 17, 0, -1, L"Hello Vireo", false},
        {L"Tahoma", 14, 0, 400, L"WAVE of text", false},
        {L"Times New Roman", 20, 9, 400, L"Stretched wide", false},
        {L"Tahoma", 16, 0, 400, L"mixed 中文 text", true},
    };
    for (const Row& row : rows) {
        if (row.needsCjk && !cjk)
            continue;
        SCOPED_TRACE(::testing::Message() << "row " << (&row - rows));
        CEngineFont* font = Render()->CreateEngineFont(row.face, row.height, row.width, row.weight);
        const SIZE size = Measure(font, row.text);
        const Ink ink = DrawInk(font, row.text, 30, 40, 0, 0, DT_LEFT | DT_NOCLIP);
        ASSERT_FALSE(ink.empty);

        // The bearings of the first and last glyph, from a font of the same description.
        vireo::font::STextFontDesc desc;
        desc.face = Desc(font).FaceName;
        desc.height = row.height;
        desc.width = row.width;
        desc.weight = row.weight < 0 ? 1000 : row.weight;
        auto reference = vireo::font::CTextFont::Create(desc);
        ASSERT_NE(reference, nullptr);
        const auto& first = reference->Glyph(row.text[0]);
        const auto& last = reference->Glyph(row.text[std::wcslen(row.text) - 1]);
        const int leftBearing = first.left;
        const int rightBearing = last.advance - (last.left + last.width);
        // Edge columns of faint coverage may round to nothing: one pixel either side.
        EXPECT_NEAR(ink.Width(), size.cx - leftBearing - rightBearing, 2);
        EXPECT_NEAR(ink.left, 30 + leftBearing, 1);
        Render()->ReleaseEngineFont(&font);
    }
    if (!cjk)
        GTEST_SKIP() << "no installed face has Chinese characters; the mixed row was left out";
}

TEST_F(EngineFontTest, ChineseTextDrawsItsOwnGlyphs)
{
    if (!AnyFaceHas(U'你'))
        GTEST_SKIP() << "no installed face has Chinese characters";
    CEngineFont* font = Render()->GetEngineFont();
    // A missing-glyph box is the same for every character: distinct characters that draw
    // distinct pixels are real glyphs.
    const vt::Frame ni = DrawFrame([&] { font->Draw(L"你", 10, 10, 0, 0, kWhite, DT_LEFT); });
    const vt::Frame hao = DrawFrame([&] { font->Draw(L"好", 10, 10, 0, 0, kWhite, DT_LEFT); });
    const vt::Frame jie = DrawFrame([&] { font->Draw(L"界", 10, 10, 0, 0, kWhite, DT_LEFT); });
    ASSERT_FALSE(FindInk(ni).empty);
    ASSERT_FALSE(FindInk(hao).empty);
    EXPECT_NE(ni.pixels, hao.pixels);
    EXPECT_NE(hao.pixels, jie.pixels);
    EXPECT_NE(ni.pixels, jie.pixels);
    // A CJK glyph is about a full em wide, far wider than a box of a Latin face.
    EXPECT_GE(Measure(font, L"你").cx, 12);
}

TEST_F(EngineFontTest, OutsideTheBatchTheBoxShowsAndTheTextStillDraws)
{
    CEngineFont* font = Render()->GetEngineFont();
    const auto draw = [&] { font->Draw(L"Outside", 10, 20, 0, 0, kWhite, DT_LEFT); };
    const vt::Frame inside = DrawFrame(draw, true);
    EXPECT_TRUE(vt::MessageBoxesShown().empty());

    const vt::Frame outside = DrawFrame(draw, false);
    const auto boxes = vt::MessageBoxesShown();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"Vireo Engine");
    EXPECT_EQ(boxes[0].text, kBatchBox);
    EXPECT_FALSE(FindInk(outside).empty);
    EXPECT_EQ(outside.pixels, inside.pixels);

    // Empty text: inside the batch no box and no ink; outside only the batch box.
    vt::ClearMessageBoxes();
    EXPECT_TRUE(FindInk(DrawFrame([&] { font->Draw(L"", 10, 20, 0, 0, kWhite, DT_LEFT); })).empty);
    EXPECT_TRUE(vt::MessageBoxesShown().empty());
    EXPECT_TRUE(FindInk(DrawFrame([&] { font->Draw(L"", 10, 20, 0, 0, kWhite, DT_LEFT); }, false)).empty);
    EXPECT_EQ(vt::MessageBoxesShown().size(), 1u);
}

TEST_F(EngineFontTest, FacesAreReportedOnceAndAMissingFaceStillDraws)
{
    // The default font's face was reported at start-up, once.
    const auto atStart = FontLines();
    ASSERT_EQ(atStart.size(), 1u);
    EXPECT_EQ(atStart[0].rfind("Font \"Times New Roman\" weight 1000: ", 0), 0u) << atStart[0];

    CEngineFont* again = Render()->CreateEngineFont(nullptr, 17, 0, -1);
    EXPECT_EQ(FontLines().size(), 1u);

    CEngineFont* missing = Render()->CreateEngineFont(L"Vireo No Such Face", 17, 0, 400);
    ASSERT_NE(missing->GetD3DXFont(), nullptr);
    const auto lines = FontLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].rfind("Font \"Vireo No Such Face\" weight 400: not installed, substitute \"", 0), 0u)
        << lines[1];
    const Ink ink = DrawInk(missing, L"Still drawn", 10, 20, 0, 0, DT_LEFT);
    EXPECT_FALSE(ink.empty);
    Render()->ReleaseEngineFont(&again);
    Render()->ReleaseEngineFont(&missing);
}

TEST_F(EngineFontTest, FontsDrawTheSameAfterDeviceLossAndReset)
{
    CEngineFont* extra = Render()->CreateEngineFont(L"Tahoma", 14, 0, 400);
    const auto draw = [&] {
        Render()->GetEngineFont()->Draw(L"Before and after", 10, 20, 200, 0, kWhite, DT_CENTER);
        extra->Draw(L"重置 reset", 10, 60, 0, 0, 0xFF80FF40, DT_LEFT);
    };
    const vt::Frame before = DrawFrame(draw);
    ASSERT_FALSE(FindInk(before).empty);

    MarkLog();
    vt::LoseDeviceOnNextPresent();
    m_game->Run();  // presents and finds the device lost
    // The first reset fails, so the fonts are told of the loss twice before the one that works.
    vt::QueueResetResults({E_FAIL});
    m_game->Run();
    EXPECT_EQ(Render()->CanUpdate(), TRUE);  // resets: every font restored
    const auto lines = LogSinceMark();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.rfind("pD3DDevice->Reset  hr=", 0) == 0; }),
              2);
    EXPECT_EQ(Count(lines, "Reset Device Success."), 1);
    const vt::Frame after = DrawFrame(draw);
    EXPECT_EQ(after.pixels, before.pixels);
    Render()->ReleaseEngineFont(&extra);
}

TEST_F(EngineFontTest, TextKeepsItsPlaceInTheBatchBetweenPictures)
{
    CPicture* under = Render()->CreateDynamicPicture(200, 40);
    CPicture* over = Render()->CreateDynamicPicture(100, 40);
    ASSERT_EQ(under->ColorFill(nullptr, 0xFF0000FF), S_OK);
    ASSERT_EQ(over->ColorFill(nullptr, 0xFFFF0000), S_OK);
    CEngineFont* font = Render()->GetEngineFont();
    // The text runs from under the blue picture into where the red one will cover it.
    const wchar_t* text = L"Order of drawing matters";
    ASSERT_GT(Measure(font, text).cx, 140);
    const vt::Frame frame = DrawFrame([&] {
        under->Draw(10, 20);
        font->Draw(text, 10, 20, 200, 40, kWhite, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        over->Draw(110, 20);
    });
    int textOnBlue = 0, notRed = 0;
    for (int y = 20; y < 60; ++y) {
        for (int x = 10; x < 210; ++x) {
            const std::uint32_t pixel = frame.pixels[static_cast<std::size_t>(y) * frame.width + x];
            if (x < 110 && pixel != 0xFF0000FF)
                ++textOnBlue;
            if (x >= 110 && pixel != 0xFFFF0000)
                ++notRed;
        }
    }
    EXPECT_GT(textOnBlue, 0);  // drawn after the picture under it
    EXPECT_EQ(notRed, 0);      // and before the picture over it
    Render()->ReleasePicture(&under);
    Render()->ReleasePicture(&over);
}

TEST_F(EngineFontTest, ReleaseNullsThePointerOnceAndIgnoresWhatItDoesNotHold)
{
    CEngineFont* font = Render()->CreateEngineFont(L"Tahoma", 12, 0, 400);
    CEngineFont* copy = font;
    Render()->ReleaseEngineFont(&font);
    EXPECT_EQ(font, nullptr);
    Render()->ReleaseEngineFont(&font);  // null: nothing
    Render()->ReleaseEngineFont(&copy);  // no longer registered: nothing, pointer kept
    EXPECT_NE(copy, nullptr);
    Render()->ReleaseEngineFont(nullptr);

    // Releasing the default font leaves no dangling default behind.
    CEngineFont* standard = Render()->GetEngineFont();
    Render()->ReleaseEngineFont(&standard);
    EXPECT_EQ(standard, nullptr);
    EXPECT_EQ(Render()->GetEngineFont(), nullptr);
}

}  // namespace
}  // namespace vireo::test
