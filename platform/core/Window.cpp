// Window classes and top-level windows: creation and destruction with their messages,
// placement, visibility, foreground, cursor and system metrics. No child windows, menus,
// painting or non-client hit testing: a game host needs none of them.
#include "platform/core/Window.h"

#include "platform/core/Utf8.h"

#include <cstdint>
#include <cstdio>
#include <cwctype>
#include <map>
#include <vector>

namespace vireo::platform {
namespace {

// Frame metrics of a 96-DPI desktop with the default theme.
constexpr int kCaption = 23;
constexpr int kFixedFrame = 3;
constexpr int kSizingFrame = 4 + 4; // SM_CXFRAME + SM_CXPADDEDBORDER
constexpr int kDefaultWidth = 1024, kDefaultHeight = 768, kDefaultPosition = 100;

struct WindowClass {
    WNDPROC proc;
    ATOM atom;
};

std::map<std::wstring, WindowClass> g_classes; // keys lower-cased: class names ignore case
ATOM g_nextAtom = 0xC000;
std::map<HWND, std::unique_ptr<CWindow>> g_windows;
std::uintptr_t g_nextWindow = 0x10010;
HWND g_foreground = nullptr;
POINT g_cursor{0, 0};

std::wstring Lower(const wchar_t* text)
{
    std::wstring out(text);
    for (wchar_t& c : out)
        c = static_cast<wchar_t>(std::towlower(c));
    return out;
}

RECT InsetsFor(DWORD style, bool menu)
{
    int frame = 0;
    if (style & WS_THICKFRAME)
        frame = kSizingFrame;
    else if (style & WS_DLGFRAME)
        frame = kFixedFrame;
    else if (style & WS_BORDER)
        frame = 1;
    const int top = frame + ((style & WS_CAPTION) == WS_CAPTION ? kCaption : 0) + (menu ? 20 : 0);
    return {frame, top, frame, frame};
}

LPARAM SizeParam(int width, int height)
{
    return MAKELPARAM(static_cast<WORD>(width < 0 ? 0 : width), static_cast<WORD>(height < 0 ? 0 : height));
}

void SendActivate(HWND hwnd, WORD state)
{
    CWindow* window = FindWindowState(hwnd);
    if (window)
        SendMessageW(hwnd, WM_ACTIVATE, MAKEWPARAM(state, window->minimised ? 1 : 0), 0);
}

// Makes hwnd the foreground window with the messages Windows sends synchronously.
void Activate(HWND hwnd)
{
    if (g_foreground == hwnd)
        return;
    const HWND previous = g_foreground;
    g_foreground = hwnd;
    if (previous)
        SendActivate(previous, WA_INACTIVE);
    SendActivate(hwnd, WA_ACTIVE);
}

void Deactivate(HWND hwnd)
{
    if (g_foreground != hwnd)
        return;
    g_foreground = nullptr;
    SendActivate(hwnd, WA_INACTIVE);
}

} // namespace

CWindow* FindWindowState(HWND hwnd)
{
    const auto it = g_windows.find(hwnd);
    if (it == g_windows.end() || !hwnd) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return it->second.get();
}

HWND AnyWindow()
{
    if (g_foreground)
        return g_foreground;
    return g_windows.empty() ? nullptr : g_windows.begin()->first;
}

POINT LastCursorScreenPos()
{
    if (CBackend* backend = ActiveBackend()) {
        POINT point;
        if (backend->Video().CursorScreenPos(point))
            g_cursor = point;
    }
    return g_cursor;
}

// ---- back-end reports -------------------------------------------------------------------

void OnNativeClose(HWND hwnd)
{
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
}

void OnNativeFocus(HWND hwnd, bool gained)
{
    CWindow* window = FindWindowState(hwnd);
    if (!window)
        return;
    if (gained == (g_foreground == hwnd))
        return; // no change, no message
    if (gained) {
        const HWND previous = g_foreground;
        g_foreground = hwnd;
        if (const CWindow* before = previous ? FindWindowState(previous) : nullptr)
            PostMessageW(previous, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, before->minimised ? 1 : 0), 0);
    } else {
        g_foreground = nullptr;
    }
    PostMessageW(hwnd, WM_ACTIVATE, MAKEWPARAM(gained ? WA_ACTIVE : WA_INACTIVE, window->minimised ? 1 : 0), 0);
}

void OnNativeMinimised(HWND hwnd, bool minimised)
{
    CWindow* window = FindWindowState(hwnd);
    if (!window || window->minimised == minimised)
        return;
    window->minimised = minimised;
    if (minimised) {
        OnNativeFocus(hwnd, false); // a minimised window is not the foreground window
        PostMessageW(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
    } else {
        PostMessageW(hwnd, WM_SIZE, SIZE_RESTORED, SizeParam(window->ClientWidth(), window->ClientHeight()));
    }
}

void OnNativeClientSize(HWND hwnd, int width, int height)
{
    CWindow* window = FindWindowState(hwnd);
    if (!window || width < 0 || height < 0)
        return;
    if (width == window->ClientWidth() && height == window->ClientHeight())
        return;
    window->windowRect.right = window->windowRect.left + window->insets.left + width + window->insets.right;
    window->windowRect.bottom = window->windowRect.top + window->insets.top + height + window->insets.bottom;
    PostMessageW(hwnd, WM_SIZE, SIZE_RESTORED, SizeParam(width, height));
}

void OnNativeMoved(HWND hwnd, int clientScreenX, int clientScreenY)
{
    CWindow* window = FindWindowState(hwnd);
    if (!window)
        return;
    const int width = window->windowRect.right - window->windowRect.left;
    const int height = window->windowRect.bottom - window->windowRect.top;
    window->windowRect.left = clientScreenX - window->insets.left;
    window->windowRect.top = clientScreenY - window->insets.top;
    window->windowRect.right = window->windowRect.left + width;
    window->windowRect.bottom = window->windowRect.top + height;
    PostMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(clientScreenX), static_cast<WORD>(clientScreenY)));
}

void OnNativeChar(HWND hwnd, char32_t codePoint)
{
    // As on Win32, a character outside the basic plane arrives as two WM_CHAR (high, then
    // low surrogate); receivers that store text join them into one code point.
    if (codePoint > 0xFFFF && codePoint <= 0x10FFFF) {
        const char32_t offset = codePoint - 0x10000;
        PostMessageW(hwnd, WM_CHAR, static_cast<WPARAM>(0xD800 + (offset >> 10)), 1);
        PostMessageW(hwnd, WM_CHAR, static_cast<WPARAM>(0xDC00 + (offset & 0x3FF)), 1);
        return;
    }
    PostMessageW(hwnd, WM_CHAR, static_cast<WPARAM>(codePoint), 1);
}

void OnNativeKey(HWND hwnd, bool down, UINT virtualKey, int scanCode, bool extended, bool altHeld, bool repeat)
{
    // lParam: repeat count 1, scan code, extended flag, context (Alt), previous state, transition.
    std::uint32_t lParam = 1u | (static_cast<std::uint32_t>(scanCode & 0xFF) << 16);
    if (extended)
        lParam |= 1u << 24;
    if (altHeld)
        lParam |= 1u << 29;
    if (!down || repeat)
        lParam |= 1u << 30;
    if (!down)
        lParam |= 1u << 31;
    const bool system = altHeld || virtualKey == VK_F10;
    const UINT message = system ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
    PostMessageW(hwnd, message, virtualKey, static_cast<LPARAM>(lParam));
}

void OnNativeCursor(HWND hwnd, int clientX, int clientY)
{
    CWindow* window = FindWindowState(hwnd);
    if (!window)
        return;
    const POINT origin = window->ClientOrigin();
    g_cursor = {origin.x + clientX, origin.y + clientY};
}

} // namespace vireo::platform

using namespace vireo::platform;

HMODULE GetModuleHandleW(LPCWSTR moduleName)
{
    if (moduleName) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x400000)); // the usual image base
}

ATOM RegisterClassExW(const WNDCLASSEXW* wc)
{
    if (!wc || wc->cbSize != sizeof(WNDCLASSEXW) || !wc->lpfnWndProc || !wc->lpszClassName || !*wc->lpszClassName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::wstring key = Lower(wc->lpszClassName);
    if (g_classes.count(key)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    const ATOM atom = g_nextAtom++;
    g_classes[key] = {wc->lpfnWndProc, atom};
    return atom;
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    if (!className) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const auto cls = g_classes.find(Lower(className));
    if (cls == g_classes.end()) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    CBackend* backend = ActiveBackend();
    if (!backend) {
        SetLastError(ERROR_NOT_SUPPORTED); // the reason is already on stderr
        return nullptr;
    }
    if (x == CW_USEDEFAULT)
        x = y = kDefaultPosition;
    if (width == CW_USEDEFAULT || width <= 0 || height <= 0) {
        width = width == CW_USEDEFAULT || width <= 0 ? kDefaultWidth : width;
        height = height == CW_USEDEFAULT || height <= 0 ? kDefaultHeight : height;
    }
    auto window = std::make_unique<CWindow>();
    const HWND hwnd = reinterpret_cast<HWND>(g_nextWindow);
    g_nextWindow += 2;
    window->hwnd = hwnd;
    window->proc = cls->second.proc;
    window->title = windowName ? windowName : L"";
    window->style = style;
    window->insets = InsetsFor(style, menu != nullptr);
    window->windowRect = {x, y, x + width, y + height};
    // A frame larger than the window leaves an empty client area, never a negative one.
    if (window->ClientWidth() < 0)
        window->windowRect.right = x + window->insets.left + window->insets.right;
    if (window->ClientHeight() < 0)
        window->windowRect.bottom = y + window->insets.top + window->insets.bottom;

    const POINT origin = window->ClientOrigin();
    WindowDesc desc{hwnd,
                    window->title,
                    origin.x,
                    origin.y,
                    window->ClientWidth(),
                    window->ClientHeight(),
                    (style & WS_THICKFRAME) != 0,
                    (style & WS_CAPTION) != 0};
    window->native = backend->Video().CreateNativeWindow(desc);
    if (!window->native) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    CWindow& state = *window;
    g_windows.emplace(hwnd, std::move(window));

    CREATESTRUCTW create{
        param,     instance, menu, parent, height, width, y, x, static_cast<LONG>(style), state.title.c_str(),
        className, exStyle};
    if (SendMessageW(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(hwnd);
        SetLastError(ERROR_INVALID_PARAMETER); // the window procedure refused the creation
        return nullptr;
    }
    if (!IsWindow(hwnd))
        return nullptr; // destroyed from inside WM_CREATE
    SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, SizeParam(state.ClientWidth(), state.ClientHeight()));
    SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(origin.x), static_cast<WORD>(origin.y)));
    if (style & WS_VISIBLE)
        ShowWindow(hwnd, SW_SHOW);
    return IsWindow(hwnd) ? hwnd : nullptr; // the procedure may have destroyed it already
}

BOOL DestroyWindow(HWND hwnd)
{
    CWindow* window = FindWindowState(hwnd);
    if (!window)
        return FALSE;
    if (window->destroying)
        return TRUE; // already on its way out: WM_DESTROY is sent once
    window->destroying = true;
    if (g_foreground == hwnd)
        g_foreground = nullptr;
    window->visible = false;
    window->native->Show(false);
    SendMessageW(hwnd, WM_DESTROY, 0, 0);
    // The procedure may have destroyed the window again from WM_DESTROY.
    const auto it = g_windows.find(hwnd);
    if (it != g_windows.end()) {
        std::unique_ptr<CWindow> dying = std::move(it->second);
        g_windows.erase(it);
    }
    PurgeMessages(hwnd);
    return TRUE;
}

BOOL ShowWindow(HWND hwnd, int cmdShow)
{
    CWindow* window = FindWindowState(hwnd);
    if (!window)
        return FALSE;
    const BOOL wasVisible = window->visible ? TRUE : FALSE;
    // The procedure may destroy the window from any message sent here, so the window is
    // looked up again after each one.
    const auto showAndAsk = [&](bool visible) {
        if (window->visible == visible)
            return true;
        window->visible = visible;
        window->native->Show(visible);
        SendMessageW(hwnd, WM_SHOWWINDOW, visible ? TRUE : FALSE, 0);
        return (window = FindWindowState(hwnd)) != nullptr;
    };
    switch (cmdShow) {
    case SW_HIDE:
        if (showAndAsk(false))
            Deactivate(hwnd);
        break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
        if (showAndAsk(true) && !window->minimised) {
            window->minimised = true;
            window->native->Minimise();
            Deactivate(hwnd);
            SendMessageW(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
        }
        break;
    default: // SW_SHOW, SW_SHOWNORMAL, SW_RESTORE, SW_SHOWMAXIMIZED (shown at its size)
        if (!showAndAsk(true))
            break;
        if (window->minimised) {
            window->minimised = false;
            window->native->Restore();
            SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, SizeParam(window->ClientWidth(), window->ClientHeight()));
            if (!(window = FindWindowState(hwnd)))
                break;
        }
        window->native->Raise();
        Activate(hwnd);
        break;
    }
    return wasVisible;
}

BOOL IsWindow(HWND hwnd)
{
    return hwnd && g_windows.count(hwnd) ? TRUE : FALSE;
}

BOOL IsIconic(HWND hwnd)
{
    const CWindow* window = FindWindowState(hwnd);
    return window && window->minimised ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hwnd)
{
    const CWindow* window = FindWindowState(hwnd);
    return window && window->visible ? TRUE : FALSE;
}

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text)
{
    CWindow* window = FindWindowState(hwnd);
    if (!window)
        return FALSE;
    window->title = text ? text : L"";
    window->native->SetTitle(window->title);
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, LPRECT rect)
{
    const CWindow* window = FindWindowState(hwnd);
    if (!window || !rect)
        return FALSE;
    // A minimised window has no client area, as on Windows.
    *rect = window->minimised ? RECT{0, 0, 0, 0} : RECT{0, 0, window->ClientWidth(), window->ClientHeight()};
    return TRUE;
}

BOOL GetWindowRect(HWND hwnd, LPRECT rect)
{
    const CWindow* window = FindWindowState(hwnd);
    if (!window || !rect)
        return FALSE;
    *rect = window->windowRect;
    return TRUE;
}

BOOL AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu)
{
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const RECT insets = InsetsFor(style, menu != FALSE);
    rect->left -= insets.left;
    rect->top -= insets.top;
    rect->right += insets.right;
    rect->bottom += insets.bottom;
    return TRUE;
}

BOOL SetWindowPos(HWND hwnd, HWND, int x, int y, int cx, int cy, UINT flags)
{
    CWindow* window = FindWindowState(hwnd);
    if (!window)
        return FALSE;
    RECT& r = window->windowRect;
    const int oldWidth = window->ClientWidth(), oldHeight = window->ClientHeight();
    const LONG oldLeft = r.left, oldTop = r.top;
    if (!(flags & SWP_NOMOVE)) {
        const int width = r.right - r.left, height = r.bottom - r.top;
        r = {x, y, x + width, y + height};
    }
    if (!(flags & SWP_NOSIZE)) {
        const int minWidth = window->insets.left + window->insets.right;
        const int minHeight = window->insets.top + window->insets.bottom;
        r.right = r.left + (cx < minWidth ? minWidth : cx);
        r.bottom = r.top + (cy < minHeight ? minHeight : cy);
    }
    const bool moved = r.left != oldLeft || r.top != oldTop;
    const bool resized = window->ClientWidth() != oldWidth || window->ClientHeight() != oldHeight;
    const POINT origin = window->ClientOrigin();
    if (moved)
        window->native->SetClientOrigin(origin.x, origin.y);
    if (resized)
        window->native->SetClientSize(window->ClientWidth(), window->ClientHeight());
    const bool minimised = window->minimised;
    const LPARAM size = SizeParam(window->ClientWidth(), window->ClientHeight());
    // State first, then the messages: the procedure may destroy the window from either.
    if (moved)
        SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(origin.x), static_cast<WORD>(origin.y)));
    if (resized && !minimised && IsWindow(hwnd))
        SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, size);
    window = FindWindowState(hwnd);
    if (!window)
        return TRUE;
    if ((flags & SWP_SHOWWINDOW) && !window->visible)
        ShowWindow(hwnd, (flags & SWP_NOACTIVATE) ? SW_SHOWNORMAL : SW_SHOW);
    return TRUE;
}

HWND GetForegroundWindow()
{
    return g_foreground;
}

BOOL SetForegroundWindow(HWND hwnd)
{
    CWindow* window = FindWindowState(hwnd);
    if (!window)
        return FALSE;
    window->native->Raise();
    Activate(hwnd);
    return TRUE;
}

BOOL GetCursorPos(LPPOINT point)
{
    if (!point) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *point = LastCursorScreenPos();
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, LPPOINT point)
{
    const CWindow* window = FindWindowState(hwnd);
    if (!window || !point)
        return FALSE;
    const POINT origin = window->ClientOrigin();
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT point)
{
    const CWindow* window = FindWindowState(hwnd);
    if (!window || !point)
        return FALSE;
    const POINT origin = window->ClientOrigin();
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

int GetSystemMetrics(int index)
{
    CBackend* backend = ActiveBackend();
    const SIZE screen = backend ? backend->Video().ScreenSize() : SIZE{0, 0};
    const RECT work = backend ? backend->Video().WorkArea() : RECT{0, 0, 0, 0};
    switch (index) {
    case SM_CXSCREEN:
    case SM_CXVIRTUALSCREEN:
        return screen.cx;
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN:
        return screen.cy;
    case SM_CYCAPTION:
        return kCaption;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXFIXEDFRAME:
    case SM_CYFIXEDFRAME:
        return kFixedFrame;
    case SM_CXFRAME:
    case SM_CYFRAME:
        return 4;
    case SM_CXPADDEDBORDER:
        return 4;
    case SM_CXFULLSCREEN:
        return work.right - work.left;
    case SM_CYFULLSCREEN:
        return work.bottom - work.top - kCaption;
    // A maximised window's frame hangs off the work area by its width on each side.
    case SM_CXMAXIMIZED:
        return work.right - work.left + 2 * kSizingFrame;
    case SM_CYMAXIMIZED:
        return work.bottom - work.top + 2 * kSizingFrame;
    case SM_CMONITORS:
        return backend ? 1 : 0;
    default:
        return 0;
    }
}
