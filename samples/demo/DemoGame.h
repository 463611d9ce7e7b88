// The demo game's class: what a game built on Vireo looks like at its smallest. It derives
// from CGameEngine, handles the messages it cares about and passes everything on.
// The game (DemoArcade, rules in DemoRound): a one-minute round in which the player's orb,
// steered with the arrow keys (Shift is faster) or by dragging with the left mouse button,
// catches drifting gold stars for points and a combo up to x5 and loses five seconds on red
// mines; Return starts the next round, P pauses, F2 opens the settings, Escape quits.
// Around it the demo draws a texture it makes itself, over and under the picture gallery
// (DemoPictures), with an animated hero and sparkles from sprite packages (DemoSprites), a
// turning cube and a lantern mesh in 3D (DemoScene3D), a settings dialog on F2
// (DemoSettings), and sound effects, music and a MIDI tune (DemoSounds).
#pragma once

#include "DemoArcade.h"
#include "DemoPictures.h"
#include "DemoScene3D.h"
#include "DemoSettings.h"
#include "DemoSounds.h"
#include "DemoSprites.h"
#include "DemoText.h"

#include <vireo/engine.h>

#include <string>

class CDemoGame : public CGameEngine {
  public:
    explicit CDemoGame(std::wstring dataFolder) : m_strDataFolder(std::move(dataFolder)) {}
    ~CDemoGame() override;

    DWORD GetFrameCount() const { return m_nFrames; }
    DWORD GetGameTicks() const { return m_nGameTicks; }
    POINT GetPlayerPos() const { return m_ptPlayer; }
    // A running hash of the game-side key states, folded in once per game update: two runs
    // with the same value saw the same keys in the same frames.
    DWORD GetKeyStateHash() const { return m_nKeyHash; }

    // Both start at game update count 0, as the engine asks; call them before the first Run.
    // Replay reads Record.dat in the current folder.
    BOOL StartRecording(const wchar_t* path);
    BOOL StartReplay();

    // The picture gallery; Main asks it for the --capture screen capture.
    CDemoPictures& Pictures() { return m_Pictures; }
    CDemoScene3D& Scene3D() { return m_Scene3D; }
    // The game: its round, score and checkpoints.
    CDemoArcade& Arcade() { return m_Arcade; }

  protected:
    int MessageProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    // A soft round 64 x 64 orb with per-pixel alpha, made in code in a managed texture, so
    // it survives a device reset.
    BOOL CreateOrbTexture();
    void ReleaseOrbTexture();
    // The scene: a bouncing orb and a ring of tinted orbs turning around the centre.
    void DrawScene();
    // One game update of the player's orb: arrows move it, Shift doubles the speed, a left
    // drag moves it with the cursor. It reads key states only (see the .cpp for why).
    void UpdatePlayer();
    void HashKeyStates();

    std::wstring m_strDataFolder;
    CDemoPictures m_Pictures;
    IDirect3DTexture9* m_pOrb = nullptr;
    DWORD m_nFrames = 0;
    DWORD m_nGameTicks = 0;
    POINT m_ptPlayer{-1, -1}; // placed in the middle of the scene at the first update
    DWORD m_nKeyHash = 2166136261u;
    CDemoSprites m_Sprites;
    CDemoText m_Text;
    CDemoSettings m_Settings;
    CDemoScene3D m_Scene3D;
    CDemoSounds m_Sounds;
    CDemoArcade m_Arcade;
};
