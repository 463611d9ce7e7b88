// What CPicture's draw family costs over the sprite it draws with: 64 x 64 pictures drawn
// plain, centred with an alpha and rotated, once through CPicture and once through
// ID3DXSprite::Draw with the same texture, position, colour and transform. The figure is
// CPU nanoseconds per picture (queueing and rasterising at EndSprite; CPU rather than wall
// time, since the machine may be shared); the overhead of the engine layer over the raw
// device path is printed at the end.
#include "platform/gfx/image/ImageDecoder.h"

#include <vireo/engine.h>
#include <vireo/platform/Testing.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <system_error>
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
    // Best (lowest) nanoseconds per picture seen per mode and path, over repetitions.
    std::map<std::pair<int, bool>, double> best;
};
Bench g_bench;

double CpuNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

LRESULT BenchWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(hwnd, msg, wParam, lParam);
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
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = BenchWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VireoPictureBench";
    RegisterClassExW(&wc);
    g_bench.hwnd = CreateWindowExW(0, L"VireoPictureBench", L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 816, 639, nullptr,
                                   nullptr, wc.hInstance, nullptr);
    g_bench.game = new CBenchGame();
    SEngineParam param{};
    param.hWnd = g_bench.hwnd;
    param.sizeScene = SIZE{800, 600};
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
    const double perPicture = elapsed / (static_cast<double>(state.iterations()) * kPerBatch);
    state.counters["ns_per_picture"] = perPicture;
    auto [it, fresh] = g_bench.best.emplace(std::pair{static_cast<int>(mode), engine}, perPicture);
    if (!fresh)
        it->second = std::min(it->second, perPicture);
}
// Raw and engine paths alternate per mode so that a slow spell of a shared machine tends to
// hit both.
BENCHMARK(BM_PictureDraw)
    ->ArgsProduct({{kPlain, kCentredAlpha, kRotated}, {0, 1}})
    ->ArgNames({"mode", "engine"})
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    setenv("VIREO_BACKEND", "headless", 1);
    setenv("VIREO_AUDIO", "null", 1);
    // The engine writes its log into the working directory: keep it out of the caller's.
    std::error_code ec;
    const auto dir = std::filesystem::temp_directory_path(ec) / "vireo-bench";
    std::filesystem::create_directories(dir, ec);
    std::filesystem::current_path(dir, ec);
    if (!StartEngine()) {
        std::fprintf(stderr, "bench_PictureDraw: the engine or its picture could not be made\n");
        StopEngine();
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::printf("\nCPicture over ID3DXSprite::Draw, %d x %d pictures, best of the runs (goal: under 10%%):\n", kSide,
                kSide);
    for (int mode = kPlain; mode <= kRotated; ++mode) {
        const auto raw = g_bench.best.find({mode, false});
        const auto eng = g_bench.best.find({mode, true});
        if (raw == g_bench.best.end() || eng == g_bench.best.end())
            continue;
        std::printf("  %-14s raw %8.1f ns  engine %8.1f ns  overhead %+6.1f%%\n", kModeNames[mode], raw->second,
                    eng->second, 100.0 * (eng->second / raw->second - 1.0));
    }
    StopEngine();
    return 0;
}
