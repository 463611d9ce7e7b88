#!/usr/bin/env bash
# Regenerates the seed corpora of the audio fuzz targets (fuzz/corpus/music_mp3, music_ogg,
# midi) from code. The output is committed; run again after changing the generator.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
out=build/seeds
mkdir -p "$out"
g++ -std=c++20 -O1 -Wall -Wextra fuzz/seeds/MakeAudioSeeds.cpp $(pkg-config --cflags --libs sndfile) \
  -o "$out/make-audio-seeds"
rm -rf fuzz/corpus/music_mp3 fuzz/corpus/music_ogg fuzz/corpus/midi
"$out/make-audio-seeds" fuzz/corpus
du -sh fuzz/corpus/music_mp3 fuzz/corpus/music_ogg fuzz/corpus/midi
