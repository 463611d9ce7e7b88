// UpdateAnimations over 10,000 playing animations of one package, all on the game clock:
// the time of one tick (goal: under 1 ms). Sequences of 8 frames at delay 0, so every tick
// changes every animation's frame and every pass end is met. No pass or fail.
#include "common/HostWindow.h"

#include <vireo/resource.h>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace {

constexpr int kAnimations = 10000;

void BM_UpdateAnimations(benchmark::State& state)
{
    auto engine = vireo::test::StartHeadlessEngine();
    if (!engine) {
        state.SkipWithError("EngineInit failed");
        return;
    }
    std::filesystem::create_directories("anim_pk");
    std::ofstream("anim_pk/Desc.ini", std::ios::binary | std::ios::trunc)
        << "[Picture]\r\nPictureCount=8\r\n[Animation]\r\nFrameDelay=0\r\nSeqCount=2\r\nSeq001=0,7,1\r\nSeq002=7,0,"
           "3\r\n";
    CRenderSystem* render = engine->GetRenderSystem();
    std::vector<CAnimation*> animations;
    for (int i = 0; i < kAnimations; ++i) {
        CAnimation* animation = render->CreateAnimation(L"anim_pk", 1 + i % 2);
        if (!animation) {
            state.SkipWithError("package did not load");
            return;
        }
        animation->Play(i % 3); // endless and counted plays mixed
        animations.push_back(animation);
    }
    for (auto _ : state) {
        render->UpdateAnimations(0);
        // Counted plays end; keep every animation moving so each tick does the full work.
        state.PauseTiming();
        for (CAnimation* animation : animations)
            if (!animation->IsPlaying())
                animation->Play(0);
        state.ResumeTiming();
    }
    state.counters["animations"] = kAnimations;
    for (CAnimation* animation : animations)
        render->ReleaseAnimation(animation);
}
BENCHMARK(BM_UpdateAnimations)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
