// ID3DXFont on the software device: its text on the back buffer equals the CPU text renderer's
// pixels, through the caller's sprite, its own, or a sprite outside Begin/End.
#include "FontTestUtil.h"
#include "common/TestDevice.h"

#include <vireo/platform/D3D9Testing.h>
#include <vireo/platform/D3DX9.h>

#include <cstring>

namespace vireo::font::test {
namespace {

namespace vt = vireo::testing;

class D3DXFontTest : public ::testing::Test, protected vireo::test::TestDevice {
  protected:
    void TearDown() override { CloseDevice(); }
};

TEST_F(D3DXFontTest, SpriteDrawnTextEqualsTheCpuRendererPixelForPixel)
{
    constexpr int kWidth = 240, kHeight = 80;
    constexpr D3DCOLOR kBackground = 0xFF102030;
    ASSERT_TRUE(OpenDevice(kWidth, kHeight, false));
    ID3DXSprite* sprite = nullptr;
    ID3DXFont* d3dxFont = nullptr;
    ASSERT_EQ(D3DXCreateSprite(m_device, &sprite), D3D_OK);
    ASSERT_EQ(D3DXCreateFontW(m_device, 17, 0, 400, 1, FALSE, DEFAULT_CHARSET, 0, 0, 0, L"Times New Roman", &d3dxFont),
              D3D_OK);
    const wchar_t* text = L"Hello Vireo\n你好，世界 gjq";
    RECT box{12, 8, 212, 70};
    const DWORD format = DT_CENTER | DT_WORDBREAK;
    const D3DCOLOR color = 0xC0FF8040;
    // The same text drawn by the CPU renderer onto a canvas of the background colour.
    Canvas canvas(kWidth, kHeight, kBackground);
    STextLayout layout;
    auto font = MakeFont(L"Times New Roman", 17);
    LayoutText(*font, text, -1, box, format, layout);
    RenderTextLayout(canvas.surface, layout, font->Atlas(), color);
    const std::vector<std::uint32_t>& expected = canvas.pixels;
    ASSERT_NE(expected, std::vector<std::uint32_t>(expected.size(), kBackground));

    // Moved: the caller's sprite translates by whole pixels, the box moves back by as much.
    enum class Path { CallersBatch, OwnSprite, ClosedSprite, Moved };
    for (Path path : {Path::CallersBatch, Path::OwnSprite, Path::ClosedSprite, Path::Moved}) {
        SCOPED_TRACE(::testing::Message() << "path " << static_cast<int>(path));
        ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, kBackground, 1.0f, 0), D3D_OK);
        ASSERT_EQ(m_device->BeginScene(), D3D_OK);
        RECT rect = box;
        INT height = 0;
        if (path == Path::CallersBatch || path == Path::Moved) {
            const int dx = path == Path::Moved ? 7 : 0, dy = path == Path::Moved ? -5 : 0;
            D3DXMATRIX move;
            D3DXMatrixTranslation(&move, static_cast<float>(dx), static_cast<float>(dy), 0);
            ASSERT_EQ(sprite->SetTransform(&move), D3D_OK);
            RECT moved{box.left - dx, box.top - dy, box.right - dx, box.bottom - dy};
            ASSERT_EQ(sprite->Begin(D3DXSPRITE_ALPHABLEND), D3D_OK);
            height = d3dxFont->DrawTextW(sprite, text, -1, &moved, format, color);
            ASSERT_EQ(sprite->End(), D3D_OK);
            rect = RECT{moved.left + dx, moved.top + dy, moved.right + dx, moved.bottom + dy};
        } else {
            height = d3dxFont->DrawTextW(path == Path::OwnSprite ? nullptr : sprite, text, -1, &rect, format, color);
            EXPECT_EQ(sprite->End(), D3DERR_INVALIDCALL); // the font closed what it opened
        }
        ASSERT_EQ(m_device->EndScene(), D3D_OK);
        EXPECT_EQ(height, 34);
        EXPECT_EQ(std::memcmp(&rect, &box, sizeof rect), 0); // only DT_CALCRECT writes the rectangle
        EXPECT_EQ(vt::ReadBackBuffer(m_device).pixels, expected);
    }
    EXPECT_EQ(d3dxFont->Release(), 0u);
    EXPECT_EQ(sprite->Release(), 0u);
}

} // namespace
} // namespace vireo::font::test
