// Whole-engine fixture for the sound tests: the headless engine on the virtual clock, sound
// files written into the scratch folder, and the mix read back through the null sink.
#pragma once

#include "common/EngineHarness.h"
#include "common/RiffBytes.h"

#include <vireo/platform/Testing.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace vireo::test {

class SoundTest : public EngineTest {
  protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        Start(0);
        vireo::testing::ClearMessageBoxes(); // the box checks see only their own test's boxes
        vireo::testing::RecordAudio(true);
        m_sound = m_game->GetSoundSystem();
    }
    void TearDown() override
    {
        vireo::testing::RecordAudio(false);
        vireo::testing::ClearRecordedAudio();
        EngineTest::TearDown();
    }

    // A 16-bit mono 48 kHz file holding `frames` samples of one constant value, so that the
    // mixed level tells how many copies sound and at what gain.
    void WriteLevelWave(const std::string& name, int frames, short value = 2000)
    {
        std::string samples;
        for (int i = 0; i < frames; ++i)
            samples += Le16(static_cast<std::uint16_t>(value));
        std::ofstream(name, std::ios::binary) << PcmWave(1, 48000, 16, samples);
    }

    // Mixes 10 ms and returns the largest left-channel magnitude in it.
    int Level()
    {
        // A gain change glides over the block after it: a short pull first lets it settle.
        vireo::testing::PullAudio(16);
        vireo::testing::ClearRecordedAudio();
        vireo::testing::PullAudio(480);
        const auto mix = vireo::testing::RecordedAudio();
        int peak = 0;
        for (std::size_t i = mix.size() >= 960 ? mix.size() - 960 : 0; i < mix.size(); i += 2)
            peak = std::max(peak, std::abs(static_cast<int>(mix[i])));
        return peak;
    }

    // One engine frame: the sound system's per-frame step runs in it.
    void Frame() { m_game->Run(); }

    CSoundSystem* m_sound = nullptr;
};

} // namespace vireo::test
