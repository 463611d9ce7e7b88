// The CPU rasterizer under the software Direct3D 9 device: fills, textured parallelograms
// through the two fixed-function texture stages with alpha blending, and one-pixel lines.
// It knows nothing of COM objects or render states by number; the device translates.
#pragma once

#include <vireo/platform/Win32.h>

#include <cstddef>
#include <cstdint>

namespace vireo::raster {

// A8R8G8B8 pixels, top row first. pitch is in bytes.
struct Surface {
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int pitch = 0;

    std::uint32_t* Row(int y) const
    {
        return reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(pixels) +
                                                static_cast<std::ptrdiff_t>(y) * pitch);
    }
};

// Fixed-function texture stage operations and arguments (the subset the engine uses, plus
// the neighbours that cost nothing). Formulas per channel in [0,1], results saturate.
enum class StageOp : std::uint8_t {
    Disable,
    SelectArg1,
    SelectArg2,
    Modulate,
    Modulate2x,
    Modulate4x,
    Add,
    AddSigned,
    Subtract,
    AddSmooth, // arg1 + arg2 - arg1 * arg2
};

enum class StageArg : std::uint8_t {
    Diffuse, // the vertex colour (constant over a sprite quad)
    Current, // the previous stage's result (diffuse on stage 0)
    Texture, // this stage's texture sample
    TFactor,
};

enum class Filter : std::uint8_t {
    Point,
    Linear,
};

struct TextureStage {
    StageOp colorOp = StageOp::Disable;
    StageArg colorArg1 = StageArg::Texture;
    StageArg colorArg2 = StageArg::Current;
    StageOp alphaOp = StageOp::Disable;
    StageArg alphaArg1 = StageArg::Texture;
    StageArg alphaArg2 = StageArg::Current;
    const Surface* texture = nullptr; // null samples as opaque white
    Filter filter = Filter::Linear;   // clamp addressing is implied
};

enum class BlendFactor : std::uint8_t {
    Zero,
    One,
    SrcColor,
    InvSrcColor,
    SrcAlpha,
    InvSrcAlpha,
    DestAlpha,
    InvDestAlpha,
    DestColor,
    InvDestColor,
};

struct BlendState {
    bool enabled = false;
    BlendFactor src = BlendFactor::SrcAlpha;
    BlendFactor dst = BlendFactor::InvSrcAlpha;
};

// A parallelogram on the target: corner p0 maps to texture (u0, v0); p0 + edgeU to (u1, v0);
// p0 + edgeV to (u0, v1). Positions in target pixels where pixel (x, y) covers [x, x+1) x
// [y, y+1) and is sampled at its centre (x + 0.5, y + 0.5); texture coordinates in texels of
// stage 0's texture (the mask on stage 1 is sampled at the same normalised coordinates; with
// no texture on stage 0 the coordinates are normalised already).
struct Quad {
    float x0, y0;
    float edgeUx, edgeUy;
    float edgeVx, edgeVy;
    float u0, v0, u1, v1;
};

struct QuadState {
    TextureStage stages[2];
    std::uint32_t diffuse = 0xFFFFFFFF; // ARGB
    std::uint32_t textureFactor = 0xFFFFFFFF;
    BlendState blend;
    bool alphaTest = false; // discard pixels whose final alpha is 0 (ALPHAFUNC GREATER, ALPHAREF 0)
    RECT clip{};            // in target pixels, right/bottom exclusive; already within the target
};

// Draws one textured parallelogram. An axis-aligned, unscaled quad at integer positions
// with point or linear filtering copies texels exactly (no filtering happens at texel centres).
void DrawQuad(const Surface& target, const Quad& quad, const QuadState& state);

// Fills rect (clipped to the target) with colour, no blending.
void FillRect(const Surface& target, const RECT& rect, std::uint32_t argb);

// Sets count 32-bit values to value, sixteen bytes a store (clears of colour and depth).
void FillValues(std::uint32_t* values, std::size_t count, std::uint32_t value);

// One-pixel line from (x0,y0) to (x1,y1), endpoint excluded, blended with blend and clipped
// to clip. Positions follow the same pixel-centre convention as Quad: each end point snaps to
// the pixel that contains it, and the pixels between are chosen one per step of the major
// axis, rounding the minor axis to the nearest pixel (halves round towards +infinity).
void DrawLine(const Surface& target, float x0, float y0, float x1, float y1, std::uint32_t argb,
              const BlendState& blend, const RECT& clip);

// Forces the plain per-pixel reference path (also VIREO_RASTER_REFERENCE=1 in the
// environment); tests draw through both and compare.
void SetReferencePath(bool on);
bool UsingReferencePath();

} // namespace vireo::raster
