// Draws the demo's pictures from shapes: each one shows off a different draw of the engine
// (plain and tinted, rotated and faded, masked, stretched). It does not write files.
#include "DemoArt.h"

#include <cmath>

namespace artgen {
namespace {

constexpr int kSize = 64;

Canvas DrawCrate()
{
    Canvas canvas(kSize, kSize);
    const Rgba dark = FromHex(0x5D3A1A);
    const Rgba plank = FromHex(0xB5793A);
    const Rgba plankLight = FromHex(0xD9A25E);
    canvas.Paint([](float, float) { return true; }, dark);
    // Planks with a grain that runs across them.
    canvas.Paint(
        [](float x, float y) { return x > 6 && x < 58 && y > 6 && y < 58 && std::fmod(y - 6, 13.0f) > 1.2f; },
        [&](float x, float y) { return Mix(plank, plankLight, 0.5f + 0.5f * std::sin(x * 0.35f + y * 0.9f)); });
    // The frame and the diagonal brace.
    const Rgba frame = FromHex(0x8A5526);
    canvas.Paint(
        [](float x, float y) { return (x < 8 || x > 56 || y < 8 || y > 56) && x > 1 && x < 63 && y > 1 && y < 63; },
        frame);
    canvas.Paint([](float x, float y) { return InCapsule(x, y, 10, 54, 54, 10, 4.0f); }, frame);
    // Nail heads in the corners.
    const Rgba nail = FromHex(0xC9C9C9);
    for (float cx : {4.5f, 59.5f})
        for (float cy : {4.5f, 59.5f})
            canvas.Paint([cx, cy](float x, float y) { return InCircle(x, y, cx, cy, 1.8f); }, nail);
    return canvas;
}

Canvas DrawLeaf()
{
    Canvas canvas(kSize, kSize);
    // The leaf lies along the diagonal from bottom left to top right: (u, v) are the
    // distances along and across that axis from the middle.
    const auto local = [](float x, float y, float& u, float& v) {
        const float dx = x - 32.0f;
        const float dy = y - 32.0f;
        u = (dx - dy) * 0.70710678f;
        v = (dx + dy) * 0.70710678f;
    };
    constexpr float kHalfLength = 26.0f;
    constexpr float kHalfWidth = 12.0f;
    const float radius = (kHalfLength * kHalfLength + kHalfWidth * kHalfWidth) / (2 * kHalfWidth);
    const float offset = radius - kHalfWidth;
    const Rgba tip = FromHex(0xB4E05A);
    const Rgba base = FromHex(0x2F8F3A);
    canvas.Paint(
        [&](float x, float y) {
            float u = 0, v = 0;
            local(x, y, u, v);
            return u * u + (v - offset) * (v - offset) <= radius * radius &&
                   u * u + (v + offset) * (v + offset) <= radius * radius;
        },
        [&](float x, float y) {
            float u = 0, v = 0;
            local(x, y, u, v);
            return Mix(base, tip, (u + kHalfLength) / (2 * kHalfLength));
        });
    // The stem and the middle vein.
    canvas.Paint([](float x, float y) { return InCapsule(x, y, 4, 60, 14, 50, 1.6f); }, FromHex(0x6B4A1E));
    canvas.Paint([](float x, float y) { return InCapsule(x, y, 14, 50, 48, 16, 1.0f); }, FromHex(0xE8F5C8, 0.7f));
    return canvas;
}

Canvas DrawGlowMask()
{
    Canvas canvas(kSize, kSize);
    // White everywhere; only the alpha falls off from the middle, so the masked picture keeps
    // its colours and fades out at the edge of a circle.
    canvas.Paint([](float, float) { return true; },
                 [](float x, float y) {
                     const float d = std::hypot(x - 32.0f, y - 32.0f) / 32.0f;
                     return FromHex(0xFFFFFF, d >= 1.0f ? 0.0f : 1.0f - d * d);
                 });
    return canvas;
}

Canvas DrawHills()
{
    Canvas canvas(128, 64);
    const Rgba skyTop = FromHex(0x2A4C7A);
    const Rgba skyLow = FromHex(0x8DB7D9);
    canvas.Paint([](float, float) { return true; }, [&](float, float y) { return Mix(skyTop, skyLow, y / 64.0f); });
    canvas.Paint([](float x, float y) { return y > 38 + 8 * std::sin(x * 0.06f + 1.0f); }, FromHex(0x3F7F3A));
    canvas.Paint([](float x, float y) { return y > 48 + 5 * std::sin(x * 0.11f + 2.5f); }, FromHex(0x2C5F2A));
    canvas.Paint([](float x, float y) { return InCircle(x, y, 100, 14, 6); }, FromHex(0xFFF3B0));
    return canvas;
}

} // namespace

std::vector<std::pair<std::string, Canvas>> DrawDemoPictures()
{
    std::vector<std::pair<std::string, Canvas>> pictures;
    pictures.emplace_back("crate.png", DrawCrate());
    pictures.emplace_back("leaf.png", DrawLeaf());
    pictures.emplace_back("glow_mask.png", DrawGlowMask());
    pictures.emplace_back("hills.png", DrawHills());
    return pictures;
}

} // namespace artgen
