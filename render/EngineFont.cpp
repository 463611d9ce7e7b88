// CEngineFont: a D3DX font drawn through the render system's sprite batch, with the
// description rules for face, weight and name length and the box rule of Draw. It does not
// lay text out or rasterise glyphs itself: the D3DX font object does.
#include <vireo/engine.h>
#include <vireo/support.h>

#include <cwchar>

CEngineFont::CEngineFont() = default;

CEngineFont::~CEngineFont()
{
    if (m_pD3DXFont) {
        m_pD3DXFont->Release();
        m_pD3DXFont = nullptr;
    }
}

BOOL CEngineFont::Create(CRenderSystem* rs, const wchar_t* face, int height, int width, int weight)
{
    m_pRenderSystem = rs;
    m_Desc = D3DXFONT_DESCW{};
    m_Desc.Height = height;
    m_Desc.Width = static_cast<UINT>(width);
    m_Desc.Weight = weight >= 0 ? static_cast<UINT>(weight) : 1000u;
    m_Desc.MipLevels = 0;
    m_Desc.Italic = FALSE;
    m_Desc.CharSet = DEFAULT_CHARSET;
    // The field holds 31 characters and the terminator: a longer name is cut, never overrun.
    std::wcsncpy(m_Desc.FaceName, face ? face : L"Times New Roman", LF_FACESIZE - 1);
    m_Desc.FaceName[LF_FACESIZE - 1] = L'\0';

    IDirect3DDevice9* device = rs ? rs->GetD3DDevice() : nullptr;
    if (!device)
        return FALSE;
    return SUCCEEDED(D3DXCreateFontIndirectW(device, &m_Desc, &m_pD3DXFont)) ? TRUE : FALSE;
}

void CEngineFont::Draw(const wchar_t* text, int x, int y, int cx, int cy, DWORD color, DWORD format)
{
    SIZE measured{0, 0};
    const int length = text ? static_cast<int>(std::wcslen(text)) : 0;
    if (m_pD3DXFont && text && !GetTextExtentPoint32W(m_pD3DXFont->GetDC(), text, length, &measured))
        measured = SIZE{0, 0};
    const int width = cx != 0 ? cx : static_cast<int>(measured.cx);
    const int height = cy != 0 ? cy : static_cast<int>(measured.cy);
    RECT box{x, y, x + width, y + height};

    // Text outside the batch is a programming error the developer must see; the font object
    // still draws it, opening the sprite around the text by itself.
    if (!m_pRenderSystem || !m_pRenderSystem->IsSpriteBegun())
        ShowMessageBox(L"在调用CEngineFont::Draw前要先调用CRenderSystem::BeginSprite");

    if (m_pD3DXFont && length > 0) {
        ID3DXSprite* sprite = m_pRenderSystem ? m_pRenderSystem->GetD3DXSprite() : nullptr;
        m_pD3DXFont->DrawTextW(sprite, text, -1, &box, format, color);
    }
}

SIZE CEngineFont::GetFontSize()
{
    D3DXFONT_DESCW desc{};
    if (!m_pD3DXFont || FAILED(m_pD3DXFont->GetDescW(&desc)))
        return SIZE{0, 0};
    return SIZE{static_cast<LONG>(desc.Width), static_cast<LONG>(desc.Height)};
}

void CEngineFont::OnLostDevice()
{
    if (m_pD3DXFont)
        m_pD3DXFont->OnLostDevice();
}

void CEngineFont::OnResetDevice()
{
    if (m_pD3DXFont)
        m_pD3DXFont->OnResetDevice();
}
