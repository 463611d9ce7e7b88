// Fuzz target for the libjpeg wrapper: pixel cap, scan limit, CMYK and grey, warnings as errors.
// The JPEG reader is forced whatever the signature says, so mutated magic bytes still
// reach it; the checks are shared with the other image targets (ImageFuzzCheck.h).
#include "ImageFuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return vireo::image::fuzz::DecodeAndCheck(vireo::image::Format::Jpeg, data, size);
}
