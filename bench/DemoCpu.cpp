// The demo's CPU use at its 60-frame cap against what its frames themselves cost. The demo
// runs headless as its own process twice: capped for a few seconds, then with the cap lifted
// (Alt+F9 from a key script) for the same number of frames. Both runs load the same data and
// draw the same frames, so the difference of their CPU times is what waiting between frames
// costs. Figures only: the machine's load shows in them.
#include "common/ChildProcess.h"
#include "common/ScratchDir.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using vireo::test::ChildProcess;

struct DemoRun {
    bool ok = false;
    double cpuSeconds = 0;
    double wallSeconds = 0;
    unsigned frames = 0;
    std::string output;
};

DemoRun RunDemo(const std::vector<std::string>& options)
{
    DemoRun run;
    std::vector<std::string> argv{VIREO_DEMO_EXE, "--data", VIREO_DEMO_DATA};
    argv.insert(argv.end(), options.begin(), options.end());
    ChildProcess demo;
    const auto start = std::chrono::steady_clock::now();
    if (!demo.Start(argv, {"VIREO_BACKEND=headless", "VIREO_AUDIO=null"}, "demo.out"))
        return run;
    const int status = demo.Wait(std::chrono::seconds(120));
    run.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.cpuSeconds = demo.CpuSeconds();
    std::ifstream in("demo.out");
    std::ostringstream text;
    text << in.rdbuf();
    run.output = text.str();
    const std::size_t at = run.output.find("demo: ");
    run.ok = status == 0 && at != std::string::npos &&
             std::sscanf(run.output.c_str() + at, "demo: %u frames", &run.frames) == 1;
    return run;
}

void BM_DemoCpuAt60Fps(benchmark::State& state)
{
    const std::string seconds = std::to_string(state.range(0));
    for (auto _ : state) {
        const DemoRun capped = RunDemo({"--seconds", seconds});
        // Alt (scan code 56) held while F9 (67) is tapped on the first frame: no frame cap.
        const DemoRun uncapped =
            RunDemo({"--frames", std::to_string(capped.frames), "--script", "1:56+,1:67+,1:67-,2:56-"});
        if (!capped.ok || !uncapped.ok) {
            state.SkipWithError(("the demo did not run: " + capped.output + uncapped.output).c_str());
            break;
        }
        state.counters["frames"] = capped.frames;
        state.counters["capped_wall_s"] = capped.wallSeconds;
        state.counters["capped_cpu_s"] = capped.cpuSeconds;
        state.counters["uncapped_wall_s"] = uncapped.wallSeconds;
        state.counters["uncapped_cpu_s"] = uncapped.cpuSeconds;
        // CPU spent waiting between frames (s), and what one frame itself takes (ms).
        state.counters["idle_cpu_s"] = capped.cpuSeconds - uncapped.cpuSeconds;
        state.counters["frame_cpu_ms"] = 1000.0 * uncapped.cpuSeconds / capped.frames;
        state.counters["capped_over_uncapped"] = capped.cpuSeconds / uncapped.cpuSeconds;
    }
}
BENCHMARK(BM_DemoCpuAt60Fps)->Arg(5)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    const vireo::test::ScratchDir scratch;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
