// Cost of one empty frame: Run on an engine whose game draws nothing, uncapped (wFPS 0), on
// the headless back end. The virtual clock keeps the 1.5 s start-up wait out of the run; the
// figure is the wall time of the frame's message road and system updates.
#include "BenchEngine.h"

#include <vireo/engine.h>
#include <vireo/platform/Testing.h>

#include <benchmark/benchmark.h>


namespace {

class CEmptyGame : public CGameEngine {};

LRESULT EmptyWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void BM_EmptyFrame(benchmark::State& state)
{
    vireo::testing::InstallVirtualClock();
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = EmptyWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VireoBenchHost";
    RegisterClassExW(&wc);
    const HWND hwnd = CreateWindowExW(0, L"VireoBenchHost", L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 816, 639, nullptr,
                                      nullptr, wc.hInstance, nullptr);
    SetForegroundWindow(hwnd);
    {
        CEmptyGame game;
        SEngineParam param{};
        param.hWnd = hwnd;
        param.sizeScene = SIZE{800, 600};
        param.wFPS = 0;
        if (!game.EngineInit(&param)) {
            state.SkipWithError("EngineInit failed");
        } else {
            for (auto _ : state)
                game.Run();
            state.counters["frames"] = static_cast<double>(game.GetEngineStatus()->nUIUpdateCount);
        }
    }
    DestroyWindow(hwnd);
    vireo::testing::UninstallVirtualClock();
}
BENCHMARK(BM_EmptyFrame);

} // namespace

int main(int argc, char** argv)
{
    vireo::bench::UseHeadlessBenchFolder("vireo-bench");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
