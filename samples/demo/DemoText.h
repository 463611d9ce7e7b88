// The demo's text: a panel of English and Chinese text, centred and wrapped in a box, and a
// live frame-rate line, all through CEngineFont inside the game's sprite batch. It makes its
// own panel font and draws the frame rate with the engine's default font; no GUI, no input.
#pragma once

#include <vireo/engine.h>

#include <string>

class CDemoText {
  public:
    // Makes the panel font; call once the render system is up (EMSG_EG_INIT).
    void Load(CRenderSystem* render);
    // Takes the frame rate of the last complete second for the next draw.
    void Update(const SEngineStatus* status);
    // Inside BeginSprite / EndSprite, like every engine text.
    void Draw(CRenderSystem* render) const;
    // Gives the panel font back; safe to call twice.
    void Release(CRenderSystem* render);

  private:
    CEngineFont* m_pPanelFont = nullptr;
    std::wstring m_strFps = L"FPS: --";
};
