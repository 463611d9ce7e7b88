// The demo's GUI pictures as sprite packages: a dialog panel, a push button and a check box
// (pictures 0-2 normal, highlighted, pressed; the check box also 4-6 checked) and the
// nine-slice frame of an edit box. Only the drawing and the Desc.ini texts.
#pragma once

#include "SpriteArt.h"

#include <string>
#include <utility>
#include <vector>

namespace artgen {

// Package folder name (under data/gui/) and package, in a fixed order.
std::vector<std::pair<std::string, SpritePackage>> DrawGuiPackages();

// Border width of the edit frame, for the game's tagSIZE4.
constexpr int kEditFrameBorder = 3;

} // namespace artgen
