// Process-wide switches and counters behind D3D9Testing.h, read by the device and the D3DX
// objects. Normal operation is every switch off and every queue empty.
#pragma once

#include <vireo/platform/D3D9.h>

#include <deque>

namespace vireo::gfx {

struct SGraphicsControls {
    bool loseNextPresent = false;
    bool loseEveryPresent = false;
    std::deque<HRESULT> cooperativeLevelResults;
    std::deque<HRESULT> resetResults;
    bool halUnavailable = false;
    D3DFORMAT refusedDepthFormat = D3DFMT_UNKNOWN;

    int devices = 0;
    int texturesDefault = 0;
    int texturesManaged = 0;
    int texturesOther = 0;
    int sprites = 0;
    int lines = 0;
};

SGraphicsControls& Controls();

// One count up or down for a texture of this pool.
void CountTexture(D3DPOOL pool, int delta);

} // namespace vireo::gfx
