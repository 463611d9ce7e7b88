// Sprite drawing speed: the same scenes through our rasterizer (directly and through the
// software device's ID3DXSprite), SDL2's software renderer and pixman. 64x64 sprites with per-pixel alpha at fixed
// pseudo-random places on an 800x600 target cleared every frame; plain, tinted and rotated+scaled (bilinear);
// 10,000 small ones (8x8, 16x16) plain and tinted; particles (a colour and alpha each, through the device and
// SDL2 alone); and the clear alone against pixman's fill. The figure is
// nanoseconds per blended pixel (frame time / covered pixels); ratios are printed at the end, and for
// unrotated sprites where their time goes (the quad batch alone, the blend alone).
// The places, and the ID3DXSprite transforms made from them, are made before timing.
#include "common/HostWindow.h"
#include "platform/raster/QuadBatch.h"
#include "platform/raster/QuadSetup.h"
#include "platform/raster/Raster.h"
#include "platform/raster/RasterInternal.h"

#include <vireo/platform/D3D9.h>
#include <vireo/platform/D3D9Testing.h>
#include <vireo/platform/D3DX9.h>
#include <vireo/platform/Win32.h>

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using vireo::raster::Surface;

constexpr int kWidth = 800, kHeight = 600;
// The sprite's side: 64 for the main cases, 8 and 16 for the small-sprite ones. Set before
// a renderer is made; every renderer reads it.
int g_side = 64;
const int kSides[] = {64, 16, 8};
constexpr std::uint32_t kClear = 0xFF203040u;
constexpr std::uint32_t kTint = 0xC0FFA060u; // alpha 0.75, colour (1, 0.63, 0.38)
constexpr double kPi = 3.14159265358979;

// kParticles: unrotated sprites, each with a colour and alpha of its own (ParticleColor).
enum Mode { kPlain, kTinted, kRotated, kParticles };
const char* const kModeNames[] = {"plain", "tinted", "rotated+scaled", "particles"};

struct Placement {
    float cx, cy; // centre on the target
    float angle;  // radians, clockwise on screen
    float scale;
};

// Fixed places: the same for every renderer and every run. Unrotated sprites sit at integer
// positions wholly on the target; rotated ones keep their centre 48 pixels in.
std::vector<Placement> Places(int count, Mode mode)
{
    std::mt19937 rng(20240613u + static_cast<unsigned>(count));
    std::vector<Placement> places;
    for (int i = 0; i < count; ++i) {
        if (mode == kRotated) {
            std::uniform_real_distribution<float> x(48, kWidth - 48), y(48, kHeight - 48), a(0, 2 * kPi), s(0.6f, 1.4f);
            places.push_back({x(rng), y(rng), a(rng), s(rng)});
        } else {
            std::uniform_int_distribution<int> x(0, kWidth - g_side), y(0, kHeight - g_side);
            places.push_back({x(rng) + g_side / 2.0f, y(rng) + g_side / 2.0f, 0, 1});
        }
    }
    return places;
}

// Sprite i's colour in the particles case: alpha 64-255 and any colour, as a particle system
// fading its particles gives them, the same for every renderer.
std::uint32_t ParticleColor(std::size_t i)
{
    const std::uint32_t k = static_cast<std::uint32_t>(i) * 2654435761u;
    return (0x40u + (k >> 24) % 0xC0u) << 24 | (k & 0x00FFFFFFu);
}

// A ball: opaque core, a translucent ring, a soft rim and transparent corners (straight alpha).
std::vector<std::uint32_t> SpritePixels()
{
    std::vector<std::uint32_t> pixels(g_side * g_side);
    for (int y = 0; y < g_side; ++y) {
        for (int x = 0; x < g_side; ++x) {
            const double half = g_side / 2.0, r = std::hypot(x + 0.5 - half, y + 0.5 - half);
            double a = std::clamp(half - 1 - r, 0.0, 1.0);
            if (r > half * 20 / 32 && r < half * 24 / 32) {
                a *= 0.5;
            }
            const auto alpha = static_cast<std::uint32_t>(std::lround(a * 255));
            const std::uint32_t red = 40 + x * 3 * 64 / g_side, green = 200 - y * 2 * 64 / g_side,
                                blue = 90 + (x ^ y) % 64;
            pixels[y * g_side + x] = alpha << 24 | red << 16 | green << 8 | blue;
        }
    }
    return pixels;
}

vireo::raster::Quad QuadOf(const Placement& p)
{
    const float c = std::cos(p.angle) * g_side * p.scale, s = std::sin(p.angle) * g_side * p.scale;
    return vireo::raster::Quad{p.cx - (c - s) / 2,         p.cy - (s + c) / 2,        c, s, -s, c, 0, 0,
                               static_cast<float>(g_side), static_cast<float>(g_side)};
}

// Pixels a sprite covers on the target, by our coverage rule, the same count for every renderer.
double CoveredPixels(const std::vector<Placement>& places)
{
    vireo::raster::QuadState state;
    state.clip = RECT{0, 0, kWidth, kHeight};
    double total = 0;
    for (const Placement& p : places) {
        vireo::raster::QuadSetup setup;
        if (!vireo::raster::SetupQuad(QuadOf(p), state, setup)) {
            continue;
        }
        for (int y = setup.bounds.top; y < setup.bounds.bottom; ++y) {
            int left = 0, right = 0;
            if (setup.RowSpan(y, left, right)) {
                total += right - left;
            }
        }
    }
    return total;
}

// The state ID3DXSprite draws with: texture times diffuse (the tint), source-alpha over, alpha test.
vireo::raster::QuadState SpriteState(Mode mode, const Surface* texture)
{
    vireo::raster::QuadState state;
    state.stages[0] = vireo::raster::TextureStage{vireo::raster::StageOp::Modulate,
                                                  vireo::raster::StageArg::Texture,
                                                  vireo::raster::StageArg::Diffuse,
                                                  vireo::raster::StageOp::Modulate,
                                                  vireo::raster::StageArg::Texture,
                                                  vireo::raster::StageArg::Diffuse,
                                                  texture,
                                                  vireo::raster::Filter::Linear};
    state.diffuse = mode == kTinted ? kTint : 0xFFFFFFFFu;
    state.blend =
        vireo::raster::BlendState{true, vireo::raster::BlendFactor::SrcAlpha, vireo::raster::BlendFactor::InvSrcAlpha};
    state.alphaTest = true;
    state.clip = RECT{0, 0, kWidth, kHeight};
    return state;
}

class Renderer {
  public:
    virtual ~Renderer() = default;
    virtual void Frame() = 0;
    virtual const std::uint32_t* Pixels() = 0; // A8R8G8B8, pitch = width
};

class VireoRenderer final : public Renderer {
  public:
    VireoRenderer(Mode mode, std::vector<Placement> places)
        : m_places(std::move(places)), m_sprite(SpritePixels()), m_target(kWidth * kHeight)
    {
        m_texture = Surface{m_sprite.data(), g_side, g_side, g_side * 4};
        m_surface = Surface{m_target.data(), kWidth, kHeight, kWidth * 4};
        m_state = SpriteState(mode, &m_texture);
        for (const Placement& p : m_places) {
            m_quads.push_back(QuadOf(p));
        }
    }
    void Frame() override
    {
        vireo::raster::FillRect(m_surface, m_state.clip, kClear);
        for (const auto& quad : m_quads) {
            vireo::raster::DrawQuad(m_surface, quad, m_state);
        }
    }
    const std::uint32_t* Pixels() override { return m_target.data(); }

  private:
    std::vector<Placement> m_places;
    std::vector<std::uint32_t> m_sprite, m_target;
    Surface m_texture, m_surface;
    vireo::raster::QuadState m_state;
    std::vector<vireo::raster::Quad> m_quads;
};

// Parts of the engine's road for unrotated sprites, to show where a small sprite's time goes:
// "batch" hands the quads to the quad batch in one run (its whole-quad test and gathering,
// then the blend: no sprite queue, no transforms); "blend" hands the rectangles the batch
// would gather (transparent first and last rows left out, as it does) straight to the
// blending kernels in lists of 64.
class PartRenderer final : public Renderer {
  public:
    PartRenderer(Mode mode, std::vector<Placement> places, bool blendOnly)
        : m_blendOnly(blendOnly), m_sprite(SpritePixels()), m_target(kWidth * kHeight)
    {
        m_texture = Surface{m_sprite.data(), g_side, g_side, g_side * 4};
        m_surface = Surface{m_target.data(), kWidth, kHeight, kWidth * 4};
        m_state = SpriteState(mode, &m_texture);
        vireo::raster::StageTint(m_state, m_tint);
        auto transparent = [&](int y) {
            std::uint32_t any = 0;
            for (int x = 0; x < g_side; ++x) {
                any |= m_sprite[y * g_side + x];
            }
            return (any >> 24) == 0;
        };
        int top = 0, bottom = g_side;
        while (top < bottom && transparent(top)) {
            ++top;
        }
        while (bottom > top && transparent(bottom - 1)) {
            --bottom;
        }
        for (const Placement& p : places) {
            m_items.push_back({QuadOf(p), m_state.diffuse});
            const int x = static_cast<int>(p.cx) - g_side / 2, y = static_cast<int>(p.cy) - g_side / 2;
            m_rects.push_back(vireo::raster::CopyRect{m_surface.Row(y + top) + x, m_texture.Row(top), m_surface.pitch,
                                                      m_texture.pitch, g_side, bottom - top});
        }
    }
    void Frame() override
    {
        vireo::raster::FillRect(m_surface, m_state.clip, kClear);
        if (!m_blendOnly) {
            vireo::raster::QuadBatch batch(m_surface, m_state);
            batch.DrawRun(&m_items[0].quad, &m_items[0].diffuse, sizeof(Item), m_items.size());
            return;
        }
        const vireo::raster::SpanKernels& spans = vireo::raster::ActiveSpans();
        for (std::size_t i = 0; i < m_rects.size(); i += 64) {
            const int n = static_cast<int>(std::min<std::size_t>(64, m_rects.size() - i));
            IsIdentity(m_tint) ? spans.over(&m_rects[i], n) : spans.tintOver(&m_rects[i], n, m_tint);
        }
    }
    const std::uint32_t* Pixels() override { return m_target.data(); }

  private:
    struct Item {
        vireo::raster::Quad quad;
        std::uint32_t diffuse;
    };
    bool m_blendOnly;
    std::vector<std::uint32_t> m_sprite, m_target;
    Surface m_texture, m_surface;
    vireo::raster::QuadState m_state;
    vireo::raster::Tint m_tint{};
    std::vector<Item> m_items;
    std::vector<vireo::raster::CopyRect> m_rects;
};

// The engine's road: a software Direct3D 9 device on the headless back end, a managed
// texture and ID3DXSprite with the engine's flags; each sprite is one Draw with its transform.
class SpriteRenderer final : public Renderer {
  public:
    SpriteRenderer(Mode mode, std::vector<Placement> places) : m_mode(mode), m_places(std::move(places))
    {
        m_window = vireo::test::CreateHostWindow(kWidth, kHeight);
        D3DPRESENT_PARAMETERS pp = vireo::test::PresentParams(m_window, kWidth, kHeight, FALSE, D3DFMT_UNKNOWN);
        if (FAILED(vireo::test::CreateSoftwareDevice(pp, &m_d3d, &m_device)) ||
            FAILED(D3DXCreateTexture(m_device, g_side, g_side, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &m_texture)) ||
            FAILED(D3DXCreateSprite(m_device, &m_sprite))) {
            std::fprintf(stderr, "sprite renderer: the software device could not be set up\n");
            std::exit(1);
        }
        const std::vector<std::uint32_t> sprite = SpritePixels();
        D3DLOCKED_RECT locked{};
        m_texture->LockRect(0, &locked, nullptr, 0);
        for (int y = 0; y < g_side; ++y) {
            std::memcpy(static_cast<std::uint8_t*>(locked.pBits) + static_cast<std::ptrdiff_t>(y) * locked.Pitch,
                        sprite.data() + y * g_side, g_side * 4);
        }
        m_texture->UnlockRect(0);
        // Sprite space has the sprite's centre at the origin; the transform scales, rotates
        // (row vectors, clockwise on screen) and moves it to its place. Made here, outside the
        // timed frame: sin, cos and a matrix per sprite are the game's cost, not the engine's
        // (about 7 ns of an 8x8 sprite's 55 when they were made in the frame).
        for (const Placement& p : m_places) {
            const float c = std::cos(p.angle) * p.scale, s = std::sin(p.angle) * p.scale;
            m_transforms.emplace_back(c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, p.cx, p.cy, 0, 1);
        }
    }
    ~SpriteRenderer() override
    {
        m_sprite->Release();
        m_texture->Release();
        m_device->Release();
        m_d3d->Release();
        DestroyWindow(m_window);
    }
    void Frame() override
    {
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET, kClear, 1.0f, 0);
        m_device->BeginScene();
        m_sprite->Begin(D3DXSPRITE_ALPHABLEND);
        const D3DCOLOR color = m_mode == kTinted ? kTint : 0xFFFFFFFFu;
        const D3DXVECTOR3 position(-g_side / 2.0f, -g_side / 2.0f, 0);
        for (std::size_t i = 0; i < m_transforms.size(); ++i) {
            m_sprite->SetTransform(&m_transforms[i]);
            m_sprite->Draw(m_texture, nullptr, nullptr, &position, m_mode == kParticles ? ParticleColor(i) : color);
        }
        m_sprite->End();
        m_device->EndScene();
    }
    const std::uint32_t* Pixels() override
    {
        m_frame = vireo::testing::ReadBackBuffer(m_device).pixels;
        return m_frame.data();
    }

  private:
    Mode m_mode;
    std::vector<Placement> m_places;
    HWND m_window = nullptr;
    IDirect3D9* m_d3d = nullptr;
    IDirect3DDevice9* m_device = nullptr;
    IDirect3DTexture9* m_texture = nullptr;
    ID3DXSprite* m_sprite = nullptr;
    std::vector<D3DXMATRIX> m_transforms; // one per sprite, in drawing order
    std::vector<std::uint32_t> m_frame;
};

class SdlRenderer final : public Renderer {
  public:
    SdlRenderer(Mode mode, std::vector<Placement> places) : m_mode(mode), m_places(std::move(places))
    {
        m_surface = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 32, SDL_PIXELFORMAT_ARGB8888);
        m_renderer = SDL_CreateSoftwareRenderer(m_surface);
        m_texture = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, g_side, g_side);
        const std::vector<std::uint32_t> sprite = SpritePixels();
        SDL_UpdateTexture(m_texture, nullptr, sprite.data(), g_side * 4);
        SDL_SetTextureBlendMode(m_texture, SDL_BLENDMODE_BLEND);
        SDL_SetTextureScaleMode(m_texture, SDL_ScaleModeLinear);
        if (mode == kTinted) {
            SDL_SetTextureColorMod(m_texture, (kTint >> 16) & 0xFF, (kTint >> 8) & 0xFF, kTint & 0xFF);
            SDL_SetTextureAlphaMod(m_texture, kTint >> 24);
        }
    }
    ~SdlRenderer() override
    {
        SDL_DestroyTexture(m_texture);
        SDL_DestroyRenderer(m_renderer);
        SDL_FreeSurface(m_surface);
    }
    bool Ready() const { return m_texture != nullptr; }
    void Frame() override
    {
        SDL_SetRenderDrawColor(m_renderer, (kClear >> 16) & 0xFF, (kClear >> 8) & 0xFF, kClear & 0xFF, kClear >> 24);
        SDL_RenderClear(m_renderer);
        for (std::size_t i = 0; i < m_places.size(); ++i) {
            const Placement& p = m_places[i];
            const float side = g_side * p.scale;
            const SDL_FRect dst{p.cx - side / 2, p.cy - side / 2, side, side};
            if (m_mode == kParticles) {
                const std::uint32_t color = ParticleColor(i);
                SDL_SetTextureColorMod(m_texture, (color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF);
                SDL_SetTextureAlphaMod(m_texture, color >> 24);
            }
            if (m_mode == kRotated) {
                SDL_RenderCopyExF(m_renderer, m_texture, nullptr, &dst, p.angle * 180.0 / kPi, nullptr, SDL_FLIP_NONE);
            } else {
                SDL_RenderCopyF(m_renderer, m_texture, nullptr, &dst);
            }
        }
        SDL_RenderFlush(m_renderer);
    }
    const std::uint32_t* Pixels() override { return static_cast<const std::uint32_t*>(m_surface->pixels); }

  private:
    Mode m_mode;
    std::vector<Placement> m_places;
    SDL_Surface* m_surface = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    SDL_Texture* m_texture = nullptr;
};

class PixmanRenderer final : public Renderer {
  public:
    PixmanRenderer(Mode mode, std::vector<Placement> places)
        : m_mode(mode), m_places(std::move(places)), m_target(kWidth * kHeight)
    {
        // pixman works on premultiplied colour.
        for (std::uint32_t p : SpritePixels()) {
            const std::uint32_t a = p >> 24;
            auto pre = [a](std::uint32_t c) { return (c * a + 127) / 255; };
            m_sprite.push_back(a << 24 | pre((p >> 16) & 0xFF) << 16 | pre((p >> 8) & 0xFF) << 8 | pre(p & 0xFF));
        }
        m_dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, m_target.data(), kWidth * 4);
        m_src = pixman_image_create_bits(PIXMAN_a8r8g8b8, g_side, g_side, m_sprite.data(), g_side * 4);
        m_scratch = pixman_image_create_bits(PIXMAN_a8r8g8b8, g_side, g_side, nullptr, g_side * 4);
        // Component-alpha mask: colour channels scaled by the tint (premultiplied), alpha by its alpha.
        const double a = (kTint >> 24) / 255.0;
        auto channel = [](std::uint32_t v) { return static_cast<std::uint16_t>(v * 257); };
        const pixman_color_t tint{channel(static_cast<std::uint32_t>(((kTint >> 16) & 0xFF) * a)),
                                  channel(static_cast<std::uint32_t>(((kTint >> 8) & 0xFF) * a)),
                                  channel(static_cast<std::uint32_t>((kTint & 0xFF) * a)), channel(kTint >> 24)};
        m_mask = pixman_image_create_solid_fill(&tint);
        pixman_image_set_component_alpha(m_mask, 1);
        if (mode == kRotated) {
            pixman_image_set_filter(m_src, PIXMAN_FILTER_BILINEAR, nullptr, 0);
        }
    }
    ~PixmanRenderer() override
    {
        pixman_image_unref(m_mask);
        pixman_image_unref(m_scratch);
        pixman_image_unref(m_src);
        pixman_image_unref(m_dst);
    }
    void Frame() override
    {
        pixman_fill(m_target.data(), kWidth, 32, 0, 0, kWidth, kHeight, kClear);
        for (const Placement& p : m_places) {
            const int x = static_cast<int>(p.cx) - g_side / 2, y = static_cast<int>(p.cy) - g_side / 2;
            if (m_mode == kPlain) {
                pixman_image_composite32(PIXMAN_OP_OVER, m_src, nullptr, m_dst, 0, 0, 0, 0, x, y, g_side, g_side);
            } else if (m_mode == kTinted) {
                // Exact tint: source times mask into a scratch image, then over the target.
                pixman_image_composite32(PIXMAN_OP_SRC, m_src, m_mask, m_scratch, 0, 0, 0, 0, 0, 0, g_side, g_side);
                pixman_image_composite32(PIXMAN_OP_OVER, m_scratch, nullptr, m_dst, 0, 0, 0, 0, x, y, g_side, g_side);
            } else {
                DrawRotated(p);
            }
        }
    }
    const std::uint32_t* Pixels() override { return m_target.data(); }

  private:
    // The source transform maps target coordinates to sprite texels: rotate back, unscale.
    void DrawRotated(const Placement& p)
    {
        const double c = std::cos(p.angle) / p.scale, s = std::sin(p.angle) / p.scale;
        const double tx = g_side / 2.0 - (c * p.cx + s * p.cy), ty = g_side / 2.0 - (-s * p.cx + c * p.cy);
        pixman_transform_t t;
        pixman_transform_init_identity(&t);
        t.matrix[0][0] = pixman_double_to_fixed(c);
        t.matrix[0][1] = pixman_double_to_fixed(s);
        t.matrix[0][2] = pixman_double_to_fixed(tx);
        t.matrix[1][0] = pixman_double_to_fixed(-s);
        t.matrix[1][1] = pixman_double_to_fixed(c);
        t.matrix[1][2] = pixman_double_to_fixed(ty);
        pixman_image_set_transform(m_src, &t);
        const double half = g_side * p.scale * (std::fabs(std::cos(p.angle)) + std::fabs(std::sin(p.angle))) / 2;
        const int x0 = std::max(0, static_cast<int>(std::floor(p.cx - half))),
                  y0 = std::max(0, static_cast<int>(std::floor(p.cy - half)));
        const int x1 = std::min(kWidth, static_cast<int>(std::ceil(p.cx + half))),
                  y1 = std::min(kHeight, static_cast<int>(std::ceil(p.cy + half)));
        pixman_image_composite32(PIXMAN_OP_OVER, m_src, nullptr, m_dst, x0, y0, 0, 0, x0, y0, x1 - x0, y1 - y0);
    }

    Mode m_mode;
    std::vector<Placement> m_places;
    std::vector<std::uint32_t> m_sprite, m_target;
    pixman_image_t* m_dst = nullptr;
    pixman_image_t* m_src = nullptr;
    pixman_image_t* m_scratch = nullptr;
    pixman_image_t* m_mask = nullptr;
};

std::unique_ptr<Renderer> Make(const std::string& who, Mode mode, const std::vector<Placement>& places)
{
    if (who == "vireo")
        return std::make_unique<VireoRenderer>(mode, places);
    if (who == "sdl2")
        return std::make_unique<SdlRenderer>(mode, places);
    if (who == "sprite")
        return std::make_unique<SpriteRenderer>(mode, places);
    if (who == "batch" || who == "blend")
        return std::make_unique<PartRenderer>(mode, places, who == "blend");
    return std::make_unique<PixmanRenderer>(mode, places);
}

const char* const kRenderers[] = {"vireo", "sprite", "pixman", "sdl2", "batch", "blend"};
const int kCounts[] = {100, 1000, 10000};

void RunFrames(benchmark::State& state, const std::string& who, Mode mode, int count, int side)
{
    g_side = side;
    const std::vector<Placement> places = Places(count, mode);
    const std::unique_ptr<Renderer> renderer = Make(who, mode, places);
    for (auto _ : state) {
        renderer->Frame();
        benchmark::ClobberMemory();
    }
    // Rate of (pixels / 1e9) per second, inverted: nanoseconds per blended pixel.
    state.counters["ns_per_px"] = benchmark::Counter(
        CoveredPixels(places) / 1e9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The frame's clear alone: our fill against pixman's on the same 800x600 target.
void RunClear(benchmark::State& state, const std::string& who)
{
    std::vector<std::uint32_t> target(kWidth * kHeight);
    const Surface surface{target.data(), kWidth, kHeight, kWidth * 4};
    std::uint32_t color = kClear;
    for (auto _ : state) {
        if (who == "vireo") {
            vireo::raster::FillRect(surface, RECT{0, 0, kWidth, kHeight}, color);
        } else {
            pixman_fill(target.data(), kWidth, 32, 0, 0, kWidth, kHeight, color);
        }
        color ^= 1; // a different colour each time, so nothing can be skipped
        benchmark::ClobberMemory();
    }
    state.counters["ns_per_px"] =
        benchmark::Counter(static_cast<double>(kWidth) * kHeight / 1e9,
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Collects ns per pixel by name while the console reporter prints as usual.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            const auto found = run.counters.find("ns_per_px");
            if (found != run.counters.end() && run.run_type == Run::RT_Iteration) {
                // With --benchmark_repetitions the best run counts: other work on the
                // machine only ever slows a run down.
                const auto [it, fresh] = m_figures.emplace(run.run_name.str(), found->second.value);
                if (!fresh) {
                    it->second = std::min(it->second, found->second.value);
                }
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double Figure(const std::string& name) const
    {
        const auto it = m_figures.find(name);
        return it == m_figures.end() ? NAN : it->second;
    }
    void PrintRatios() const
    {
        std::printf("\nns per blended pixel (best of the repetitions), and how many times faster vireo is\n");
        std::printf("%-22s %6s %9s %9s %9s %9s %10s %10s %10s %10s\n", "case", "N", "vireo", "sprite", "pixman", "sdl2",
                    "x pixman", "x sdl2", "/ 64x64", "no clear");
        for (int side : kSides) {
            for (int mode = 0; mode < 3; ++mode) {
                for (int count : kCounts) {
                    auto figure = [&](const char* who, int sideOf) {
                        return Figure(Name(who, static_cast<Mode>(mode), count, sideOf));
                    };
                    const double ours = figure("vireo", side), sprite = figure("sprite", side),
                                 pixman = figure("pixman", side), sdl = figure("sdl2", side);
                    if (std::isnan(ours)) {
                        continue;
                    }
                    // Small sprites: their cost per pixel through the device against 1,000 64x64 ones;
                    // and the same with each frame's clear taken off (it is a larger share of a
                    // frame of small sprites; needs the clear/vireo case in the run).
                    const double large = Figure(Name("sprite", static_cast<Mode>(mode), 1000));
                    const double clear = Figure("clear/vireo") * kWidth * kHeight;
                    const double spriteBlend = sprite - clear / Covered(static_cast<Mode>(mode), count, side);
                    const double largeBlend = large - clear / Covered(static_cast<Mode>(mode), 1000, 64);
                    std::printf("%-22s %6d %9.3f %9.3f %9.3f %9.3f %10.2f %10.2f %10.2f %10.2f\n",
                                CaseName(static_cast<Mode>(mode), side).c_str(), count, ours, sprite, pixman, sdl,
                                pixman / ours, sdl / ours, sprite / large, spriteBlend / largeBlend);
                }
            }
        }
        std::printf("\nwhere a small sprite's time goes, ns a sprite (frame with its clear / sprites): the whole road,"
                    "\nthe quad batch alone, the blend alone, the clear alone\n");
        for (int side : kSides) {
            for (int mode = 0; mode < 2; ++mode) {
                const double pixels = static_cast<double>(side) * side;
                auto figure = [&](const char* who) {
                    return Figure(Name(who, static_cast<Mode>(mode), 10000, side)) * pixels;
                };
                if (!std::isnan(figure("batch"))) {
                    std::printf("%-22s %9.1f %9.1f %9.1f %9.1f\n", CaseName(static_cast<Mode>(mode), side).c_str(),
                                figure("sprite"), figure("batch"), figure("blend"),
                                Figure("clear/vireo") * kWidth * kHeight / 10000);
                }
            }
        }
        std::printf("\nparticles (a colour and alpha each), ns per blended pixel: through the device, SDL2, how many"
                    "\ntimes faster, and the device's cost against the same sprites under one tint\n");
        for (int side : kSides) {
            const int count = side == 64 ? 1000 : 10000;
            const double sprite = Figure(Name("sprite", kParticles, count, side)),
                         sdl = Figure(Name("sdl2", kParticles, count, side)),
                         oneTint = Figure(Name("sprite", kTinted, count, side));
            if (!std::isnan(sprite)) {
                std::printf("%-22s %6d %9.3f %9.3f %10.2f %10.2f\n", CaseName(kParticles, side).c_str(), count, sprite,
                            sdl, sdl / sprite, sprite / oneTint);
            }
        }
        const double clear = Figure("clear/vireo"), pixmanClear = Figure("clear/pixman");
        std::printf("\n800x600 clear: vireo %.3f ms, pixman %.3f ms, vireo / pixman %.2f\n",
                    clear * 1e-6 * kWidth * kHeight, pixmanClear * 1e-6 * kWidth * kHeight, clear / pixmanClear);
    }
    static double Covered(Mode mode, int count, int side)
    {
        g_side = side;
        return CoveredPixels(Places(count, mode));
    }
    static std::string CaseName(Mode mode, int side)
    {
        return side == 64 ? kModeNames[mode]
                          : std::string(kModeNames[mode]) + "-" + std::to_string(side) + "x" + std::to_string(side);
    }
    static std::string Name(const char* who, Mode mode, int count, int side = 64)
    {
        return CaseName(mode, side) + "/" + who + "/" + std::to_string(count);
    }

  private:
    std::map<std::string, double> m_figures;
};

// Mean and largest channel difference of each renderer's frame against ours at N = 100, to
// show that the three draw the same picture (pixman rounds premultiplied colour differently).
// It takes minutes, so it runs only when asked for: --frame_check or VIREO_BENCH_FRAME_CHECK=1.
void CompareFrames()
{
    for (int mode = 0; mode < 3; ++mode) {
        const auto places = Places(100, static_cast<Mode>(mode));
        VireoRenderer ours(static_cast<Mode>(mode), places);
        ours.Frame();
        for (const char* who : {"sprite", "pixman", "sdl2", "batch", "blend"}) {
            if (mode == kRotated && (std::strcmp(who, "batch") == 0 || std::strcmp(who, "blend") == 0)) {
                continue;
            }
            auto other = Make(who, static_cast<Mode>(mode), places);
            other->Frame();
            double sum = 0;
            int worst = 0;
            for (int i = 0; i < kWidth * kHeight; ++i) {
                for (int c = 0; c < 3; ++c) {
                    const int d = std::abs(static_cast<int>((ours.Pixels()[i] >> (8 * c)) & 0xFF) -
                                           static_cast<int>((other->Pixels()[i] >> (8 * c)) & 0xFF));
                    sum += d;
                    worst = std::max(worst, d);
                }
            }
            std::printf("frame check %-15s vs %-6s: mean channel difference %.3f, largest %d\n", kModeNames[mode], who,
                        sum / (kWidth * kHeight * 3.0), worst);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    vireo::test::UseHeadlessBackend(); // the device draws off screen; no window opens
    const vireo::raster::SimdLevel simd = vireo::raster::ActiveSimdLevel();
    std::printf("rasterizer spans: %s\n", simd == vireo::raster::SimdLevel::Avx512
                                              ? "AVX-512"
                                              : (simd == vireo::raster::SimdLevel::Avx2 ? "AVX2" : "SSE2"));
    for (int side : kSides) {
        for (int mode = 0; mode < 3; ++mode) {
            for (int count : kCounts) {
                // Small sprites: 10,000 a frame, unrotated (the text and GUI case).
                if (side != 64 && (mode == kRotated || count != 10000)) {
                    continue;
                }
                for (const char* who : kRenderers) {
                    // The parts of the road: unrotated sprites, 10,000 a frame.
                    if ((std::strcmp(who, "batch") == 0 || std::strcmp(who, "blend") == 0) &&
                        (mode == kRotated || count != 10000)) {
                        continue;
                    }
                    benchmark::RegisterBenchmark(
                        RatioReporter::Name(who, static_cast<Mode>(mode), count, side).c_str(),
                        [=](benchmark::State& state) { RunFrames(state, who, static_cast<Mode>(mode), count, side); })
                        ->Unit(benchmark::kMillisecond);
                }
            }
        }
    }
    for (int side : kSides) {
        for (const char* who : {"sprite", "sdl2"}) {
            const int count = side == 64 ? 1000 : 10000;
            benchmark::RegisterBenchmark(
                RatioReporter::Name(who, kParticles, count, side).c_str(),
                [=](benchmark::State& state) { RunFrames(state, who, kParticles, count, side); })
                ->Unit(benchmark::kMillisecond);
        }
    }
    for (const char* who : {"vireo", "pixman"}) {
        benchmark::RegisterBenchmark((std::string("clear/") + who).c_str(), [=](benchmark::State& state) {
            RunClear(state, who);
        })->Unit(benchmark::kMicrosecond);
    }
    benchmark::Initialize(&argc, argv);
    bool frameCheck = std::getenv("VIREO_BENCH_FRAME_CHECK") != nullptr &&
                      std::strcmp(std::getenv("VIREO_BENCH_FRAME_CHECK"), "0") != 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--frame_check") == 0) {
            frameCheck = true;
        } else {
            std::fprintf(stderr, "unknown argument %s (besides the benchmark flags only --frame_check is known)\n",
                         argv[i]);
            return 2;
        }
    }
    if (frameCheck) {
        CompareFrames();
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
