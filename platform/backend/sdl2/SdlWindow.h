// One native SDL window with its renderer and the streaming texture frames go through.
// Owned by the shared window state; registers with the back end for events and presents.
#pragma once

#include "platform/backend/Backend.h"

#include <SDL.h>

namespace vireo::platform {

class CSdlBackend;

class CSdlWindow : public IBackendWindow {
  public:
    CSdlWindow(CSdlBackend& backend, HWND hwnd, SDL_Window* window, SDL_Renderer* renderer);
    ~CSdlWindow() override;

    void SetTitle(const std::wstring& title) override;
    void SetClientSize(int width, int height) override;
    void SetClientOrigin(int screenX, int screenY) override;
    void Show(bool visible) override;
    void Minimise() override;
    void Restore() override;
    void Raise() override;
    void SetTextInputRect(const RECT* rect) override;

    // Shows the frame stretched over the whole client area; false if SDL refused.
    bool PresentFrame(const FrameView& frame);
    void DropTexture();

    HWND Hwnd() const { return m_hwnd; }
    Uint32 SdlId() const { return SDL_GetWindowID(m_window); }
    SDL_Window* Native() const { return m_window; }

  private:
    CSdlBackend& m_backend;
    HWND m_hwnd;
    SDL_Window* m_window;
    SDL_Renderer* m_renderer;
    SDL_Texture* m_texture = nullptr;
    int m_textureWidth = 0;
    int m_textureHeight = 0;
};

} // namespace vireo::platform
