// The sound system: one per engine, started and driven through the CEngineSystem protocol.
// Its output (FMOD-style music, DirectSound-style effects) and its pools are added by the
// sound work; this is the class the engine embeds and updates.
#pragma once

#include <vireo/types.h>

class CSoundSystem : public CEngineSystem {
  public:
    CSoundSystem();
    ~CSoundSystem() override;

    BOOL Init() override;
    BOOL CanUpdate() override { return TRUE; }
    void Update() override;
};
