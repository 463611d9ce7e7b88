// Text rules of the INI reader that the package loader shares: the line parser, the
// white-space test, the case-insensitive name comparison and the decimal conversion.
// The CIniFile class itself is declared in <vireo/resource.h>.
#pragma once

#include <vireo/resource.h>

#include <string>

// White space as the C runtime's wide test sees it on the original platform (ASCII blanks
// plus the Unicode space characters), independent of the process locale.
bool IniIsSpace(wchar_t ch);

// Names compare with A-Z folded to a-z only, as the C locale's wide lower-casing does.
bool IniNameEquals(const std::wstring& a, const wchar_t* b);

// Decimal conversion of the C runtime: leading white space, optional sign, digits up to the
// first non-digit, 0 when there are none; values beyond the int range saturate.
int IniTextToInt(const wchar_t* text);

// One line of text (already cut to the line limit) to its record, bUsed 0.
SIniLine ParseIniLine(const std::wstring& line);
