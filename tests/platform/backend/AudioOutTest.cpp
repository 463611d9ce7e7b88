// The device-less audio sink as the back ends use it: mixing exactly the time the clock
// moved (so a virtual-clock run is deterministic), skipping long jumps, starting anew when
// the clock goes back, and writing what it mixed to a WAV file.
#include "common/RiffBytes.h"
#include "common/ScratchDir.h"
#include "platform/backend/NullAudioOut.h"
#include "platform/backend/sdl2/SdlBackend.h"

#include <vireo/platform/Testing.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

int g_pulled = 0;
void CountingPull(std::int16_t* samples, int frames, void*)
{
    for (int i = 0; i < 2 * frames; ++i)
        samples[i] = static_cast<std::int16_t>(g_pulled + i / 2);
    g_pulled += frames;
}

TEST(AudioOut, ClockSteppedSinkMixesTheElapsedTimeAndWritesAWavFile)
{
    vireo::testing::InstallVirtualClock();
    vireo::test::ScratchDir dir;
    const std::string path = (dir.Path() / "mix.wav").string();
    setenv("VIREO_AUDIO", ("wav:" + path).c_str(), 1);
    g_pulled = 0;
    {
        vireo::platform::CNullAudioOut sink;
        sink.SetClockStep(true);
        ASSERT_TRUE(sink.Open({48000, 2}, &CountingPull, nullptr));
        vireo::testing::AdvanceClock(10);
        sink.CatchUp();
        EXPECT_EQ(g_pulled, 480);
        vireo::testing::AdvanceClock(1); // 48 frames, then a jump far longer than a minute
        vireo::testing::AdvanceClock(3'600'000);
        sink.CatchUp();
        EXPECT_EQ(g_pulled, 480 + 60 * 48000);
        vireo::testing::AdvanceClock(-5000); // back: nothing to mix, counting starts there
        sink.CatchUp();
        vireo::testing::AdvanceClock(20);
        sink.Close();
        EXPECT_EQ(g_pulled, 480 + 60 * 48000 + 960);
    }
    setenv("VIREO_AUDIO", "null", 1);
    vireo::testing::UninstallVirtualClock();
    const std::string file = vireo::test::ReadFileBytes(path);
    ASSERT_EQ(file.size(), 44u + 4u * g_pulled);
    // The header of a 48 kHz 16-bit stereo file of that length, then the samples in the order
    // they were mixed.
    EXPECT_EQ(file.substr(0, 44), vireo::test::PcmWave(2, 48000, 16, std::string(4u * g_pulled, '\0')).substr(0, 44));
    EXPECT_EQ(static_cast<unsigned char>(file[44 + 4 * 479]), 479 & 0xFF);
}

TEST(AudioOut, SdlDevicePullsBlocksOfAtMost1024FramesOnItsOwnThread)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1); // a device that exists on every machine
    struct Seen {
        std::atomic<int> calls{0};
        std::atomic<int> largest{0};
        std::atomic<bool> otherThread{false};
        std::thread::id game = std::this_thread::get_id();
    } seen;
    auto pull = [](std::int16_t*, int frames, void* user) {
        auto* s = static_cast<Seen*>(user);
        s->largest = std::max(s->largest.load(), frames);
        s->otherThread = std::this_thread::get_id() != s->game;
        ++s->calls;
    };
    vireo::platform::CSdlAudioOut sink;
    if (!sink.Open({48000, 2}, pull, &seen))
        GTEST_SKIP() << "SDL has no audio driver here";
    for (int i = 0; i < 200 && seen.calls < 3; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    sink.Close();
    unsetenv("SDL_AUDIODRIVER");
    EXPECT_GE(seen.calls, 3);
    EXPECT_TRUE(seen.otherThread);
    EXPECT_LE(seen.largest, 1024);
    EXPECT_GT(sink.OpenFormat().sampleRate, 0);
}

} // namespace
