// The engine's start-up logo: a 120 x 130 picture of a leaf-green badge with a white vireo
// (a small songbird) in flight drawn as a "V", over the name on a dark plaque.
// Only the drawing; writing it out and embedding it are Main.cpp's.
#pragma once

#include "Canvas.h"

namespace artgen {

constexpr int kLogoWidth = 120;
constexpr int kLogoHeight = 130;

Canvas DrawLogo();

// Draws text in the generator's 5 x 7 block letters (the letters the engine's pictures use:
// A, D, E, I, O, R, V and space), each cell `scale` pixels, a gap of one cell between
// letters. Returns the width drawn.
int DrawBlockText(Canvas& canvas, const char* text, int x, int y, int scale, const Rgba& colour);
int BlockTextWidth(const char* text, int scale);

} // namespace artgen
