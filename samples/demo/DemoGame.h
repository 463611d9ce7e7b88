// The demo's game class: what a game built on Vireo looks like at its smallest. It derives
// from CGameEngine, handles the messages it cares about and passes everything on.
// Later demo work adds pictures, animations, sound and GUI screens here.
#pragma once

#include <vireo/engine.h>

#include <string>

class CDemoGame : public CGameEngine {
  public:
    explicit CDemoGame(std::wstring dataFolder) : m_strDataFolder(std::move(dataFolder)) {}

    DWORD GetFrameCount() const { return m_nFrames; }
    DWORD GetGameTicks() const { return m_nGameTicks; }

  protected:
    int MessageProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    std::wstring m_strDataFolder;
    DWORD m_nFrames = 0;
    DWORD m_nGameTicks = 0;
};
