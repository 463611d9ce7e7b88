// The demo host, written the way a game's own main would be: register a window class, create
// the window, forward its messages into the engine, call EngineInit once and Run whenever the
// message queue is empty. Options: --frames N, --seconds S, --data DIR, --capture (one last
// frame saved to ScreenCapture.bmp; F12 does the same at any time),
// --record FILE, --replay [FILE], --script KEYS (scripted keys for unattended runs),
// --lose-device FRAME (a device loss and reset after that frame), --checkpoints N (a line of
// the game state every N game updates), --fps N (the frame cap; 0 runs uncapped).
// At exit it prints the game state, so that a run and its replay can be compared.
#include "DemoGame.h"
#include "KeyScript.h"

#include <vireo/engine.h>
#include <vireo/platform/D3D9Testing.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

constexpr int kSceneWidth = 800;
constexpr int kSceneHeight = 600;
// Without a display and without a limit the demo stops by itself after this long.
constexpr double kHeadlessSeconds = 3.0;

struct Options {
    long frames = -1;    // stop after this many frames; -1: no limit
    double seconds = -1; // stop after this long; -1: no limit
    std::wstring dataFolder = L"data";
    bool capture = false;    // --capture: ScreenCapture.bmp of the last frame drawn
    std::wstring recordPath; // --record FILE: record the keyboard into FILE
    bool replay = false;     // --replay: play Record.dat back instead of the keyboard
    std::wstring replayFrom; // --replay FILE: copied to Record.dat first
    std::string script;      // --script KEYS: see CKeyScript::Parse
    long loseDeviceAt = -1;  // --lose-device FRAME: the present after that frame reports a lost device
    long checkpoints = 0;    // --checkpoints N: print the game state every N game updates
    long fps = 60;           // --fps N: the engine's frame cap
};

CDemoGame* g_game = nullptr;

LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_game && g_game->SendMessage(msg, wParam, lParam))
        return 0;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

std::wstring Widen(const char* text)
{
    std::wstring out;
    std::mbstate_t state{};
    wchar_t c;
    for (const char* p = text; *p;) {
        const std::size_t n = std::mbrtowc(&c, p, std::strlen(p), &state);
        if (n == 0 || n > std::strlen(p)) {
            out.push_back(static_cast<unsigned char>(*p++));
            continue;
        }
        out.push_back(c);
        p += n;
    }
    return out;
}

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const bool hasValue = i + 1 < argc;
        char* end = nullptr;
        if (std::strcmp(arg, "--frames") == 0 && hasValue) {
            options.frames = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || options.frames < 0)
                return false;
        } else if (std::strcmp(arg, "--seconds") == 0 && hasValue) {
            options.seconds = std::strtod(argv[++i], &end);
            if (*end != '\0' || options.seconds < 0)
                return false;
        } else if (std::strcmp(arg, "--data") == 0 && hasValue) {
            options.dataFolder = Widen(argv[++i]);
        } else if (std::strcmp(arg, "--capture") == 0) {
            options.capture = true;
        } else if (std::strcmp(arg, "--record") == 0 && hasValue) {
            options.recordPath = Widen(argv[++i]);
        } else if (std::strcmp(arg, "--replay") == 0) {
            options.replay = true;
            if (hasValue && std::strncmp(argv[i + 1], "--", 2) != 0)
                options.replayFrom = Widen(argv[++i]);
        } else if (std::strcmp(arg, "--script") == 0 && hasValue) {
            options.script = argv[++i];
        } else if (std::strcmp(arg, "--lose-device") == 0 && hasValue) {
            options.loseDeviceAt = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || options.loseDeviceAt < 0)
                return false;
        } else if (std::strcmp(arg, "--checkpoints") == 0 && hasValue) {
            options.checkpoints = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || options.checkpoints < 1)
                return false;
        } else if (std::strcmp(arg, "--fps") == 0 && hasValue) {
            options.fps = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || options.fps < 0 || options.fps > 1000)
                return false;
        } else {
            return false;
        }
    }
    return true;
}

bool Headless()
{
    const char* backend = std::getenv("VIREO_BACKEND");
    if (backend && std::strncmp(backend, "headless", 8) == 0)
        return true;
    return !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY");
}

// Replay always reads Record.dat in the current folder: put the chosen file there.
bool CopyToRecordDat(const std::wstring& from)
{
    wchar_t source[MAX_PATH];
    wchar_t target[MAX_PATH];
    const DWORD sourceLength = GetFullPathNameW(from.c_str(), MAX_PATH, source, nullptr);
    const DWORD targetLength = GetFullPathNameW(L"Record.dat", MAX_PATH, target, nullptr);
    if (sourceLength == 0 || sourceLength >= MAX_PATH || targetLength == 0 || targetLength >= MAX_PATH)
        return false;
    if (std::wcscmp(source, target) == 0)
        return true;
    return CopyFileW(source, target, FALSE) != FALSE;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s [--frames N] [--seconds S] [--data DIR] [--capture]\n"
                     "          [--record FILE | --replay [FILE]] [--script KEYS] [--lose-device FRAME]\n"
                     "          [--checkpoints N] [--fps N]\n",
                     argv[0]);
        return 2;
    }
    if (!options.recordPath.empty() && options.replay) {
        std::fprintf(stderr, "demo: --record and --replay cannot be used together\n");
        return 2;
    }
    CKeyScript script;
    std::string scriptError;
    if (!options.script.empty() && !script.Parse(options.script, scriptError)) {
        std::fprintf(stderr, "demo: --script: %s\n", scriptError.c_str());
        return 2;
    }
    if (!options.replayFrom.empty() && !CopyToRecordDat(options.replayFrom)) {
        std::fprintf(stderr, "demo: --replay: cannot copy '%ls' to Record.dat\n", options.replayFrom.c_str());
        return 1;
    }
    if (Headless() && options.frames < 0 && options.seconds < 0)
        options.seconds = kHeadlessSeconds;

    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"VireoDemo";
    if (!RegisterClassExW(&wc)) {
        std::fprintf(stderr, "demo: cannot register the window class\n");
        return 1;
    }
    RECT frame{0, 0, kSceneWidth, kSceneHeight};
    const DWORD style = WS_OVERLAPPEDWINDOW & ~WS_THICKFRAME & ~WS_MAXIMIZEBOX;
    AdjustWindowRect(&frame, style, FALSE);
    const HWND hwnd =
        CreateWindowExW(0, L"VireoDemo", L"Vireo Demo", style, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                        frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (!hwnd) {
        std::fprintf(stderr, "demo: cannot create the window\n");
        return 1;
    }

    CDemoGame game(options.dataFolder);
    g_game = &game;
    SEngineParam param{};
    param.hWnd = hwnd;
    param.sizeScene = SIZE{kSceneWidth, kSceneHeight};
    param.sizeWindow = SIZE{0, 0};
    param.wFPS = static_cast<WORD>(options.fps);
    param.bCenterWindow = TRUE;
    if (!game.EngineInit(&param)) {
        std::fprintf(stderr, "demo: the engine did not start (see VireoEngine.log)\n");
        g_game = nullptr;
        DestroyWindow(hwnd);
        return 1;
    }

    game.Arcade().SetCheckpointEvery(static_cast<DWORD>(options.checkpoints));
    // Recording and replay both start at game update count 0, before the first frame.
    const bool recordFailed = !options.recordPath.empty() && !game.StartRecording(options.recordPath.c_str());
    const bool replayFailed = options.replay && !game.StartReplay();
    if (recordFailed || replayFailed) {
        if (recordFailed)
            std::fprintf(stderr, "demo: recording to '%ls' did not start (see VireoEngine.log)\n",
                         options.recordPath.c_str());
        else
            std::fprintf(stderr, "demo: replay of Record.dat did not start (see VireoEngine.log)\n");
        DestroyWindow(hwnd);
        g_game = nullptr;
        return 1;
    }

    const DWORD start = GetTickCount();
    bool closing = false;
    long captureAskedAt = -1;
    MSG msg{};
    for (;;) {
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                break;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            continue;
        }
        if (!closing)
            script.InjectUpTo(game.GetFrameCount(), hwnd);
        // An unattended run can go through a device loss and reset like a real one (the
        // testing switch of the platform's device).
        if (options.loseDeviceAt >= 0 && game.GetFrameCount() == static_cast<DWORD>(options.loseDeviceAt)) {
            vireo::testing::LoseDeviceOnNextPresent();
            options.loseDeviceAt = -1;
        }
        game.Run();
        // Run draws a frame only when the frame cap allows one; between frames the process
        // sleeps until a message comes, at most a millisecond, instead of spinning on Run.
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE))
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
        const double elapsed = (GetTickCount() - start) / 1000.0;
        const bool framesDone = options.frames >= 0 && game.GetFrameCount() >= static_cast<DWORD>(options.frames);
        const bool timeDone = options.seconds >= 0 && elapsed >= options.seconds;
        if (!closing && (framesDone || timeDone)) {
            // --capture saves one more frame first. The frame cap may let a few Run calls go
            // by without drawing; a window that never draws gives up after a bounded wait.
            if (options.capture && captureAskedAt < 0) {
                captureAskedAt = static_cast<long>(game.GetFrameCount());
                game.Pictures().RequestCapture();
            }
            const bool captureSettled = !options.capture || game.Pictures().GetCaptureCount() > 0 ||
                                        static_cast<long>(game.GetFrameCount()) > captureAskedAt + 120;
            if (captureSettled) {
                // Closing the window takes the same road as the user's close button.
                closing = true;
                DestroyWindow(hwnd);
            }
        }
    }

    const double elapsed = (GetTickCount() - start) / 1000.0;
    std::printf("demo: %u frames, %u game ticks in %.1f s (measured %u FPS)\n", game.GetFrameCount(),
                game.GetGameTicks(), elapsed, game.GetEngineStatus()->wFPS);
    const POINT player = game.GetPlayerPos();
    const CDemoRound& round = game.Arcade().Round();
    std::printf("demo state: frames=%u ticks=%u x=%ld y=%ld hash=%08x score=%d best=%d game=%08x\n",
                game.GetFrameCount(), game.GetGameTicks(), static_cast<long>(player.x), static_cast<long>(player.y),
                game.GetKeyStateHash(), round.Score(), round.BestScore(), round.Hash());
    if (game.Pictures().GetCaptureCount() > 0)
        std::printf("demo: %d screen capture(s) written to %ls\n", game.Pictures().GetCaptureCount(),
                    CDemoPictures::kCaptureFile);
    else if (options.capture)
        std::printf("demo: --capture: no frame was captured (see VireoEngine.log)\n");
    g_game = nullptr;
    return static_cast<int>(msg.wParam);
}
