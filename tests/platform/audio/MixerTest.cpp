// The mixer on its own, pulled by hand at 48 kHz: levels and pan from hundredths of a
// decibel, seams, rate and level changes without clicks, saturation. Pitch and duration under
// resampling are pinned by the FMOD and DirectSound tests' tones.
#include "platform/audio/Mixer.h"
#include "AudioTestSignals.h"

#include <gtest/gtest.h>
#include <tuple>

namespace {

using vireo::platform::audio::CMixer;
using vireo::platform::audio::Voice;

struct MixerRig {
    CMixer mixer{48000};
    std::vector<std::int16_t> pcm;

    // 16-bit or unsigned 8-bit samples, mono or interleaved stereo.
    template <typename Sample>
    int Add(const std::vector<Sample>& samples, std::uint32_t rate, long volume = 0, long pan = 0, bool looping = false,
            std::uint8_t channels = 1)
    {
        const int voice = mixer.AddVoice();
        mixer.Edit(voice, [&](Voice& v) {
            v.data = reinterpret_cast<const std::uint8_t*>(samples.data());
            v.frames = static_cast<std::uint32_t>(samples.size() / channels);
            v.bits = 8 * sizeof(Sample);
            v.channels = channels;
            v.rate = rate;
            v.looping = looping;
            v.playing = true;
            CMixer::DecibelGains(volume, pan, v.gainLeft, v.gainRight);
        });
        return voice;
    }
    std::vector<std::int16_t> Pull(int frames)
    {
        std::vector<std::int16_t> out(2 * static_cast<std::size_t>(frames));
        mixer.Mix(out.data(), frames);
        return out;
    }
};

TEST(Mixer, VolumeAndPanFollowTheDecibelFormulas)
{
    // rowLeft, rowRight: expected gain of each side
    const std::tuple<long, long, double, double> rows[] = {
        {0, 0, 1.0, 1.0},     {-600, 0, 0.501, 0.501}, {-2000, 0, 0.1, 0.1}, {-10000, 0, 0.0, 0.0},
        {0, 10000, 0.0, 1.0}, {0, -10000, 1.0, 0.0},   {0, 600, 0.501, 1.0}, {-600, -600, 0.501, 0.251},
    };
    const auto tone = audiotest::Tone(1000, 48000, 48000);
    for (const auto& [volume, pan, rowLeft, rowRight] : rows) {
        MixerRig rig;
        rig.Add(tone, 48000, volume, pan);
        const auto out = rig.Pull(48000);
        const double left = audiotest::Peak(audiotest::Channel(out, 0)) / 32767.0;
        const double right = audiotest::Peak(audiotest::Channel(out, 1)) / 32767.0;
        EXPECT_NEAR(left, rowLeft, rowLeft * 0.01 + 1e-4) << volume << " " << pan;
        EXPECT_NEAR(right, rowRight, rowRight * 0.01 + 1e-4) << volume << " " << pan;
    }
}

TEST(Mixer, LoopSeamsRateAndLevelChangesDoNotClick)
{
    // 441 Hz fits exactly 10 cycles in 1,000 frames at 44,100 Hz; the largest step of a clean
    // sine at the output rate is 2 pi f / rate of full scale, a seam or jump would be far above.
    const auto loop = audiotest::Tone(441, 44100, 1000);
    MixerRig rig;
    const int voice = rig.Add(loop, 44100, 0, 0, true);
    auto out = rig.Pull(10000); // about nine passes over the seam
    const int cleanStep = static_cast<int>(32767 * 2 * M_PI * 441 / 48000) + 50;
    EXPECT_LE(audiotest::LargestStep(audiotest::Channel(out, 0)), cleanStep);
    rig.mixer.Edit(voice, [](Voice& v) { v.rate = 88200; });
    const auto after = rig.Pull(5000);
    out.insert(out.end(), after.begin(), after.end());
    EXPECT_LE(audiotest::LargestStep(audiotest::Channel(out, 0)), 2 * cleanStep);
    EXPECT_TRUE(rig.mixer.Edit(voice, [](Voice& v) { return v.playing; }));

    // A level cut to silence mid-sound glides down over one block instead of jumping.
    const std::vector<std::int16_t> level(1000, 16000);
    MixerRig steady;
    const int held = steady.Add(level, 48000, 0, 0, true);
    auto cut = steady.Pull(700);
    steady.mixer.Edit(held, [](Voice& v) { v.gainLeft = v.gainRight = 0.0f; });
    const auto rest = steady.Pull(2 * CMixer::kBlockFrames);
    cut.insert(cut.end(), rest.begin(), rest.end());
    const auto left = audiotest::Channel(cut, 0);
    EXPECT_LE(audiotest::LargestStep(left), 16000 / CMixer::kBlockFrames + 2);
    EXPECT_EQ(audiotest::SoundingFrames(left), 700u + CMixer::kBlockFrames);
}

TEST(Mixer, VoicesAddAndSaturateWithoutWrapping)
{
    const std::vector<std::int16_t> high(4800, 20000), low(4800, -20000), small(4800, 1000);
    for (const auto& [a, b, expected] :
         {std::tuple{&high, &high, 32767}, {&low, &low, -32768}, {&high, &small, 21000}}) {
        MixerRig rig;
        rig.Add(*a, 48000);
        rig.Add(*b, 48000);
        const auto out = rig.Pull(1000);
        EXPECT_NEAR(out[1000], expected, 1);
        EXPECT_NEAR(out[1001], expected, 1);
    }
}

TEST(Mixer, EightBitAndStereoSourcesPlayOnTheirSides)
{
    MixerRig rig;
    std::vector<std::uint8_t> eightBit(4800, 0xC0); // +0.5 in unsigned 8-bit
    std::vector<std::int16_t> stereo(9600, 8000);   // left +8000, right -8000
    for (std::size_t i = 1; i < stereo.size(); i += 2)
        stereo[i] = -8000;
    rig.Add(eightBit, 48000);
    rig.Add(stereo, 48000, 0, 0, false, 2);
    const auto out = rig.Pull(100);
    EXPECT_NEAR(out[100], 16384 + 8000, 2);
    EXPECT_NEAR(out[101], 16384 - 8000, 2);
}

} // namespace
