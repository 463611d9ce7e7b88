// The device context a D3DX font hands out from GetDC: a handle that GetTextExtentPoint32W
// turns back into its font. Handles of deleted contexts are refused, never followed.
#pragma once

#include "platform/gfx/font/TextFont.h"

#include <vireo/platform/Win32.h>

namespace vireo::font {

HDC CreateTextDC(CTextFont* font);
void DeleteTextDC(HDC dc);
CTextFont* FontOfTextDC(HDC dc);

} // namespace vireo::font
