#!/usr/bin/env bash
# Regenerates the seed corpora of the image_* fuzz targets (fuzz/corpus/image_*/) from the
# test fixtures. The output is committed; run again after changing the generator.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
out=build/seeds
mkdir -p "$out"
g++ -std=c++20 -O1 -Wall -Wextra -I. -Itests -Iinclude -Iplatform/include \
  fuzz/seeds/MakeImageSeeds.cpp platform/gfx/image/*.cpp \
  $(pkg-config --cflags --libs libpng libjpeg) -o "$out/make-image-seeds"
rm -rf fuzz/corpus/image_png fuzz/corpus/image_jpeg fuzz/corpus/image_bmp fuzz/corpus/image_tga fuzz/corpus/image_dds
"$out/make-image-seeds" fuzz/corpus
du -sh fuzz/corpus/image_*
