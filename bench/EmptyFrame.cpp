// Cost of one empty frame: Run on an engine whose game draws nothing, uncapped (wFPS 0), on
// the headless back end. The virtual clock keeps the 1.5 s start-up wait out of the run; the
// figure is the wall time of the frame's message road and system updates.
#include "common/HostWindow.h"
#include "common/ScratchDir.h"

#include <vireo/engine.h>
#include <vireo/platform/Testing.h>

#include <benchmark/benchmark.h>

namespace {

class CEmptyGame : public CGameEngine {};

void BM_EmptyFrame(benchmark::State& state)
{
    vireo::testing::InstallVirtualClock();
    const HWND hwnd = vireo::test::CreateHostWindow(800, 600, nullptr, true);
    SetForegroundWindow(hwnd);
    const SEngineParam param = vireo::test::SceneParam(hwnd);
    {
        CEmptyGame game;
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
    vireo::test::UseHeadlessBackend();
    const vireo::test::ScratchDir scratch;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
