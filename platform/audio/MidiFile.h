// Standard MIDI File (formats 0, 1 and 2) read into one time-ordered list of channel events
// with their time in output frames. Every length is bounded by its chunk and the file;
// songs are cut at one hour. Meta events other than tempo and system exclusive are dropped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vireo::platform::audio {

struct MidiEvent {
    std::uint32_t frame; // output frame at which it sounds
    std::uint8_t status; // channel message status byte (0x80-0xEF)
    std::uint8_t data1;
    std::uint8_t data2;
};

struct MidiSong {
    std::vector<MidiEvent> events;
    std::uint32_t lengthFrames = 0; // time of the last event, End of Track included
};

// False for anything that is not a well-formed MIDI file (the song is then left empty).
bool ReadMidiFile(const std::uint8_t* data, std::size_t size, int outputRate, MidiSong& song);

} // namespace vireo::platform::audio
