// File versions planted by tests for the version functions to find, and whether the
// system directory can be asked for. Private to the platform layer.
#pragma once

#include <vireo/platform/Win32.h>

#include <map>
#include <string>

namespace vireo::platform {

struct PlantedVersions {
    std::map<std::wstring, VS_FIXEDFILEINFO> byName; // lower-case file names
    bool systemDirectoryAvailable = true;
};

PlantedVersions& Planted();

} // namespace vireo::platform
