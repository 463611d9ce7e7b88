// The headless back end: no display, no sound device. Checklist:
//   windows   - virtual; their state is the shared window code's, set by tests
//   events    - none of its own; tests inject through the testing header
//   present   - keeps a copy of the last frame when tests ask for it (a server pays nothing)
//   clipboard - a string in memory
//   box       - "caption: text" on stderr, answered with the first button
//   audio     - the null sink, mixing in step with the clock (VIREO_AUDIO=wav:FILE keeps it)
#pragma once

#include "platform/backend/Backend.h"
#include "platform/backend/NullAudioOut.h"

#include <vector>

namespace vireo::platform {

class CHeadlessBackend : public CBackend,
                         IVideoBackend,
                         IEventBackend,
                         IPresentBackend,
                         IClipboardBackend,
                         IMessageBoxBackend {
  public:
    const char* Name() const override { return "headless"; }
    bool Start(std::string& why) override;
    IVideoBackend& Video() override { return *this; }
    IEventBackend& Events() override { return *this; }
    IPresentBackend& Presenter() override { return *this; }
    IClipboardBackend& Clipboard() override { return *this; }
    IMessageBoxBackend& MessageBoxes() override { return *this; }
    IAudioOut& Audio() override { return m_audio; }

    // Process-wide, off by default: copying each frame costs ~60 us at 800 x 600, which a
    // headless server or benchmark must not pay. Tests turn it on once at start-up.
    static void KeepPresentedFrames(bool keep);
    // The last frame presented while frames were kept (A8R8G8B8, tightly packed); empty
    // before the first.
    const std::vector<std::uint32_t>& LastFrame() const { return m_lastFrame; }
    int LastFrameWidth() const { return m_lastWidth; }
    int LastFrameHeight() const { return m_lastHeight; }

  private:
    std::unique_ptr<IBackendWindow> CreateNativeWindow(const WindowDesc& desc) override;
    SIZE ScreenSize() override { return {1920, 1080}; }
    RECT WorkArea() override { return {0, 0, 1920, 1040}; } // a 40-pixel task bar below
    bool CursorScreenPos(POINT&) override { return false; }

    void Pump() override {}
    bool Wait(int) override { return false; }

    PresentResult Present(HWND window, const FrameView& frame) override;

    bool GetText(std::wstring& text) override;
    bool SetText(const std::wstring& text) override;

    int Show(HWND owner, const std::wstring& caption, const std::wstring& text, UINT type) override;

    CNullAudioOut m_audio;
    std::vector<std::uint32_t> m_lastFrame;
    int m_lastWidth = 0;
    int m_lastHeight = 0;
    std::wstring m_clipboard;
    bool m_clipboardHasText = false;
};

} // namespace vireo::platform
