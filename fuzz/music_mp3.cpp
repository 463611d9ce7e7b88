// Fuzz target for MP3 samples loaded from memory (FSOUND_Sample_Load with
// FSOUND_LOADMEMORY), decoded whole at load, then played looping at changed rates.
#include "AudioFuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    audiofuzz::PlaySampleFrom(data, size);
    return 0;
}
