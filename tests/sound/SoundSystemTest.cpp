// CSoundSystem and the sound objects in a running headless engine, checked on the mixed
// samples: pooling and the file-name fallbacks, the four-buffer effect, mute, pause and
// resume, the repetition counter, the fade's exact volumes, and the error boxes.
#include "sound/SoundTest.h"

#include <vireo/support.h>

#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace vireo::test {
namespace {

using ::testing::Contains;
using ::testing::Not;

constexpr int kOne = 2000; // the mixed level of one copy of a level wave

TEST_F(SoundTest, PoolSharesByExactNameAndReleasesOnTheLastReference)
{
    WriteLevelWave("hit.wav", 48000);
    WriteLevelWave("BOOM.WAV", 48000);
    WriteLevelWave("boom.wav", 48000);
    std::ofstream("boom2.ogg") << "not decoded here";

    CSound* hit = m_sound->CreateEffect(L"hit.wav", 1);
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(m_sound->CreateEffect(L"hit.wav", 1), hit);
    CSound* music = m_sound->CreateMusic(L"hit.wav"); // the other pool: another object
    ASSERT_NE(music, nullptr);
    EXPECT_NE(music, hit);

    // The kind follows the extension in lower case; the key is the name exactly as given.
    CSound* upper = m_sound->CreateEffect(L"BOOM.WAV", 1);
    CSound* lower = m_sound->CreateEffect(L"boom.wav", 1);
    EXPECT_NE(dynamic_cast<CWaveSound*>(upper), nullptr);
    EXPECT_NE(upper, lower);
    // Only boom2.ogg exists: the OGG is opened, pooled under the name asked for.
    CSound* fallback = m_sound->CreateEffect(L"boom2.wav", 4);
    ASSERT_NE(dynamic_cast<CMp3Sound*>(fallback), nullptr);
    EXPECT_EQ(fallback->GetFileName(), L"boom2.ogg");
    EXPECT_EQ(m_sound->CreateEffect(L"boom2.wav", 4), fallback);
    EXPECT_NE(m_sound->CreateEffect(L"boom2.ogg", 4), fallback);
    // A name without a dot is its own base: "hit" finds hit.wav.
    EXPECT_NE(dynamic_cast<CWaveSound*>(m_sound->CreateEffect(L"hit", 1)), nullptr);
    EXPECT_EQ(m_sound->CreateEffect(L"missing.wav", 1), nullptr);

    hit->Play(0);
    EXPECT_EQ(Level(), kOne);
    m_sound->ReleaseSound(hit);
    EXPECT_EQ(Level(), kOne); // one reference left: still sounding
    m_sound->ReleaseSound(hit);
    EXPECT_EQ(Level(), 0);      // destroyed with its buffer
    m_sound->ReleaseSound(hit); // no longer pooled: ignored
    m_sound->ReleaseSound(nullptr);
    EXPECT_TRUE(vireo::testing::MessageBoxesShown().empty());
}

TEST_F(SoundTest, FourBuffersSoundAtOnceAndAFifthPlayAddsNothing)
{
    WriteLevelWave("hit.wav", 48000);
    CSound* hit = m_sound->CreateEffect(L"hit.wav", 4);
    ASSERT_NE(hit, nullptr);
    // The first copy is in the very next frame the output pulls: no latency of the engine's own.
    hit->Play(1);
    vireo::testing::ClearRecordedAudio();
    vireo::testing::PullAudio(1);
    ASSERT_EQ(vireo::testing::RecordedAudio().size(), 2u);
    EXPECT_EQ(vireo::testing::RecordedAudio()[0], kOne);
    EXPECT_EQ(Level(), kOne);
    for (int copy = 2; copy <= 5; ++copy) { // a fifth Play while all four sound adds nothing
        hit->Play(1);
        EXPECT_EQ(Level(), std::min(copy, 4) * kOne) << copy << " plays";
    }
    EXPECT_TRUE(static_cast<CWaveSound*>(hit)->IsSoundPlaying());
}

TEST_F(SoundTest, MutedOrPausedSoundsAreSilentAndUnmutingStartsMutedMusic)
{
    WriteLevelWave("hit.wav", 48000);
    WriteLevelWave("theme.wav", 48000, 1000);
    CSound* hit = m_sound->CreateEffect(L"hit.wav", 1);
    CSound* theme = m_sound->CreateMusic(L"theme.wav");
    ASSERT_TRUE(hit && theme);
    m_sound->MuteMusic(TRUE);
    theme->Play(0);
    EXPECT_FALSE(theme->IsPlaying());
    EXPECT_THAT(LogMessages(), Not(Contains("Play Sound 'theme.wav'")));
    m_sound->MuteMusic(FALSE);
    EXPECT_TRUE(theme->IsPlaying());
    EXPECT_THAT(LogMessages(), Contains("Play Sound 'theme.wav'"));
    hit->Play(0);
    EXPECT_EQ(Level(), kOne + 1000);

    m_sound->MuteEffect(TRUE); // stops effects at once
    EXPECT_EQ(Level(), 1000);
    hit->Play(0);
    EXPECT_EQ(Level(), 1000);
    EXPECT_FALSE(hit->IsPlaying());
    m_sound->MuteEffect(FALSE); // restarts nothing
    EXPECT_EQ(Level(), 1000);

    theme->Pause();
    EXPECT_EQ(Level(), 0);
    theme->Resume();
    EXPECT_EQ(Level(), 1000);
    m_sound->PauseAllSound();
    EXPECT_EQ(Level(), 0);
    m_sound->ResumeAllSound();
    EXPECT_EQ(Level(), 1000);

    m_sound->MuteMusic(TRUE);
    EXPECT_EQ(Level(), 0);
    m_sound->ResumeAllSound(); // music stays paused while muted
    EXPECT_EQ(Level(), 0);
    m_sound->MuteMusic(FALSE);
    EXPECT_EQ(Level(), 1000);
    m_sound->StopAllMusic();
    EXPECT_EQ(Level(), 0);
    EXPECT_EQ(theme->Stop(), 1); // already stopped: no output call, no second line
    const auto lines = LogMessages();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Stop Sound 'theme.wav'"), 1);
}

TEST_F(SoundTest, RepetitionsAreSpentOnlyWhileTheSoundIsNotPlaying)
{
    WriteLevelWave("short.wav", 240); // 5 ms
    CSound* counted = m_sound->CreateEffect(L"short.wav", 1);
    ASSERT_NE(counted, nullptr);
    counted->Play(3);
    EXPECT_EQ(Level(), kOne);
    EXPECT_EQ(Level(), 0); // ended by itself, yet logically still playing
    for (int i = 0; i < 3; ++i)
        Frame();
    EXPECT_TRUE(counted->IsPlaying());
    EXPECT_EQ(Level(), 0); // so no repetition was started

    // Paused with repetitions left: the next update plays again; with none left it stays paused.
    WriteLevelWave("long.wav", 48000);
    WriteLevelWave("once.wav", 48000, 1000);
    CSound* three = m_sound->CreateEffect(L"long.wav", 1);
    CSound* once = m_sound->CreateEffect(L"once.wav", 1);
    three->Play(3);
    once->Play(1);
    EXPECT_EQ(Level(), kOne + 1000); // a buffer paused at its start would not resume
    three->Pause();
    once->Pause();
    EXPECT_EQ(Level(), 0);
    Frame();
    EXPECT_EQ(Level(), kOne);
    EXPECT_TRUE(three->IsPlaying());
    EXPECT_FALSE(once->IsPlaying());
}

TEST_F(SoundTest, FadeSetsTheExactVolumesThenStopsAndRestores)
{
    WriteLevelWave("hit.wav", 48000 * 5);
    CSound* hit = m_sound->CreateEffect(L"hit.wav", 1);
    ASSERT_NE(hit, nullptr);
    hit->Play(0);
    hit->StopSmooth(-10000, 60);
    for (int update = 1; update <= 60; ++update) {
        Frame();
        // 166666 thousandths per update, cut toward zero: -166, -333, -499, ..., -9999.
        EXPECT_EQ(hit->GetVolume(), -(update * 166666) / 1000) << "update " << update;
        if (update % 6 == 0) { // and the mix follows: -999, -1999, ... hundredths of a decibel
            EXPECT_NEAR(Level(), kOne * std::pow(10.0, hit->GetVolume() / 2000.0), 2) << "update " << update;
        }
    }
    EXPECT_TRUE(hit->IsPlaying());
    Frame(); // the 61st reaches the target
    EXPECT_FALSE(hit->IsPlaying());
    EXPECT_EQ(hit->GetVolume(), 0);
    EXPECT_EQ(Level(), 0);

    // A target at or above the volume changes nothing.
    hit->SetVolume(-600);
    hit->Play(0);
    hit->StopSmooth(-600, 10);
    for (int i = 0; i < 20; ++i)
        Frame();
    EXPECT_TRUE(hit->IsPlaying());
    EXPECT_EQ(hit->GetVolume(), -600);
    EXPECT_NEAR(Level(), kOne * 0.501, kOne * 0.01);
}

TEST_F(SoundTest, StartFailsOnlyWhenDirectSoundCannotStart)
{
    // Row: FMOD's start fails; what device creation, cooperative level and primary format
    // answer; InitSystem's result. An FMOD failure is only logged, and nothing is ever shown.
    // The last row puts every control back.
    const std::tuple<bool, HRESULT, HRESULT, HRESULT, int> rows[] = {{true, DS_OK, DS_OK, DS_OK, 1},
                                                                     {false, DSERR_NODRIVER, DS_OK, DS_OK, 0},
                                                                     {false, DS_OK, DSERR_ALLOCATED, DS_OK, 0},
                                                                     {false, DS_OK, DS_OK, DSERR_BADFORMAT, 0},
                                                                     {false, DS_OK, DS_OK, DS_OK, 1}};
    for (const auto& [fmodFails, create, level, format, result] : rows) {
        vireo::testing::FailFmodInit(fmodFails);
        vireo::testing::SetDirectSoundFailures(create, level, format);
        EXPECT_EQ(CSoundSystem().InitSystem(m_hwnd), result) << fmodFails << std::hex << create << level << format;
    }
    const auto lines = LeveledLogMessages();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "3:FSOUND_Init(44100,32,0)  failure."), 1);
    EXPECT_TRUE(vireo::testing::MessageBoxesShown().empty());
}

TEST_F(SoundTest, BadFilesFailCleanlyAndAFolderNamedLikeAResourcePlaysIt)
{
    WriteFileBytes("noise.wav", std::string("RIFF\x04\0\0\0WAVEjunk", 16)); // whole: the size has zero bytes
    std::ofstream("tune.xyz") << "?";
    std::filesystem::create_directory("folder.wav");
    // Formats the mixer cannot play are refused when the buffer is made: no sound, no box.
    std::ofstream("mute.wav", std::ios::binary) << PcmWave(0, 48000, 16, "abcd");
    EXPECT_EQ(m_sound->CreateEffect(L"mute.wav", 1), nullptr);
    EXPECT_EQ(m_sound->CreateEffect(L"noise.wav", 1), nullptr);
    EXPECT_EQ(m_sound->CreateEffect(L"folder.wav", 1), nullptr); // no file and no resource of that name
    EXPECT_TRUE(vireo::testing::MessageBoxesShown().empty());
    // The engine takes a name only when something of that name exists; a folder cannot be read
    // as a file, so the WAV comes from the executable's "chime.wav" WAVE resource.
    std::filesystem::create_directory("chime.wav");
    CSound* chime = m_sound->CreateEffect(L"chime.wav", 1);
    ASSERT_NE(chime, nullptr);
    chime->Play(1);
    EXPECT_GT(Level(), 0);

    EXPECT_EQ(m_sound->CreateEffect(L"tune.xyz", 1), nullptr);
    // The WAV load step on a file that is gone shows the box with the full path.
    CWaveSound wave;
    EXPECT_EQ(wave.Create(m_sound, FALSE, L"gone.wav", 1), 0);
    const auto boxes = vireo::testing::MessageBoxesShown();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, L"Vireo Engine");
    EXPECT_EQ(boxes[0].text, L"声音格式引擎不支持 file=tune.xyz");
    EXPECT_EQ(boxes[1].text, L"无法打开 Sound 文件 \"" + GetFullPath(L"gone.wav") + L"\"");
}

} // namespace
} // namespace vireo::test
