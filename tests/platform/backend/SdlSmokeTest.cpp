// One run of the SDL2 back end against an X display (a private Xvfb when none is set): a
// window appears, takes a frame, pumps events, passes the caret on to the input method,
// round-trips the clipboard and goes away.
// Skipped only where there is no display and Xvfb is not installed.
#include "common/ChildProcess.h"
#include "common/HostWindow.h"
#include "platform/backend/Backend.h"
#include "platform/core/Presentation.h"

#include <vireo/platform/Win32.h>

#include <SDL.h>
#include <gtest/gtest.h>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// Stands in for SDL's own function in this process, so the test sees the rectangle the back
// end hands the input method.
static SDL_Rect g_textInputRect{-1, -1, -1, -1};
extern "C" void SDL_SetTextInputRect(const SDL_Rect* rect)
{
    g_textInputRect = *rect;
}

namespace {

TEST(SdlBackend, OpensAWindowAndPresentsAFrame)
{
#if defined(__SANITIZE_ADDRESS__)
    // SDL unloads the X and GL libraries it opened when its video shuts down; what they still
    // held then is no longer reachable from their globals and would be reported as leaks that
    // no suppression can name. The test's own allocations are checked by every other test.
    struct LeakCheckOff {
        LeakCheckOff() { __lsan_disable(); }
        ~LeakCheckOff() { __lsan_enable(); }
    } leakCheckOff;
#endif
    // Declared first, so the server outlives the back end's connection to it.
    vireo::test::ChildProcess xvfb;
    const char* display = std::getenv("DISPLAY");
    std::string privateDisplay, why;
    if ((!display || !*display) && !vireo::test::StartXvfb(xvfb, privateDisplay, why))
        GTEST_SKIP() << "no DISPLAY, and " << why;
    struct Restore { // the headless back end every test starts with
        bool unsetDisplay;
        ~Restore()
        {
            vireo::platform::ResetBackendChoice();
            vireo::test::UseHeadlessBackend();
            if (unsetDisplay)
                unsetenv("DISPLAY");
        }
    } restore{!privateDisplay.empty()};
    if (!privateDisplay.empty())
        setenv("DISPLAY", privateDisplay.c_str(), 1);
    setenv("VIREO_BACKEND", "sdl2", 1);
    vireo::platform::ResetBackendChoice();
    vireo::platform::CBackend* backend = vireo::platform::ActiveBackend();
    ASSERT_NE(backend, nullptr);
    EXPECT_STREQ(backend->Name(), "sdl2");

    HWND hwnd = vireo::test::CreateHostWindow(320, 240, nullptr, true);
    ASSERT_NE(hwnd, nullptr);
    ShowWindow(hwnd, SW_SHOW);
    SetWindowTextW(hwnd, L"Vireo 冒烟"); // the SDL window is found below by this title
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);

    std::vector<std::uint32_t> pixels(160 * 120, 0xFF3366CC);
    for (int i = 0; i < 3; ++i) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        EXPECT_EQ(vireo::platform::PresentFrame(hwnd, {pixels.data(), 160, 120, 160 * 4}),
                  vireo::platform::PresentResult::Shown);
    }
    RECT client;
    ASSERT_TRUE(GetClientRect(hwnd, &client));
    EXPECT_GT(client.right, 0);

    // Native events as SDL delivers them become the window messages the host forwards.
    Uint32 id = 0;
    for (Uint32 candidate = 1; candidate < 64 && !id; ++candidate)
        if (SDL_Window* native = SDL_GetWindowFromID(candidate))
            if (std::strcmp(SDL_GetWindowTitle(native), "Vireo \xE5\x86\x92\xE7\x83\x9F") == 0)
                id = candidate;
    ASSERT_NE(id, 0u) << "the SDL window carrying the title was not found";
    SDL_Event typed{}, key{}, close{};
    typed.type = SDL_TEXTINPUT;
    typed.text.windowID = id;
    std::strcpy(typed.text.text, "a\xE4\xB8\xAD\xF0\x9F\x98\x80"); // "a中😀": the last as two surrogates
    key.type = SDL_KEYDOWN;
    key.key.windowID = id;
    key.key.keysym = {SDL_SCANCODE_V, SDLK_v, KMOD_LCTRL, 0};
    close.type = SDL_WINDOWEVENT;
    close.window.windowID = id;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    for (SDL_Event* event : {&typed, &key, &close})
        SDL_PushEvent(event);
    std::vector<std::pair<UINT, WPARAM>> seen;
    MSG msg;
    while (PeekMessageW(&msg, hwnd, 0, 0, PM_REMOVE))
        if (msg.message != WM_MOVE && msg.message != WM_SIZE && msg.message != WM_ACTIVATE)
            seen.emplace_back(msg.message, msg.wParam);
    const std::vector<std::pair<UINT, WPARAM>> expected{{WM_CHAR, L'a'},   {WM_CHAR, L'中'},  {WM_CHAR, 0xD83D},
                                                        {WM_CHAR, 0xDE00}, {WM_KEYDOWN, 'V'}, {WM_CHAR, 22},
                                                        {WM_CLOSE, 0}};
    EXPECT_EQ(seen, expected);

    // The caret tells the input method where text is being typed.
    ASSERT_TRUE(CreateCaret(hwnd, nullptr, 2, 11));
    ASSERT_TRUE(SetCaretPos(40, 30));
    EXPECT_EQ((std::vector<int>{g_textInputRect.x, g_textInputRect.y, g_textInputRect.w, g_textInputRect.h}),
              (std::vector<int>{40, 30, 2, 11}));
    DestroyCaret();

    ASSERT_TRUE(OpenClipboard(hwnd));
    EmptyClipboard();
    const wchar_t text[] = L"剪贴板";
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(text));
    std::wmemcpy(static_cast<wchar_t*>(GlobalLock(block)), text, sizeof(text) / sizeof(wchar_t));
    GlobalUnlock(block);
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, block), block);
    HANDLE got = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(got, nullptr);
    EXPECT_STREQ(static_cast<const wchar_t*>(GlobalLock(got)), text);
    GlobalUnlock(got);
    CloseClipboard();

    EXPECT_TRUE(DestroyWindow(hwnd));
}

} // namespace
