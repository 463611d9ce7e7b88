// ID3DXFont over the text engine: DrawTextW lays text out, uploads the atlas pages that
// changed into managed A8R8G8B8 textures (white, coverage in alpha) and queues one sprite
// draw per glyph quad at whole-pixel positions, so untransformed text copies texels exactly.
#include "platform/gfx/DeviceHold.h"
#include "platform/gfx/SpriteGlyphs.h"
#include "platform/gfx/font/LayoutCache.h"
#include "platform/gfx/font/TextDC.h"
#include "platform/gfx/font/TextFont.h"
#include "platform/gfx/font/TextLayout.h"

#include <vireo/platform/D3DX9.h>

#include <algorithm>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace vireo::gfx {

namespace {

using vireo::font::CTextFont;

class CD3DXFont final : public vireo::platform::ComObject<ID3DXFont> {
  public:
    CD3DXFont(CDevice* device, const D3DXFONT_DESCW& desc, std::unique_ptr<CTextFont> text)
        : m_device(device), m_desc(desc), m_text(std::move(text))
    {
        m_dc = vireo::font::CreateTextDC(m_text.get());
    }

    HRESULT GetDevice(IDirect3DDevice9** device) override { return m_device.GetDevice(device); }

    HRESULT GetDescW(D3DXFONT_DESCW* desc) override
    {
        if (!desc)
            return D3DERR_INVALIDCALL;
        *desc = m_desc;
        return D3D_OK;
    }

    HDC GetDC() override { return m_dc; }

    INT DrawTextW(ID3DXSprite* sprite, LPCWSTR text, INT count, LPRECT rect, DWORD format, D3DCOLOR color) override
    {
        if (!text || count == 0)
            return 0;
        // Without a rectangle the text starts at the origin, unclipped.
        RECT origin{0, 0, 0, 0};
        if (!rect) {
            rect = &origin;
            format |= DT_NOCLIP;
        }
        // Unchanged texts (the rule from frame to frame) reuse their layout.
        const vireo::font::STextLayout& layout = m_layouts.Get(*m_text, text, count, *rect, format);
        if (format & DT_CALCRECT) {
            *rect = layout.rect;
            return layout.height;
        }
        if (layout.quads.empty() || !UploadPages())
            return layout.height;

        ID3DXSprite* target = sprite;
        if (!target) {
            if (!m_sprite && FAILED(D3DXCreateSprite(m_device.Get(), &m_sprite)))
                return 0;
            target = m_sprite;
        }
        // Begin fails on a sprite that is already open: then the glyphs join its batch.
        const bool opened = SUCCEEDED(target->Begin(D3DXSPRITE_ALPHABLEND));
        if (!QueueGlyphs(target, m_pageTextures.data(), layout.quads.data(), layout.quads.size(), color)) {
            for (const vireo::font::SGlyphQuad& quad : layout.quads) {
                const D3DXVECTOR3 position(static_cast<float>(quad.target.left), static_cast<float>(quad.target.top),
                                           0);
                target->Draw(m_pageTextures[quad.page], &quad.source, nullptr, &position, color);
            }
        }
        if (opened)
            target->End();
        return layout.height;
    }

    HRESULT OnLostDevice() override
    {
        m_layouts.Clear();
        if (m_sprite)
            m_sprite->OnLostDevice();
        m_device.Lose();
        return D3D_OK;
    }

    HRESULT OnResetDevice() override
    {
        m_layouts.Clear();
        if (m_sprite)
            m_sprite->OnResetDevice();
        m_device.Restore();
        return D3D_OK;
    }

  private:
    // What a page's texture was last filled from.
    struct SPageUpload {
        std::uint32_t version = 0;
        int width = 0;
        int height = 0;
    };

    ~CD3DXFont() override
    {
        for (IDirect3DTexture9*& texture : m_pageTextures)
            ::SafeRelease(texture);
        ::SafeRelease(m_sprite);
        vireo::font::DeleteTextDC(m_dc);
    }

    // Managed textures survive a device reset, so pages are uploaded only when glyphs were added.
    bool UploadPages()
    {
        const vireo::font::CGlyphAtlas& atlas = m_text->Atlas();
        m_pages.resize(atlas.PageCount());
        m_pageTextures.resize(atlas.PageCount(), nullptr);
        for (int i = 0; i < atlas.PageCount(); ++i) {
            const vireo::font::SAtlasPage& page = atlas.Page(i);
            SPageUpload& upload = m_pages[i];
            IDirect3DTexture9*& texture = m_pageTextures[i];
            if (texture && upload.version == page.version)
                continue;
            // A page the glyph cache released, or filled again at another size.
            if (texture && (upload.width != page.width || upload.height != page.height))
                ::SafeRelease(texture);
            upload.width = page.width;
            upload.height = page.height;
            if (page.width == 0) {
                upload.version = page.version;
                continue;
            }
            if (!texture && FAILED(m_device->CreateTexture(page.width, page.height, 1, 0, D3DFMT_A8R8G8B8,
                                                           D3DPOOL_MANAGED, &texture, nullptr)))
                return false;
            D3DLOCKED_RECT locked{};
            if (FAILED(texture->LockRect(0, &locked, nullptr, 0)))
                return false;
            atlas.ExpandPage(i, static_cast<std::uint32_t*>(locked.pBits), locked.Pitch);
            texture->UnlockRect(0);
            upload.version = page.version;
        }
        return true;
    }

    CDeviceHold m_device;
    D3DXFONT_DESCW m_desc;
    std::unique_ptr<CTextFont> m_text;
    HDC m_dc = nullptr;
    ID3DXSprite* m_sprite = nullptr; // for DrawTextW without a sprite
    std::vector<SPageUpload> m_pages;
    std::vector<IDirect3DTexture9*> m_pageTextures; // one per page, as the glyph run takes them
    vireo::font::CLayoutCache m_layouts;
};

} // namespace

} // namespace vireo::gfx

HRESULT D3DXCreateFontIndirectW(IDirect3DDevice9* device, const D3DXFONT_DESCW* desc, ID3DXFont** font)
{
    if (font)
        *font = nullptr;
    vireo::gfx::CDevice* dev = vireo::gfx::AsDevice(device);
    if (!dev || !desc || !font)
        return D3DERR_INVALIDCALL;
    D3DXFONT_DESCW copy = *desc;
    copy.FaceName[LF_FACESIZE - 1] = L'\0'; // a name that fills the field is cut, not overrun
    vireo::font::STextFontDesc textDesc;
    textDesc.height = copy.Height;
    textDesc.width = static_cast<int>(std::min<UINT>(copy.Width, 0x7FFFFFFF));
    textDesc.weight = static_cast<int>(std::min<UINT>(copy.Weight, 1000));
    textDesc.italic = copy.Italic != FALSE;
    textDesc.face = copy.FaceName;
    auto text = vireo::font::CTextFont::Create(textDesc);
    if (!text)
        return D3DXERR_INVALIDDATA;
    *font = new vireo::gfx::CD3DXFont(dev, copy, std::move(text));
    return D3D_OK;
}

HRESULT D3DXCreateFontW(IDirect3DDevice9* device, INT height, UINT width, UINT weight, UINT mipLevels, BOOL italic,
                        DWORD charSet, DWORD outputPrecision, DWORD quality, DWORD pitchAndFamily, LPCWSTR faceName,
                        ID3DXFont** font)
{
    D3DXFONT_DESCW desc{};
    desc.Height = height;
    desc.Width = width;
    desc.Weight = weight;
    desc.MipLevels = mipLevels;
    desc.Italic = italic;
    desc.CharSet = static_cast<BYTE>(charSet);
    desc.OutputPrecision = static_cast<BYTE>(outputPrecision);
    desc.Quality = static_cast<BYTE>(quality);
    desc.PitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    if (faceName)
        std::wcsncpy(desc.FaceName, faceName, LF_FACESIZE - 1);
    return D3DXCreateFontIndirectW(device, &desc, font);
}
