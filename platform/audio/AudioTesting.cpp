// The sound part of the testing header: scripted DirectSound failures, lost buffers, and
// what tests need to know of the mixer. Nothing here runs unless a test calls it.
#include "platform/audio/AudioFaults.h"
#include "platform/audio/Mixer.h"
#include "platform/audio/SoundBuffer.h"

#include <vireo/platform/Testing.h>

namespace vireo::testing {

void SetDirectSoundFailures(HRESULT create, HRESULT cooperativeLevel, HRESULT primaryFormat)
{
    platform::audio::DsFaults() = {create, cooperativeLevel, primaryFormat};
}

void FailFmodInit(bool fail)
{
    platform::audio::FmodInitFails() = fail;
}

void LoseSoundBuffer(IUnknown* buffer, int restoreFailures)
{
    for (platform::audio::CSoundBuffer* live : platform::audio::LiveSecondaryBuffers())
        if (!buffer || static_cast<IUnknown*>(static_cast<IDirectSoundBuffer*>(live)) == buffer)
            live->MarkLost(restoreFailures);
}

int SoundBufferCount()
{
    return static_cast<int>(platform::audio::LiveSecondaryBuffers().size());
}

int AudioMixRate()
{
    return platform::audio::CMixer::Instance().Rate();
}

} // namespace vireo::testing
