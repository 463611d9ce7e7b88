// The demo's picture gallery: pictures loaded from the files the demo ships (plain, centred,
// stretched, rotating, masked, half-transparent and tinted draws), a dynamic picture used as
// a canvas that is repainted every frame and after a device reset, and screen captures.
// It owns no game logic; CDemoGame calls it from its messages.
#pragma once

#include <vireo/engine.h>

#include <string>

class CDemoPictures {
  public:
    // Loads data/pictures/*.png and makes the canvas; FALSE (after a log line) when a file
    // is missing, in which case the missing pictures draw nothing.
    BOOL Load(CRenderSystem* render, const std::wstring& dataFolder);
    void Release();
    // One UI update: advances the animation and repaints the canvas's stripes.
    void Update(DWORD frame);
    // The device was reset: the canvas came back empty and is painted again.
    void OnDeviceReset();
    // The backdrop, behind everything else the demo draws; inside its own sprite batch.
    void DrawBackdrop();
    // The gallery strip across the top of the scene and the canvas; its own sprite batch.
    void Draw();
    // Saves the back buffer as it stands (call at the end of the frame's drawing) when a
    // capture was asked for; TRUE when a file was written.
    void RequestCapture() { m_bCaptureWanted = TRUE; }
    BOOL CaptureIfRequested();
    int GetCaptureCount() const { return m_nCaptures; }
    DWORD GetCanvasRepaints() const { return m_nRepaints; }

    static constexpr const wchar_t* kCaptureFile = L"ScreenCapture.bmp";

  private:
    CPicture* LoadPicture(const std::wstring& folder, const wchar_t* name);
    void PaintCanvas();

    CRenderSystem* m_pRender = nullptr;
    CPicture* m_pCrate = nullptr;
    CPicture* m_pLeaf = nullptr;
    CPicture* m_pGlowMask = nullptr;
    CPicture* m_pHills = nullptr;
    CPicture* m_pCanvas = nullptr; // dynamic: a render target filled with ColorFill
    DWORD m_nFrame = 0;
    DWORD m_nRepaints = 0;
    BOOL m_bCaptureWanted = FALSE;
    int m_nCaptures = 0;
};
