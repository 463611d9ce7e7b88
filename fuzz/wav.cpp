// Fuzz target for the WAV reader through the memory file: open, read the data to the end
// twice with a rewind between, then make and fill a DirectSound buffer in the reader's
// format the way a WAV sound does, so the mixer's format checks see every parsed header.
#include "sound/WavReader.h"

#include <vireo/platform/DSound.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

IDirectSound8* Device()
{
    static IDirectSound8* device = [] {
        setenv("VIREO_BACKEND", "headless", 0);
        setenv("VIREO_AUDIO", "null", 0);
        IDirectSound8* made = nullptr;
        if (FAILED(DirectSoundCreate8(nullptr, &made, nullptr)))
            std::abort();
        return made;
    }();
    return device;
}

DWORD ReadToEnd(CWavReader& reader)
{
    BYTE piece[4096];
    DWORD total = 0;
    for (;;) {
        DWORD got = 0;
        if (FAILED(reader.Read(piece, sizeof piece, &got)) || got == 0)
            return total;
        total += got;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CWavReader reader;
    if (FAILED(reader.OpenFromMemory(data, static_cast<DWORD>(size))))
        return 0;
    const DWORD first = ReadToEnd(reader);
    if (FAILED(reader.ResetFile()) || ReadToEnd(reader) != first || first != reader.GetSize())
        __builtin_trap(); // a rewind must give the same bytes, and all of GetSize
    if (reader.GetSize() == 0)
        return 0;

    DSBUFFERDESC desc{};
    desc.dwSize = DSBUFFERDESC_WIN32_SIZE;
    desc.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY | DSBCAPS_GLOBALFOCUS;
    desc.dwBufferBytes = reader.GetSize();
    desc.lpwfxFormat = reader.GetFormat();
    IDirectSoundBuffer* buffer = nullptr;
    if (FAILED(Device()->CreateSoundBuffer(&desc, &buffer, nullptr)) || !buffer)
        return 0;
    void* bytes = nullptr;
    DWORD locked = 0;
    if (SUCCEEDED(buffer->Lock(0, desc.dwBufferBytes, &bytes, &locked, nullptr, nullptr, 0))) {
        DWORD got = 0;
        reader.ResetFile();
        reader.Read(static_cast<BYTE*>(bytes), locked, &got);
        buffer->Unlock(bytes, locked, nullptr, 0);
    }
    buffer->Play(0, 0, 0);
    buffer->Release();
    return 0;
}
