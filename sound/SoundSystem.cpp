// CSoundSystem as the engine drives it: started third and updated after rendering each frame.
// Starting the music and effect outputs and the per-frame step of the pooled sounds (fades,
// pending plays) come with the sound work; with no output and empty pools there is nothing
// to start or step yet.
#include <vireo/engine.h>

CSoundSystem::CSoundSystem() = default;

CSoundSystem::~CSoundSystem() = default;

BOOL CSoundSystem::Init()
{
    return TRUE;
}

void CSoundSystem::Update() {}
