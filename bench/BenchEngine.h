// A started headless engine for benchmarks that need the render system (textures, packages,
// animations): virtual clock, a hidden host window, and a private working folder for the log
// and the files a benchmark writes. Not a measurement itself.
#pragma once

#include <vireo/engine.h>
#include <vireo/platform/Testing.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace vireo::bench {

inline LRESULT BenchWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// Headless back end, no sound device, and a private working folder under the temp folder: the
// engine writes its log into the working directory, which must not be the caller's.
inline void UseHeadlessBenchFolder(const char* folderName)
{
    setenv("VIREO_BACKEND", "headless", 1);
    setenv("VIREO_AUDIO", "null", 1);
    std::error_code ec;
    const auto dir = std::filesystem::temp_directory_path(ec) / folderName;
    std::filesystem::create_directories(dir, ec);
    std::filesystem::current_path(dir, ec);
}

// A plain host window for an 800 x 600 scene; its class is registered on first use.
inline HWND CreateBenchHostWindow()
{
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = BenchWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VireoBenchEngine";
        return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
    return CreateWindowExW(0, L"VireoBenchEngine", L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 816, 639, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

// EngineInit of a game on the host window with an 800 x 600 scene; fps 0 runs uncapped. The
// virtual clock must be installed first, so the 1.5 s start-up wait costs nothing.
inline BOOL InitBenchEngine(CGameEngine& game, HWND hwnd, WORD fps = 0)
{
    SEngineParam param{};
    param.hWnd = hwnd;
    param.sizeScene = SIZE{800, 600};
    param.wFPS = fps;
    return game.EngineInit(&param);
}

// Null when the engine could not start (the caller skips with an error).
inline std::unique_ptr<CGameEngine> StartHeadlessEngine(const char* folderName)
{
    UseHeadlessBenchFolder(folderName);
    vireo::testing::InstallVirtualClock();
    auto engine = std::make_unique<CGameEngine>();
    if (!InitBenchEngine(*engine, CreateBenchHostWindow()))
        return nullptr;
    return engine;
}

} // namespace vireo::bench
