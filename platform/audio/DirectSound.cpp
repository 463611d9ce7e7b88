// DirectSound-style device. Until the mixer lands there is no output device, so creation
// answers DSERR_NODRIVER and the engine's sound start fails cleanly.
#include <vireo/platform/DSound.h>

HRESULT DirectSoundCreate8(LPCGUID, LPDIRECTSOUND8* out, LPUNKNOWN)
{
    if (out)
        *out = nullptr;
    return DSERR_NODRIVER;
}
