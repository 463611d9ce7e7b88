// Scalar pixel arithmetic shared by the reference path and the span tails: channel access in
// memory order (B, G, R, A) and the rounded divisions by 255 every blend is built on.
// No SIMD here; the span kernels reproduce exactly these roundings with vectors.
#pragma once

#include <cstdint>

namespace vireo::raster {

// round(t / 255) for 0 <= t <= 255 * 255, the form the vector code uses: no division.
inline int Div255(int t)
{
    t += 128;
    return (t + (t >> 8)) >> 8;
}

// round(x * k / 255) for channels 0..255.
inline int Mul255(int x, int k)
{
    return Div255(x * k);
}

// Channel c of an A8R8G8B8 pixel in memory order: 0 blue, 1 green, 2 red, 3 alpha.
inline int Channel(std::uint32_t pixel, int c)
{
    return static_cast<int>((pixel >> (8 * c)) & 0xFFu);
}

inline std::uint32_t PackChannels(int b, int g, int r, int a)
{
    return static_cast<std::uint32_t>(b) | (static_cast<std::uint32_t>(g) << 8) |
           (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(a) << 24);
}

// Source-alpha over: every channel, alpha included, becomes s * sa + d * (1 - sa), rounded once.
inline std::uint32_t BlendOver(std::uint32_t src, std::uint32_t dst)
{
    const int a = Channel(src, 3);
    const int ia = 255 - a;
    return PackChannels(Div255(Channel(src, 0) * a + Channel(dst, 0) * ia),
                        Div255(Channel(src, 1) * a + Channel(dst, 1) * ia),
                        Div255(Channel(src, 2) * a + Channel(dst, 2) * ia), Div255(a * a + Channel(dst, 3) * ia));
}

// Per-channel affine tint out = add + texel * mul / 255, the shape to which select, modulate
// and add-smooth against a constant all reduce (add-smooth: add = k, mul = 255 - k).
struct Tint {
    std::uint16_t mul[4]; // memory order B, G, R, A
    std::uint16_t add[4];
};

inline bool IsIdentity(const Tint& tint)
{
    for (int c = 0; c < 4; ++c) {
        if (tint.mul[c] != 255 || tint.add[c] != 0) {
            return false;
        }
    }
    return true;
}

inline std::uint32_t ApplyTint(std::uint32_t texel, const Tint& tint)
{
    return PackChannels(
        tint.add[0] + Mul255(Channel(texel, 0), tint.mul[0]), tint.add[1] + Mul255(Channel(texel, 1), tint.mul[1]),
        tint.add[2] + Mul255(Channel(texel, 2), tint.mul[2]), tint.add[3] + Mul255(Channel(texel, 3), tint.mul[3]));
}

} // namespace vireo::raster
