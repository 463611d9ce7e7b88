// The scan-code table lives in SdlKeyMap.cpp, built on another branch. Declared weak here
// so this back end links without it; callers check the address before calling.
#pragma once

#include "platform/backend/sdl2/SdlKeyMap.h"

namespace vireo::platform {

[[gnu::weak]] unsigned char DikFromSdlScancode(int sdlScancode);

}  // namespace vireo::platform
