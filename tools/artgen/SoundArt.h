// The demo's sounds, made from code: effects as WAV files, the background music as an OGG
// Vorbis file and a MIDI tune, plus the WAV the demo builds into its executable. The same
// build writes the same bytes every time (fixed noise seed, fixed Ogg serial number).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace artgen {

// (file name, bytes): hit.wav, coin.wav, music.ogg and tune.mid for the demo's data/sounds/
// folder. An empty byte vector means the encoder failed.
std::vector<std::pair<std::string, std::vector<std::uint8_t>>> MakeDemoSounds();

// The bell the demo carries as a WAVE resource.
std::vector<std::uint8_t> MakeChimeWav();

} // namespace artgen
