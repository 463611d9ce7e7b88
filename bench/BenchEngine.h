// The benchmarks' short names for the shared host of tests/common/HostWindow.h: headless back
// end, a scratch working folder for the log, a host window with an 800 x 600 client and an
// engine started on it. Forwards only; the host itself is the tests' one.
#pragma once

#include "common/HostWindow.h"
#include "common/ScratchDir.h"

#include <memory>

namespace vireo::bench {

// Headless back end and a scratch working folder (removed at exit); the name is not used.
inline void UseHeadlessBenchFolder(const char* /*folderName*/)
{
    vireo::test::UseHeadlessBackend();
    static const vireo::test::ScratchDir scratch;
}

inline HWND CreateBenchHostWindow()
{
    return vireo::test::CreateHostWindow(800, 600, nullptr, true);
}

// EngineInit of a game on the host window with an 800 x 600 scene; fps 0 runs uncapped.
inline BOOL InitBenchEngine(CGameEngine& game, HWND hwnd, WORD fps = 0)
{
    const SEngineParam param = vireo::test::SceneParam(hwnd, fps);
    return game.EngineInit(&param);
}

inline std::unique_ptr<CGameEngine> StartHeadlessEngine(const char* /*folderName*/)
{
    return vireo::test::StartHeadlessEngine();
}

} // namespace vireo::bench
