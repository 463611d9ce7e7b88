// ID3DXFont: text laid out with DrawText rules from FreeType glyphs and drawn through a sprite
// (the caller's, or one of its own), plus the device context that measures like it draws.
// Only what the engine calls: no ANSI variants, glyph data queries or preloading.
#pragma once

#include <vireo/platform/D3DX9.h>
#include <vireo/platform/Gdi.h>

struct D3DXFONT_DESCW {
    INT Height;  // LOGFONT rule: > 0 cell height, < 0 character height
    UINT Width;  // average character width; 0 = natural
    UINT Weight; // 0-1000
    UINT MipLevels;
    BOOL Italic;
    BYTE CharSet;
    BYTE OutputPrecision;
    BYTE Quality;
    BYTE PitchAndFamily;
    WCHAR FaceName[LF_FACESIZE];
};
using LPD3DXFONT_DESCW = D3DXFONT_DESCW*;

struct ID3DXFont : IUnknown {
    virtual HRESULT GetDevice(IDirect3DDevice9** device) = 0;
    virtual HRESULT GetDescW(D3DXFONT_DESCW* desc) = 0;
    // A device context for GetTextExtentPoint32W; owned by the font, valid while it lives.
    virtual HDC GetDC() = 0;
    // Returns the text height (see DrawText), 0 for empty text or a bad argument. A null
    // sprite draws through the font's own; a sprite outside Begin/End is opened and closed
    // around the text, so the text still shows.
    virtual INT DrawTextW(ID3DXSprite* sprite, LPCWSTR text, INT count, LPRECT rect, DWORD format, D3DCOLOR color) = 0;
    virtual HRESULT OnLostDevice() = 0;
    virtual HRESULT OnResetDevice() = 0;
};
using LPD3DXFONT = ID3DXFont*;

// D3DERR_INVALIDCALL for a null or foreign device, desc or out pointer; D3DXERR_INVALIDDATA
// when no font file can be opened at all. FaceName is read up to its 32 characters.
HRESULT D3DXCreateFontIndirectW(IDirect3DDevice9* device, const D3DXFONT_DESCW* desc, ID3DXFont** font);
HRESULT D3DXCreateFontW(IDirect3DDevice9* device, INT height, UINT width, UINT weight, UINT mipLevels, BOOL italic,
                        DWORD charSet, DWORD outputPrecision, DWORD quality, DWORD pitchAndFamily, LPCWSTR faceName,
                        ID3DXFont** font);

// ---- layer extension, not part of D3DX ---------------------------------------------------
namespace vireo::font {
// Where the font layer reports the face it took for each requested face (once per face:
// level 1 when it is the face or its metric-compatible twin, 2 for another substitute, 3 when
// no font file exists). The engine connects its log here; unconnected, lines are dropped.
// Connecting a hook starts a fresh record: each face is reported again to the new hook.
using FontLogHook = void (*)(void* user, int level, const wchar_t* text);
void SetFontLogHook(FontLogHook hook, void* user);
} // namespace vireo::font
