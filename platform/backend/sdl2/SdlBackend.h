// The SDL2 back end: a real window per top-level window, native events into the shared
// queue and raw input, frames stretched onto the window. Checklist:
//   windows   - SDL_Window + SDL_Renderer, created hidden, shown by ShowWindow
//   events    - close, focus, minimise/restore, resize, move, keys (raw input + WM_KEY*/
//               WM_SYSKEY*), text (WM_CHAR per code point), mouse (raw input + cursor)
//   present   - streaming ARGB8888 texture stretched over the client area; device resets
//               reported as DeviceLost
//   clipboard - SDL's clipboard (UTF-8)
//   box       - SDL_ShowMessageBox with the Win32 ids as button ids
//   audio     - SDL audio device pulling from the mixer, or the null sink (VIREO_AUDIO=null)
#pragma once

#include "platform/backend/Backend.h"
#include "platform/backend/NullAudioOut.h"

#include <SDL.h>

#include <map>

namespace vireo::platform {

class CSdlWindow;

class CSdlAudioOut : public IAudioOut {
  public:
    ~CSdlAudioOut() override { Close(); }
    bool Open(const AudioFormat& format, AudioPull pull, void* user) override;
    void Close() override;
    AudioFormat OpenFormat() const override { return m_format; }

  private:
    static void SDLCALL Callback(void* self, Uint8* stream, int bytes);
    SDL_AudioDeviceID m_device = 0;
    AudioFormat m_format{0, 0};
    AudioPull m_pull = nullptr;
    void* m_user = nullptr;
};

class CSdlBackend : public CBackend,
                    IVideoBackend,
                    IEventBackend,
                    IPresentBackend,
                    IClipboardBackend,
                    IMessageBoxBackend {
  public:
    ~CSdlBackend() override;
    const char* Name() const override { return "sdl2"; }
    bool Start(std::string& why) override;
    IVideoBackend& Video() override { return *this; }
    IEventBackend& Events() override { return *this; }
    IPresentBackend& Presenter() override { return *this; }
    IClipboardBackend& Clipboard() override { return *this; }
    IMessageBoxBackend& MessageBoxes() override { return *this; }
    IAudioOut& Audio() override;

    // Windows register themselves so events (by SDL window id) and presents (by HWND) find them.
    void Register(CSdlWindow* window);
    void Unregister(CSdlWindow* window);

  private:
    std::unique_ptr<IBackendWindow> CreateNativeWindow(const WindowDesc& desc) override;
    SIZE ScreenSize() override;
    RECT WorkArea() override;
    bool CursorScreenPos(POINT& point) override;

    void Pump() override;
    bool Wait(int timeoutMs) override;
    void HandleEvent(const SDL_Event& event);
    void HandleKey(const SDL_KeyboardEvent& key);

    PresentResult Present(HWND window, const FrameView& frame) override;

    bool GetText(std::wstring& text) override;
    bool SetText(const std::wstring& text) override;

    int Show(HWND owner, const std::wstring& caption, const std::wstring& text, UINT type) override;

    CSdlWindow* ByHwnd(HWND hwnd);
    CSdlWindow* BySdlId(Uint32 id);

    bool m_started = false;
    bool m_deviceReset = false;
    std::map<HWND, CSdlWindow*> m_windows;
    CSdlAudioOut m_sdlAudio;
    CNullAudioOut m_nullAudio;
};

} // namespace vireo::platform
