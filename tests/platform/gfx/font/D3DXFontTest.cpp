// ID3DXFont on the software device: its text on the back buffer equals the CPU text renderer's
// pixels, through the caller's sprite, its own, or a sprite outside Begin/End; DT_CALCRECT;
// the device context; device loss and reset; and refused arguments.
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
    static constexpr int kWidth = 240;
    static constexpr int kHeight = 80;
    static constexpr D3DCOLOR kBackground = 0xFF102030;

    void SetUp() override
    {
        ASSERT_TRUE(OpenDevice(kWidth, kHeight, false));
        ASSERT_EQ(D3DXCreateSprite(m_device, &m_sprite), D3D_OK);
        ASSERT_EQ(
            D3DXCreateFontW(m_device, 17, 0, 400, 1, FALSE, DEFAULT_CHARSET, 0, 0, 0, L"Times New Roman", &m_font),
            D3D_OK);
        Clear();
    }
    void TearDown() override
    {
        if (m_font) {
            EXPECT_EQ(m_font->Release(), 0u);
        }
        if (m_sprite) {
            EXPECT_EQ(m_sprite->Release(), 0u);
        }
        CloseDevice();
    }
    void Clear() { ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, kBackground, 1.0f, 0), D3D_OK); }

    // The same text drawn by the CPU renderer onto a canvas of the background colour.
    std::vector<std::uint32_t> Expected(const wchar_t* text, RECT box, DWORD format, D3DCOLOR color)
    {
        STextFontDesc desc;
        desc.face = L"Times New Roman";
        desc.height = 17;
        auto font = CTextFont::Create(desc);
        Canvas canvas(kWidth, kHeight, kBackground);
        STextLayout layout;
        LayoutText(*font, text, -1, box, format, layout);
        RenderTextLayout(canvas.surface, layout, font->Atlas(), color);
        return canvas.pixels;
    }

    ID3DXSprite* m_sprite = nullptr;
    ID3DXFont* m_font = nullptr;
};

TEST_F(D3DXFontTest, SpriteDrawnTextEqualsTheCpuRendererPixelForPixel)
{
    const wchar_t* text = L"Hello Vireo\n你好，世界 gjq";
    RECT box{12, 8, 212, 70};
    const DWORD format = DT_CENTER | DT_WORDBREAK;
    const D3DCOLOR color = 0xC0FF8040;
    const auto expected = Expected(text, box, format, color);
    ASSERT_NE(expected, std::vector<std::uint32_t>(expected.size(), kBackground));

    enum class Path { CallersBatch, OwnSprite, ClosedSprite };
    for (Path path : {Path::CallersBatch, Path::OwnSprite, Path::ClosedSprite}) {
        SCOPED_TRACE(::testing::Message() << "path " << static_cast<int>(path));
        Clear();
        ASSERT_EQ(m_device->BeginScene(), D3D_OK);
        RECT rect = box;
        INT height = 0;
        if (path == Path::CallersBatch) {
            ASSERT_EQ(m_sprite->Begin(D3DXSPRITE_ALPHABLEND), D3D_OK);
            height = m_font->DrawTextW(m_sprite, text, -1, &rect, format, color);
            ASSERT_EQ(m_sprite->End(), D3D_OK);
        } else {
            height = m_font->DrawTextW(path == Path::OwnSprite ? nullptr : m_sprite, text, -1, &rect, format, color);
            EXPECT_EQ(m_sprite->End(), D3DERR_INVALIDCALL); // the font closed what it opened
        }
        ASSERT_EQ(m_device->EndScene(), D3D_OK);
        EXPECT_EQ(height, 34);
        EXPECT_EQ(std::memcmp(&rect, &box, sizeof rect), 0); // only DT_CALCRECT writes the rectangle
        EXPECT_EQ(vt::ReadBackBuffer(m_device).pixels, expected);
    }
}

// DT_CALCRECT measures like the font's device context and draws nothing; empty texts return 0.
TEST_F(D3DXFontTest, CalcRectMeasuresAndEmptyTextDrawsNothing)
{
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32W(m_font->GetDC(), L"Hello Vireo", 11, &size));
    RECT rect{5, 6, 5, 6};
    EXPECT_EQ(m_font->DrawTextW(m_sprite, L"Hello Vireo", -1, &rect, DT_CALCRECT | DT_SINGLELINE, 0xFFFFFFFF), 17);
    EXPECT_EQ(rect.right - rect.left, size.cx);
    EXPECT_EQ(rect.bottom, 23);
    rect = RECT{0, 0, kWidth, kHeight};
    EXPECT_EQ(m_font->DrawTextW(m_sprite, nullptr, -1, &rect, DT_LEFT, 0xFFFFFFFF), 0);
    EXPECT_EQ(m_font->DrawTextW(m_sprite, L"abc", 0, &rect, DT_LEFT, 0xFFFFFFFF), 0);
    EXPECT_EQ(vt::ReadBackBuffer(m_device).pixels, std::vector<std::uint32_t>(kWidth * kHeight, kBackground));
}

TEST_F(D3DXFontTest, FontsKeepWorkingAcrossDeviceLossAndReset)
{
    // An unreleased font blocks Reset until it is told the device is lost, like the sprite.
    EXPECT_GT(vt::ResetBlockers(m_device), 0);
    m_font->DrawTextW(nullptr, L"warm", -1, nullptr, DT_LEFT, 0xFFFFFFFF); // makes the font's own sprite
    m_sprite->OnLostDevice();
    EXPECT_GT(vt::ResetBlockers(m_device), 0);
    ASSERT_EQ(m_font->OnLostDevice(), D3D_OK);
    EXPECT_EQ(vt::ResetBlockers(m_device), 0);
    ASSERT_EQ(m_device->Reset(&m_params), D3D_OK);
    ASSERT_EQ(m_font->OnResetDevice(), D3D_OK);
    m_sprite->OnResetDevice();

    const wchar_t* text = L"After reset 重置";
    RECT box{0, 0, kWidth, kHeight};
    Clear();
    ASSERT_EQ(m_device->BeginScene(), D3D_OK);
    ASSERT_EQ(m_sprite->Begin(D3DXSPRITE_ALPHABLEND), D3D_OK);
    m_font->DrawTextW(m_sprite, text, -1, &box, DT_LEFT, 0xFFFFFFFF);
    ASSERT_EQ(m_sprite->End(), D3D_OK);
    ASSERT_EQ(m_device->EndScene(), D3D_OK);
    EXPECT_EQ(vt::ReadBackBuffer(m_device).pixels, Expected(text, box, DT_LEFT, 0xFFFFFFFF));
}

TEST_F(D3DXFontTest, CreationRefusesBadArgumentsAndCutsLongFaceNames)
{
    D3DXFONT_DESCW desc{};
    desc.Height = 17;
    std::wcscpy(desc.FaceName, L"Times New Roman");
    ID3DXFont* font = reinterpret_cast<ID3DXFont*>(&desc);
    EXPECT_EQ(D3DXCreateFontIndirectW(nullptr, &desc, &font), D3DERR_INVALIDCALL);
    EXPECT_EQ(font, nullptr);
    EXPECT_EQ(D3DXCreateFontIndirectW(m_device, nullptr, &font), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateFontIndirectW(m_device, &desc, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateFontIndirectW(reinterpret_cast<IDirect3DDevice9*>(m_sprite), &desc, &font), D3DERR_INVALIDCALL);

    // A face name filling all 32 characters, no terminator: read no further, keep 31.
    for (wchar_t& c : desc.FaceName)
        c = L'W';
    ASSERT_EQ(D3DXCreateFontIndirectW(m_device, &desc, &font), D3D_OK);
    D3DXFONT_DESCW back{};
    font->GetDescW(&back);
    EXPECT_EQ(std::wcslen(back.FaceName), 31u);
    RECT rect{0, 0, 100, 30};
    EXPECT_EQ(font->DrawTextW(nullptr, L"still draws", -1, &rect, DT_LEFT, 0xFFFFFFFF), 17);
    EXPECT_NE(vt::ReadBackBuffer(m_device).pixels, std::vector<std::uint32_t>(kWidth * kHeight, kBackground));
    EXPECT_EQ(font->Release(), 0u);
}

} // namespace
} // namespace vireo::font::test
