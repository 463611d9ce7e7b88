// Draws the start-up logo procedurally: a badge with a rim and a top-to-bottom leaf-green
// gradient, a white bird whose wings make a "V", and "VIREO" in block letters beneath.
// It does not write files.
#include "LogoArt.h"

#include <cstring>

namespace artgen {
namespace {

// 5 x 7 block letters, one string per row, '#' set.
struct Glyph {
    char letter;
    const char* rows[7];
};

constexpr Glyph kGlyphs[] = {
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'V', {"#...#", "#...#", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."}},
};

const Glyph* FindGlyph(char letter)
{
    for (const Glyph& glyph : kGlyphs)
        if (glyph.letter == letter)
            return &glyph;
    return nullptr;
}

bool InTriangle(float x, float y, float ax, float ay, float bx, float by, float cx, float cy)
{
    const auto side = [&](float px, float py, float qx, float qy) {
        return (qx - px) * (y - py) - (qy - py) * (x - px);
    };
    const float d1 = side(ax, ay, bx, by);
    const float d2 = side(bx, by, cx, cy);
    const float d3 = side(cx, cy, ax, ay);
    const bool negative = d1 < 0 || d2 < 0 || d3 < 0;
    const bool positive = d1 > 0 || d2 > 0 || d3 > 0;
    return !(negative && positive);
}

} // namespace

int BlockTextWidth(const char* text, int scale)
{
    const int letters = static_cast<int>(std::strlen(text));
    return letters > 0 ? (letters * 6 - 1) * scale : 0;
}

int DrawBlockText(Canvas& canvas, const char* text, int x, int y, int scale, const Rgba& colour)
{
    int left = x;
    for (const char* p = text; *p; ++p, left += 6 * scale) {
        const Glyph* glyph = FindGlyph(*p);
        if (!glyph)
            continue;
        const int gx = left;
        canvas.Paint(
            [&](float px, float py) {
                const int col = static_cast<int>((px - gx) / scale);
                const int row = static_cast<int>((py - y) / scale);
                return px >= gx && py >= y && col < 5 && row < 7 && glyph->rows[row][col] == '#';
            },
            colour);
    }
    return BlockTextWidth(text, scale);
}

Canvas DrawLogo()
{
    Canvas canvas(kLogoWidth, kLogoHeight);
    constexpr float kCx = 60.0f;
    constexpr float kCy = 50.0f;
    constexpr float kRadius = 47.0f;

    // Badge: a dark rim, then the leaf gradient, light at the top.
    const Rgba rim = FromHex(0x1B5E20);
    const Rgba light = FromHex(0xA5D63F);
    const Rgba deep = FromHex(0x2E7D32);
    canvas.Paint([&](float x, float y) { return InCircle(x, y, kCx, kCy, kRadius); }, rim);
    canvas.Paint([&](float x, float y) { return InCircle(x, y, kCx, kCy, kRadius - 3.5f); },
                 [&](float, float y) { return Mix(light, deep, (y - (kCy - kRadius)) / (2 * kRadius)); });
    // A soft sheen on the upper left, as on a leaf in the light.
    canvas.Paint(
        [&](float x, float y) { return InCircle(x, y, kCx - 14, kCy - 18, 22) && InCircle(x, y, kCx, kCy, 40); },
        FromHex(0xFFFFFF, 0.16f));

    // The bird: a head with a beak and an eye, one short wing down to the body and one long
    // wing sweeping up to the right, so the whole reads as a "V".
    const Rgba white = FromHex(0xFBFFF5);
    canvas.Paint(
        [&](float x, float y) {
            return InCapsule(x, y, 38, 34, 57, 72, 6.0f) || InCapsule(x, y, 57, 72, 89, 24, 6.5f) ||
                   InCircle(x, y, 36, 29, 8.0f) || InTriangle(x, y, 29, 25, 19, 30, 29, 33);
        },
        white);
    canvas.Paint([&](float x, float y) { return InCircle(x, y, 35, 27.5f, 2.2f); }, FromHex(0x1B3A12));
    // The tail: two short feathers under the body.
    canvas.Paint(
        [&](float x, float y) {
            return InCapsule(x, y, 57, 72, 52, 84, 2.5f) || InCapsule(x, y, 57, 72, 63, 84, 2.5f);
        },
        white);

    // The name on a dark plaque, readable on a black or a light clear colour.
    canvas.Paint([](float x, float y) { return InRoundRect(x, y, 8, 101, 112, 129, 6); }, rim);
    const int scale = 3;
    const int width = BlockTextWidth("VIREO", scale);
    DrawBlockText(canvas, "VIREO", (kLogoWidth - width) / 2, 105, scale, FromHex(0xF1F8E9));
    return canvas;
}

} // namespace artgen
