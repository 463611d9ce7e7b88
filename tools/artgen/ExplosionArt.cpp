// Draws the explosion frames from a few radial formulas (fireball, ring, sparks) over a clear
// canvas, one colour per pixel, so the frames are exact and the same on every build. It does
// not write files.
#include "ExplosionArt.h"

#include <algorithm>
#include <cmath>

namespace artgen {
namespace {

constexpr int kFrames = 8;
constexpr int kSize = 64;
constexpr float kPi = 3.14159265358979f;
constexpr int kSparks = 9;

float Clamp01(float v)
{
    return std::clamp(v, 0.0f, 1.0f);
}

// Colour of burning gas by heat: white-yellow, orange, red, then dark smoke.
Rgba Flame(float heat)
{
    const Rgba stops[] = {FromHex(0x3A3430), FromHex(0xB02810), FromHex(0xF07018), FromHex(0xFFD040),
                          FromHex(0xFFFFE0)};
    const float at = Clamp01(heat) * 4.0f;
    const int i = std::min(3, static_cast<int>(at));
    return Mix(stops[i], stops[i + 1], at - static_cast<float>(i));
}

Canvas DrawExplosionFrame(int index)
{
    const float p = (index + 1) / static_cast<float>(kFrames); // progress, 1/8 ... 1
    const float c = kSize / 2.0f;
    const float radius = 9.0f + 20.0f * std::sqrt(p);
    const float ring = 8.0f + 23.0f * p;
    Canvas canvas(kSize, kSize);
    canvas.Paint([](float, float) { return true; },
                 [&](float x, float y) {
                     const float dx = x - c, dy = y - c;
                     const float r = std::hypot(dx, dy);
                     const float angle = std::atan2(dy, dx);
                     // A ragged edge: lobes that turn a little from frame to frame.
                     const float lobes =
                         0.9f + 0.05f * std::sin(7 * angle + 2 * p) + 0.05f * std::cos(11 * angle - 3 * p);
                     const float d = r / (radius * lobes);
                     const float body = Clamp01((1.0f - d) * 3.0f);
                     const float heat = (1.0f - d * 0.8f) * (1.15f - p);
                     Rgba out = Flame(heat);
                     out.a = body * (1.0f - 0.75f * p * p);

                     // The shock ring, bright early and gone by the end.
                     const float ringGlow = Clamp01(1.0f - std::fabs(r - ring) / 2.5f) * (1.0f - p) * 0.9f;
                     // Sparks: short streaks flying out along fixed directions.
                     float spark = 0.0f;
                     for (int s = 0; s < kSparks; ++s) {
                         const float a = s * (2 * kPi / kSparks) + 0.4f * std::sin(s * 1.7f);
                         const float reach = (12.0f + 4.0f * (s % 3)) + 18.0f * p;
                         const float along = dx * std::cos(a) + dy * std::sin(a);
                         const float across = std::fabs(-dx * std::sin(a) + dy * std::cos(a));
                         if (across < 1.2f && along > reach - 5.0f && along < reach)
                             spark = std::max(spark, (1.0f - across / 1.2f) * (1.0f - p * 0.8f));
                     }
                     const float extra = std::max(ringGlow, spark);
                     if (extra > out.a) {
                         // Hot white-yellow where the ring or a spark outshines the gas behind it.
                         out = Mix(FromHex(0xFFF0A0), out, out.a / extra);
                         out.a = extra;
                     }
                     return out;
                 });
    return canvas;
}

} // namespace

SpritePackage DrawExplosionPackage()
{
    return MakePackage(kFrames, DrawExplosionFrame,
                       "; The demo's explosion: sequence 0 (every picture) is one burst on the game clock.\r\n"
                       "[Picture]\r\nPictureCount=8\r\nColorKey_R=255\r\nColorKey_G=0\r\nColorKey_B=255\r\n\r\n"
                       "[Animation]\r\nFrameDelay=2\r\nSeqCount=0\r\n\r\n"
                       "[HitBox]\r\nHitBoxCount=1\r\n000=8,8,56,56\r\n\r\n"
                       "[CenterPoint]\r\n" +
                           CenterPoints(1, "32,32"));
}

} // namespace artgen
