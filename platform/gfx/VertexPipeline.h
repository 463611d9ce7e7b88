// The fixed-function vertex stage of the software device: reads vertices of a flexible vertex
// format, transforms them by world, view and projection (or takes pre-transformed XYZRHW
// ones as they are), lights them, assembles lists, strips and fans, clips against the near
// and far planes and a guard band, culls, and hands triangles, lines or points to the
// rasterizer. Vertex blending, shaders and more than one texture coordinate set are not done.
#pragma once

#include "platform/gfx/DeviceState.h"
#include "platform/gfx/Lighting.h"
#include "platform/raster/Triangle.h"

#include <array>
#include <cstdint>
#include <map>

namespace vireo::gfx {

struct SLightSlot;
struct SVertexSource;

// Where the fields of a vertex of one format lie, in bytes from its start; -1 where absent.
struct SVertexLayout {
    UINT size = 0;
    bool pretransformed = false;
    int normal = -1, diffuse = -1, specular = -1, texture = -1;
    int textureDims = 0; // floats in coordinate set 0
};

// False for a format without a usable position.
bool ParseFvf(DWORD fvf, SVertexLayout& layout);

// One draw call's primitives as the device checked them.
struct SPrimitiveRun {
    D3DPRIMITIVETYPE type;
    UINT first;                  // first vertex (non-indexed) or first index's position in `indices`
    UINT count;                  // vertices or indices to read
    const std::uint8_t* indices; // null: non-indexed
    D3DFORMAT indexFormat;
    INT baseVertex;
};

class CVertexPipeline {
  public:
    // Draws the run with the state's transforms, lighting, culling and fill mode into the
    // target with the raster state (whose clip is the viewport within the target).
    void Draw(const SDeviceState& state, const std::map<DWORD, SLightSlot>& lights, const SVertexLayout& layout,
              const SVertexSource& vertices, const SPrimitiveRun& run, const raster::Surface& target,
              const raster::TriState& raster);

  private:
    struct SVertex {
        float clip[4];
        unsigned outcode;
        raster::TriVertex screen; // position valid when outcode is 0; attributes always
    };
    struct SCacheSlot {
        std::uint64_t tag = ~std::uint64_t{0};
        SVertex vertex;
    };

    const SVertex* Fetch(UINT index);
    void Process(const std::uint8_t* p, SVertex& out) const;
    raster::TriVertex Project(const float clip[4], const raster::TriVertex& attributes) const;
    void Triangle(const SVertex& a, const SVertex& b, const SVertex& c, const SVertex& provoking);
    void Line(const SVertex& a, const SVertex& b);
    void Polygon(raster::TriVertex* vertices, int count);

    // Per draw.
    const SDeviceState* m_state = nullptr;
    const SVertexLayout* m_layout = nullptr;
    const SVertexSource* m_source = nullptr;
    const raster::Surface* m_target = nullptr;
    const raster::TriState* m_raster = nullptr;
    D3DMATRIX m_worldViewProjection{};
    D3DMATRIX m_worldView{};
    D3DMATRIX m_normalMatrix{};
    CLighting m_lighting;
    bool m_lit = false;
    float m_guard = 1.0f;
    DWORD m_cull = D3DCULL_CCW;
    DWORD m_fill = D3DFILL_SOLID;
    bool m_flat = false;
    std::uint64_t m_drawSerial = 0;
    // Post-transform cache: direct-mapped by vertex index, tagged with the draw and the index.
    std::array<SCacheSlot, 1024> m_cache{};
};

} // namespace vireo::gfx
