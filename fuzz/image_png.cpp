// Fuzz target for the libpng wrapper: user limits, longjmp clean-up, 16-bit, palettes, tRNS, interlacing.
// The PNG reader is forced whatever the signature says, so mutated magic bytes still
// reach it; the checks are shared with the other image targets (ImageFuzzCheck.h).
#include "ImageFuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return vireo::image::fuzz::DecodeAndCheck(vireo::image::Format::Png, data, size);
}
