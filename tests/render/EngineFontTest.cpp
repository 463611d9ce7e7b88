// CEngineFont inside a running engine, checked on the back buffer: the description rules, the
// box rule (measured sides, centring across and down), text drawn outside the batch, a face
// that is not installed, the drawing order shared with pictures, and release.
#include "render/RenderTest.h"

namespace vireo::test {
namespace {

namespace vt = vireo::testing;

constexpr DWORD kWhite = 0xFFFFFFFF;

class EngineFontTest : public StartedRenderTest {
  protected:
    // The bounds of the ink of one text drawn in white on black.
    RECT DrawInk(CEngineFont* font, const wchar_t* text, int x, int y, int cx, int cy, DWORD format)
    {
        return Drawn(DrawFrame([&] { font->Draw(text, x, y, cx, cy, kWhite, format); }));
    }

    static SIZE Measure(CEngineFont* font, const wchar_t* text)
    {
        SIZE size{0, 0};
        EXPECT_TRUE(
            GetTextExtentPoint32W(font->GetD3DXFont()->GetDC(), text, static_cast<int>(std::wcslen(text)), &size));
        return size;
    }
    int FontLines() const { return CountPrefix(LogMessages(), "Font \""); }
};

TEST_F(EngineFontTest, BoxSidesOfZeroTakeTheMeasuredExtentAndGivenSidesCentre)
{
    CEngineFont* font = Render()->GetEngineFont();
    const wchar_t* text = L"Hello Vireo";
    const SIZE size = Measure(font, text);
    ASSERT_GT(size.cx, 0);
    EXPECT_EQ(size.cy, 17);
    const RECT base = DrawInk(font, text, 10, 20, 0, 0, DT_LEFT | DT_TOP);
    ASSERT_GT(base.right, 0);

    // Where the ink moves from `base`. Right and bottom alignment in a box of zero sides land
    // exactly on it only if the box is the text's own extent.
    std::tuple<int, int, DWORD, LONG, LONG> rows[] = {
        {0, 0, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE, 0, 0},
        {200, 100, DT_SINGLELINE | DT_VCENTER | DT_CENTER, (200 - size.cx) / 2, (100 - size.cy) / 2},
    };
    for (const auto& [cx, cy, format, dx, dy] : rows)
        EXPECT_EQ(DrawInk(font, text, 10, 20, cx, cy, format),
                  (RECT{base.left + dx, base.top + dy, base.right + dx, base.bottom + dy}))
            << cx << " x " << cy << " format " << format;
}

TEST_F(EngineFontTest, OutsideTheBatchTheBoxShowsAndTheTextStillDraws)
{
    CEngineFont* font = Render()->GetEngineFont();
    const auto draw = [&] { font->Draw(L"Outside", 10, 20, 0, 0, kWhite, DT_LEFT); };
    const auto inside = DrawFrame(draw, true);
    EXPECT_TRUE(vt::MessageBoxesShown().empty());

    const auto outside = DrawFrame(draw, false);
    EXPECT_EQ(Boxes(),
              std::vector<std::wstring>{L"Vireo Engine: 在调用CEngineFont::Draw前要先调用CRenderSystem::BeginSprite"});
    EXPECT_GT(Drawn(outside).right, 0);
    EXPECT_EQ(outside.pixels, inside.pixels);

    // Empty text: inside the batch no box and no ink; outside only the batch box.
    vt::ClearMessageBoxes();
    EXPECT_EQ(DrawInk(font, L"", 10, 20, 0, 0, DT_LEFT), (RECT{0, 0, 0, 0}));
    EXPECT_TRUE(vt::MessageBoxesShown().empty());
    EXPECT_EQ(Drawn(DrawFrame([&] { font->Draw(L"", 10, 20, 0, 0, kWhite, DT_LEFT); }, false)), (RECT{0, 0, 0, 0}));
    EXPECT_EQ(vt::MessageBoxesShown().size(), 1u);
}

TEST_F(EngineFontTest, FacesAreReportedOnceAndAMissingFaceStillDraws)
{
    // The default font's face and the main window's were reported at start-up (the engine's
    // start-up log pins which); a face already reported is not reported again.
    CEngineFont* again = Render()->CreateEngineFont(nullptr, 17, 0, -1);
    EXPECT_EQ(FontLines(), 2);

    // A face that is not installed, named longer than a description holds: the name is cut to
    // 31 characters and weight 0 is kept (the default font's -1 and the window's are above).
    const std::wstring longFace = L"Vireo No Such Face, Named Longer Than Thirty-One Characters";
    CEngineFont* missing = Render()->CreateEngineFont(longFace.c_str(), 17, 0, 0);
    D3DXFONT_DESCW desc{};
    ASSERT_EQ(missing->GetD3DXFont()->GetDescW(&desc), D3D_OK);
    EXPECT_EQ(std::wstring(desc.FaceName), longFace.substr(0, 31));
    EXPECT_EQ(desc.Weight, 0u);
    EXPECT_EQ(FontLines(), 3);
    EXPECT_EQ(
        CountPrefix(LogMessages(), "Font \"Vireo No Such Face, Named Longe\" weight 400: not installed, substitute \""),
        1);
    EXPECT_GT(DrawInk(missing, L"Still drawn", 10, 20, 0, 0, DT_LEFT).right, 0);
    Render()->ReleaseEngineFont(&again);
    Render()->ReleaseEngineFont(&missing);
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
    for (int y = 20; y < 60; ++y)
        for (int x = 10; x < 210; ++x)
            (x < 110 ? textOnBlue : notRed) += Pixel(frame, x, y) != (x < 110 ? 0xFF0000FFu : 0xFFFF0000u);
    EXPECT_GT(textOnBlue, 0); // drawn after the picture under it
    EXPECT_EQ(notRed, 0);     // and before the picture over it
    Render()->ReleasePicture(&under);
    Render()->ReleasePicture(&over);
}

} // namespace
} // namespace vireo::test
