// The demo's two sprite packages: the hero (a walking and jumping figure on a magenta colour
// key) and the sparkle effect (per-pixel alpha), each as numbered frames plus its Desc.ini text.
// Only the drawing and the texts; Main.cpp decides where they are written.
#pragma once

#include "Canvas.h"

#include <string>
#include <vector>

namespace artgen {

struct SpritePackage {
    std::vector<Canvas> frames; // written as 000.png, 001.png, ...
    std::string desc;           // Desc.ini bytes (CRLF lines, ASCII)
};

// 12 frames of 48 x 64: 0-7 walk, 8-11 jump (crouch, push, stretch, tuck).
SpritePackage DrawHeroPackage();
// 6 frames of 32 x 32: a four-pointed star turning and pulsing.
SpritePackage DrawSparklePackage();

// The hero's colour key (magenta); every other pixel of a hero frame is fully opaque.
Rgba HeroColourKey();

// Shared by the packages' drawing code: `frames` frames from `draw`, with `desc` as Desc.ini,
// and the [CenterPoint] lines 000 ... count-1 all set to `point` ("x,y").
SpritePackage MakePackage(int frames, Canvas (*draw)(int), std::string desc);
std::string CenterPoints(int count, const char* point);

} // namespace artgen
