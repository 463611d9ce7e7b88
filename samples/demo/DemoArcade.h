// The demo's game on screen: it runs the round (DemoRound) once per game update from the
// player's orb and the Return key's state, fires explosions from an animation pool and sounds
// for what happened, and draws the targets, the score, best score, time and combo with engine
// fonts. The all-time record is kept in DemoScores.ini in the current folder, outside the
// game state, so a replay plays the same game whatever the file says. Optionally it prints a
// checkpoint line of the game state every N game updates, so a replayed session can be
// compared with its recording. The rules live in DemoRound.
#pragma once

#include "DemoRound.h"
#include "DemoSounds.h"

#include <vireo/engine.h>
#include <vireo/resource.h>

#include <memory>
#include <string>
#include <vector>

class CDemoArcade {
  public:
    // At EMSG_EG_INIT: the target pictures from data/effects.pak, the explosions' pool over
    // data/explosion.pak.
    void Load(CRenderSystem* render, const std::wstring& dataFolder);
    // One game update, after the player's orb moved. Reads key states only.
    void Update(const CInputSystem* input, SIZE scene, POINT player, CDemoSounds& sounds);
    // Inside EMSG_RS_RENDER, in its own sprite batch; paused shows a notice instead of hints.
    void Draw(CRenderSystem* render, bool paused) const;
    // Before the engine shuts down: the pool hands its animations back.
    void Release(CRenderSystem* render);

    // 0 (the default) prints nothing.
    void SetCheckpointEvery(DWORD updates) { m_nCheckpointEvery = updates; }
    const CDemoRound& Round() const { return m_Round; }

  private:
    // A "+30" that floats up from a catch for a moment.
    struct SPopup {
        int x, y;
        int points;
        int age;
    };

    void DrawTargets() const;
    // The record file: read at load, written when a round beats it.
    void LoadRecord();
    void SaveRecord(int score);
    void DrawHud(CRenderSystem* render, bool paused) const;

    CDemoRound m_Round;
    CResource* m_pEffects = nullptr;
    std::unique_ptr<CAnimationCtrl> m_pExplosions;
    CEngineFont* m_pHudFont = nullptr;
    CEngineFont* m_pBigFont = nullptr;
    std::vector<SPopup> m_Popups;
    DWORD m_nCheckpointEvery = 0;
    POINT m_ptPlayer{-1000, -1000}; // as of the last update, for the marker
    int m_nRecord = 0;              // from DemoScores.ini, across sessions
};
