// The private interface between the shared platform code and a back end: one abstract
// class per concern (windows, events, present, audio out, clipboard, message box) and the
// table that picks the back end at start. The engine never includes this; back ends never
// include the engine.
#pragma once

#include "platform/core/Presentation.h"

#include <vireo/platform/Win32.h>

#include <cstdint>
#include <memory>
#include <string>

namespace vireo::platform {

// The native side of one top-level window. Window state (sizes, flags, the queue) lives in
// the shared window code; a back end only mirrors it onto something real.
class IBackendWindow {
  public:
    virtual ~IBackendWindow() = default;
    virtual void SetTitle(const std::wstring& title) = 0;
    virtual void SetClientSize(int width, int height) = 0;
    virtual void SetClientOrigin(int screenX, int screenY) = 0;
    virtual void Show(bool visible) = 0;
    virtual void Minimise() = 0;
    virtual void Restore() = 0;
    virtual void Raise() = 0; // bring to the foreground with the input focus
    // Where text being composed sits (client coordinates); null when no caret is shown.
    virtual void SetTextInputRect(const RECT* rect) = 0;
};

struct WindowDesc {
    HWND hwnd;
    std::wstring title;
    int clientX, clientY; // screen position of the client area
    int clientWidth, clientHeight;
    bool resizable;
    bool decorated;
};

class IVideoBackend {
  public:
    virtual ~IVideoBackend() = default;
    // Null (with a reason on stderr) when no native window can be made.
    virtual std::unique_ptr<IBackendWindow> CreateNativeWindow(const WindowDesc& desc) = 0;
    virtual SIZE ScreenSize() = 0;
    virtual RECT WorkArea() = 0; // the primary display less task bars, screen coordinates
    // The cursor in screen coordinates; false when the back end cannot tell (then the last
    // known position stands).
    virtual bool CursorScreenPos(POINT& point) = 0;
};

class IEventBackend {
  public:
    virtual ~IEventBackend() = default;
    // Turns pending native events into queue messages and raw input; never blocks.
    virtual void Pump() = 0;
    // Waits up to timeoutMs for a native event (0: just look). False if none can ever come
    // (headless), so a blocking GetMessage knows not to wait.
    virtual bool Wait(int timeoutMs) = 0;
};

class IPresentBackend {
  public:
    virtual ~IPresentBackend() = default;
    virtual PresentResult Present(HWND window, const FrameView& frame) = 0;
};

class IClipboardBackend {
  public:
    virtual ~IClipboardBackend() = default;
    virtual bool GetText(std::wstring& text) = 0; // false: no text on the clipboard
    virtual bool SetText(const std::wstring& text) = 0;
};

class IMessageBoxBackend {
  public:
    virtual ~IMessageBoxBackend() = default;
    // Returns the Win32 id of the button chosen (IDOK ...), 0 if no box could be shown.
    virtual int Show(HWND owner, const std::wstring& caption, const std::wstring& text, UINT type) = 0;
};

// Signed 16-bit interleaved samples. The mixer (elsewhere) is the source; the sink pulls
// from it on its own schedule: SDL's audio thread, or the tests for the null sink.
struct AudioFormat {
    int sampleRate;
    int channels;
};
using AudioPull = void (*)(std::int16_t* samples, int frames, void* user);

class IAudioOut {
  public:
    virtual ~IAudioOut() = default;
    // `format` is what the mixer asks for; the sink may grant another rate (never another
    // channel count), which OpenFormat then reports.
    virtual bool Open(const AudioFormat& format, AudioPull pull, void* user) = 0;
    virtual void Close() = 0;
    virtual AudioFormat OpenFormat() const = 0;
    // Sinks that pull on the game thread in step with the clock mix the time that passed;
    // called before every change of the mix. Nothing for a device with its own thread.
    virtual void CatchUp() {}
};

class CBackend {
  public:
    virtual ~CBackend() = default;
    virtual const char* Name() const = 0;
    // Brings the back end up; on failure fills why (one line, for stderr) and returns false.
    virtual bool Start(std::string& why) = 0;
    virtual IVideoBackend& Video() = 0;
    virtual IEventBackend& Events() = 0;
    virtual IPresentBackend& Presenter() = 0;
    virtual IClipboardBackend& Clipboard() = 0;
    virtual IMessageBoxBackend& MessageBoxes() = 0;
    // The audio sink: the back end's own, or the null sink when VIREO_AUDIO=null.
    virtual IAudioOut& Audio() = 0;
};

// The back end chosen on first use (VIREO_BACKEND, else SDL2 with a display, else headless).
// Null when the named back end(s) could not start; the reason went to stderr once.
CBackend* ActiveBackend();

// Tests: drop the current back end and choose again on next use (after changing the
// environment). Windows still open are the caller's problem: destroy them first, and release
// sound devices (DirectSound, FMOD), whose mix runs on the back end's audio sink.
void ResetBackendChoice();

} // namespace vireo::platform
