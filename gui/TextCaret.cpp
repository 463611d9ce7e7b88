// The platform caret of the focused edit box: one owner at a time, placed in the client
// coordinates of the engine's window; moved only when its rectangle changes.
#include "gui/TextCaret.h"

#include <vireo/engine.h>

namespace vireo::gui {
namespace {
const CGWnd* g_owner = nullptr;
RECT g_placed{0, 0, 0, 0};
} // namespace

void PlaceTextCaret(const CGWnd* owner, CGameEngine* engine, const RECT& sceneRect)
{
    if (!engine)
        return;
    const HWND hwnd = engine->GetEngineParam()->hWnd;
    RECT client{0, 0, 0, 0};
    const SIZE scene = engine->GetSceneSize();
    if (!GetClientRect(hwnd, &client) || scene.cx < 1 || scene.cy < 1)
        return;
    const auto sx = [&](LONG x) { return static_cast<int>(x * (client.right - client.left) / scene.cx); };
    const auto sy = [&](LONG y) { return static_cast<int>(y * (client.bottom - client.top) / scene.cy); };
    const RECT placed{sx(sceneRect.left), sy(sceneRect.top), sx(sceneRect.right), sy(sceneRect.bottom)};
    if (owner != g_owner) {
        if (!CreateCaret(hwnd, nullptr, placed.right - placed.left, placed.bottom - placed.top))
            return;
        g_owner = owner;
    } else if (placed.left == g_placed.left && placed.top == g_placed.top && placed.right == g_placed.right &&
               placed.bottom == g_placed.bottom) {
        return;
    }
    g_placed = placed;
    SetCaretPos(placed.left, placed.top);
}

void ReleaseTextCaret(const CGWnd* owner)
{
    if (owner != g_owner)
        return;
    DestroyCaret();
    g_owner = nullptr;
}

void ReleaseTextCaretWithin(const CGWnd* window)
{
    for (const CGWnd* w = g_owner; w; w = w->GetParent())
        if (w == window) {
            ReleaseTextCaret(g_owner);
            return;
        }
}

} // namespace vireo::gui
