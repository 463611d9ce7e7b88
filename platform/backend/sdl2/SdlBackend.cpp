// The SDL2 back end's video, events, presenting, clipboard, message box and audio.
// SDL is started for video and events only; audio starts when a sink is opened.
#include "platform/backend/sdl2/SdlBackend.h"

#include "platform/backend/sdl2/SdlKeyMap.h"
#include "platform/backend/sdl2/SdlVirtualKey.h"
#include "platform/backend/sdl2/SdlWindow.h"
#include "platform/core/RawInput.h"
#include "platform/core/Utf8.h"
#include "platform/core/Window.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace vireo::platform {

std::unique_ptr<CBackend> CreateSdl2Backend()
{
    return std::make_unique<CSdlBackend>();
}

// ---- audio -------------------------------------------------------------------------------

bool CSdlAudioOut::Open(const AudioFormat& format, AudioPull pull, void* user)
{
    Close();
    if (!pull || format.sampleRate <= 0 || format.channels < 1 || format.channels > 8)
        return false;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    m_format = format;
    m_pull = pull;
    m_user = user;
    SDL_AudioSpec want{};
    want.freq = format.sampleRate;
    want.format = AUDIO_S16SYS;
    want.channels = static_cast<Uint8>(format.channels);
    want.samples = 1024; // at most 21 ms at 48 kHz between a change and its sound
    want.callback = &CSdlAudioOut::Callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    // The device's own rate is taken (the mixer resamples anyway); SDL converts the rest.
    m_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (m_device == 0) {
        m_pull = nullptr;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    m_format.sampleRate = have.freq;
    SDL_PauseAudioDevice(m_device, 0);
    return true;
}

void CSdlAudioOut::Close()
{
    if (m_device) {
        SDL_CloseAudioDevice(m_device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    m_device = 0;
    m_pull = nullptr;
}

void SDLCALL CSdlAudioOut::Callback(void* self, Uint8* stream, int bytes)
{
    auto* out = static_cast<CSdlAudioOut*>(self);
    const int frameBytes = out->m_format.channels * static_cast<int>(sizeof(std::int16_t));
    std::memset(stream, 0, static_cast<std::size_t>(bytes));
    if (out->m_pull && frameBytes > 0)
        out->m_pull(reinterpret_cast<std::int16_t*>(stream), bytes / frameBytes, out->m_user);
}

// ---- start -------------------------------------------------------------------------------

CSdlBackend::~CSdlBackend()
{
    m_sdlAudio.Close();
    if (m_started)
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

bool CSdlBackend::Start(std::string& why)
{
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1"); // Ctrl+C stays the program's business
    // Text being composed is the input method's to show (in its own window, beside the
    // rectangle SetTextInputRect gives), as on Win32: the engine draws only committed text.
    SDL_SetHint(SDL_HINT_IME_INTERNAL_EDITING, "1");
    SDL_SetHint(SDL_HINT_IME_SHOW_UI, "1");
    // Long commits (a phrase of Chinese) arrive whole instead of cut at 32 bytes.
    SDL_SetHint(SDL_HINT_IME_SUPPORT_EXTENDED_TEXT, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        why = SDL_GetError();
        return false;
    }
    m_started = true;
    SDL_StartTextInput();
    return true;
}

IAudioOut& CSdlBackend::Audio()
{
    const char* audio = std::getenv("VIREO_AUDIO");
    if (audio && (std::strcmp(audio, "null") == 0 || std::strncmp(audio, "wav:", 4) == 0)) {
        m_nullAudio.SetClockStep(true);
        return m_nullAudio;
    }
    return m_sdlAudio;
}

void CSdlBackend::Register(CSdlWindow* window)
{
    m_windows[window->Hwnd()] = window;
}
void CSdlBackend::Unregister(CSdlWindow* window)
{
    m_windows.erase(window->Hwnd());
}

CSdlWindow* CSdlBackend::ByHwnd(HWND hwnd)
{
    const auto it = m_windows.find(hwnd);
    return it == m_windows.end() ? nullptr : it->second;
}

CSdlWindow* CSdlBackend::BySdlId(Uint32 id)
{
    for (auto& [hwnd, window] : m_windows)
        if (window->SdlId() == id)
            return window;
    return nullptr;
}

// ---- video -------------------------------------------------------------------------------

std::unique_ptr<IBackendWindow> CSdlBackend::CreateNativeWindow(const WindowDesc& desc)
{
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (desc.resizable)
        flags |= SDL_WINDOW_RESIZABLE;
    if (!desc.decorated)
        flags |= SDL_WINDOW_BORDERLESS;
    SDL_Window* window = SDL_CreateWindow(Utf8FromWide(desc.title).c_str(), desc.clientX, desc.clientY,
                                          desc.clientWidth > 0 ? desc.clientWidth : 1,
                                          desc.clientHeight > 0 ? desc.clientHeight : 1, flags);
    if (!window) {
        std::fprintf(stderr, "vireo: SDL cannot make a window: %s\n", SDL_GetError());
        return nullptr;
    }
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_PRESENTVSYNC);
    if (!renderer)
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer) {
        std::fprintf(stderr, "vireo: SDL cannot draw into its window: %s\n", SDL_GetError());
        SDL_DestroyWindow(window);
        return nullptr;
    }
    return std::make_unique<CSdlWindow>(*this, desc.hwnd, window, renderer);
}

SIZE CSdlBackend::ScreenSize()
{
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(0, &bounds) != 0)
        return {0, 0};
    return {bounds.w, bounds.h};
}

RECT CSdlBackend::WorkArea()
{
    SDL_Rect bounds{};
    if (SDL_GetDisplayUsableBounds(0, &bounds) != 0 && SDL_GetDisplayBounds(0, &bounds) != 0)
        return {0, 0, 0, 0};
    return {bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h};
}

bool CSdlBackend::CursorScreenPos(POINT& point)
{
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    point = {x, y};
    return true;
}

// ---- events ------------------------------------------------------------------------------

void CSdlBackend::Pump()
{
    SDL_Event event;
    while (SDL_PollEvent(&event))
        HandleEvent(event);
}

bool CSdlBackend::Wait(int timeoutMs)
{
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, timeoutMs))
        HandleEvent(event);
    return true;
}

void CSdlBackend::HandleKey(const SDL_KeyboardEvent& key)
{
    const bool down = key.type == SDL_KEYDOWN;
    const unsigned char dik = DikFromSdlScancode(key.keysym.scancode);
    if (dik && !key.repeat) // DirectInput reports transitions, not auto-repeat
        DeliverRawInput({RawInputEvent::Kind::Key, dik, down ? 1 : 0, GetTickCount()});
    CSdlWindow* window = BySdlId(key.windowID);
    if (!window)
        return;
    const HWND hwnd = window->Hwnd();
    if (const UINT vk = VirtualKeyFromSdl(key.keysym.sym))
        OnNativeKey(hwnd, down, vk, dik & 0x7F, (dik & 0x80) != 0, (key.keysym.mod & KMOD_ALT) != 0, key.repeat != 0);
    if (down)
        if (const wchar_t c = ControlCharFromSdl(key.keysym.sym, key.keysym.mod))
            OnNativeChar(hwnd, static_cast<char32_t>(c));
}

void CSdlBackend::HandleEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_WINDOWEVENT: {
        CSdlWindow* window = BySdlId(event.window.windowID);
        if (!window)
            return;
        const HWND hwnd = window->Hwnd();
        switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            OnNativeClose(hwnd);
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            OnNativeFocus(hwnd, true);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            OnNativeFocus(hwnd, false);
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            OnNativeMinimised(hwnd, true);
            break;
        case SDL_WINDOWEVENT_RESTORED:
            OnNativeMinimised(hwnd, false);
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            OnNativeClientSize(hwnd, event.window.data1, event.window.data2);
            break;
        case SDL_WINDOWEVENT_MOVED:
            OnNativeMoved(hwnd, event.window.data1, event.window.data2);
            break;
        default:
            break;
        }
        break;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        HandleKey(event.key);
        break;
    case SDL_TEXTINPUT: {
        CSdlWindow* window = BySdlId(event.text.windowID);
        if (!window)
            return;
        for (wchar_t c : WideFromUtf8(event.text.text))
            OnNativeChar(window->Hwnd(), static_cast<char32_t>(c));
        break;
    }
    case SDL_TEXTEDITING_EXT:
        // Composition shown by the input method itself; the text is ours to free.
        SDL_free(event.editExt.text);
        break;
    case SDL_MOUSEMOTION: {
        if (event.motion.xrel)
            DeliverRawInput({RawInputEvent::Kind::MouseMotion, 0, event.motion.xrel, GetTickCount()});
        if (event.motion.yrel)
            DeliverRawInput({RawInputEvent::Kind::MouseMotion, 1, event.motion.yrel, GetTickCount()});
        if (CSdlWindow* window = BySdlId(event.motion.windowID))
            OnNativeCursor(window->Hwnd(), event.motion.x, event.motion.y);
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        int button = -1;
        switch (event.button.button) {
        case SDL_BUTTON_LEFT:
            button = 0;
            break;
        case SDL_BUTTON_RIGHT:
            button = 1;
            break;
        case SDL_BUTTON_MIDDLE:
            button = 2;
            break;
        case SDL_BUTTON_X1:
            button = 3;
            break;
        default:
            break;
        }
        if (button >= 0)
            DeliverRawInput(
                {RawInputEvent::Kind::MouseButton, button, event.type == SDL_MOUSEBUTTONDOWN ? 1 : 0, GetTickCount()});
        break;
    }
    case SDL_MOUSEWHEEL: {
        int notches = event.wheel.y;
        if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED)
            notches = -notches;
        if (notches)
            DeliverRawInput({RawInputEvent::Kind::MouseWheel, 0, notches * 120, GetTickCount()});
        break;
    }
    case SDL_RENDER_DEVICE_RESET:
    case SDL_RENDER_TARGETS_RESET:
        m_deviceReset = true;
        break;
    default:
        break;
    }
}

// ---- present -----------------------------------------------------------------------------

PresentResult CSdlBackend::Present(HWND hwnd, const FrameView& frame)
{
    if (m_deviceReset) {
        // Textures died with the device: report the loss once, rebuild on the next frame.
        m_deviceReset = false;
        for (auto& [key, window] : m_windows)
            window->DropTexture();
        return PresentResult::DeviceLost;
    }
    CSdlWindow* window = ByHwnd(hwnd);
    if (!window && !m_windows.empty())
        window = m_windows.begin()->second; // a device made without a window shows in the first
    if (window)
        window->PresentFrame(frame);
    return PresentResult::Shown;
}

// ---- clipboard ---------------------------------------------------------------------------

bool CSdlBackend::GetText(std::wstring& text)
{
    if (!SDL_HasClipboardText())
        return false;
    char* utf8 = SDL_GetClipboardText();
    if (!utf8)
        return false;
    text = WideFromUtf8(utf8);
    SDL_free(utf8);
    return true;
}

bool CSdlBackend::SetText(const std::wstring& text)
{
    return SDL_SetClipboardText(Utf8FromWide(text).c_str()) == 0;
}

// ---- message box -------------------------------------------------------------------------

int CSdlBackend::Show(HWND owner, const std::wstring& caption, const std::wstring& text, UINT type)
{
    struct Button {
        int id;
        const char* label;
    };
    std::vector<Button> buttons;
    switch (type & 0xF) {
    case MB_OKCANCEL:
        buttons = {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
        break;
    case MB_ABORTRETRYIGNORE:
        buttons = {{IDABORT, "Abort"}, {IDRETRY, "Retry"}, {IDIGNORE, "Ignore"}};
        break;
    case MB_YESNOCANCEL:
        buttons = {{IDYES, "Yes"}, {IDNO, "No"}, {IDCANCEL, "Cancel"}};
        break;
    case MB_YESNO:
        buttons = {{IDYES, "Yes"}, {IDNO, "No"}};
        break;
    case MB_RETRYCANCEL:
        buttons = {{IDRETRY, "Retry"}, {IDCANCEL, "Cancel"}};
        break;
    default:
        buttons = {{IDOK, "OK"}};
        break;
    }
    bool hasCancel = false;
    std::vector<SDL_MessageBoxButtonData> data;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        Uint32 flags = 0;
        if (i == 0)
            flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        if (buttons[i].id == IDCANCEL || buttons.size() == 1) {
            flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
            hasCancel = hasCancel || buttons[i].id == IDCANCEL;
        }
        data.push_back({flags, buttons[i].id, buttons[i].label});
    }
    Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
    switch (type & 0xF0) {
    case MB_ICONERROR:
        flags = SDL_MESSAGEBOX_ERROR;
        break;
    case MB_ICONWARNING:
        flags = SDL_MESSAGEBOX_WARNING;
        break;
    default:
        break;
    }
    const std::string title = Utf8FromWide(caption);
    const std::string message = Utf8FromWide(text);
    CSdlWindow* parent = ByHwnd(owner);
    const SDL_MessageBoxData box{flags,           parent ? parent->Native() : nullptr, title.c_str(),
                                 message.c_str(), static_cast<int>(data.size()),       data.data(),
                                 nullptr};
    int chosen = -1;
    if (SDL_ShowMessageBox(&box, &chosen) != 0)
        return 0;   // the caller falls back to stderr
    if (chosen < 0) // closed without a button: Cancel where there is one, else the first
        chosen = hasCancel ? IDCANCEL : buttons.front().id;
    return chosen;
}

} // namespace vireo::platform
