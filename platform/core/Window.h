// The shared state of top-level windows and the entry points through which back ends (and
// the testing controls) report what happened to a native window. State changes at once;
// the game's window procedure hears of it through posted messages, as on Windows.
#pragma once

#include "platform/backend/Backend.h"

#include <vireo/platform/Win32.h>

#include <memory>
#include <string>

namespace vireo::platform {

struct CWindow {
    HWND hwnd = nullptr;
    WNDPROC proc = nullptr;
    std::wstring title;
    DWORD style = 0;
    RECT windowRect{};  // outer frame, screen coordinates
    RECT insets{};      // frame thickness on each side (all positive)
    bool visible = false;
    bool minimised = false;
    bool destroying = false;
    std::unique_ptr<IBackendWindow> native;

    int ClientWidth() const { return windowRect.right - windowRect.left - insets.left - insets.right; }
    int ClientHeight() const { return windowRect.bottom - windowRect.top - insets.top - insets.bottom; }
    POINT ClientOrigin() const { return {windowRect.left + insets.left, windowRect.top + insets.top}; }
};

// Null (and ERROR_INVALID_WINDOW_HANDLE set) when hwnd names no live window.
CWindow* FindWindowState(HWND hwnd);
// Some live window, for input that names none (tests); null without windows.
HWND AnyWindow();

// ---- what back ends report (posted to the queue; the state changes immediately) --------
void OnNativeClose(HWND hwnd);
void OnNativeFocus(HWND hwnd, bool gained);
void OnNativeMinimised(HWND hwnd, bool minimised);
void OnNativeClientSize(HWND hwnd, int width, int height);
void OnNativeMoved(HWND hwnd, int clientScreenX, int clientScreenY);
void OnNativeChar(HWND hwnd, char32_t codePoint);
// Keys as window messages: WM_SYSKEYDOWN/UP with Alt held (or for F10), else WM_KEYDOWN/UP.
void OnNativeKey(HWND hwnd, bool down, UINT virtualKey, int scanCode, bool extended, bool altHeld, bool repeat);
void OnNativeCursor(HWND hwnd, int clientX, int clientY);

// The cursor's last known screen position (back ends that cannot query it, tests).
POINT LastCursorScreenPos();

// ---- queue internals shared by the window code ------------------------------------------
void PurgeMessages(HWND hwnd);

}  // namespace vireo::platform
