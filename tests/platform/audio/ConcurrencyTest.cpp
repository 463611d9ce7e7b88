// The mixer pulled from its own thread, as SDL's audio callback does, while the game thread
// plays, changes and frees DirectSound buffers, FMOD channels and a MIDI song. Run under
// ThreadSanitizer by the test command, where any unguarded access fails the run.
#include "AudioTestSignals.h"
#include "platform/audio/Mixer.h"

#include <vireo/platform/DSound.h>
#include <vireo/platform/Fmod.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

namespace {

TEST(AudioThreads, GameThreadChangesWhileAnotherThreadMixes)
{
    IDirectSound8* device = nullptr;
    ASSERT_EQ(DirectSoundCreate8(nullptr, &device, nullptr), DS_OK);
    ASSERT_TRUE(FSOUND_Init(44100, 8, 0));
    std::atomic<bool> stop{false};
    std::atomic<int> loudest{0};
    std::thread audio([&] {
        std::vector<std::int16_t> block(2 * 256);
        while (!stop) {
            vireo::platform::audio::CMixer::Instance().Mix(block.data(), 256);
            for (std::int16_t s : block)
                loudest = std::max(loudest.load(), std::abs(static_cast<int>(s)));
        }
    });

    const auto tone = audiotest::Tone(500, 22050, 2205);
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};
    DSBUFFERDESC desc{36, DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY, 4410, 0, &format, GUID_NULL};
    const std::vector<unsigned char> midi = audiotest::MidiNote();
    for (int round = 0; round < 40; ++round) {
        IDirectSoundBuffer* buffer = nullptr;
        ASSERT_EQ(device->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
        void* a = nullptr;
        DWORD bytes = 0;
        buffer->Lock(0, 0, &a, &bytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER);
        std::memcpy(a, tone.data(), bytes);
        buffer->Unlock(a, bytes, nullptr, 0);
        IDirectSoundBuffer* copy = nullptr;
        device->DuplicateSoundBuffer(buffer, &copy);
        buffer->Play(0, 0, DSBPLAY_LOOPING);
        copy->Play(0, 0, 0);
        buffer->SetVolume(-100 * (round % 10));
        buffer->SetPan(1000 * (round % 5));
        buffer->SetFrequency(11025 + 1000 * round);
        FSOUND_SAMPLE* sample = FSOUND_Sample_Load(FSOUND_FREE, reinterpret_cast<const char*>(tone.data()),
                                                   FSOUND_LOADMEMORY | FSOUND_LOADRAW | FSOUND_16BITS, 0, 4410);
        const int channel = FSOUND_PlaySound(FSOUND_FREE, sample);
        FSOUND_SetVolume(channel, round * 6);
        FMUSIC_MODULE* song = FMUSIC_LoadSongEx(reinterpret_cast<const char*>(midi.data()), 0,
                                                static_cast<int>(midi.size()), FSOUND_LOADMEMORY, nullptr, 0);
        FMUSIC_PlaySong(song);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        FMUSIC_SetMasterVolume(song, 200);
        buffer->Stop();
        FSOUND_Sample_Free(sample); // while its channel may be in the middle of a block
        FMUSIC_FreeSong(song);
        copy->Release();
        buffer->Release();
    }
    stop = true;
    audio.join();
    FSOUND_Close();
    device->Release();
    EXPECT_GT(loudest.load(), 1000); // the other thread really mixed the sounds
}

} // namespace
