// The demo game's pictures, drawn procedurally: a wooden crate (opaque), a leaf with soft
// alpha edges, a round glow mask and a strip of hills. Only the drawing; Main.cpp writes them.
#pragma once

#include "Canvas.h"

#include <string>
#include <utility>
#include <vector>

namespace artgen {

// File name and picture, in a fixed order.
std::vector<std::pair<std::string, Canvas>> DrawDemoPictures();

} // namespace artgen
