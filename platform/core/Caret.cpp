// The thread's caret: who owns it and where it is, passed on to the back end window so the
// input method's candidate window follows the text being typed. Nothing is drawn here;
// blinking and bitmap carets are the caller's business.
#include "platform/core/Window.h"

#include "platform/backend/Backend.h"

namespace {

struct CaretState {
    HWND owner = nullptr;
    int width = 0;
    int height = 0;
    POINT pos{0, 0};
};
CaretState g_caret;

void Tell(const RECT* rect)
{
    if (vireo::platform::CWindow* window = vireo::platform::FindWindowState(g_caret.owner))
        if (window->native)
            window->native->SetTextInputRect(rect);
}

} // namespace

BOOL CreateCaret(HWND hwnd, HBITMAP, int width, int height)
{
    if (!vireo::platform::FindWindowState(hwnd))
        return FALSE;
    if (g_caret.owner && g_caret.owner != hwnd)
        Tell(nullptr);
    g_caret = CaretState{hwnd, width, height, {0, 0}};
    return TRUE;
}

BOOL SetCaretPos(int x, int y)
{
    if (!g_caret.owner)
        return FALSE;
    g_caret.pos = POINT{x, y};
    const RECT rect{x, y, x + g_caret.width, y + g_caret.height};
    Tell(&rect);
    return TRUE;
}

BOOL GetCaretPos(POINT* point)
{
    if (!g_caret.owner || !point)
        return FALSE;
    *point = g_caret.pos;
    return TRUE;
}

BOOL DestroyCaret()
{
    if (!g_caret.owner)
        return FALSE;
    Tell(nullptr);
    g_caret = CaretState{};
    return TRUE;
}
