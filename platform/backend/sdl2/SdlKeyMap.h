// SDL scan codes to DirectInput DIK_ scan codes, so a game sees the same key numbers on
// every back end. 0 means the key has no DirectInput equivalent.
#pragma once

namespace vireo::platform {

unsigned char DikFromSdlScancode(int sdlScancode);

} // namespace vireo::platform
