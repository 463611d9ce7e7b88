// The message queue of the (single) thread that owns the windows: posted messages in order,
// the quit flag that is seen only after them, and synchronous sends. Native events are
// pumped in by the active back end whenever the queue is looked at.
#include "platform/core/Window.h"

#include <cstdio>
#include <deque>

namespace vireo::platform {
namespace {

constexpr std::size_t kQueueLimit = 10000; // as Windows limits a queue's posted messages

std::deque<MSG> g_queue;
bool g_quitPending = false;
int g_quitCode = 0;

bool Matches(const MSG& msg, HWND filter, UINT filterMin, UINT filterMax)
{
    if (filter == reinterpret_cast<HWND>(-1)) {
        if (msg.hwnd)
            return false;
    } else if (filter && msg.hwnd != filter) {
        return false;
    }
    if (filterMin == 0 && filterMax == 0)
        return true;
    return msg.message >= filterMin && msg.message <= filterMax;
}

void PumpBackend()
{
    if (CBackend* backend = ActiveBackend())
        backend->Events().Pump();
}

} // namespace

void PurgeMessages(HWND hwnd)
{
    std::erase_if(g_queue, [hwnd](const MSG& msg) { return msg.hwnd == hwnd; });
}

} // namespace vireo::platform

using namespace vireo::platform;

BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (hwnd && !FindWindowState(hwnd))
        return FALSE;
    if (g_queue.size() >= kQueueLimit) {
        SetLastError(ERROR_NOT_ENOUGH_QUOTA);
        return FALSE;
    }
    MSG msg{hwnd, message, wParam, lParam, GetTickCount(), LastCursorScreenPos()};
    g_queue.push_back(msg);
    return TRUE;
}

void PostQuitMessage(int exitCode)
{
    g_quitPending = true;
    g_quitCode = exitCode;
}

BOOL PeekMessageW(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg)
{
    if (!msg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    PumpBackend();
    for (auto it = g_queue.begin(); it != g_queue.end(); ++it) {
        if (!Matches(*it, hwnd, filterMin, filterMax))
            continue;
        *msg = *it;
        if (removeMsg & PM_REMOVE)
            g_queue.erase(it);
        return TRUE;
    }
    // WM_QUIT belongs to no window and comes only once the posted messages are gone; the
    // message range does not filter it out.
    if (g_quitPending && (hwnd == nullptr || hwnd == reinterpret_cast<HWND>(-1))) {
        *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(g_quitCode), 0, GetTickCount(), LastCursorScreenPos()};
        if (removeMsg & PM_REMOVE)
            g_quitPending = false;
        return TRUE;
    }
    return FALSE;
}

BOOL GetMessageW(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax)
{
    if (!msg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    for (;;) {
        if (PeekMessageW(msg, hwnd, filterMin, filterMax, PM_REMOVE))
            return msg->message == WM_QUIT ? 0 : 1;
        CBackend* backend = ActiveBackend();
        if (!backend || !backend->Events().Wait(100)) {
            // Nothing can ever arrive (headless, or no back end): waiting would hang the
            // program, so the wait ends as if the program had been told to quit.
            static bool warned = false;
            if (!warned) {
                std::fprintf(stderr, "vireo: GetMessage has nothing to wait for; answering WM_QUIT\n");
                warned = true;
            }
            *msg = MSG{nullptr, WM_QUIT, 0, 0, GetTickCount(), LastCursorScreenPos()};
            return 0;
        }
    }
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds, DWORD wakeMask)
{
    (void)handles;
    (void)waitAll;
    (void)wakeMask;
    if (count != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    MSG msg;
    const DWORD start = GetTickCount();
    for (;;) {
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE))
            return WAIT_OBJECT_0;
        const DWORD waited = GetTickCount() - start;
        if (milliseconds != INFINITE && waited >= milliseconds)
            return WAIT_TIMEOUT;
        const DWORD left = milliseconds == INFINITE ? 100 : milliseconds - waited;
        CBackend* backend = ActiveBackend();
        // A back end that can never deliver an event (headless) still lets the time pass, on
        // the platform clock (so the virtual clock of tests moves at once); an endless wait
        // there would hang, so it ends as a time-out, as GetMessage ends with WM_QUIT.
        if (!backend || !backend->Events().Wait(static_cast<int>(left))) {
            if (milliseconds == INFINITE)
                return WAIT_TIMEOUT;
            Sleep(left);
        }
    }
}

BOOL TranslateMessage(const MSG* msg)
{
    // Characters already arrive as WM_CHAR from the back end's text input; nothing to make.
    return msg && msg->message >= WM_KEYDOWN && msg->message <= WM_SYSKEYUP ? TRUE : FALSE;
}

LRESULT DispatchMessageW(const MSG* msg)
{
    if (!msg || !msg->hwnd)
        return 0;
    CWindow* window = FindWindowState(msg->hwnd);
    return window ? window->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam) : 0;
}

LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWindow* window = FindWindowState(hwnd);
    return window ? window->proc(hwnd, message, wParam, lParam) : 0;
}

LRESULT DefWindowProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_SYSKEYDOWN:
        // Alt+F4 closes the window, as the system menu's Close would.
        if (wParam == VK_F4 && (lParam & (1 << 29)))
            PostMessageW(hwnd, WM_CLOSE, 0, 0);
        return 0;
    default:
        return 0;
    }
}
