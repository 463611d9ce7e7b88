// Whole files into memory through the platform file functions, with a size ceiling checked
// before anything is allocated. For loaders of image, package and description files; it
// never shows a box or logs: the caller says what failed.
#pragma once

#include <vireo/platform/Win32.h>

#include <cstdint>
#include <vector>

namespace vireo {

// False when the file cannot be opened or is larger than limit (tooLarge, when given, tells
// which). A file that shrinks while it is read is taken as it was read.
bool ReadFileBytes(const wchar_t* path, std::uint64_t limit, std::vector<BYTE>& bytes, bool* tooLarge = nullptr);

} // namespace vireo
