// Draws the demo's sprite frames from shapes and writes their Desc.ini texts. Every Desc.ini
// holds every key the loader looks up, so loading never rewrites it. It does not write files.
#include "SpriteArt.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <utility>

namespace artgen {
namespace {

constexpr float kPi = 3.14159265358979f;

struct Point {
    float x = 0, y = 0;
};

struct Pose {
    float swing;  // leg and arm swing, radians
    float lift;   // pixels the whole body rises
    float armsUp; // 0 hanging .. 1 raised
    float leg;    // hip to foot, pixels
};

Pose HeroPose(int index)
{
    if (index < 8) {
        // The hips sink as the stride opens, so the leading foot stays on the ground.
        const float phase = index / 8.0f * 2 * kPi;
        const float swing = 0.55f * std::sin(phase);
        return Pose{swing, 20.0f * std::cos(swing) - 20.0f, 0.0f, 20.0f};
    }
    // Crouch, push, stretch, tuck: the feet stay on the picture's bottom edge or above it,
    // since the centre point (24,63) puts the bottom row on the ground.
    static constexpr std::array<Pose, 4> kJump = {Pose{0.6f, -4, 0.2f, 20}, Pose{0.2f, 0, 0.9f, 21},
                                                  Pose{0.05f, 2, 1.0f, 20}, Pose{0.5f, 3, 0.5f, 16}};
    return kJump[static_cast<std::size_t>(index - 8)];
}

Canvas DrawHeroFrame(int index)
{
    const Pose pose = HeroPose(index);
    const Point hip{24, 42 - pose.lift};
    const Point shoulder{24, 26 - pose.lift};
    const Point head{24, 15 - pose.lift};
    constexpr float kArm = 14;

    Canvas canvas(48, 64);
    canvas.Fill([](float, float) { return true; }, HeroColourKey());
    for (float s : {pose.swing, -pose.swing}) {
        const Point foot{hip.x + pose.leg * std::sin(s), hip.y + pose.leg * std::cos(s)};
        canvas.Fill([&](float x, float y) { return InCapsule(x, y, hip.x, hip.y, foot.x, foot.y, 2.5f); },
                    FromHex(0x28325A));
    }
    canvas.Fill([&](float x, float y) { return InCapsule(x, y, shoulder.x, shoulder.y, hip.x, hip.y, 5.5f); },
                FromHex(0x286EC8));
    for (float s : {-pose.swing, pose.swing}) {
        const float angle = s + pose.armsUp * 2.4f;
        const Point hand{shoulder.x + kArm * std::sin(angle), shoulder.y + kArm * std::cos(angle)};
        canvas.Fill([&](float x, float y) { return InCapsule(x, y, shoulder.x, shoulder.y, hand.x, hand.y, 2.0f); },
                    FromHex(0xE6B48C));
    }
    canvas.Fill([&](float x, float y) { return InCircle(x, y, head.x, head.y, 8); }, FromHex(0xF0C396));
    canvas.Fill(
        [&](float x, float y) { return std::fabs(x - (head.x + 3)) < 1.2f && std::fabs(y - (head.y - 1)) < 1.2f; },
        FromHex(0x14141E));
    return canvas;
}

Canvas DrawSparkleFrame(int index)
{
    constexpr float kCentre = 16;
    const float turn = index / 6.0f * (kPi / 2);
    const float pulse = 0.75f + 0.25f * std::sin(index / 6.0f * 2 * kPi);
    Canvas canvas(32, 32);
    // Painted once over the clear canvas, so each pixel gets exactly the colour computed here.
    canvas.Paint(
        [](float, float) { return true; },
        [&](float x, float y) {
            const float dx = x - kCentre;
            const float dy = y - kCentre;
            const float r = std::hypot(dx, dy);
            const float spike = std::pow(std::fabs(std::cos(2 * (std::atan2(dy, dx) - turn))), 8.0f);
            const float reach = (4 + 11 * spike) * pulse;
            const float core = std::fmax(0.0f, 1 - r / reach);
            const float glow = std::fmax(0.0f, 1 - r / (14 * pulse)) * 0.35f;
            const float warm = std::fmin(1.0f, core * 1.5f);
            return Rgba{1.0f, (200 + 55 * warm) / 255.0f, (90 + 165 * warm) / 255.0f, std::fmin(1.0f, core * 2 + glow)};
        });
    return canvas;
}

} // namespace

Rgba HeroColourKey()
{
    return FromHex(0xFF00FF);
}

std::string CenterPoints(int count, const char* point)
{
    std::string out;
    char line[32];
    for (int i = 0; i < count; ++i) {
        std::snprintf(line, sizeof line, "%03d=%s\r\n", i, point);
        out += line;
    }
    return out;
}

SpritePackage MakePackage(int frames, Canvas (*draw)(int), std::string desc)
{
    SpritePackage package;
    for (int i = 0; i < frames; ++i)
        package.frames.push_back(draw(i));
    package.desc = std::move(desc);
    return package;
}

SpritePackage DrawHeroPackage()
{
    return MakePackage(12, DrawHeroFrame,
                       "; The demo's hero: pictures 0-7 walk, 8-11 jump (crouch, push, stretch, tuck).\r\n"
                       "[Picture]\r\nPictureCount=12\r\nColorKey_R=255\r\nColorKey_G=0\r\nColorKey_B=255\r\n\r\n"
                       "[Animation]\r\nFrameDelay=4\r\nSeqCount=3\r\n"
                       "Seq001=0,7,1 ;walk\r\nSeq002=8,11,1 ;jump\r\nSeq003=11,8,1 ;land: the jump backwards\r\n\r\n"
                       "[HitBox]\r\nHitBoxCount=2\r\n000=14,20,34,64 ;body\r\n001=16,4,32,22 ;head\r\n\r\n"
                       "[CenterPoint]\r\n" +
                           CenterPoints(12, "24,63"));
}

SpritePackage DrawSparklePackage()
{
    return MakePackage(6, DrawSparkleFrame,
                       "; A sparkle on the UI clock: it keeps turning while the game is paused.\r\n"
                       "[Picture]\r\nPictureCount=6\r\nColorKey_R=255\r\nColorKey_G=0\r\nColorKey_B=255\r\n\r\n"
                       "[Animation]\r\nFrameDelay=2\r\nSeqCount=2\r\nSeq001=0,5,1\r\nSeq002=5,0,1\r\n\r\n"
                       "[HitBox]\r\nHitBoxCount=1\r\n000=0,0,32,32\r\n\r\n"
                       "[CenterPoint]\r\n" +
                           CenterPoints(1, "16,16"));
}

} // namespace artgen
