// The rasterizer's triangles, lines and points for the 3D pipeline: screen-space vertices with
// depth, 1/w, colours and one texture coordinate set, drawn with perspective-correct
// interpolation, a depth buffer, the two texture stages with wrap or clamp addressing, alpha
// test and blending. Vertex work (transform, lighting, clipping, culling) is the device's.
#pragma once

#include "platform/raster/Raster.h"

#include <cstdint>

namespace vireo::raster {

// A vertex on the target: pixel (x, y) covers [x, x+1) x [y, y+1) and is sampled at its
// centre, as for quads. z is the depth in [0, 1]; rhw is 1/w (1 for flat geometry).
// Colours are in 0..255 per channel; u, v are normalised texture coordinates.
struct TriVertex {
    float x, y, z, rhw;
    float diffuse[4]; // r, g, b, a
    float specular[3];
    float u, v;
};

enum class Compare : std::uint8_t { Never, Less, Equal, LessEqual, Greater, NotEqual, GreaterEqual, Always };
enum class Address : std::uint8_t { Wrap, Clamp };

// A texture stage of the 3D path: the quad path's stage plus addressing per axis and whether
// the vertices carry the coordinate set it reads. Its filter defaults to point, as a device's.
struct TriStage : TextureStage {
    TriStage() { filter = Filter::Point; }
    Address addressU = Address::Wrap;
    Address addressV = Address::Wrap;
    bool hasCoordinates = true; // false: the stage reads a coordinate set the vertices lack, (0, 0)
};

// A depth buffer of integers, one per target pixel, with `bits` of precision (16 or 24).
struct DepthBuffer {
    std::uint32_t* values = nullptr;
    int width = 0;
    int height = 0;
    int bits = 24;
};

struct TriState {
    TriStage stages[2];
    std::uint32_t textureFactor = 0xFFFFFFFF;
    bool flat = false;     // colours of the first vertex across the whole primitive
    bool specular = false; // add the specular colour after the stages
    BlendState blend;
    bool alphaTest = false;
    Compare alphaFunc = Compare::Always;
    int alphaRef = 0;
    const DepthBuffer* depth = nullptr; // null: no depth test and no depth writes
    Compare depthFunc = Compare::LessEqual;
    bool depthWrite = true;
    RECT clip{}; // in target pixels, right/bottom exclusive; already within the target
};

// Filled triangle, either winding (culling is the caller's); shared edges cover each pixel
// once (top-left rule). Vertices beyond about a million pixels from the origin are refused.
void DrawTriangle(const Surface& target, const TriVertex& v0, const TriVertex& v1, const TriVertex& v2,
                  const TriState& state);
// A one-pixel line from v0 to v1, end point excluded, colours and depth interpolated.
void DrawTriLine(const Surface& target, const TriVertex& v0, const TriVertex& v1, const TriState& state);
// The pixel containing the vertex.
void DrawTriPoint(const Surface& target, const TriVertex& v, const TriState& state);

// The depth value `bits` wide that stores z in [0, 1] (clamped, NaN as 0). The steps are
// those the vector code takes: clamp, scale, round, and cap what rounding pushed past the top.
inline std::uint32_t QuantizeDepth(float z, int bits)
{
    const std::uint32_t max = (1u << bits) - 1;
    if (!(z > 0.0f))
        z = 0.0f;
    if (z > 1.0f)
        z = 1.0f;
    const auto q = static_cast<std::uint32_t>(z * static_cast<float>(max) + 0.5f);
    return q > max ? max : q;
}

} // namespace vireo::raster
