// The host every example of the guide shares: the window, the window procedure that forwards
// into the game, EngineInit and the idle loop of MinimalGame.cpp, cut into steps so that an
// example can run a few frames, act, and run on. Plus the two checks the examples make: a
// pixel of the scene read back, and a result line. No game logic lives here.
#pragma once

#include <vireo/engine.h>

#include <cstdio>

class CExampleHost {
  public:
    // A window with a client area of the scene's size and the engine started in it; false,
    // with a line on stderr, when the engine did not start.
    bool Start(CGameEngine& game, SIZE scene = {320, 240}, WORD fps = 0)
    {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = WndProc;
        wc.lpszClassName = L"VireoExample";
        RegisterClassExW(&wc);
        RECT frame{0, 0, scene.cx, scene.cy};
        AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
        m_hwnd =
            CreateWindowExW(0, L"VireoExample", L"Vireo example", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                            frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, nullptr, nullptr);
        s_game = &game;
        SEngineParam param{};
        param.hWnd = m_hwnd;
        param.sizeScene = scene;
        param.wFPS = fps;
        if (!m_hwnd || !game.EngineInit(&param)) {
            std::fprintf(stderr, "the engine did not start (see VireoEngine.log)\n");
            return false;
        }
        return true;
    }

    // Pumps messages and calls Run until the engine has completed `frames` frames since it
    // started; false when the game ended before.
    bool RunUntil(DWORD frames)
    {
        MSG msg{};
        while (s_game->GetEngineStatus()->nUIUpdateCount < frames) {
            if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                s_game->Run();
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT); // no spinning between frames
                continue;
            }
            if (msg.message == WM_QUIT)
                return false;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        return true;
    }

    // Closes the window the way the user's close button does and lets the engine end.
    void Close()
    {
        if (IsWindow(m_hwnd))
            DestroyWindow(m_hwnd);
        MSG msg{};
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message != WM_QUIT)
            DispatchMessageW(&msg);
        s_game = nullptr;
    }

    HWND Window() const { return m_hwnd; }

  private:
    static LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (s_game && s_game->SendMessage(msg, wParam, lParam))
            return 0;
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    static inline CGameEngine* s_game = nullptr;
    HWND m_hwnd = nullptr;
};

// The colour (ARGB) of one pixel of the back buffer as drawn so far in this frame: call it
// after EndSprite (or after drawing 3D) inside EMSG_RS_RENDER.
inline DWORD ReadScenePixel(CRenderSystem* rs, int x, int y)
{
    IDirect3DSurface9* back = nullptr;
    if (FAILED(rs->GetD3DDevice()->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back)))
        return 0;
    D3DLOCKED_RECT locked{};
    const RECT one{x, y, x + 1, y + 1};
    DWORD color = 0;
    if (SUCCEEDED(back->LockRect(&locked, &one, D3DLOCK_READONLY))) {
        color = *static_cast<const DWORD*>(locked.pBits);
        back->UnlockRect();
    }
    back->Release();
    return color;
}

// Prints what was checked and whether it held; the examples' exit code is the sum of these.
inline int Check(bool ok, const char* what)
{
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    return ok ? 0 : 1;
}
