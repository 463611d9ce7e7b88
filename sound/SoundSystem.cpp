// CSoundSystem as the engine drives it: started third and updated after rendering each frame.
// It opens no output and pools no sounds, so starting and the per-frame step have nothing to do.
#include <vireo/engine.h>

CSoundSystem::CSoundSystem() = default;

CSoundSystem::~CSoundSystem() = default;

BOOL CSoundSystem::Init()
{
    return TRUE;
}

void CSoundSystem::Update() {}
