// What CPicture's draw family costs over the sprite it draws with: 64 x 64 pictures drawn
// plain, centred with an alpha and rotated, once through CPicture and once through
// ID3DXSprite::Draw with the same texture, position, colour and transform. The figure is
// CPU nanoseconds per picture (queueing and rasterising at EndSprite; CPU rather than wall
// time, since the machine may be shared); the overhead of the engine layer over the raw
// device path is printed at the end.
#include "common/HostWindow.h"
#include "common/ScratchDir.h"

#include "platform/gfx/image/ImageDecoder.h"

#include <vireo/engine.h>
#include <vireo/platform/Testing.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <time.h>
#include <vector>

namespace {

constexpr int kSide = 64;
constexpr int kPerBatch = 256;

enum Mode { kPlain, kCentredAlpha, kRotated };
const char* const kModeNames[] = {"plain", "centred+alpha", "rotated"};

class CBenchGame : public CGameEngine {};

struct Bench {
    HWND hwnd = nullptr;
    CBenchGame* game = nullptr;
    CPicture* picture = nullptr;
    std::vector<POINT> places;
    // Paired runs: per mode, the iteration count and engine / raw CPU time of each run. The
    // library's short trial runs are told apart by their smaller iteration counts.
    std::map<int, std::vector<std::pair<benchmark::IterationCount, double>>> ratios;
};
Bench g_bench;

double CpuNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

// A ball with per-pixel alpha, as the pictures of a game have.
std::vector<std::uint8_t> PictureBmp()
{
    std::vector<std::uint32_t> pixels(kSide * kSide);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const double r = std::hypot(x + 0.5 - kSide / 2.0, y + 0.5 - kSide / 2.0);
            const auto alpha = static_cast<std::uint32_t>(std::lround(std::clamp(31.0 - r, 0.0, 1.0) * 255));
            pixels[y * kSide + x] = alpha << 24 | static_cast<std::uint32_t>(60 + 3 * x) << 16 |
                                    static_cast<std::uint32_t>(200 - 2 * y) << 8 | 90u;
        }
    return vireo::image::EncodeBmp(pixels.data(), kSide, kSide, kSide * 4);
}

bool StartEngine()
{
    vireo::testing::InstallVirtualClock();
    g_bench.hwnd = vireo::test::CreateHostWindow(800, 600, nullptr, true);
    g_bench.game = new CBenchGame();
    const SEngineParam param = vireo::test::SceneParam(g_bench.hwnd);
    if (!g_bench.game->EngineInit(&param))
        return false;
    std::vector<std::uint8_t> bmp = PictureBmp();
    g_bench.picture = g_bench.game->GetRenderSystem()->CreatePicture(bmp.data(), static_cast<DWORD>(bmp.size()), 0);
    if (!g_bench.picture || g_bench.picture->Width() != kSide)
        return false;
    std::mt19937 rng(20261205u);
    std::uniform_int_distribution<int> x(kSide, 800 - kSide), y(kSide, 600 - kSide);
    for (int i = 0; i < kPerBatch; ++i)
        g_bench.places.push_back(POINT{x(rng), y(rng)});
    return true;
}

void StopEngine()
{
    if (g_bench.game && g_bench.picture)
        g_bench.game->GetRenderSystem()->ReleasePicture(&g_bench.picture);
    delete g_bench.game;
    g_bench.game = nullptr;
    if (g_bench.hwnd)
        DestroyWindow(g_bench.hwnd);
    vireo::testing::UninstallVirtualClock();
}

// One batch of kPerBatch pictures. The raw path makes the same sprite calls the picture
// makes for that mode, computed the same way, so the difference is the engine layer.
void DrawBatch(Mode mode, bool engine)
{
    CRenderSystem* render = g_bench.game->GetRenderSystem();
    ID3DXSprite* sprite = render->GetD3DXSprite();
    CPicture* picture = g_bench.picture;
    IDirect3DTexture9* texture = picture->GetTexture();
    const BYTE alpha = 160;
    const float angle = 0.7f;
    render->BeginSprite();
    for (const POINT& p : g_bench.places) {
        if (engine) {
            switch (mode) {
            case kPlain:
                picture->Draw(p);
                break;
            case kCentredAlpha:
                picture->DrawCenter(p.x, p.y, nullptr, &alpha);
                break;
            case kRotated:
                picture->DrawRotation(p.x, p.y, angle);
                break;
            }
            continue;
        }
        switch (mode) {
        case kPlain: {
            const D3DXVECTOR3 at(static_cast<float>(p.x), static_cast<float>(p.y), 0.0f);
            sprite->Draw(texture, nullptr, nullptr, &at, 0xFFFFFFFF);
            break;
        }
        case kCentredAlpha: {
            const D3DXVECTOR3 at(static_cast<float>(p.x - kSide / 2), static_cast<float>(p.y - kSide / 2), 0.0f);
            sprite->Draw(texture, nullptr, nullptr, &at, static_cast<D3DCOLOR>(alpha) << 24 | 0xFFFFFF);
            break;
        }
        case kRotated: {
            D3DXMATRIX rotation;
            const D3DXVECTOR2 centre(p.x + 0.5f * kSide, p.y + 0.5f * kSide);
            D3DXMatrixTransformation2D(&rotation, nullptr, 0.0f, nullptr, &centre, 6.2831855f - angle, nullptr);
            sprite->SetTransform(&rotation);
            const D3DXVECTOR3 at(static_cast<float>(p.x), static_cast<float>(p.y), 0.0f);
            sprite->Draw(texture, nullptr, nullptr, &at, 0xFFFFFFFF);
            D3DXMATRIX identity;
            sprite->SetTransform(D3DXMatrixIdentity(&identity));
            break;
        }
        }
    }
    render->EndSprite();
}

void BM_PictureDraw(benchmark::State& state)
{
    const auto mode = static_cast<Mode>(state.range(0));
    const bool engine = state.range(1) != 0;
    state.SetLabel(std::string(kModeNames[mode]) + (engine ? " CPicture" : " ID3DXSprite"));
    IDirect3DDevice9* device = g_bench.game->GetRenderSystem()->GetD3DDevice();
    device->BeginScene();
    const double start = CpuNanoseconds();
    for (auto _ : state)
        DrawBatch(mode, engine);
    const double elapsed = CpuNanoseconds() - start;
    device->EndScene();
    state.counters["ns_per_picture"] = elapsed / (static_cast<double>(state.iterations()) * kPerBatch);
}
BENCHMARK(BM_PictureDraw)
    ->ArgsProduct({{kPlain, kCentredAlpha, kRotated}, {0, 1}})
    ->ArgNames({"mode", "engine"})
    ->Unit(benchmark::kMicrosecond);

// The overhead itself: raw and engine batches alternate inside one run, the order swapped
// every iteration, so that a busy spell of a shared machine falls on both paths alike.
void BM_PictureOverhead(benchmark::State& state)
{
    const auto mode = static_cast<Mode>(state.range(0));
    state.SetLabel(kModeNames[mode]);
    IDirect3DDevice9* device = g_bench.game->GetRenderSystem()->GetD3DDevice();
    device->BeginScene();
    double raw = 0;
    double engine = 0;
    bool engineFirst = false;
    for (auto _ : state) {
        for (bool path : {engineFirst, !engineFirst}) {
            const double start = CpuNanoseconds();
            DrawBatch(mode, path);
            (path ? engine : raw) += CpuNanoseconds() - start;
        }
        engineFirst = !engineFirst;
    }
    device->EndScene();
    const double pictures = static_cast<double>(state.iterations()) * kPerBatch;
    state.counters["raw_ns"] = raw / pictures;
    state.counters["engine_ns"] = engine / pictures;
    state.counters["overhead_pct"] = raw > 0 ? 100.0 * (engine / raw - 1.0) : 0.0;
    if (raw > 0)
        g_bench.ratios[mode].emplace_back(state.iterations(), engine / raw);
}
BENCHMARK(BM_PictureOverhead)->DenseRange(kPlain, kRotated)->ArgName("mode")->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    vireo::test::UseHeadlessBackend();
    const vireo::test::ScratchDir scratch;
    if (!StartEngine()) {
        std::fprintf(stderr, "bench_PictureDraw: the engine or its picture could not be made\n");
        StopEngine();
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::printf("\nCPicture over ID3DXSprite::Draw, %d x %d pictures, paired runs (goal: under 10%%):\n", kSide, kSide);
    for (const auto& [mode, runs] : g_bench.ratios) {
        benchmark::IterationCount longest = 0;
        for (const auto& run : runs)
            longest = std::max(longest, run.first);
        std::vector<double> ratios;
        for (const auto& run : runs)
            if (run.first == longest)
                ratios.push_back(run.second);
        std::sort(ratios.begin(), ratios.end());
        const double median = ratios[ratios.size() / 2];
        std::printf("  %-14s overhead %+6.1f%% (median of %zu runs; lowest %+.1f%%, highest %+.1f%%)\n",
                    kModeNames[mode], 100.0 * (median - 1.0), ratios.size(), 100.0 * (ratios.front() - 1.0),
                    100.0 * (ratios.back() - 1.0));
    }
    StopEngine();
    return 0;
}
