// The demo's explosion: a one-shot burst for its animation pool, as numbered frames plus the
// Desc.ini text. Only the drawing; Main.cpp decides where it is written.
#pragma once

#include "SpriteArt.h"

namespace artgen {

// 8 frames of 64 x 64 with per-pixel alpha: a flash, a fireball that swells, reddens and
// thins into smoke, a shock ring and flying sparks. Sequence 0 (every picture) is the burst.
SpritePackage DrawExplosionPackage();

} // namespace artgen
