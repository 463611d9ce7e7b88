// The scan-code table lives in SdlKeyMap.cpp. Declared weak here so this back end still
// links in a tree without it; callers check the address before calling.
#pragma once

#include "platform/backend/sdl2/SdlKeyMap.h"

namespace vireo::platform {

[[gnu::weak]] unsigned char DikFromSdlScancode(int sdlScancode);

}  // namespace vireo::platform
