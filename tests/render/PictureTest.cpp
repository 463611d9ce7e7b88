// CPicture's draw family read back from the back buffer: where each form puts the picture,
// rotation, alpha, colour and mask, the box outside the batch, and ColorFill's clamping and
// refusals.
#include "render/RenderTest.h"

#include <tuple>

namespace vireo::test {
namespace {

constexpr std::uint32_t kRed = 0xFFFF0000u;
constexpr std::uint32_t kGreen = 0xFF00FF00u;
constexpr std::uint32_t kBlue = 0xFF0000FFu;
constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
const std::wstring kNotBegun = L"Vireo Engine: 在调用 CPicture 的画图函数前，请先调用 CRenderSystem::BeginSprite ！";
// A box without a caption is titled as Windows titles it.
const std::wstring kInvalidCall = L"Error: hr=-2005530516, err=D3DERR_INVALIDCALL";

using PictureTest = StartedRenderTest;

TEST_F(PictureTest, EachDrawFormCoversItsDestination)
{
    std::tuple<const char*, int, int, std::function<void(CPicture*)>, RECT> rows[] = {
        // clang-format off
        {"Draw(pt)", 31, 20, [](CPicture* p) { p->Draw(POINT{7, 9}); }, {7, 9, 38, 29}},
        {"DrawCenter odd width", 31, 20, [](CPicture* p) { p->DrawCenter(100, 100); }, {85, 90, 116, 110}},
        {"DrawStretch keeps proportions from -1", 100, 50,
         [](CPicture* p) { p->DrawStretch(0, 0, 200, -1, COORD_LEFTTOP); }, {0, 0, 200, 100}},
        {"DrawStretchEx centred", 40, 30,
         [](CPicture* p) { p->DrawStretchEx(320, 240, 100, 60, nullptr, COORD_CENTER); }, {270, 210, 370, 270}},
        {"SDrawParam centred and turned", 40, 20,
         [&](CPicture* p) {
             SDrawParam param{};
             param.bCenter = TRUE;
             param.fRotation = 1.5707964f; // a quarter turn
             p->Draw(&param, 120, 110);
         },
         {110, 90, 130, 130}},
        // clang-format on
    };
    for (const auto& [name, w, h, draw, expected] : rows) {
        SCOPED_TRACE(name);
        CPicture* picture = FromBytes(Bmp(w, h, kGreen));
        ASSERT_EQ(picture->Width(), w);
        const auto frame = DrawFrame([&] { draw(picture); });
        EXPECT_EQ(Drawn(frame), expected);
        Render()->ReleasePicture(&picture);
    }
}

TEST_F(PictureTest, PositiveRotationTurnsAnticlockwise)
{
    // Left half green, right half red: a quarter turn anticlockwise brings the right edge's
    // middle to the top and the top-left corner to (110, 130).
    CPicture* picture = FromBytes(Bmp(40, 20, kGreen, kRed));
    const auto frame = DrawFrame([&] {
        picture->DrawRotation(100, 100, 1.5707964f);
        picture->Draw(300, 300); // the turn must not outlive its own draw
    });
    const std::tuple<int, int, std::uint32_t> expected[] = {
        {120, 91, kRed},    {120, 128, kGreen}, {111, 129, kGreen},     {109, 129, 0xFF000000u},
        {300, 300, kGreen}, {339, 319, kRed},   {340, 310, 0xFF000000u}};
    for (const auto& [x, y, colour] : expected)
        EXPECT_EQ(Pixel(frame, x, y), colour) << x << "," << y;
}

TEST_F(PictureTest, AlphaColourAndMaskCombineWithThePicture)
{
    CPicture* blue = FromBytes(Bmp(20, 20, kBlue));
    CPicture* white = FromBytes(Bmp(20, 20, kWhite));
    CPicture* yellow = FromBytes(Bmp(20, 10, 0xFFFFFF00u));
    CPicture* mask = FromBytes(Bmp(20, 10, kWhite, 0xFF00FFFFu)); // left white, right cyan
    const BYTE half = 128;
    const DWORD green = 0xFF00FF00;
    const auto frame = DrawFrame([&] {
        blue->DrawCenter(100, 100, nullptr, &half);
        white->Draw(200, 200, nullptr, nullptr, &green);
        white->Draw(300, 300, nullptr, &half, &green);
        yellow->DrawWithMask(mask, 10, 10);
    });
    // The mask multiplies texel for texel, and leaves stage 1 once the picture is drawn.
    EXPECT_EQ(Pixel(frame, 12, 15), 0xFFFFFF00u);
    EXPECT_EQ(Pixel(frame, 27, 15), kGreen);
    IDirect3DBaseTexture9* stage1 = nullptr;
    Device()->GetTexture(1, &stage1);
    EXPECT_EQ(stage1, nullptr);
    // Half of the picture's own blue over black; white modulated to green; both at once.
    // Colour channels only: the back buffer's alpha is blended too and never shown.
    EXPECT_NEAR(static_cast<int>(Pixel(frame, 100, 100) & 0x00FFFFFFu), 0x80, 1);
    EXPECT_EQ(Pixel(frame, 210, 210) & 0x00FFFFFFu, kGreen & 0x00FFFFFFu);
    EXPECT_NEAR(static_cast<int>(Pixel(frame, 310, 310) & 0x00FFFFFFu), 0x8000, 0x100);
    EXPECT_EQ(Pixel(frame, 310, 310) & 0x00FF00FFu, 0u);
}

TEST_F(PictureTest, DrawingOutsideTheBatchShowsTheBoxEveryTimeAndDrawsNothing)
{
    CPicture* picture = FromBytes(Bmp(20, 20, kWhite));
    const auto frame = DrawFrame(
        [&] {
            picture->Draw(10, 10);
            picture->DrawStretch(0, 0, 40, 40, COORD_CENTER);
            picture->DrawWithMask(picture, 70, 70);
        },
        false);
    EXPECT_EQ(Drawn(frame), (RECT{0, 0, 0, 0}));
    EXPECT_EQ(Boxes(), std::vector<std::wstring>(3, kNotBegun));
}

TEST_F(PictureTest, ColorFillClampsToThePictureAndRefusesWhatItCannotFill)
{
    CPicture* target = Render()->CreateDynamicPicture(40, 30);
    // expected: where the red shows of the picture drawn at (100, 100) on black
    std::tuple<RECT, RECT> rows[] = {
        {{-10, -10, 10, 5}, {100, 100, 110, 105}},
        {{30, 20, 100, 100}, {130, 120, 140, 130}},
        {{-5, 10, 500, 12}, {100, 110, 140, 112}},
    };
    for (const auto& [fill, expected] : rows) {
        SCOPED_TRACE(::testing::PrintToString(fill));
        ASSERT_EQ(target->ColorFill(nullptr, 0xFF000000u), S_OK);
        ASSERT_EQ(target->ColorFill(&fill, kRed), S_OK);
        EXPECT_EQ(Drawn(DrawFrame([&] { target->Draw(100, 100); })), expected);
    }
    EXPECT_TRUE(vireo::testing::MessageBoxesShown().empty());

    // A file picture is no render target: the device refuses and the plain box says why.
    CPicture* file = FromBytes(Bmp(8, 8, kWhite));
    EXPECT_EQ(file->ColorFill(nullptr, kRed), D3DERR_INVALIDCALL);
    EXPECT_EQ(Boxes(), std::vector<std::wstring>{kInvalidCall});
}

TEST_F(PictureTest, DynamicPictureOfASizeTheDeviceRefusesIsEmptyAndEachFailureShowsItsBox)
{
    std::tuple<UINT, UINT> rows[] = {{8193, 1}, {1, 8193}};
    for (const auto& [w, h] : rows) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        vireo::testing::ClearMessageBoxes();
        CPicture* picture = Render()->CreateDynamicPicture(w, h);
        EXPECT_EQ(picture->GetTexture(), nullptr);
        EXPECT_EQ(Boxes(), std::vector<std::wstring>{kInvalidCall});
        EXPECT_EQ(picture->ColorFill(nullptr, kRed), D3DERR_INVALIDCALL); // with a box of its own
        EXPECT_EQ(Boxes(), std::vector<std::wstring>(2, kInvalidCall));
        EXPECT_EQ(Drawn(DrawFrame([&] { picture->Draw(0, 0); })), (RECT{0, 0, 0, 0}));
        // The entry keeps its null texture until shutdown, as for a file that did not load.
        const std::wstring key = picture->GetKey();
        Render()->ReleasePicture(&picture);
        ASSERT_NE(Render()->FindTexture(key.c_str()), nullptr);
    }
}

} // namespace
} // namespace vireo::test
