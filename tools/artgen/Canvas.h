// An RGBA canvas for the art generator: shapes given as inside-tests are painted with 4 x 4
// supersampled coverage and blended source-over, and the result is written as a PNG.
// It draws only what the engine's own pictures need; it is no general graphics library.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace artgen {

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0; // straight (not premultiplied), 0..1
};

Rgba Mix(const Rgba& a, const Rgba& b, float t);
Rgba FromHex(std::uint32_t rgb, float alpha = 1.0f);

class Canvas {
  public:
    Canvas(int width, int height);

    int Width() const { return m_width; }
    int Height() const { return m_height; }

    // Paints every pixel that `inside` covers (tested at 16 points per pixel, coordinates in
    // pixels with pixel centres at +0.5) with `colour`, which may vary over the canvas.
    void Paint(const std::function<bool(float x, float y)>& inside,
               const std::function<Rgba(float x, float y)>& colour);
    void Paint(const std::function<bool(float x, float y)>& inside, const Rgba& colour);

    // Sets every pixel whose centre `inside` covers to `colour`: one sample, no blending. For
    // colour-keyed pictures, where a blended edge would leave a fringe the key cannot remove.
    void Fill(const std::function<bool(float x, float y)>& inside, const Rgba& colour);

    // A8R8G8B8 words, top row first (what the engine's decoder gives back).
    std::vector<std::uint32_t> Argb() const;

    // PNG bytes (8-bit RGBA, no time stamp, fixed settings, so equal canvases give equal
    // files); empty when libpng refused.
    std::vector<std::uint8_t> EncodePng() const;

  private:
    void Blend(int x, int y, const Rgba& colour, float coverage);

    int m_width;
    int m_height;
    std::vector<Rgba> m_pixels;
};

// Inside-tests the pictures are made of.
bool InCircle(float x, float y, float cx, float cy, float radius);
// A segment with round ends (a thick stroke) of the given half width.
bool InCapsule(float x, float y, float ax, float ay, float bx, float by, float halfWidth);
bool InRoundRect(float x, float y, float left, float top, float right, float bottom, float radius);

// Writes bytes to a file; false with a message on stderr when it cannot.
bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace artgen
