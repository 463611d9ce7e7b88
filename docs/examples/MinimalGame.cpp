// A whole game: a square bouncing across the scene. Give it a number to stop after that many frames.
#include <vireo/engine.h>

#include <cstdlib>

class CBounceGame : public CGameEngine {
    int x = 0, dx = 4;

  protected:
    int MessageProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == EMSG_EG_GAME_UPDATE && ((x += dx) <= 0 || x >= 600)) // game logic; not while paused
            dx = -dx;
        if (msg == EMSG_RS_RENDER_BEGIN) // the engine never clears the canvas by itself
            GetRenderSystem()->ClearCanvas(0xFF203040);
        if (msg == EMSG_RS_RENDER) { // drawing
            const RECT square{x, 100, x + 40, 140};
            GetRenderSystem()->FillRect(&square, 0xFFFFC000);
        }
        return CGameEngine::MessageProc(msg, wParam, lParam); // defaults: hot keys, GUI, quit
    }
};

static CBounceGame* g_game;

static LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_game && g_game->SendMessage(msg, wParam, lParam))
        return 0;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

int main(int argc, char** argv)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WndProc;
    wc.lpszClassName = L"Bounce";
    RegisterClassExW(&wc);
    HWND hwnd = CreateWindowExW(0, L"Bounce", L"Bounce", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 656, 519,
                                nullptr, nullptr, nullptr, nullptr);
    CBounceGame game;
    g_game = &game;
    SEngineParam param{};
    param.hWnd = hwnd;
    param.sizeScene = {640, 480}; // the back buffer, stretched onto the window
    param.wFPS = 60;              // 0: no frame cap
    if (!game.EngineInit(&param))
        return 1;

    const DWORD frames = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 0;
    MSG msg{};
    while (msg.message != WM_QUIT) {
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        } else if (frames && game.GetEngineStatus()->nUIUpdateCount >= frames) {
            DestroyWindow(hwnd); // as the close button does: the engine ends and posts WM_QUIT
        } else {
            game.Run(); // one frame when the frame cap allows it
            // Sleep until a message comes, at most 1 ms, instead of spinning between frames.
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
        }
    }
    return 0;
}
