// The per-frame input update with no input waiting: time per update, and heap allocations
// per update counted by the shared allocation probe (the update should make none).
// Runs the real engine on the headless back end with the virtual clock.
#include "common/AllocationProbe.h"
#include "common/HostWindow.h"
#include "common/ScratchDir.h"

#include <vireo/engine.h>
#include <vireo/platform/Testing.h>

#include <benchmark/benchmark.h>

#include <string>

static void BM_InputUpdateNoEvents(benchmark::State& state)
{
    vireo::test::UseHeadlessBackend();
    const vireo::test::ScratchDir scratch;
    vireo::testing::InstallVirtualClock();
    HWND hwnd = vireo::test::CreateHostWindow(800, 600);
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);

    CGameEngine engine;
    const SEngineParam param = vireo::test::SceneParam(hwnd);
    if (!engine.EngineInit(&param)) {
        state.SkipWithError("EngineInit failed");
        return;
    }
    engine.Run(); // after the first frame the engine stops logging every message
    if (GetForegroundWindow() != hwnd) {
        state.SkipWithError("the host window is not in the foreground: the update would return at once");
        return;
    }
    CInputSystem* input = engine.GetInputSystem();

    long long allocations = 0;
    {
        const AllocationProbe probe;
        for (auto _ : state)
            input->Update();
        allocations = probe.Count();
    }
    state.counters["allocs_per_update"] =
        benchmark::Counter(static_cast<double>(allocations) / static_cast<double>(state.iterations()));
    engine.EngineDestroy();
    DestroyWindow(hwnd);
}
BENCHMARK(BM_InputUpdateNoEvents);

BENCHMARK_MAIN();
