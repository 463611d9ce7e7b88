// The settable state of the software device as one copyable record: render, texture-stage and
// sampler states, bound textures and buffers, transforms, the viewport and the material. Its defaults are those of a
// new (or reset) device; the sprite and the line save and restore it around their batches.
#pragma once

#include <vireo/platform/D3D9.h>

#include <cstdint>

namespace vireo::gfx {

constexpr DWORD kWorldMatrices = 4;

struct SDeviceState {
    DWORD renderStates[D3DRS_MAX_ID];
    DWORD stageStates[D3D_MAX_TEXTURE_STAGES][D3DTSS_MAX_ID];
    DWORD samplerStates[D3D_MAX_TEXTURE_STAGES][D3DSAMP_MAX_ID];
    // Bound textures by serial number (0 = none), so a released texture can never be
    // reached through a stale binding or a saved copy of the state.
    std::uint64_t textures[D3D_MAX_TEXTURE_STAGES];
    D3DMATRIX world[kWorldMatrices];
    D3DMATRIX view;
    D3DMATRIX projection;
    D3DMATRIX textureTransforms[8];
    D3DVIEWPORT9 viewport;
    D3DMATERIAL9 material;
    DWORD fvf;
    // Stream 0 and the index buffer, by serial number like the textures (0 = none).
    std::uint64_t streamBuffer;
    UINT streamOffset;
    UINT streamStride;
    std::uint64_t indexBuffer;
};

// The creation defaults; ZENABLE follows whether an automatic depth buffer exists.
void SetDeviceDefaults(SDeviceState& state, bool depthBuffer, DWORD width, DWORD height);

// Where a transform of the given id is kept, or null for an id the device does not hold.
D3DMATRIX* TransformSlot(SDeviceState& state, D3DTRANSFORMSTATETYPE type);

} // namespace vireo::gfx
