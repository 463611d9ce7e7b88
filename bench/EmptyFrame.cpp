// Cost of one empty frame: Run on an engine whose game draws nothing, uncapped (wFPS 0), on
// the headless back end. The virtual clock keeps the 1.5 s start-up wait out of the run; the
// figure is the wall time of the frame's message road and system updates.
#include "BenchEngine.h"

#include <vireo/engine.h>
#include <vireo/platform/Testing.h>

#include <benchmark/benchmark.h>

namespace {

class CEmptyGame : public CGameEngine {};

void BM_EmptyFrame(benchmark::State& state)
{
    vireo::testing::InstallVirtualClock();
    const HWND hwnd = vireo::bench::CreateBenchHostWindow();
    SetForegroundWindow(hwnd);
    {
        CEmptyGame game;
        if (!vireo::bench::InitBenchEngine(game, hwnd)) {
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
