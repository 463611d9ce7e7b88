// The demo's 3D model, made in code: a twelve-sided lantern drum whose sides carry a painted
// texture and whose caps are a plain untextured material. Returns the .x text and the texture;
// Main.cpp writes them as one mesh folder.
#pragma once

#include "Canvas.h"

#include <string>

namespace artgen {

struct MeshFolder {
    std::string xText;   // the .x file (text encoding)
    std::string texture; // the file name the .x file names
    Canvas skin{1, 1};
};

MeshFolder DrawLanternMesh();

} // namespace artgen
