// Turns the device's numbered states into the rasterizer's terms: texture-stage operations and
// arguments, sampler filters and the blend state. Operations the rasterizer does not know fall
// back to MODULATE; argument modifiers (complement, alpha replicate) are not evaluated.
#pragma once

#include "platform/gfx/DeviceState.h"
#include "platform/raster/Raster.h"
#include "platform/raster/Triangle.h"

namespace vireo::gfx {

raster::StageOp TranslateOp(DWORD op);
raster::StageArg TranslateArg(DWORD arg);
raster::BlendFactor TranslateBlendFactor(DWORD blend);
raster::BlendState TranslateBlend(const SDeviceState& state);

// Stages 0 and 1 with the given texture views (width 0 = no texture bound); the filter of a
// stage is its magnification filter when the quad enlarges its texels, else its minification
// filter. Diffuse and clip are left for the caller.
raster::QuadState TranslateQuadState(const SDeviceState& state, const raster::Quad& quad,
                                     const raster::Surface (&textures)[2]);

// The same in two steps for a run of quads under one device state: everything but the
// filters once, then the filters per quad (or once, when FiltersDependOnQuad is false).
// The state keeps pointers into textures, so textures must outlive it.
raster::QuadState TranslateBatchState(const SDeviceState& state, const raster::Surface (&textures)[2]);
bool FiltersDependOnQuad(const SDeviceState& state);
void ChooseFilters(const SDeviceState& state, const raster::Quad& quad, raster::QuadState& out);

// The raster state of a 3D draw: stages 0 and 1 with their samplers (linear when either the
// minification or magnification filter asks for it, clamp or wrap addressing), shading,
// specular, alpha test and blend. Depth and clip are left for the caller. hasTexCoords says
// whether the vertices carry coordinate set 0, the only set there is.
raster::TriState TranslateTriState(const SDeviceState& state, const raster::Surface (&textures)[2], bool hasTexCoords);

} // namespace vireo::gfx
