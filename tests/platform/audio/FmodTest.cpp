// FMOD-style samples, channels and songs on the headless mix under the virtual clock. MP3
// and OGG test tones are encoded here at run time (libsndfile), MIDI files are built here
// byte by byte: no opaque test files.
#include "AudioTestSignals.h"
#include "common/RiffBytes.h"

#include <vireo/platform/Fmod.h>
#include <vireo/platform/Testing.h>

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <unistd.h>

namespace {

namespace vt = vireo::testing;

// Test tones encoded through a temporary file: libsndfile writes, the bytes come back.
std::vector<unsigned char> Encode(int format, const std::vector<std::int16_t>& pcm, int rate)
{
    // One file per process: ctest runs this suite's tests side by side.
    const std::string path = ::testing::TempDir() + "vireo_fmod_tone" + std::to_string(getpid());
    SF_INFO info{0, rate, 1, format, 0, 0}; // frames, rate, channels, format, sections, seekable
    SNDFILE* sf = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!sf)
        return {};
    sf_write_short(sf, pcm.data(), static_cast<sf_count_t>(pcm.size()));
    sf_close(sf);
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(path.c_str());
    return bytes;
}

class FmodTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        vt::InstallVirtualClock();
        ASSERT_TRUE(FSOUND_Init(44100, 2, 0));
        vt::RecordAudio(true);
    }
    void TearDown() override
    {
        FSOUND_Close();
        vt::RecordAudio(false);
        vt::UninstallVirtualClock();
    }
    FSOUND_SAMPLE* Load(const std::vector<unsigned char>& bytes, unsigned mode = 0)
    {
        return FSOUND_Sample_Load(FSOUND_FREE, reinterpret_cast<const char*>(bytes.data()), mode | FSOUND_LOADMEMORY, 0,
                                  static_cast<int>(bytes.size()));
    }
    std::vector<std::int16_t> MixFor(int milliseconds)
    {
        vt::ClearRecordedAudio();
        vt::AdvanceClock(milliseconds);
        return vt::RecordedAudio();
    }
};

TEST_F(FmodTest, EncodedTonesDecodeToTheirLengthRateAndPitch)
{
    const auto tone = audiotest::Tone(1000, 44100, 44100, 20000);
    // Exact lengths: Vorbis keeps the sample count, and the MP3 encoder's gapless tag lets
    // the decoder drop its delay and padding.
    const std::tuple<const char*, int> rows[] = {{"ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS},
                                                 {"mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III}};
    for (const auto& [name, format] : rows) {
        SCOPED_TRACE(name);
        const auto file = Encode(format, tone, 44100);
        ASSERT_FALSE(file.empty());
        FSOUND_SAMPLE* sample = Load(file);
        ASSERT_NE(sample, nullptr) << "error " << FSOUND_GetError();
        int rate = 0;
        FSOUND_Sample_GetDefaults(sample, &rate, nullptr, nullptr, nullptr);
        EXPECT_EQ(std::tuple(rate, FSOUND_Sample_GetLength(sample), FSOUND_Sample_GetMode(sample)),
                  std::tuple(44100, 44100u, FSOUND_LOOP_OFF | FSOUND_16BITS | FSOUND_SIGNED | FSOUND_MONO));
        const int channel = FSOUND_PlaySound(FSOUND_FREE, sample);
        ASSERT_GE(channel, 0);
        const auto left = audiotest::Channel(MixFor(500), 0, 4800); // skip the first 100 ms
        EXPECT_NEAR(audiotest::RisingCrossings(left), 400, 2);
        EXPECT_NEAR(audiotest::Peak(left), 20000, 1000);
        FSOUND_Sample_Free(sample);
        EXPECT_FALSE(FSOUND_IsPlaying(channel));
    }
}

TEST_F(FmodTest, BadSampleDataFailsCleanly)
{
    const auto ogg = Encode(SF_FORMAT_OGG | SF_FORMAT_VORBIS, audiotest::Tone(440, 22050, 22050), 22050);
    ASSERT_GT(ogg.size(), 40u);
    std::vector<unsigned char> noise(4000);
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<unsigned char>(i * 2654435761u >> 13);
    const std::string wav24 = vireo::test::PcmWave(1, 44100, 24, "abc");
    const std::tuple<const char*, std::vector<unsigned char>> rows[] = {
        {"truncated ogg", {ogg.begin(), ogg.begin() + 40}},
        {"noise", noise},
        {"24-bit wav", {wav24.begin(), wav24.end()}},
    };
    for (const auto& [name, bytes] : rows) {
        EXPECT_EQ(Load(bytes), nullptr) << name;
        EXPECT_NE(FSOUND_GetError(), FMOD_ERR_NONE) << name;
    }
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, "no such file.ogg", 0, 0, 0), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_FILE_NOTFOUND);
}

TEST_F(FmodTest, ChannelsCarryVolumePanPauseAndStaleHandles)
{
    // Raw 16-bit PCM: a looping 1 kHz tone at 44,100 Hz.
    const auto tone = audiotest::Tone(1000, 44100, 441);
    const std::vector<unsigned char> raw(reinterpret_cast<const unsigned char*>(tone.data()),
                                         reinterpret_cast<const unsigned char*>(tone.data() + tone.size()));
    FSOUND_SAMPLE* sample =
        Load(raw, FSOUND_LOADRAW | FSOUND_16BITS | FSOUND_SIGNED | FSOUND_MONO | FSOUND_LOOP_NORMAL);
    ASSERT_NE(sample, nullptr);
    const int first = FSOUND_PlaySoundEx(FSOUND_FREE, sample, nullptr, 1);
    EXPECT_EQ(audiotest::Peak(audiotest::Channel(MixFor(20), 0)), 0); // started paused
    EXPECT_TRUE(FSOUND_SetVolume(first, 128) && FSOUND_SetPan(first, 255) && FSOUND_SetPaused(first, 0));
    auto mix = MixFor(20);
    EXPECT_EQ(audiotest::Peak(audiotest::Channel(mix, 0)), 0);
    EXPECT_NEAR(audiotest::Peak(audiotest::Channel(mix, 1)), 32767 * 128 / 255, 200);

    const int second = FSOUND_PlaySound(FSOUND_FREE, sample);
    const int third = FSOUND_PlaySound(FSOUND_FREE, sample); // both busy: takes the oldest
    EXPECT_EQ(third & 0xFFF, first & 0xFFF);
    EXPECT_NE(third, first);
    EXPECT_FALSE(FSOUND_SetVolume(first, 0)); // stale: the new sound is left alone
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
    EXPECT_FALSE(FSOUND_IsPlaying(first));
    EXPECT_EQ(FSOUND_GetVolume(third), 255);
    EXPECT_TRUE(FSOUND_IsPlaying(second) && FSOUND_IsPlaying(third));
    EXPECT_TRUE(FSOUND_SetPaused(FSOUND_ALL, 1));
    EXPECT_TRUE(FSOUND_GetPaused(second) && FSOUND_IsPlaying(second));
    EXPECT_EQ(audiotest::Peak(audiotest::Channel(MixFor(20), 0)), 0);
    EXPECT_TRUE(FSOUND_SetLoopMode(second, FSOUND_LOOP_OFF) && FSOUND_SetPaused(FSOUND_ALL, 0));
    MixFor(20);
    EXPECT_FALSE(FSOUND_IsPlaying(second)); // 10 ms of sound, no loop: ended
    EXPECT_TRUE(FSOUND_StopSound(FSOUND_ALL));
    EXPECT_EQ(FSOUND_GetChannelsPlaying(), 0);
}

TEST_F(FmodTest, MidiSongsPlayLoopAndScaleWithTheMasterVolume)
{
    const auto midi = audiotest::MidiNote();
    FMUSIC_MODULE* song = FMUSIC_LoadSongEx(reinterpret_cast<const char*>(midi.data()), 0,
                                            static_cast<int>(midi.size()), FSOUND_LOADMEMORY, nullptr, 0);
    ASSERT_NE(song, nullptr) << FSOUND_GetError();
    EXPECT_EQ(FMUSIC_GetType(song), FMUSIC_TYPE_MIDI);
    ASSERT_TRUE(FMUSIC_SetLooping(song, 0) && FMUSIC_PlaySong(song));
    const int full = audiotest::Peak(audiotest::Channel(MixFor(300), 0));
    EXPECT_GT(full, 1000);
    EXPECT_TRUE(FMUSIC_IsPlaying(song));
    MixFor(1200); // past the end of the track
    EXPECT_TRUE(FMUSIC_IsFinished(song));
    EXPECT_FALSE(FMUSIC_IsPlaying(song));

    ASSERT_TRUE(FMUSIC_SetMasterVolume(song, 128) && FMUSIC_SetLooping(song, 1) && FMUSIC_PlaySong(song));
    EXPECT_EQ(FMUSIC_GetMasterVolume(song), 128);
    EXPECT_NEAR(audiotest::Peak(audiotest::Channel(MixFor(300), 0)), full / 2, full / 50);
    MixFor(900);
    EXPECT_GT(audiotest::Peak(audiotest::Channel(MixFor(300), 0)), 0.25 * full); // the loop sounds again
    EXPECT_TRUE(FMUSIC_SetPaused(song, 1));
    EXPECT_EQ(audiotest::Peak(audiotest::Channel(MixFor(100), 0)), 0);
    EXPECT_TRUE(FMUSIC_StopSong(song) && FMUSIC_FreeSong(song));
    EXPECT_FALSE(FMUSIC_PlaySong(song)); // freed: refused, not touched
}

TEST_F(FmodTest, BadMidiAndAMissingSoundFontFailCleanly)
{
    const auto good = audiotest::MidiNote();
    auto cut = good;
    cut.resize(good.size() - 6); // the track stops inside an event
    auto badDivision = good;
    badDivision[12] = badDivision[13] = 0;
    auto lyingLength = good;
    lyingLength[21] = 0xFF; // MTrk claims more than the file holds: clamped, still read
    const std::tuple<const char*, std::vector<unsigned char>, bool> rows[] = {
        {"cut", cut, false},
        {"division 0", badDivision, false},
        {"long track length", lyingLength, true},
        {"wav header", {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 0, 0}, false}};
    for (const auto& [name, bytes, loads] : rows) {
        FMUSIC_MODULE* song = FMUSIC_LoadSongEx(reinterpret_cast<const char*>(bytes.data()), 0,
                                                static_cast<int>(bytes.size()), FSOUND_LOADMEMORY, nullptr, 0);
        EXPECT_EQ(song != nullptr, loads) << name;
        FMUSIC_FreeSong(song);
    }
    FSOUND_Close(); // the synthesizer goes with it, so the next load looks for a SoundFont again
    setenv("VIREO_SOUNDFONT", "missing.sf2", 1);
    ASSERT_TRUE(FSOUND_Init(44100, 2, 0));
    ::testing::internal::CaptureStderr();
    FMUSIC_MODULE* song = FMUSIC_LoadSongEx(reinterpret_cast<const char*>(good.data()), 0,
                                            static_cast<int>(good.size()), FSOUND_LOADMEMORY, nullptr, 0);
    const std::string log = ::testing::internal::GetCapturedStderr();
    unsetenv("VIREO_SOUNDFONT");
    EXPECT_EQ(song, nullptr);
    EXPECT_NE(log.find("SoundFont"), std::string::npos);
}

} // namespace
