// The render system's primitives on back-buffer pixels: rectangle outlines and their size
// rule, fills clipped to the scene and written unblended, and the BMP screen capture.
#include "render/RenderTest.h"

namespace vireo::test {
namespace {

using vireo::testing::Frame;

constexpr DWORD kBackground = 0xFF000000;

using PrimitivesTest = StartedRenderTest; // 800 x 600 scene

TEST_F(PrimitivesTest, DrawRectOutlinesFromTwoByTwoAndFillRectClipsToTheScene)
{
    constexpr DWORD kRed = 0xFFFF0000;
    // on: red; off: still the canvas
    std::tuple<bool, RECT, BOOL, std::vector<POINT>, std::vector<POINT>> rows[] = {
        // Outline pixels on, the inside and the outside off; thinner than 2 x 2 is refused.
        // clang-format off
        {false, {10, 10, 12, 12}, TRUE, {{10, 10}, {11, 10}, {10, 11}, {11, 11}},
         {{12, 12}, {12, 10}, {10, 12}, {9, 9}}},
        {false, {20, 30, 40, 45}, TRUE, {{20, 30}, {39, 30}, {39, 44}, {20, 44}, {30, 30}, {39, 37}, {30, 44},
         {20, 37}}, {{30, 37}, {40, 30}, {20, 45}, {21, 31}, {38, 43}}},
        // clang-format on
        {false, {10, 10, 11, 30}, FALSE, {}, {{10, 10}, {10, 20}, {10, 29}}},
        // FillRect is TRUE every time, also when nothing of the rectangle is on the scene.
        {true, {-50, -50, 20, 20}, TRUE, {{0, 0}, {19, 0}, {0, 19}, {19, 19}}, {{20, 0}, {0, 20}, {20, 20}}},
        {true, {780, 590, 900, 700}, TRUE, {{780, 590}, {799, 599}}, {{779, 599}, {799, 589}}},
    };
    for (const auto& [fill, rect, rowResult, on, off] : rows) {
        SCOPED_TRACE(::testing::Message() << (fill ? "FillRect " : "DrawRect ") << rect);
        BOOL result = -1;
        const Frame frame = DrawFrame(
            [&] { result = fill ? Render()->FillRect(&rect, kRed) : Render()->DrawRect(&rect, kRed); }, false);
        EXPECT_EQ(result, rowResult);
        for (const POINT& p : on)
            EXPECT_EQ(Pixel(frame, p.x, p.y), kRed) << "at " << p.x << "," << p.y;
        for (const POINT& p : off)
            EXPECT_EQ(Pixel(frame, p.x, p.y), kBackground) << "at " << p.x << "," << p.y;
    }
}

TEST_F(PrimitivesTest, FillRectWritesTheColourUnblendedAndUnderQueuedSprites)
{
    // A white texture drawn straight through the sprite, past the picture code.
    IDirect3DTexture9* white = FromBytes(Bmp(8, 8, 0xFFFFFFFF))->GetTexture();
    const RECT left{0, 0, 40, 40};
    const RECT half{20, 0, 60, 40};
    const Frame frame = DrawFrame(
        [&] {
            Render()->FillRect(&left, 0xFFFFFFFF);
            // A half-transparent red over white would be pink if it were blended.
            Render()->FillRect(&half, 0x80FF0000);
            Render()->BeginSprite();
            const D3DXVECTOR3 at(50.0f, 10.0f, 0.0f);
            Render()->GetD3DXSprite()->Draw(white, nullptr, nullptr, &at, 0xFFFFFFFF);
            // Filled after the sprite was queued, yet the sprite ends up on top.
            const RECT under{48, 8, 70, 30};
            Render()->FillRect(&under, 0xFF00FF00);
            Render()->EndSprite();
        },
        false);
    EXPECT_EQ(Pixel(frame, 10, 10), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(frame, 25, 10) & 0x00FFFFFFu, 0x00FF0000u);
    EXPECT_EQ(Pixel(frame, 52, 12), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(frame, 49, 9), 0xFF00FF00u);
}

TEST_F(PrimitivesTest, SaveSceneToFileWritesABmpEqualToTheBackBuffer)
{
    RECT part{30, 40, 130, 90};
    const RECT whole{0, 0, 800, 600};
    std::vector<BOOL> saved;
    const Frame frame = DrawFrame(
        [&] {
            // Something that is not uniform, so a shifted or flipped capture shows.
            const RECT a{0, 0, 400, 300};
            const RECT b{60, 50, 90, 70};
            Render()->FillRect(&a, 0xFF336699);
            Render()->FillRect(&b, 0xFFFFCC00);
            Render()->DrawLine(POINT{0, 599}, POINT{799, 0}, 0xFFFF00FF);
            saved = {Render()->SaveSceneToFile(L"capture.png", nullptr), Render()->SaveSceneToFile(L"part.jpg", &part),
                     Render()->SaveSceneToFile(L"no/such/folder/capture.bmp", nullptr)};
        },
        false);
    EXPECT_EQ(saved, (std::vector<BOOL>{TRUE, TRUE, FALSE}));

    // Whatever the name's extension, the file is a BMP of the scene or of the part.
    for (const auto& [name, r] : {std::pair{"capture.png", whole}, std::pair{"part.jpg", part}}) {
        SCOPED_TRACE(name);
        const std::string bytes = ReadFileBytes(name);
        vireo::image::Image image;
        ASSERT_TRUE(vireo::image::DecodeImage(bytes.data(), bytes.size(), image, nullptr));
        EXPECT_EQ(image.format, vireo::image::Format::Bmp);
        ASSERT_EQ(image.width, RectWidth(r));
        ASSERT_EQ(image.height, RectHeight(r));
        int differing = 0;
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                differing += (image.pixels[static_cast<std::size_t>(y) * image.width + x] & 0xFFFFFF) !=
                             (Pixel(frame, r.left + x, r.top + y) & 0xFFFFFF);
        EXPECT_EQ(differing, 0);
    }
}

} // namespace
} // namespace vireo::test
