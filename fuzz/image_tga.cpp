// Fuzz target for our TGA reader: image types, colour maps, RLE packets, origin bits, 15/16/24/32 bpp.
// The TGA reader is forced whatever the signature says, so mutated magic bytes still
// reach it; the checks are shared with the other image targets (ImageFuzzCheck.h).
#include "ImageFuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return vireo::image::fuzz::DecodeAndCheck(vireo::image::Format::Tga, data, size);
}
