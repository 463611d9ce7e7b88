// The demo game's class: what a game built on Vireo looks like at its smallest. It derives
// from CGameEngine, handles the messages it cares about and passes everything on.
// It draws a texture it makes itself; pictures, animations, sound and GUI screens come later.
#pragma once

#include <vireo/engine.h>

#include <string>

class CDemoGame : public CGameEngine {
  public:
    explicit CDemoGame(std::wstring dataFolder) : m_strDataFolder(std::move(dataFolder)) {}
    ~CDemoGame() override;

    DWORD GetFrameCount() const { return m_nFrames; }
    DWORD GetGameTicks() const { return m_nGameTicks; }

  protected:
    int MessageProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    // A soft round 64 x 64 orb with per-pixel alpha, made in code in a managed texture, so
    // it survives a device reset.
    BOOL CreateOrbTexture();
    void ReleaseOrbTexture();
    // The scene: a bouncing orb and a ring of tinted orbs turning around the centre.
    void DrawScene();

    std::wstring m_strDataFolder;
    IDirect3DTexture9* m_pOrb = nullptr;
    DWORD m_nFrames = 0;
    DWORD m_nGameTicks = 0;
};
