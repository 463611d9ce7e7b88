// The demo's sounds: effects from its own WAV files (the hit has four buffers, so quick hits
// overlap), background music in OGG, a MIDI tune, a fade-out, and a bell that the executable
// carries as a WAVE resource. Keys: Space hit, C coin, B bell, M tune, F fade the music out
// (F again starts it anew), not while the settings dialog takes the keyboard. The game's
// events play the same effects through Play.
#pragma once

#include <vireo/engine.h>

#include <string>

class CDemoSounds {
  public:
    // Loads every sound and starts the music with a burst of overlapping hits.
    void Load(CSoundSystem* sound, const std::wstring& dataFolder);
    // Game update: the keys above unless typing (letters typed into a dialog are text), the
    // opening burst spread over a few frames, and a hit whenever the bouncing orb (3 and 2
    // pixels a tick across travel of range) turns round.
    void Update(const CInputSystem* input, bool typing, DWORD gameTicks, SIZE range);
    void Release(CSoundSystem* sound);

    // One of the effects on a game event; nothing when its file was missing.
    enum Cue { COIN, HIT, BELL };
    void Play(Cue cue);

  private:
    CSound* m_pHit = nullptr;
    CSound* m_pCoin = nullptr;
    CSound* m_pBell = nullptr;
    CSound* m_pMusic = nullptr;
    CSound* m_pTune = nullptr;
    int m_nBurstFrame = 0; // frames since the start, while the opening burst lasts
};
