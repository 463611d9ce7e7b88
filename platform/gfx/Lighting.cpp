// Vertex lighting: the Direct3D 9 fixed-function formula, term by term, with the colour
// sources resolved once per draw. Results saturate per channel; alpha is the diffuse source's.
#include "platform/gfx/Lighting.h"

#include "platform/gfx/Device.h"

#include <algorithm>
#include <cmath>

namespace vireo::gfx {

namespace {

SColor4 FromArgb(D3DCOLOR c)
{
    return {((c >> 16) & 0xFF) / 255.0f, ((c >> 8) & 0xFF) / 255.0f, (c & 0xFF) / 255.0f, (c >> 24) / 255.0f};
}

SColor4 FromValue(const D3DCOLORVALUE& c)
{
    return {c.r, c.g, c.b, c.a};
}

// A source says material, first (diffuse) or second (specular) vertex colour; Prepare has
// already turned a vertex colour the format lacks into the material.
SColor4 Resolve(DWORD source, const D3DCOLORVALUE& material, D3DCOLOR diffuse, D3DCOLOR specular)
{
    if (source == D3DMCS_COLOR1)
        return FromArgb(diffuse);
    if (source == D3DMCS_COLOR2)
        return FromArgb(specular);
    return FromValue(material);
}

float Dot(const float a[3], const float b[3])
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

void Normalize(float v[3])
{
    const float length = std::sqrt(Dot(v, v));
    if (length > 0.0f) {
        v[0] /= length;
        v[1] /= length;
        v[2] /= length;
    }
}

void TransformPoint(const D3DMATRIX& m, const D3DVECTOR& v, float out[3])
{
    out[0] = v.x * m._11 + v.y * m._21 + v.z * m._31 + m._41;
    out[1] = v.x * m._12 + v.y * m._22 + v.z * m._32 + m._42;
    out[2] = v.x * m._13 + v.y * m._23 + v.z * m._33 + m._43;
}

void TransformDirection(const D3DMATRIX& m, const D3DVECTOR& v, float out[3])
{
    out[0] = v.x * m._11 + v.y * m._21 + v.z * m._31;
    out[1] = v.x * m._12 + v.y * m._22 + v.z * m._32;
    out[2] = v.x * m._13 + v.y * m._23 + v.z * m._33;
}

} // namespace

void CLighting::Prepare(const SDeviceState& state, const std::map<DWORD, SLightSlot>& lights, bool vertexDiffuse,
                        bool vertexSpecular)
{
    const DWORD* rs = state.renderStates;
    m_material = state.material;
    m_ambient = FromArgb(rs[D3DRS_AMBIENT]);
    const bool colorVertex = rs[D3DRS_COLORVERTEX] != FALSE;
    auto source = [&](DWORD value) {
        if (!colorVertex)
            return static_cast<DWORD>(D3DMCS_MATERIAL);
        if ((value == D3DMCS_COLOR1 && !vertexDiffuse) || (value == D3DMCS_COLOR2 && !vertexSpecular))
            return static_cast<DWORD>(D3DMCS_MATERIAL);
        return value;
    };
    m_diffuseSource = source(rs[D3DRS_DIFFUSEMATERIALSOURCE]);
    m_ambientSource = source(rs[D3DRS_AMBIENTMATERIALSOURCE]);
    m_specularSource = source(rs[D3DRS_SPECULARMATERIALSOURCE]);
    m_emissiveSource = source(rs[D3DRS_EMISSIVEMATERIALSOURCE]);
    m_specular = rs[D3DRS_SPECULARENABLE] != FALSE;
    m_localViewer = rs[D3DRS_LOCALVIEWER] != FALSE;
    m_normalize = rs[D3DRS_NORMALIZENORMALS] != FALSE;

    m_lights.clear();
    for (const auto& [index, slot] : lights) {
        if (!slot.enabled)
            continue;
        const D3DLIGHT9& l = slot.light;
        SViewLight v{};
        v.type = l.Type;
        v.diffuse = FromValue(l.Diffuse);
        v.specular = FromValue(l.Specular);
        v.ambient = FromValue(l.Ambient);
        TransformPoint(state.view, l.Position, v.position);
        float direction[3];
        TransformDirection(state.view, l.Direction, direction);
        Normalize(direction);
        for (int i = 0; i < 3; ++i)
            v.direction[i] = -direction[i];
        v.range = l.Range;
        v.falloff = l.Falloff;
        v.att0 = l.Attenuation0;
        v.att1 = l.Attenuation1;
        v.att2 = l.Attenuation2;
        v.cosHalfTheta = std::cos(l.Theta * 0.5f);
        v.cosHalfPhi = std::cos(l.Phi * 0.5f);
        m_lights.push_back(v);
    }
}

void CLighting::Light(const float position[3], const float normal[3], D3DCOLOR diffuse, D3DCOLOR specular,
                      float outDiffuse[4], float outSpecular[3]) const
{
    const SColor4 md = Resolve(m_diffuseSource, m_material.Diffuse, diffuse, specular);
    const SColor4 ma = Resolve(m_ambientSource, m_material.Ambient, diffuse, specular);
    const SColor4 ms = Resolve(m_specularSource, m_material.Specular, diffuse, specular);
    const SColor4 me = Resolve(m_emissiveSource, m_material.Emissive, diffuse, specular);

    float n[3] = {normal[0], normal[1], normal[2]};
    if (m_normalize)
        Normalize(n);
    float ambient[3] = {m_ambient.r, m_ambient.g, m_ambient.b};
    float lit[3] = {0, 0, 0};
    float shine[3] = {0, 0, 0};
    for (const SViewLight& l : m_lights) {
        float toLight[3];
        float attenuation = 1.0f;
        if (l.type == D3DLIGHT_DIRECTIONAL) {
            toLight[0] = l.direction[0], toLight[1] = l.direction[1], toLight[2] = l.direction[2];
        } else {
            for (int i = 0; i < 3; ++i)
                toLight[i] = l.position[i] - position[i];
            const float distance = std::sqrt(Dot(toLight, toLight));
            if (distance > l.range)
                continue;
            const float denominator = l.att0 + l.att1 * distance + l.att2 * distance * distance;
            attenuation = denominator > 0.0f ? 1.0f / denominator : 1.0f;
            Normalize(toLight);
            if (l.type == D3DLIGHT_SPOT) {
                const float rho = Dot(toLight, l.direction);
                if (rho <= l.cosHalfPhi)
                    continue;
                if (rho < l.cosHalfTheta && l.cosHalfTheta > l.cosHalfPhi)
                    attenuation *= std::pow((rho - l.cosHalfPhi) / (l.cosHalfTheta - l.cosHalfPhi), l.falloff);
            }
        }
        ambient[0] += attenuation * l.ambient.r;
        ambient[1] += attenuation * l.ambient.g;
        ambient[2] += attenuation * l.ambient.b;
        const float nl = Dot(n, toLight);
        if (nl <= 0.0f)
            continue;
        lit[0] += attenuation * nl * l.diffuse.r;
        lit[1] += attenuation * nl * l.diffuse.g;
        lit[2] += attenuation * nl * l.diffuse.b;
        if (m_specular) {
            float half[3];
            if (m_localViewer) {
                float toEye[3] = {-position[0], -position[1], -position[2]};
                Normalize(toEye);
                for (int i = 0; i < 3; ++i)
                    half[i] = toEye[i] + toLight[i];
            } else {
                half[0] = toLight[0], half[1] = toLight[1], half[2] = toLight[2] + 1.0f;
            }
            Normalize(half);
            const float nh = Dot(n, half);
            if (nh > 0.0f) {
                const float power = m_material.Power > 0.0f ? std::pow(nh, m_material.Power) : 1.0f;
                shine[0] += attenuation * power * l.specular.r;
                shine[1] += attenuation * power * l.specular.g;
                shine[2] += attenuation * power * l.specular.b;
            }
        }
    }
    auto channel = [](float v) { return std::clamp(v, 0.0f, 1.0f) * 255.0f; };
    outDiffuse[0] = channel(me.r + ma.r * ambient[0] + md.r * lit[0]);
    outDiffuse[1] = channel(me.g + ma.g * ambient[1] + md.g * lit[1]);
    outDiffuse[2] = channel(me.b + ma.b * ambient[2] + md.b * lit[2]);
    outDiffuse[3] = channel(md.a);
    outSpecular[0] = m_specular ? channel(ms.r * shine[0]) : 0.0f;
    outSpecular[1] = m_specular ? channel(ms.g * shine[1]) : 0.0f;
    outSpecular[2] = m_specular ? channel(ms.b * shine[2]) : 0.0f;
}

} // namespace vireo::gfx
