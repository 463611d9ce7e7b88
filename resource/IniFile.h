// Text rules of the INI reader that the package loader shares: the line parser, the
// white-space test and the case-insensitive name comparison. The CIniFile class itself is
// declared in <vireo/resource.h>; numbers are read with ParseIntW of <vireo/support.h>.
#pragma once

#include <vireo/resource.h>

#include <string>

// White space as the C runtime's wide test sees it on the original platform (ASCII blanks
// plus the Unicode space characters), independent of the process locale.
bool IniIsSpace(wchar_t ch);

// Names compare with A-Z folded to a-z only, as the C locale's wide lower-casing does.
bool IniNameEquals(const std::wstring& a, const wchar_t* b);

// One line of text (already cut to the line limit) to its record, bUsed 0.
SIniLine ParseIniLine(const std::wstring& line);
