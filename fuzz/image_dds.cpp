// Fuzz target for our DDS reader: header checks, masked layouts, DXT1/3/5 blocks, first mip only.
// The DDS reader is forced whatever the signature says, so mutated magic bytes still
// reach it; the checks are shared with the other image targets (ImageFuzzCheck.h).
#include "ImageFuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return vireo::image::fuzz::DecodeAndCheck(vireo::image::Format::Dds, data, size);
}
