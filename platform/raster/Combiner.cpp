// Scalar stage operations, clamp-addressed sampling and blend factors for the reference path
// and lines. Deliberately plain: one channel or one pixel per call.
#include "platform/raster/Combiner.h"

#include "platform/raster/Pixel.h"

#include <algorithm>

namespace vireo::raster {

namespace {

int Saturate(int v)
{
    return std::clamp(v, 0, 255);
}

// round(t / 255) for any non-negative t (255 is odd, so there are no ties).
int DivRound255(int t)
{
    return (t + 127) / 255;
}

int Factor(BlendFactor f, std::uint32_t src, std::uint32_t dst, int c)
{
    switch (f) {
    case BlendFactor::Zero:
        return 0;
    case BlendFactor::One:
        return 255;
    case BlendFactor::SrcColor:
        return Channel(src, c);
    case BlendFactor::InvSrcColor:
        return 255 - Channel(src, c);
    case BlendFactor::SrcAlpha:
        return Channel(src, 3);
    case BlendFactor::InvSrcAlpha:
        return 255 - Channel(src, 3);
    case BlendFactor::DestAlpha:
        return Channel(dst, 3);
    case BlendFactor::InvDestAlpha:
        return 255 - Channel(dst, 3);
    case BlendFactor::DestColor:
        return Channel(dst, c);
    case BlendFactor::InvDestColor:
        return 255 - Channel(dst, c);
    }
    return 0;
}

int Clamp(int v, int hi)
{
    return std::clamp(v, 0, hi);
}

} // namespace

int StageOpChannel(StageOp op, int a, int b)
{
    switch (op) {
    case StageOp::Disable:
    case StageOp::SelectArg1:
        return a;
    case StageOp::SelectArg2:
        return b;
    case StageOp::Modulate:
        return DivRound255(a * b);
    case StageOp::Modulate2x:
        return Saturate(DivRound255(2 * a * b));
    case StageOp::Modulate4x:
        return Saturate(DivRound255(4 * a * b));
    case StageOp::Add:
        return Saturate(a + b);
    case StageOp::AddSigned:
        return Saturate(a + b - 127); // a + b - 127.5, halves rounded up
    case StageOp::Subtract:
        return Saturate(a - b);
    case StageOp::AddSmooth:
        return a + b - DivRound255(a * b);
    }
    return a;
}

std::uint32_t BlendPixel(std::uint32_t src, std::uint32_t dst, const BlendState& blend)
{
    if (!blend.enabled) {
        return src;
    }
    int out[4];
    for (int c = 0; c < 4; ++c) {
        const int t =
            Channel(src, c) * Factor(blend.src, src, dst, c) + Channel(dst, c) * Factor(blend.dst, src, dst, c);
        out[c] = Saturate(DivRound255(t));
    }
    return PackChannels(out[0], out[1], out[2], out[3]);
}

std::uint32_t SamplePoint(const Surface& texture, std::int32_t u, std::int32_t v)
{
    const int x = Clamp((u + 0x8000) >> 16, texture.width - 1);
    const int y = Clamp((v + 0x8000) >> 16, texture.height - 1);
    return texture.Row(y)[x];
}

std::uint32_t SampleBilinear(const Surface& texture, std::int32_t u, std::int32_t v)
{
    const int x = u >> 16, y = v >> 16;
    const int fx = (u >> 10) & 63, fy = (v >> 8) & 0xFF;
    const int x0 = Clamp(x, texture.width - 1), x1 = Clamp(x + 1, texture.width - 1);
    const std::uint32_t* r0 = texture.Row(Clamp(y, texture.height - 1));
    const std::uint32_t* r1 = texture.Row(Clamp(y + 1, texture.height - 1));
    return Bilerp(r0[x0], r0[x1], r1[x0], r1[x1], fx, fy);
}

} // namespace vireo::raster
