// Device state to rasterizer state: once per batch of quads, with the filter choice (the only
// part that depends on the quad) apart.
#include "platform/gfx/RasterTranslation.h"

#include <cmath>

namespace vireo::gfx {

raster::StageOp TranslateOp(DWORD op)
{
    switch (op) {
    case D3DTOP_DISABLE:
        return raster::StageOp::Disable;
    case D3DTOP_SELECTARG1:
        return raster::StageOp::SelectArg1;
    case D3DTOP_SELECTARG2:
        return raster::StageOp::SelectArg2;
    case D3DTOP_MODULATE:
        return raster::StageOp::Modulate;
    case D3DTOP_MODULATE2X:
        return raster::StageOp::Modulate2x;
    case D3DTOP_MODULATE4X:
        return raster::StageOp::Modulate4x;
    case D3DTOP_ADD:
        return raster::StageOp::Add;
    case D3DTOP_ADDSIGNED:
        return raster::StageOp::AddSigned;
    case D3DTOP_SUBTRACT:
        return raster::StageOp::Subtract;
    case D3DTOP_ADDSMOOTH:
        return raster::StageOp::AddSmooth;
    default:
        return raster::StageOp::Modulate;
    }
}

raster::StageArg TranslateArg(DWORD arg)
{
    switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_CURRENT:
        return raster::StageArg::Current;
    case D3DTA_TEXTURE:
        return raster::StageArg::Texture;
    case D3DTA_TFACTOR:
        return raster::StageArg::TFactor;
    default:
        return raster::StageArg::Diffuse; // diffuse, and specular/temp/constant which sprites never use
    }
}

raster::BlendFactor TranslateBlendFactor(DWORD blend)
{
    switch (blend) {
    case D3DBLEND_ZERO:
        return raster::BlendFactor::Zero;
    case D3DBLEND_ONE:
        return raster::BlendFactor::One;
    case D3DBLEND_SRCCOLOR:
        return raster::BlendFactor::SrcColor;
    case D3DBLEND_INVSRCCOLOR:
        return raster::BlendFactor::InvSrcColor;
    case D3DBLEND_SRCALPHA:
    case D3DBLEND_SRCALPHASAT:
        return raster::BlendFactor::SrcAlpha;
    case D3DBLEND_INVSRCALPHA:
        return raster::BlendFactor::InvSrcAlpha;
    case D3DBLEND_DESTALPHA:
        return raster::BlendFactor::DestAlpha;
    case D3DBLEND_INVDESTALPHA:
        return raster::BlendFactor::InvDestAlpha;
    case D3DBLEND_DESTCOLOR:
        return raster::BlendFactor::DestColor;
    case D3DBLEND_INVDESTCOLOR:
        return raster::BlendFactor::InvDestColor;
    default:
        return raster::BlendFactor::One;
    }
}

raster::BlendState TranslateBlend(const SDeviceState& state)
{
    raster::BlendState blend;
    blend.enabled = state.renderStates[D3DRS_ALPHABLENDENABLE] != FALSE;
    const DWORD src = state.renderStates[D3DRS_SRCBLEND];
    const DWORD dst = state.renderStates[D3DRS_DESTBLEND];
    // BOTHSRCALPHA / BOTHINVSRCALPHA set both factors from the source one.
    if (src == D3DBLEND_BOTHSRCALPHA) {
        blend.src = raster::BlendFactor::SrcAlpha;
        blend.dst = raster::BlendFactor::InvSrcAlpha;
    } else if (src == D3DBLEND_BOTHINVSRCALPHA) {
        blend.src = raster::BlendFactor::InvSrcAlpha;
        blend.dst = raster::BlendFactor::SrcAlpha;
    } else {
        blend.src = TranslateBlendFactor(src);
        blend.dst = TranslateBlendFactor(dst);
    }
    return blend;
}

namespace {

raster::Filter StageFilter(const DWORD* sampler, const raster::Quad& quad, const raster::Surface& texture)
{
    // Texels per target pixel along the quad's first edge decides magnify or minify.
    const float edge = std::hypot(quad.edgeUx, quad.edgeUy);
    const float texels = std::fabs(quad.u1 - quad.u0);
    const bool magnify = texture.width == 0 || texels <= edge;
    const DWORD filter = sampler[magnify ? D3DSAMP_MAGFILTER : D3DSAMP_MINFILTER];
    return filter >= D3DTEXF_LINEAR ? raster::Filter::Linear : raster::Filter::Point;
}

} // namespace

raster::QuadState TranslateBatchState(const SDeviceState& state, const raster::Surface (&textures)[2])
{
    raster::QuadState out;
    for (int stage = 0; stage < 2; ++stage) {
        const DWORD* tss = state.stageStates[stage];
        raster::TextureStage& s = out.stages[stage];
        s.colorOp = TranslateOp(tss[D3DTSS_COLOROP]);
        s.colorArg1 = TranslateArg(tss[D3DTSS_COLORARG1]);
        s.colorArg2 = TranslateArg(tss[D3DTSS_COLORARG2]);
        s.alphaOp = TranslateOp(tss[D3DTSS_ALPHAOP]);
        s.alphaArg1 = TranslateArg(tss[D3DTSS_ALPHAARG1]);
        s.alphaArg2 = TranslateArg(tss[D3DTSS_ALPHAARG2]);
        s.texture = textures[stage].width > 0 ? &textures[stage] : nullptr;
    }
    // A disabled stage 0 switches every later stage off as well.
    if (out.stages[0].colorOp == raster::StageOp::Disable)
        out.stages[1].colorOp = out.stages[1].alphaOp = raster::StageOp::Disable;
    out.textureFactor = state.renderStates[D3DRS_TEXTUREFACTOR];
    out.blend = TranslateBlend(state);
    return out;
}

bool FiltersDependOnQuad(const SDeviceState& state)
{
    for (int stage = 0; stage < 2; ++stage) {
        const DWORD* sampler = state.samplerStates[stage];
        if ((sampler[D3DSAMP_MAGFILTER] >= D3DTEXF_LINEAR) != (sampler[D3DSAMP_MINFILTER] >= D3DTEXF_LINEAR))
            return true;
    }
    return false;
}

void ChooseFilters(const SDeviceState& state, const raster::Quad& quad, raster::QuadState& out)
{
    static const raster::Surface kNone{};
    for (int stage = 0; stage < 2; ++stage) {
        raster::TextureStage& s = out.stages[stage];
        s.filter = StageFilter(state.samplerStates[stage], quad, s.texture ? *s.texture : kNone);
    }
}

raster::QuadState TranslateQuadState(const SDeviceState& state, const raster::Quad& quad,
                                     const raster::Surface (&textures)[2])
{
    raster::QuadState out = TranslateBatchState(state, textures);
    ChooseFilters(state, quad, out);
    return out;
}

namespace {

raster::Compare TranslateCompare(DWORD func)
{
    if (func < D3DCMP_NEVER || func > D3DCMP_ALWAYS)
        return raster::Compare::Always;
    return static_cast<raster::Compare>(func - D3DCMP_NEVER);
}

raster::Address TranslateAddress(DWORD address)
{
    // Mirror and border are rare in the games this serves; they take the nearest of the two.
    return address == D3DTADDRESS_CLAMP || address == D3DTADDRESS_BORDER ? raster::Address::Clamp
                                                                         : raster::Address::Wrap;
}

} // namespace

raster::TriState TranslateTriState(const SDeviceState& state, const raster::Surface (&textures)[2], bool hasTexCoords)
{
    raster::TriState out;
    const raster::QuadState stages = TranslateBatchState(state, textures);
    for (int stage = 0; stage < 2; ++stage) {
        raster::TriStage& s = out.stages[stage];
        static_cast<raster::TextureStage&>(s) = stages.stages[stage];
        const DWORD* sampler = state.samplerStates[stage];
        const bool linear =
            sampler[D3DSAMP_MAGFILTER] >= D3DTEXF_LINEAR || sampler[D3DSAMP_MINFILTER] >= D3DTEXF_LINEAR;
        s.filter = linear ? raster::Filter::Linear : raster::Filter::Point;
        s.addressU = TranslateAddress(sampler[D3DSAMP_ADDRESSU]);
        s.addressV = TranslateAddress(sampler[D3DSAMP_ADDRESSV]);
        s.hasCoordinates = hasTexCoords && state.stageStates[stage][D3DTSS_TEXCOORDINDEX] == 0;
    }
    const DWORD* rs = state.renderStates;
    out.textureFactor = rs[D3DRS_TEXTUREFACTOR];
    out.flat = rs[D3DRS_SHADEMODE] == D3DSHADE_FLAT;
    out.specular = rs[D3DRS_SPECULARENABLE] != FALSE;
    out.blend = stages.blend;
    out.alphaTest = rs[D3DRS_ALPHATESTENABLE] != FALSE;
    out.alphaFunc = TranslateCompare(rs[D3DRS_ALPHAFUNC]);
    out.alphaRef = static_cast<int>(rs[D3DRS_ALPHAREF] & 0xFF);
    out.depthFunc = TranslateCompare(rs[D3DRS_ZFUNC]);
    out.depthWrite = rs[D3DRS_ZWRITEENABLE] != FALSE;
    return out;
}

} // namespace vireo::gfx
