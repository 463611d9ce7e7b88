// Sprite drawing through the whole software Direct3D 9 path (ID3DXSprite batching, state
// translation, the rasterizer) on an 800x600 back buffer cleared each frame: 64x64 sprites
// with per-pixel alpha, plain, tinted and rotated+scaled. Figures are ns per covered pixel;
// compare with the rasterizer-only figures of SpriteRaster to see what the device adds.
#include <vireo/platform/D3D9.h>
#include <vireo/platform/D3DX9.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 800, kHeight = 600, kSide = 64;
enum Mode { kPlain, kTinted, kRotated };

struct Scene {
    HWND window = nullptr;
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    ID3DXSprite* sprite = nullptr;
    IDirect3DTexture9* texture = nullptr;

    Scene()
    {
        setenv("VIREO_BACKEND", "headless", 1);
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(h, m, w, l); };
        wc.lpszClassName = L"VireoSpriteBench";
        RegisterClassExW(&wc);
        window = CreateWindowExW(0, L"VireoSpriteBench", L"bench", WS_OVERLAPPEDWINDOW, 0, 0, kWidth, kHeight, nullptr,
                                 nullptr, nullptr, nullptr);
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS pp{};
        pp.BackBufferWidth = kWidth;
        pp.BackBufferHeight = kHeight;
        pp.BackBufferCount = 1;
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        pp.hDeviceWindow = window;
        pp.Windowed = TRUE;
        if (!d3d || FAILED(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device)))
            std::abort();
        D3DXCreateSprite(device, &sprite);
        D3DXCreateTexture(device, kSide, kSide, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture);
        D3DLOCKED_RECT locked{};
        texture->LockRect(0, &locked, nullptr, 0);
        // A ball: opaque core, translucent ring, transparent corners.
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                const float d = std::hypot(x + 0.5f - kSide / 2.0f, y + 0.5f - kSide / 2.0f) / (kSide / 2.0f);
                const std::uint32_t a = d < 0.6f ? 255u : d < 1.0f ? static_cast<std::uint32_t>(255 * (1 - d) / 0.4f) : 0u;
                static_cast<std::uint32_t*>(locked.pBits)[y * locked.Pitch / 4 + x] = (a << 24) | 0x00C08040u;
            }
        texture->UnlockRect(0);
    }
    ~Scene()
    {
        texture->Release();
        sprite->Release();
        device->Release();
        d3d->Release();
        DestroyWindow(window);
    }
};

Scene& TheScene()
{
    static Scene scene;
    return scene;
}

void DrawSprites(benchmark::State& state, Mode mode)
{
    Scene& scene = TheScene();
    const int count = static_cast<int>(state.range(0));
    std::mt19937 rng(20240613u + static_cast<unsigned>(count));
    std::vector<D3DXMATRIX> transforms(count);
    double covered = 0;
    for (D3DXMATRIX& m : transforms) {
        if (mode == kRotated) {
            std::uniform_real_distribution<float> x(48, kWidth - 48), y(48, kHeight - 48), a(0, 2 * D3DX_PI), s(0.6f, 1.4f);
            const float scale = s(rng);
            const D3DXVECTOR2 centre(kSide / 2.0f, kSide / 2.0f), scaling(scale, scale);
            const D3DXVECTOR2 move(x(rng) - kSide / 2.0f, y(rng) - kSide / 2.0f);
            D3DXMatrixTransformation2D(&m, &centre, 0, &scaling, &centre, a(rng), &move);
            covered += kSide * kSide * scale * scale;
        } else {
            std::uniform_int_distribution<int> x(0, kWidth - kSide), y(0, kHeight - kSide);
            D3DXMatrixTranslation(&m, static_cast<float>(x(rng)), static_cast<float>(y(rng)), 0);
            covered += kSide * kSide;
        }
    }
    const D3DCOLOR colour = mode == kTinted ? 0xC0FFA060u : 0xFFFFFFFFu;
    const D3DXVECTOR3 origin(0, 0, 0);
    for (auto _ : state) {
        scene.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF203040u, 1.0f, 0);
        scene.device->BeginScene();
        scene.sprite->Begin(D3DXSPRITE_ALPHABLEND);
        for (const D3DXMATRIX& m : transforms) {
            scene.sprite->SetTransform(&m);
            scene.sprite->Draw(scene.texture, nullptr, nullptr, &origin, colour);
        }
        scene.sprite->End();
        scene.device->EndScene();
        benchmark::ClobberMemory();
    }
    state.counters["ns_per_px"] =
        benchmark::Counter(covered / 1e9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void Plain(benchmark::State& state) { DrawSprites(state, kPlain); }
void Tinted(benchmark::State& state) { DrawSprites(state, kTinted); }
void RotatedScaled(benchmark::State& state) { DrawSprites(state, kRotated); }

BENCHMARK(Plain)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(Tinted)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(RotatedScaled)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
