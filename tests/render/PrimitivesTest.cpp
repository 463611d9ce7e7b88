// The render system's primitives on back-buffer pixels: rectangle outlines and their size
// rule, fills clipped to the scene and written unblended, the stage-0 colour operation and
// its blend colour (with the flush it implies), and the BMP screen capture.
#include "render/RenderTest.h"

#include "platform/gfx/image/ImageDecoder.h"

#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>

namespace vireo::test {
namespace {

using vireo::testing::Frame;

constexpr DWORD kBackground = 0xFF000000;

std::uint32_t Pixel(const Frame& frame, int x, int y)
{
    return frame.pixels[static_cast<std::size_t>(y) * frame.width + x];
}

// A rectangle primitive's row: where its colour must be and where the canvas must remain.
struct RectRow {
    RECT rect;
    BOOL result;
    std::vector<POINT> on;
    std::vector<POINT> off;
};

void ExpectRectRow(const Frame& frame, const RectRow& row, BOOL result, DWORD colour)
{
    const RECT& r = row.rect;
    SCOPED_TRACE(::testing::Message() << "rect " << r.left << "," << r.top << "," << r.right << "," << r.bottom);
    EXPECT_EQ(result, row.result);
    for (const POINT& p : row.on)
        EXPECT_EQ(Pixel(frame, p.x, p.y), colour) << "at " << p.x << "," << p.y;
    for (const POINT& p : row.off)
        EXPECT_EQ(Pixel(frame, p.x, p.y), kBackground) << "at " << p.x << "," << p.y;
}

class PrimitivesTest : public RenderTest {
  protected:
    // One frame on a black canvas (debug mode off) with `draw` as the game's drawing; the
    // back buffer as it stands when the frame ends.
    Frame DrawFrame(const std::function<void()>& draw)
    {
        m_game->onMessage = [&](UINT msg) {
            if (msg == EMSG_RS_RENDER_BEGIN)
                Render()->ClearCanvas(kBackground);
            else if (msg == EMSG_RS_RENDER)
                draw();
            return -1;
        };
        m_game->Run();
        m_game->onMessage = nullptr;
        return vireo::testing::ReadBackBuffer(Device());
    }

    // A managed one-level texture of one colour.
    IDirect3DTexture9* SolidTexture(int size, DWORD color)
    {
        IDirect3DTexture9* texture = nullptr;
        EXPECT_EQ(D3DXCreateTexture(Device(), size, size, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), S_OK);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), S_OK);
        for (int y = 0; y < size; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
            std::fill(row, row + size, color);
        }
        texture->UnlockRect(0);
        return texture;
    }
};

TEST_F(PrimitivesTest, DrawRectOutlinesInsideTheRectangleAndRefusesBelowTwoByTwo)
{
    Start(0);
    constexpr DWORD kRed = 0xFFFF0000;
    // Outline pixels on, the inside and the outside off.
    const RectRow rows[] = {
        {{10, 10, 12, 12}, TRUE, {{10, 10}, {11, 10}, {10, 11}, {11, 11}}, {{12, 12}, {12, 10}, {10, 12}, {9, 9}}},
        {{20, 30, 40, 45}, TRUE, {{20, 30}, {39, 30}, {39, 44}, {20, 44}, {30, 30}, {39, 37}, {30, 44}, {20, 37}},
         {{30, 37}, {40, 30}, {20, 45}, {21, 31}, {38, 43}}},
        {{10, 10, 11, 30}, FALSE, {}, {{10, 10}, {10, 20}, {10, 29}}},
        {{10, 10, 30, 11}, FALSE, {}, {{10, 10}, {20, 10}, {29, 10}}},
        {{50, 50, 40, 60}, FALSE, {}, {{45, 50}, {50, 55}}},
    };
    for (const RectRow& row : rows) {
        BOOL result = -1;
        const Frame frame = DrawFrame([&] { result = Render()->DrawRect(&row.rect, kRed); });
        ExpectRectRow(frame, row, result, kRed);
    }
}

TEST_F(PrimitivesTest, DrawLineJoinsTheTwoPointsInsideAndOutsideALineBatch)
{
    Start(0);
    for (bool batch : {false, true}) {
        BOOL result = FALSE;
        const Frame frame = DrawFrame([&] {
            if (batch) {
                EXPECT_EQ(Render()->BeginLine(), S_OK);
            }
            result = Render()->DrawLine(POINT{100, 200}, POINT{160, 200}, 0xFF00FF00);
            if (batch) {
                EXPECT_EQ(Render()->EndLine(), S_OK);
            }
        });
        EXPECT_TRUE(result);
        for (int x : {100, 130, 159})
            EXPECT_EQ(Pixel(frame, x, 200), 0xFF00FF00u) << "batch " << batch << " x " << x;
        EXPECT_EQ(Pixel(frame, 130, 202), kBackground);
        EXPECT_EQ(Pixel(frame, 98, 200), kBackground);
    }
}

TEST_F(PrimitivesTest, FillRectIsClippedToTheSceneAndOutsideFillsNothing)
{
    Start(0); // 800 x 600 scene
    constexpr DWORD kBlue = 0xFF0000FF;
    // TRUE every time, also when nothing of the rectangle is on the scene.
    const RectRow rows[] = {
        {{-50, -50, 20, 20}, TRUE, {{0, 0}, {19, 0}, {0, 19}, {19, 19}}, {{20, 0}, {0, 20}, {20, 20}}},
        {{780, 590, 900, 700}, TRUE, {{780, 590}, {799, 599}}, {{779, 599}, {799, 589}}},
        {{900, 0, 1000, 50}, TRUE, {}, {{799, 0}, {799, 49}}},
        {{-30, -30, -10, -10}, TRUE, {}, {{0, 0}}},
        {{100, 100, 100, 200}, TRUE, {}, {{100, 100}, {100, 150}}},
    };
    for (const RectRow& row : rows) {
        BOOL result = FALSE;
        const Frame frame = DrawFrame([&] { result = Render()->FillRect(&row.rect, kBlue); });
        ExpectRectRow(frame, row, result, kBlue);
    }
}

TEST_F(PrimitivesTest, FillRectWritesTheColourUnblendedAndUnderQueuedSprites)
{
    Start(0);
    IDirect3DTexture9* white = SolidTexture(8, 0xFFFFFFFF);
    const RECT left{0, 0, 40, 40};
    const RECT half{20, 0, 60, 40};
    const Frame frame = DrawFrame([&] {
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
    });
    EXPECT_EQ(Pixel(frame, 10, 10), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(frame, 25, 10) & 0x00FFFFFFu, 0x00FF0000u);
    EXPECT_EQ(Pixel(frame, 52, 12), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(frame, 49, 9), 0xFF00FF00u);
    white->Release();
}

TEST_F(PrimitivesTest, ColorOpSetsTheBlendColourAndBeginSpriteResetsOnlyTheColour)
{
    Start(0);
    const auto colorOp = [&] {
        DWORD value = 0;
        Device()->GetTextureStageState(0, D3DTSS_COLOROP, &value);
        return value;
    };
    const auto blendIs = [&](float v) {
        const D3DXCOLOR c = Render()->GetBlendColor();
        return c.r == v && c.g == v && c.b == v && c.a == 1.0f;
    };
    Render()->SetPictureColorOP(D3DTOP_ADDSMOOTH);
    EXPECT_TRUE(blendIs(0.0f));
    EXPECT_EQ(colorOp(), static_cast<DWORD>(D3DTOP_ADDSMOOTH));
    bool whiteAfterBegin = false;
    DWORD opInBatch = 0;
    bool blackAgain = false;
    DrawFrame([&] {
        Render()->BeginSprite();
        whiteAfterBegin = blendIs(1.0f);
        // The sprite applies its own stage states for the batch; asking for the operation
        // again inside it sets the state and the colour.
        Render()->SetPictureColorOP(D3DTOP_ADDSMOOTH);
        opInBatch = colorOp();
        blackAgain = blendIs(0.0f);
        Render()->EndSprite();
    });
    EXPECT_TRUE(whiteAfterBegin);
    EXPECT_EQ(opInBatch, static_cast<DWORD>(D3DTOP_ADDSMOOTH));
    EXPECT_TRUE(blackAgain);
    // The batch gave the device its states back: the operation outlives BeginSprite.
    EXPECT_EQ(colorOp(), static_cast<DWORD>(D3DTOP_ADDSMOOTH));

    Render()->SetPictureColorOP(D3DTOP_MODULATE);
    EXPECT_TRUE(blendIs(1.0f));
    EXPECT_EQ(colorOp(), static_cast<DWORD>(D3DTOP_MODULATE));

    // The colour follows the operation asked for even when the device already has it.
    Device()->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADDSMOOTH);
    Render()->SetPictureColorOP(D3DTOP_ADDSMOOTH);
    EXPECT_TRUE(blendIs(0.0f));
}

TEST_F(PrimitivesTest, ChangingTheColorOpFlushesQueuedSpritesAndKeepingItDoesNot)
{
    Start(0);
    IDirect3DTexture9* white = SolidTexture(8, 0xFFFFFFFF);
    for (DWORD next : {static_cast<DWORD>(D3DTOP_MODULATE), static_cast<DWORD>(D3DTOP_ADDSMOOTH)}) {
        std::uint32_t midBatch = 0;
        DrawFrame([&] {
            Render()->SetPictureColorOP(D3DTOP_MODULATE);
            Render()->BeginSprite();
            const D3DXVECTOR3 at(300.0f, 300.0f, 0.0f);
            Render()->GetD3DXSprite()->Draw(white, nullptr, nullptr, &at, 0xFFFFFFFF);
            Render()->SetPictureColorOP(next);
            midBatch = Pixel(vireo::testing::ReadBackBuffer(Device()), 302, 302);
            Render()->EndSprite();
            Render()->SetPictureColorOP(D3DTOP_MODULATE);
        });
        if (next == D3DTOP_MODULATE) {
            EXPECT_EQ(midBatch, kBackground) << "nothing to flush when the operation stays";
        } else {
            EXPECT_EQ(midBatch, 0xFFFFFFFFu) << "the queued sprite is drawn before the change";
        }
    }
    white->Release();
}

TEST_F(PrimitivesTest, SaveSceneToFileWritesABmpEqualToTheBackBuffer)
{
    Start(0);
    RECT part{30, 40, 130, 90};
    BOOL savedWhole = FALSE;
    BOOL savedPart = FALSE;
    BOOL savedNowhere = TRUE;
    const Frame frame = DrawFrame([&] {
        // Something that is not uniform, so a shifted or flipped capture shows.
        const RECT a{0, 0, 400, 300};
        const RECT b{60, 50, 90, 70};
        Render()->FillRect(&a, 0xFF336699);
        Render()->FillRect(&b, 0xFFFFCC00);
        Render()->DrawLine(POINT{0, 599}, POINT{799, 0}, 0xFFFF00FF);
        savedWhole = Render()->SaveSceneToFile(L"capture.png", nullptr);
        savedPart = Render()->SaveSceneToFile(L"part.jpg", &part);
        savedNowhere = Render()->SaveSceneToFile(L"no/such/folder/capture.bmp", nullptr);
    });
    EXPECT_TRUE(savedWhole);
    EXPECT_TRUE(savedPart);
    EXPECT_FALSE(savedNowhere);

    const auto load = [](const char* name) {
        std::ifstream in(name, std::ios::binary);
        return std::vector<char>(std::istreambuf_iterator<char>(in), {});
    };
    const auto whole = load("capture.png");
    ASSERT_GT(whole.size(), 2u);
    EXPECT_EQ(whole[0], 'B');
    EXPECT_EQ(whole[1], 'M');
    vireo::image::Image image;
    ASSERT_TRUE(vireo::image::DecodeImage(whole.data(), whole.size(), image, nullptr));
    ASSERT_EQ(image.width, frame.width);
    ASSERT_EQ(image.height, frame.height);
    int differing = 0;
    for (std::size_t i = 0; i < image.pixels.size(); ++i)
        differing += (image.pixels[i] & 0xFFFFFF) != (frame.pixels[i] & 0xFFFFFF);
    EXPECT_EQ(differing, 0);

    const auto cut = load("part.jpg");
    ASSERT_TRUE(vireo::image::DecodeImage(cut.data(), cut.size(), image, nullptr));
    EXPECT_EQ(image.format, vireo::image::Format::Bmp);
    ASSERT_EQ(image.width, 100);
    ASSERT_EQ(image.height, 50);
    differing = 0;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x)
            differing += (image.pixels[y * 100 + x] & 0xFFFFFF) != (Pixel(frame, 30 + x, 40 + y) & 0xFFFFFF);
    EXPECT_EQ(differing, 0);
}

} // namespace
} // namespace vireo::test
