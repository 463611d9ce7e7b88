// Fixed-function vertex lighting as Direct3D 9 computes it, in view space: emissive, ambient
// (global and per light), diffuse and specular terms of directional, point and spot lights,
// with the material colours taken from the material or the vertex by the source states.
// Per-vertex only; there is no per-pixel lighting and no fog.
#pragma once

#include "platform/gfx/DeviceState.h"

#include <map>
#include <vector>

namespace vireo::gfx {

struct SLightSlot;

// Colours as r, g, b, a floats in 0..1.
struct SColor4 {
    float r, g, b, a;
};

class CLighting {
  public:
    // Takes the lights, material and states of one draw; lights move into view space here.
    void Prepare(const SDeviceState& state, const std::map<DWORD, SLightSlot>& lights, bool vertexDiffuse,
                 bool vertexSpecular);
    // Lit diffuse and specular (0..255 per channel, specular 0 unless enabled) of one vertex
    // from its view-space position and normal and its own colours (ARGB, used by the sources).
    void Light(const float position[3], const float normal[3], D3DCOLOR diffuse, D3DCOLOR specular, float outDiffuse[4],
               float outSpecular[3]) const;

  private:
    struct SViewLight {
        D3DLIGHTTYPE type;
        SColor4 diffuse, specular, ambient;
        float position[3];
        float direction[3]; // towards the light, unit length, for directional and spot lights
        float range, falloff, att0, att1, att2, cosHalfTheta, cosHalfPhi;
    };
    std::vector<SViewLight> m_lights;
    SColor4 m_ambient{};
    D3DMATERIAL9 m_material{};
    DWORD m_diffuseSource = D3DMCS_MATERIAL, m_ambientSource = D3DMCS_MATERIAL;
    DWORD m_specularSource = D3DMCS_MATERIAL, m_emissiveSource = D3DMCS_MATERIAL;
    bool m_specular = false;
    bool m_localViewer = true;
    bool m_normalize = false;
};

} // namespace vireo::gfx
