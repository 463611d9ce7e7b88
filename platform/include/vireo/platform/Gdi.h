// GDI text constants and text measuring: the DrawText format flags, LOGFONT weights and
// character sets, and GetTextExtentPoint32W on the device context a D3DX font hands out.
// No other GDI drawing exists here; text is drawn through the D3DX font and the sprite.
#pragma once

#include <vireo/platform/Win32.h>

// ---- DrawText format flags ---------------------------------------------------------------
constexpr DWORD DT_TOP = 0x00000000;
constexpr DWORD DT_LEFT = 0x00000000;
constexpr DWORD DT_CENTER = 0x00000001;
constexpr DWORD DT_RIGHT = 0x00000002;
constexpr DWORD DT_VCENTER = 0x00000004;
constexpr DWORD DT_BOTTOM = 0x00000008;
constexpr DWORD DT_WORDBREAK = 0x00000010;
constexpr DWORD DT_SINGLELINE = 0x00000020;
constexpr DWORD DT_EXPANDTABS = 0x00000040;
constexpr DWORD DT_TABSTOP = 0x00000080;
constexpr DWORD DT_NOCLIP = 0x00000100;
constexpr DWORD DT_EXTERNALLEADING = 0x00000200;
constexpr DWORD DT_CALCRECT = 0x00000400;
constexpr DWORD DT_NOPREFIX = 0x00000800;
constexpr DWORD DT_RTLREADING = 0x00020000;

// ---- LOGFONT weights, character sets, qualities ------------------------------------------
constexpr int FW_DONTCARE = 0;
constexpr int FW_THIN = 100;
constexpr int FW_EXTRALIGHT = 200;
constexpr int FW_LIGHT = 300;
constexpr int FW_NORMAL = 400;
constexpr int FW_MEDIUM = 500;
constexpr int FW_SEMIBOLD = 600;
constexpr int FW_BOLD = 700;
constexpr int FW_EXTRABOLD = 800;
constexpr int FW_HEAVY = 900;

constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE SYMBOL_CHARSET = 2;
constexpr BYTE SHIFTJIS_CHARSET = 128;
constexpr BYTE GB2312_CHARSET = 134;

constexpr BYTE OUT_DEFAULT_PRECIS = 0;
constexpr BYTE DEFAULT_QUALITY = 0;
constexpr BYTE ANTIALIASED_QUALITY = 4;
constexpr BYTE DEFAULT_PITCH = 0;

constexpr int LF_FACESIZE = 32;

// ---- measuring ---------------------------------------------------------------------------
// size->cx is the sum of the glyph advances of count characters (CR and LF measured as
// glyphs, no kerning, no line breaking); size->cy the font's cell height. FALSE for a device
// context that no live font owns, a null size, or a null text with a count above 0.
BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR text, int count, SIZE* size);
