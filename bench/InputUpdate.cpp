// The per-frame input update with no input waiting: time per update, and heap allocations
// per update counted by a replaced global operator new (the update should make none).
// Runs the real engine on the headless back end with the virtual clock.
#include "common/HostWindow.h"
#include "common/ScratchDir.h"

#include <vireo/engine.h>
#include <vireo/platform/Testing.h>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

namespace {

std::atomic<long long> g_allocations{0};

} // namespace

void* operator new(std::size_t size)
{
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

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

    const long long before = g_allocations.load();
    for (auto _ : state)
        input->Update();
    const long long allocations = g_allocations.load() - before;
    state.counters["allocs_per_update"] =
        benchmark::Counter(static_cast<double>(allocations) / static_cast<double>(state.iterations()));
    engine.EngineDestroy();
    DestroyWindow(hwnd);
}
BENCHMARK(BM_InputUpdateNoEvents);

BENCHMARK_MAIN();
