// Fuzz target for our BMP/DIB reader: header kinds, depths, bit fields, RLE4/RLE8, palettes, row order.
// The BMP reader is forced whatever the signature says, so mutated magic bytes still
// reach it; the checks are shared with the other image targets (ImageFuzzCheck.h).
#include "ImageFuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return vireo::image::fuzz::DecodeAndCheck(vireo::image::Format::Bmp, data, size);
}
