// Default values of every device state the software device stores, as a new Direct3D 9
// device reports them. States the rasterizer does not evaluate are still stored and read back.
#include "platform/gfx/DeviceState.h"

#include <cstring>

namespace vireo::gfx {

namespace {

void SetIdentity(D3DMATRIX& m)
{
    std::memset(&m, 0, sizeof m);
    m._11 = m._22 = m._33 = m._44 = 1.0f;
}

struct RenderStateDefault {
    D3DRENDERSTATETYPE state;
    DWORD value;
};

constexpr RenderStateDefault kRenderStateDefaults[] = {
    {D3DRS_FILLMODE, D3DFILL_SOLID},
    {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
    {D3DRS_ZWRITEENABLE, TRUE},
    {D3DRS_ALPHATESTENABLE, FALSE},
    {D3DRS_LASTPIXEL, TRUE},
    {D3DRS_SRCBLEND, D3DBLEND_ONE},
    {D3DRS_DESTBLEND, D3DBLEND_ZERO},
    {D3DRS_CULLMODE, D3DCULL_CCW},
    {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
    {D3DRS_ALPHAREF, 0},
    {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS},
    {D3DRS_DITHERENABLE, FALSE},
    {D3DRS_ALPHABLENDENABLE, FALSE},
    {D3DRS_FOGENABLE, FALSE},
    {D3DRS_SPECULARENABLE, FALSE},
    {D3DRS_RANGEFOGENABLE, FALSE},
    {D3DRS_STENCILENABLE, FALSE},
    {D3DRS_TEXTUREFACTOR, 0xFFFFFFFF},
    {D3DRS_WRAP0, 0},
    {D3DRS_CLIPPING, TRUE},
    {D3DRS_LIGHTING, TRUE},
    {D3DRS_AMBIENT, 0},
    {D3DRS_COLORVERTEX, TRUE},
    {D3DRS_LOCALVIEWER, TRUE},
    {D3DRS_NORMALIZENORMALS, FALSE},
    {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1},
    {D3DRS_SPECULARMATERIALSOURCE, D3DMCS_COLOR2},
    {D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL},
    {D3DRS_EMISSIVEMATERIALSOURCE, D3DMCS_MATERIAL},
    {D3DRS_VERTEXBLEND, 0},
    {D3DRS_CLIPPLANEENABLE, 0},
    {D3DRS_INDEXEDVERTEXBLENDENABLE, FALSE},
    {D3DRS_COLORWRITEENABLE, 0xF},
    {D3DRS_BLENDOP, D3DBLENDOP_ADD},
    {D3DRS_SCISSORTESTENABLE, FALSE},
    {D3DRS_ENABLEADAPTIVETESSELLATION, FALSE},
    {D3DRS_SRGBWRITEENABLE, FALSE},
    {D3DRS_SEPARATEALPHABLENDENABLE, FALSE},
    {D3DRS_SRCBLENDALPHA, D3DBLEND_ONE},
    {D3DRS_DESTBLENDALPHA, D3DBLEND_ZERO},
    {D3DRS_BLENDOPALPHA, D3DBLENDOP_ADD},
};

} // namespace

void SetDeviceDefaults(SDeviceState& state, bool depthBuffer, DWORD width, DWORD height)
{
    std::memset(&state, 0, sizeof state);
    for (const auto& entry : kRenderStateDefaults)
        state.renderStates[entry.state] = entry.value;
    state.renderStates[D3DRS_ZENABLE] = depthBuffer ? D3DZB_TRUE : D3DZB_FALSE;

    for (DWORD stage = 0; stage < D3D_MAX_TEXTURE_STAGES; ++stage) {
        DWORD* tss = state.stageStates[stage];
        tss[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        tss[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        tss[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        tss[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        tss[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        tss[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        tss[D3DTSS_COLORARG0] = D3DTA_CURRENT;
        tss[D3DTSS_ALPHAARG0] = D3DTA_CURRENT;
        tss[D3DTSS_RESULTARG] = D3DTA_CURRENT;
        tss[D3DTSS_TEXCOORDINDEX] = stage;
        tss[D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_DISABLE;

        DWORD* samp = state.samplerStates[stage];
        samp[D3DSAMP_ADDRESSU] = samp[D3DSAMP_ADDRESSV] = samp[D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
        samp[D3DSAMP_MAGFILTER] = samp[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
        samp[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
        samp[D3DSAMP_MAXANISOTROPY] = 1;
    }

    for (auto& m : state.world)
        SetIdentity(m);
    SetIdentity(state.view);
    SetIdentity(state.projection);
    for (auto& m : state.textureTransforms)
        SetIdentity(m);
    state.viewport = {0, 0, width, height, 0.0f, 1.0f};
}

D3DMATRIX* TransformSlot(SDeviceState& state, D3DTRANSFORMSTATETYPE type)
{
    const DWORD id = type;
    if (id == D3DTS_VIEW)
        return &state.view;
    if (id == D3DTS_PROJECTION)
        return &state.projection;
    if (id >= D3DTS_TEXTURE0 && id <= D3DTS_TEXTURE7)
        return &state.textureTransforms[id - D3DTS_TEXTURE0];
    if (id >= D3DTS_WORLD && id < D3DTS_WORLD + kWorldMatrices)
        return &state.world[id - D3DTS_WORLD];
    return nullptr;
}

} // namespace vireo::gfx
