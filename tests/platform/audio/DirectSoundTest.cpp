// DirectSound-style device and buffers on the headless sink under the virtual clock: result
// codes, Lock regions, play/stop/end, pitch and length at a frequency on the mixed samples,
// what a duplicate keeps, the primary format, and what a lost buffer refuses.
#include "AudioTestSignals.h"

#include <vireo/platform/DSound.h>
#include <vireo/platform/Fmod.h>
#include <vireo/platform/Testing.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tuple>

namespace {

namespace vt = vireo::testing;

constexpr DWORD kControls = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY;

WAVEFORMATEX Pcm(WORD channels, DWORD rate, WORD bits)
{
    const WORD align = static_cast<WORD>(channels * bits / 8);
    return {WAVE_FORMAT_PCM, channels, rate, rate * align, align, bits, 0};
}

class DirectSoundTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        vt::InstallVirtualClock();
        ASSERT_EQ(DirectSoundCreate8(nullptr, &device, nullptr), DS_OK);
        ASSERT_EQ(device->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DS_OK);
        vt::RecordAudio(true);
        vt::ClearRecordedAudio();
    }
    void TearDown() override
    {
        vt::RecordAudio(false);
        if (device)
            device->Release();
        vt::UninstallVirtualClock();
    }
    // A 16-bit mono buffer holding `pcm`.
    IDirectSoundBuffer* Buffer(const std::vector<std::int16_t>& pcm, DWORD rate, DWORD flags = kControls)
    {
        WAVEFORMATEX format = Pcm(1, rate, 16);
        DSBUFFERDESC desc{36, flags, static_cast<DWORD>(pcm.size() * 2), 0, &format, GUID_NULL};
        IDirectSoundBuffer* buffer = nullptr;
        EXPECT_EQ(device->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
        void* a = nullptr;
        DWORD bytes = 0;
        EXPECT_EQ(buffer->Lock(0, 0, &a, &bytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
        std::memcpy(a, pcm.data(), bytes);
        buffer->Unlock(a, bytes, nullptr, 0);
        return buffer;
    }
    std::vector<int> LeftFor(int milliseconds)
    {
        vt::ClearRecordedAudio();
        vt::AdvanceClock(milliseconds);
        return audiotest::Channel(vt::RecordedAudio(), 0);
    }
    IDirectSound8* device = nullptr;
};

TEST_F(DirectSoundTest, DescriptionsAreCheckedAsDirectSoundDoes)
{
    WAVEFORMATEX good = Pcm(2, 22050, 16), odd = Pcm(1, 22050, 24);
    const std::tuple<DWORD, DWORD, DWORD, WAVEFORMATEX*, HRESULT> rows[] = {
        {36, kControls, 4000, &good, DS_OK},        {12, 0, 4000, &good, DSERR_INVALIDPARAM},
        {36, 0, 4000, nullptr, DSERR_INVALIDPARAM}, {36, 0, 3, &good, DSERR_INVALIDPARAM},
        {36, 0, 4000, &odd, DSERR_BADFORMAT},       {36, DSBCAPS_PRIMARYBUFFER, 4000, nullptr, DSERR_INVALIDPARAM},
    };
    for (const auto& [size, flags, bytes, format, expected] : rows) {
        DSBUFFERDESC desc{size, flags, bytes, 0, format, GUID_NULL};
        IDirectSoundBuffer* buffer = reinterpret_cast<IDirectSoundBuffer*>(1);
        EXPECT_EQ(device->CreateSoundBuffer(&desc, &buffer, nullptr), expected) << size << " " << bytes;
        EXPECT_EQ(buffer != nullptr, expected == DS_OK);
        if (buffer)
            buffer->Release();
    }
    EXPECT_EQ(vt::SoundBufferCount(), 0);
}

TEST_F(DirectSoundTest, LockReturnsTwoRegionsAcrossTheEnd)
{
    IDirectSoundBuffer* buffer = Buffer(std::vector<std::int16_t>(50), 22050); // 100 bytes
    void *a = nullptr, *b = nullptr;
    DWORD aBytes = 0, bBytes = 0;
    ASSERT_EQ(buffer->Lock(80, 40, &a, &aBytes, &b, &bBytes, 0), DS_OK);
    void* start = nullptr;
    DWORD all = 0;
    ASSERT_EQ(buffer->Lock(0, 0, &start, &all, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
    EXPECT_EQ(all, 100u);
    EXPECT_EQ(std::tuple(a, aBytes, b, bBytes),
              std::tuple(static_cast<void*>(static_cast<char*>(start) + 80), DWORD{20}, start, DWORD{20}));
    EXPECT_EQ(buffer->Unlock(a, aBytes, b, bBytes), DS_OK);
    ASSERT_EQ(buffer->Lock(10, 20, &a, &aBytes, &b, &bBytes, 0), DS_OK);
    EXPECT_TRUE(b == nullptr && bBytes == 0);
    buffer->Release();
}

TEST_F(DirectSoundTest, PlayStopTheNaturalEndAndALossOnTheMix)
{
    // 100 ms of a 1 kHz tone at 22,050 Hz.
    IDirectSoundBuffer* buffer = Buffer(audiotest::Tone(1000, 22050, 2205), 22050);
    DWORD status = 0, play = 0;
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    EXPECT_GT(audiotest::Peak(LeftFor(40)), 30000);
    ASSERT_EQ(buffer->Stop(), DS_OK);
    buffer->GetCurrentPosition(&play, nullptr);
    EXPECT_NEAR(play, 2 * 882, 4); // 40 ms at 22,050 Hz, in bytes
    EXPECT_EQ(audiotest::Peak(LeftFor(40)), 0);
    buffer->GetStatus(&status);
    EXPECT_EQ(status, 0u);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK); // on from where it stopped: 60 ms remain
    const auto rest = LeftFor(100);
    EXPECT_NEAR(static_cast<double>(audiotest::SoundingFrames(rest)), 2880.0, 5.0);
    buffer->GetStatus(&status);
    buffer->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(std::pair(status, play), std::pair(DWORD{0}, DWORD{0}));
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    EXPECT_EQ(audiotest::SoundingFrames(LeftFor(300)), 14400u);
    buffer->GetStatus(&status);
    EXPECT_EQ(status, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING | DSBSTATUS_LOCSOFTWARE);

    // A lost buffer falls silent and refuses Lock and Play. How many Restore calls a loss lasts,
    // and playing again after it, are timed and heard in the engine's lost-buffer test.
    vt::LoseSoundBuffer(nullptr, 2);
    buffer->GetStatus(&status);
    EXPECT_EQ(status, DSBSTATUS_BUFFERLOST);
    EXPECT_EQ(audiotest::Peak(LeftFor(20)), 0);
    void* a = nullptr;
    DWORD bytes = 0;
    EXPECT_EQ(buffer->Lock(0, 0, &a, &bytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DSERR_BUFFERLOST);
    EXPECT_EQ(buffer->Play(0, 0, 0), DSERR_BUFFERLOST);
    buffer->Release();
}

TEST_F(DirectSoundTest, DuplicatesKeepTheVolumeAndTheMemoryOnceTheOriginalIsGone)
{
    // Shared memory and separate play state are heard in the engine's four-copy effect test.
    IDirectSoundBuffer* original = Buffer(audiotest::Tone(1000, 48000, 4800), 48000);
    original->SetVolume(-600);
    IDirectSoundBuffer* copy = nullptr;
    ASSERT_EQ(device->DuplicateSoundBuffer(original, &copy), DS_OK);
    EXPECT_EQ(vt::SoundBufferCount(), 2);
    original->Release(); // the copy keeps the memory
    copy->Play(0, 0, 0);
    EXPECT_NEAR(audiotest::Peak(LeftFor(50)), 0.501 * 32767, 0.01 * 16400);
    EXPECT_EQ(copy->Release(), 0u);
    EXPECT_EQ(vt::SoundBufferCount(), 0);
}

TEST_F(DirectSoundTest, PrimaryFormatLeavesTheMixStereoAndFrequencySetsPitchAndLength)
{
    DSBUFFERDESC desc{36, DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr, GUID_NULL};
    IDirectSoundBuffer* primary = nullptr;
    ASSERT_EQ(device->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
    WAVEFORMATEX mono = Pcm(1, 22050, 16), reported{};
    ASSERT_EQ(primary->SetFormat(&mono), DS_OK);
    ASSERT_EQ(primary->GetFormat(&reported, sizeof reported, nullptr), DS_OK);
    EXPECT_EQ(std::memcmp(&reported, &mono, sizeof mono), 0); // kept and reported, not applied:
    primary->Release();
    EXPECT_EQ(vt::AudioMixRate(), 48000);
    IDirectSoundBuffer* right = Buffer(audiotest::Tone(1000, 22050, 22050), 22050);
    right->SetPan(DSBPAN_RIGHT);
    // 1 kHz at its own 22,050 Hz keeps its pitch at the output's rate; at twice the rate it is an
    // octave up for half as long. Row: frequency, rising crossings in 100 ms, frames heard.
    for (const auto& [frequency, crossings, frames] : {std::tuple{22050u, 100, 48000}, {44100u, 200, 24000}}) {
        right->SetFrequency(frequency);
        right->Play(0, 0, 0);
        vt::ClearRecordedAudio();
        vt::AdvanceClock(1100);
        const auto mix = vt::RecordedAudio();
        const auto heard = audiotest::Channel(mix, 1);
        EXPECT_EQ(std::pair(mix.size(), audiotest::Peak(audiotest::Channel(mix, 0))),
                  std::pair(std::size_t{2 * 52800}, 0));
        EXPECT_NEAR(audiotest::RisingCrossings({heard.begin(), heard.begin() + 4800}), crossings, 2) << frequency;
        EXPECT_NEAR(static_cast<double>(audiotest::SoundingFrames(heard)), frames, 5) << frequency;
    }
    right->Release();
}

TEST(NoAudioDevice, FmodAndDirectSoundRunSilentWithOneLine)
{
    // In the engine's order: FMOD first, then DirectSound; both start, as on a machine with sound.
    vt::FailAudioOpen(true);
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(FSOUND_Init(44100, 32, 0));
    IDirectSound8* device = nullptr;
    ASSERT_EQ(DirectSoundCreate8(nullptr, &device, nullptr), DS_OK);
    const std::string log = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    EXPECT_NE(log.find("sound is silent"), std::string::npos);
    WAVEFORMATEX format = Pcm(1, 22050, 16);
    DSBUFFERDESC desc{36, 0, 4410, 0, &format, GUID_NULL};
    IDirectSoundBuffer* buffer = nullptr;
    ASSERT_EQ(device->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    EXPECT_EQ(buffer->Play(0, 0, 0), DS_OK);
    buffer->Release();
    device->Release();
    FSOUND_Close();
    vt::FailAudioOpen(false);
}

} // namespace
