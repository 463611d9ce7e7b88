// Fuzz target for MIDI songs loaded from memory (FMUSIC_LoadSongEx with FSOUND_LOADMEMORY),
// played looping through the synthesizer made once per process for one second of output.
#include "AudioFuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    audiofuzz::StartOnce();
    FMUSIC_MODULE* song = FMUSIC_LoadSongEx(reinterpret_cast<const char*>(data), 0, static_cast<int>(size),
                                            FSOUND_LOADMEMORY, nullptr, 0);
    if (!song)
        return 0;
    FMUSIC_SetLooping(song, 1);
    FMUSIC_PlaySong(song);
    audiofuzz::MixFrames(48000);
    FMUSIC_FreeSong(song);
    return 0;
}
