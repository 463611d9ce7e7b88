// The FMOD kinds and the lost-buffer loop in a running headless engine, checked on the mixed
// samples: an OGG found for a .wav name, MP3/OGG pause undone by the per-frame step while
// repetitions remain, a MIDI song never restarted that way, a broken song's log line, and a
// WAV buffer that lost its memory restored, refilled and played, with the wait bounded.
#include "sound/SoundTest.h"

#include <vireo/support.h>

#include <gmock/gmock.h>
#include <sndfile.h>

#include <cmath>
#include <vector>

namespace vireo::test {
namespace {

using ::testing::Contains;

TEST_F(SoundTest, OggFoundForAWavNamePlaysAndItsPauseIsUndoneWhileRepetitionsRemain)
{
    // Two seconds of a 440 Hz tone.
    SF_INFO info{0, 22050, 1, SF_FORMAT_OGG | SF_FORMAT_VORBIS, 0, 0}; // frames, rate, channels, format, ...
    SNDFILE* file = sf_open("boom.ogg", SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    std::vector<float> samples(static_cast<std::size_t>(2.0 * info.samplerate));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = 0.5f * static_cast<float>(std::sin(2 * M_PI * 440.0 * static_cast<double>(i) / info.samplerate));
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
    CSound* boom = m_sound->CreateEffect(L"boom.wav", 4);
    ASSERT_NE(dynamic_cast<CMp3Sound*>(boom), nullptr);
    boom->Play(3);
    EXPECT_GT(Level(), 8000);
    EXPECT_THAT(LogMessages(), Contains(::testing::StartsWith("PlaySound  Channel=")));
    boom->Pause();
    EXPECT_EQ(Level(), 0);
    Frame(); // two repetitions left: the step plays (resumes) it again
    EXPECT_TRUE(boom->IsPlaying());
    EXPECT_GT(Level(), 8000);
    boom->SetVolume(0);
    EXPECT_EQ(boom->GetVolume(), 0);
    EXPECT_EQ(Level(), 0);
}

TEST_F(SoundTest, MidiSongIsNeverRestartedByTheStepAndABrokenOneIsLogged)
{
    // One held note on a piano for two seconds, as a format 0 Standard MIDI File.
    const unsigned char bytes[] = {'M',  'T',  'h',  'd',  0,    0,   0, 6,    0,    0,    0,    1,
                                   0x01, 0xE0, 'M',  'T',  'r',  'k', 0, 0,    0,    13,   0x00, 0x90,
                                   60,   100,  0x87, 0x40, 0x80, 60,  0, 0x00, 0xFF, 0x2F, 0x00};
    std::ofstream("note.mid", std::ios::binary).write(reinterpret_cast<const char*>(bytes), sizeof bytes);
    CSound* note = m_sound->CreateMusic(L"note.mid");
    ASSERT_NE(dynamic_cast<CMidiSound*>(note), nullptr);
    EXPECT_TRUE(note->IsPlaying()); // always, even before it was played
    note->Play(3);
    Level();
    EXPECT_GT(Level(), 100);
    note->Pause();
    Level();
    EXPECT_EQ(Level(), 0);
    Frame();
    EXPECT_EQ(Level(), 0); // still paused: IsPlaying is 1, so no repetition starts

    std::ofstream("broken.mid", std::ios::binary) << "MThd\x00\x00\x00\x06junk";
    EXPECT_EQ(m_sound->CreateMusic(L"broken.mid"), nullptr);
    const std::wstring full = GetFullPath(L"broken.mid");
    EXPECT_THAT(LogMessages(), Contains("FMUSIC_LoadSong  failure.  path=" + std::string(full.begin(), full.end())));
}

TEST_F(SoundTest, LostBufferIsRestoredAndRefilledWithABoundedWait)
{
    WriteLevelWave("hit.wav", 48000);
    CSound* hit = m_sound->CreateEffect(L"hit.wav", 2);
    ASSERT_NE(hit, nullptr);

    // Restore answers "lost" three times: two rounds of the loop, one 10 ms sleep each.
    vireo::testing::LoseSoundBuffer(nullptr, 3);
    // The refill reads the open file again; rewritten with another level, it shows the refill.
    WriteLevelWave("hit.wav", 48000, 3000);
    DWORD before = GetTickCount();
    hit->Play(1);
    EXPECT_EQ(GetTickCount() - before, 20u);
    EXPECT_EQ(Level(), 3000);

    // A buffer that never comes back: the loop gives up after its rounds; nothing plays.
    hit->Stop();
    vireo::testing::LoseSoundBuffer(nullptr, 1000000);
    before = GetTickCount();
    hit->Play(1);
    EXPECT_EQ(GetTickCount() - before, 1000u);
    EXPECT_EQ(Level(), 0);
}

} // namespace
} // namespace vireo::test
