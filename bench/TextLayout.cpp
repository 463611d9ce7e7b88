// Text per frame: 2,000 glyphs of mixed English and Chinese laid out with DrawText rules and
// drawn by the CPU text renderer onto an 800 x 600 A8R8G8B8 target, and the same through
// ID3DXFont and the sprite. Reports time per glyph; glyphs are rasterised before timing.
#include "platform/gfx/font/TextLayout.h"
#include "MixedText.h"
#include "common/HostWindow.h"
#include "platform/gfx/font/TextFont.h"
#include "platform/gfx/font/TextRenderer.h"

#include <vireo/platform/D3DX9.h>

#include <benchmark/benchmark.h>

#include <cstdlib>

#include <memory>
#include <string>
#include <vector>

using namespace vireo::font;

namespace {

constexpr int kGlyphs = 2000;

struct Scene {
    std::unique_ptr<CTextFont> font;
    std::wstring text = MixedText(kGlyphs);
    std::vector<std::uint32_t> pixels = std::vector<std::uint32_t>(800 * 600, 0xFF203040);
    vireo::raster::Surface surface{pixels.data(), 800, 600, 800 * 4};
    STextLayout layout;
    RECT box{0, 0, 800, 600};
    DWORD format = DT_WORDBREAK | DT_CENTER;

    explicit Scene(int height)
    {
        STextFontDesc desc;
        desc.face = L"Times New Roman";
        desc.height = height;
        font = CTextFont::Create(desc);
        if (font)
            LayoutText(*font, text.c_str(), -1, box, format, layout); // warm the glyph cache
    }
};

void Report(benchmark::State& state)
{
    // Seconds per glyph of CPU time, printed with an SI prefix (n = nanoseconds).
    state.counters["per_glyph"] = benchmark::Counter(double(kGlyphs) * state.iterations(),
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_LayoutAndRender(benchmark::State& state)
{
    Scene scene(static_cast<int>(state.range(0)));
    if (!scene.font) {
        state.SkipWithError("no font");
        return;
    }
    for (auto _ : state) {
        LayoutText(*scene.font, scene.text.c_str(), -1, scene.box, scene.format, scene.layout);
        vireo::font::RenderTextLayout(scene.surface, scene.layout, scene.font->Atlas(), 0xFFFFFFFF);
        benchmark::DoNotOptimize(scene.pixels.data());
    }
    Report(state);
    state.counters["quads"] = double(scene.layout.quads.size());
}

void BM_LayoutOnly(benchmark::State& state)
{
    Scene scene(static_cast<int>(state.range(0)));
    if (!scene.font) {
        state.SkipWithError("no font");
        return;
    }
    for (auto _ : state) {
        LayoutText(*scene.font, scene.text.c_str(), -1, scene.box, scene.format, scene.layout);
        benchmark::DoNotOptimize(scene.layout.quads.data());
    }
    Report(state);
}

void BM_RenderOnly(benchmark::State& state)
{
    Scene scene(static_cast<int>(state.range(0)));
    if (!scene.font) {
        state.SkipWithError("no font");
        return;
    }
    for (auto _ : state) {
        vireo::font::RenderTextLayout(scene.surface, scene.layout, scene.font->Atlas(), 0xFFFFFFFF);
        benchmark::DoNotOptimize(scene.pixels.data());
    }
    Report(state);
}

// A fresh font each time: what the first frame of new text costs (fontconfig, FreeType).
void BM_ColdFirstFrame(benchmark::State& state)
{
    const std::wstring text = MixedText(kGlyphs);
    for (auto _ : state) {
        STextFontDesc desc;
        desc.face = L"Times New Roman";
        desc.height = 17;
        auto font = CTextFont::Create(desc);
        STextLayout layout;
        LayoutText(*font, text.c_str(), -1, {0, 0, 800, 600}, DT_WORDBREAK, layout);
        benchmark::DoNotOptimize(layout.quads.data());
    }
    Report(state);
}

// The same frame through ID3DXFont and the sprite on the software device, for comparison.
void BM_D3DXFontThroughSprite(benchmark::State& state)
{
    vireo::test::UseHeadlessBackend();
    HWND window = vireo::test::CreateHostWindow(800, 600);
    D3DPRESENT_PARAMETERS pp = vireo::test::PresentParams(window, 800, 600, FALSE, D3DFMT_UNKNOWN);
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    ID3DXSprite* sprite = nullptr;
    ID3DXFont* font = nullptr;
    if (FAILED(vireo::test::CreateSoftwareDevice(pp, &d3d, &device)) || FAILED(D3DXCreateSprite(device, &sprite)) ||
        FAILED(D3DXCreateFontW(device, 17, 0, 400, 1, FALSE, 1, 0, 0, 0, L"Times New Roman", &font))) {
        state.SkipWithError("no device");
        return;
    }
    const std::wstring text = MixedText(kGlyphs);
    RECT box{0, 0, 800, 600};
    for (auto _ : state) {
        device->BeginScene();
        sprite->Begin(D3DXSPRITE_ALPHABLEND);
        font->DrawTextW(sprite, text.c_str(), -1, &box, DT_WORDBREAK | DT_CENTER, 0xFFFFFFFF);
        sprite->End();
        device->EndScene();
    }
    Report(state);
    font->Release();
    sprite->Release();
    device->Release();
    d3d->Release();
    DestroyWindow(window);
}

} // namespace

BENCHMARK(BM_LayoutAndRender)->Arg(12)->Arg(17)->Arg(32);
BENCHMARK(BM_LayoutOnly)->Arg(17);
BENCHMARK(BM_RenderOnly)->Arg(17);
BENCHMARK(BM_ColdFirstFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_D3DXFontThroughSprite);
BENCHMARK_MAIN();
