// The comma rule shared by every number list in the engine's text files (rectangles, points,
// sequences): a field is the number before the first comma, and the text after that comma is
// left for the next field. Without a comma the field is 0 and the text stays for the last one.
#pragma once

#include <string>

namespace vireo {

int TakeCommaField(std::wstring& rest);

} // namespace vireo
