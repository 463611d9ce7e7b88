// An SDL window mirroring a top-level window's title, size, position and visibility, and
// the present path: upload the frame to a streaming ARGB8888 texture, stretch, flip.
#include "platform/backend/sdl2/SdlWindow.h"

#include "platform/backend/sdl2/SdlBackend.h"
#include "platform/core/Utf8.h"

namespace vireo::platform {

CSdlWindow::CSdlWindow(CSdlBackend& backend, HWND hwnd, SDL_Window* window, SDL_Renderer* renderer)
    : m_backend(backend), m_hwnd(hwnd), m_window(window), m_renderer(renderer)
{
    m_backend.Register(this);
}

CSdlWindow::~CSdlWindow()
{
    m_backend.Unregister(this);
    DropTexture();
    if (m_renderer)
        SDL_DestroyRenderer(m_renderer);
    SDL_DestroyWindow(m_window);
}

void CSdlWindow::SetTitle(const std::wstring& title)
{
    SDL_SetWindowTitle(m_window, Utf8FromWide(title).c_str());
}
void CSdlWindow::SetClientSize(int width, int height)
{
    SDL_SetWindowSize(m_window, width, height);
}
void CSdlWindow::SetClientOrigin(int screenX, int screenY)
{
    SDL_SetWindowPosition(m_window, screenX, screenY);
}

void CSdlWindow::Show(bool visible)
{
    if (visible)
        SDL_ShowWindow(m_window);
    else
        SDL_HideWindow(m_window);
}

void CSdlWindow::Minimise()
{
    SDL_MinimizeWindow(m_window);
}
void CSdlWindow::Restore()
{
    SDL_RestoreWindow(m_window);
}
void CSdlWindow::Raise()
{
    SDL_RaiseWindow(m_window);
}

void CSdlWindow::SetTextInputRect(const RECT* rect)
{
    // SDL keeps one rectangle for the input method and applies it to whichever window has the
    // keyboard focus, also when the focus comes back later; so it is passed on even while this
    // window is in the background. A null rectangle leaves the last one standing, which is
    // harmless once nothing is composed.
    if (!rect)
        return;
    SDL_Rect area{rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top};
    SDL_SetTextInputRect(&area);
}

void CSdlWindow::DropTexture()
{
    if (m_texture)
        SDL_DestroyTexture(m_texture);
    m_texture = nullptr;
    m_textureWidth = m_textureHeight = 0;
}

bool CSdlWindow::PresentFrame(const FrameView& frame)
{
    if (!m_renderer || !frame.pixels || frame.width <= 0 || frame.height <= 0)
        return false;
    if (!m_texture || m_textureWidth != frame.width || m_textureHeight != frame.height) {
        DropTexture();
        m_texture = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, frame.width,
                                      frame.height);
        if (!m_texture)
            return false;
        SDL_SetTextureScaleMode(m_texture, SDL_ScaleModeLinear);
        m_textureWidth = frame.width;
        m_textureHeight = frame.height;
    }
    if (SDL_UpdateTexture(m_texture, nullptr, frame.pixels, frame.pitch) != 0)
        return false;
    SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
    SDL_RenderClear(m_renderer);
    SDL_RenderCopy(m_renderer, m_texture, nullptr, nullptr);
    SDL_RenderPresent(m_renderer);
    return true;
}

} // namespace vireo::platform
