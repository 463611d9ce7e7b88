// The art generator's canvas: supersampled shape painting and the PNG writer (libpng).
// Nothing here knows which picture is being drawn.
#include "Canvas.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace artgen {

Rgba Mix(const Rgba& a, const Rgba& b, float t)
{
    t = std::clamp(t, 0.0f, 1.0f);
    return Rgba{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Rgba FromHex(std::uint32_t rgb, float alpha)
{
    return Rgba{((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f, (rgb & 0xFF) / 255.0f, alpha};
}

Canvas::Canvas(int width, int height)
    : m_width(width), m_height(height), m_pixels(static_cast<std::size_t>(width) * height)
{
}

void Canvas::Paint(const std::function<bool(float, float)>& inside, const std::function<Rgba(float, float)>& colour)
{
    constexpr int kSamples = 4;
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            int hits = 0;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx)
                    hits += inside(x + (sx + 0.5f) / kSamples, y + (sy + 0.5f) / kSamples) ? 1 : 0;
            if (hits)
                Blend(x, y, colour(x + 0.5f, y + 0.5f), static_cast<float>(hits) / (kSamples * kSamples));
        }
    }
}

void Canvas::Paint(const std::function<bool(float, float)>& inside, const Rgba& colour)
{
    Paint(inside, [&colour](float, float) { return colour; });
}

void Canvas::Fill(const std::function<bool(float, float)>& inside, const Rgba& colour)
{
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
            if (inside(x + 0.5f, y + 0.5f))
                m_pixels[static_cast<std::size_t>(y) * m_width + x] = colour;
}

void Canvas::Blend(int x, int y, const Rgba& colour, float coverage)
{
    Rgba& dst = m_pixels[static_cast<std::size_t>(y) * m_width + x];
    const float sa = colour.a * coverage;
    const float outA = sa + dst.a * (1.0f - sa);
    if (outA <= 0.0f) {
        dst = Rgba{};
        return;
    }
    const auto channel = [&](float s, float d) { return (s * sa + d * dst.a * (1.0f - sa)) / outA; };
    dst = Rgba{channel(colour.r, dst.r), channel(colour.g, dst.g), channel(colour.b, dst.b), outA};
}

namespace {

std::uint8_t ToByte(float v)
{
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
}

void AppendBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

} // namespace

std::vector<std::uint32_t> Canvas::Argb() const
{
    std::vector<std::uint32_t> out;
    out.reserve(m_pixels.size());
    for (const Rgba& p : m_pixels)
        out.push_back(static_cast<std::uint32_t>(ToByte(p.a)) << 24 | static_cast<std::uint32_t>(ToByte(p.r)) << 16 |
                      static_cast<std::uint32_t>(ToByte(p.g)) << 8 | ToByte(p.b));
    return out;
}

std::vector<std::uint8_t> Canvas::EncodePng() const
{
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(m_width) * m_height * 4);
    for (std::size_t i = 0; i < m_pixels.size(); ++i) {
        const Rgba& p = m_pixels[i];
        // Fully transparent pixels carry no colour, which keeps the file small and stable.
        const bool clear = ToByte(p.a) == 0;
        rows[i * 4 + 0] = clear ? 0 : ToByte(p.r);
        rows[i * 4 + 1] = clear ? 0 : ToByte(p.g);
        rows[i * 4 + 2] = clear ? 0 : ToByte(p.b);
        rows[i * 4 + 3] = ToByte(p.a);
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return {};
    }
    std::vector<png_bytep> rowPointers(static_cast<std::size_t>(m_height));
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, AppendBytes, NoFlush);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, static_cast<png_uint_32>(m_width), static_cast<png_uint_32>(m_height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < m_height; ++y)
        rowPointers[static_cast<std::size_t>(y)] = rows.data() + static_cast<std::size_t>(y) * m_width * 4;
    png_write_image(png, rowPointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

bool InCircle(float x, float y, float cx, float cy, float radius)
{
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
}

bool InCapsule(float x, float y, float ax, float ay, float bx, float by, float halfWidth)
{
    const float dx = bx - ax;
    const float dy = by - ay;
    const float lengthSq = dx * dx + dy * dy;
    float t = lengthSq > 0 ? ((x - ax) * dx + (y - ay) * dy) / lengthSq : 0.0f;
    t = std::clamp(t, 0.0f, 1.0f);
    return InCircle(x, y, ax + t * dx, ay + t * dy, halfWidth);
}

bool InRoundRect(float x, float y, float left, float top, float right, float bottom, float radius)
{
    if (x < left || x > right || y < top || y > bottom)
        return false;
    const float cx = std::clamp(x, left + radius, right - radius);
    const float cy = std::clamp(y, top + radius, bottom - radius);
    return InCircle(x, y, cx, cy, radius);
}

bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "vireo-artgen: cannot write %s\n", path.c_str());
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !ok) {
        std::fprintf(stderr, "vireo-artgen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace artgen
