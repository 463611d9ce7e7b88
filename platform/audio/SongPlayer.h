// The MIDI song that sounds: its events sent to one FluidSynth synthesizer at the exact
// output frame, the synthesizer rendered inside the mix. One song at a time; the
// synthesizer and its SoundFont are made once, on the game thread.
#pragma once

#include "platform/audio/MidiFile.h"
#include "platform/audio/Mixer.h"

#include <fluidsynth.h>

#include <string>

namespace vireo::platform::audio {

class CSongPlayer final : public IMixSource {
  public:
    ~CSongPlayer() override { DeleteSynth(); }
    // Loads the General MIDI SoundFont (VIREO_SOUNDFONT, else the system's) into a new
    // synthesizer at `rate` unless one exists. False, with a line on stderr, when none loads.
    bool EnsureSynth(int rate);
    void DeleteSynth();
    bool HasSynth() const { return m_synth != nullptr; }

    // The fields below are read by Render: change them only under the mixer's mutex.
    void Start(const MidiSong* song, bool looping, float gain); // from the song's beginning
    void Halt();                                                // silence, no song
    const MidiSong* song = nullptr;
    bool looping = false;
    bool paused = false;
    bool finished = false;
    float gain = 1.0f;

    void Render(float* left, float* right, int frames) override;

  private:
    void Send(const MidiEvent& event);
    fluid_settings_t* m_settings = nullptr;
    fluid_synth_t* m_synth = nullptr;
    std::uint32_t m_position = 0;
    std::size_t m_next = 0;
};

// The SoundFont file songs are played with: VIREO_SOUNDFONT, else the first General MIDI
// SoundFont of the usual system folders; empty when none exists.
std::string FindSoundFont();

} // namespace vireo::platform::audio
