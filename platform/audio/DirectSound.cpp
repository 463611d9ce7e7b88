// The DirectSound-style device: checks buffer descriptions as DirectSound does, makes the
// primary and secondary buffers, duplicates sharing memory, and holds the mixer's output
// open while it lives. One device (the default output); no capture, no speaker set-up.
#include "platform/audio/AudioFaults.h"
#include "platform/audio/Mixer.h"
#include "platform/audio/SoundBuffer.h"

#include <vireo/platform/DSound.h>

namespace vireo::platform::audio {

DirectSoundFaults& DsFaults()
{
    static DirectSoundFaults faults;
    return faults;
}

std::vector<CSoundBuffer*>& LiveSecondaryBuffers()
{
    static std::vector<CSoundBuffer*> buffers;
    return buffers;
}

namespace {

class CDirectSound8 final : public ComObject<IDirectSound8> {
  public:
    CDirectSound8() { CMixer::Instance().Acquire(); }

    HRESULT QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDirectSound || iid == IID_IDirectSound8) {
            AddRef();
            *object = static_cast<IDirectSound8*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

    HRESULT CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN outer) override
    {
        if (!buffer)
            return DSERR_INVALIDPARAM;
        *buffer = nullptr;
        if (outer)
            return DSERR_NOAGGREGATION;
        if (!desc || (desc->dwSize != DSBUFFERDESC_WIN32_SIZE && desc->dwSize != sizeof(DSBUFFERDESC) &&
                      desc->dwSize != DSBUFFERDESC1_SIZE))
            return DSERR_INVALIDPARAM;
        const DWORD flags = desc->dwFlags;
        if ((flags & DSBCAPS_LOCHARDWARE) && (flags & DSBCAPS_LOCSOFTWARE))
            return DSERR_INVALIDPARAM;
        if (flags & DSBCAPS_PRIMARYBUFFER) {
            if (desc->dwBufferBytes != 0 || desc->lpwfxFormat || (flags & (DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLFX)))
                return DSERR_INVALIDPARAM;
            *buffer = CSoundBuffer::CreatePrimary(flags);
            return DS_OK;
        }
        if (flags & DSBCAPS_LOCHARDWARE)
            return DSERR_CONTROLUNAVAIL; // no hardware voices here
        if (flags & (DSBCAPS_CTRL3D | DSBCAPS_CTRLFX | DSBCAPS_CTRLPOSITIONNOTIFY))
            return DSERR_UNSUPPORTED;
        if (!desc->lpwfxFormat || desc->dwBufferBytes < DSBSIZE_MIN || desc->dwBufferBytes > DSBSIZE_MAX)
            return DSERR_INVALIDPARAM;
        if (!IsPlayableFormat(*desc->lpwfxFormat))
            return DSERR_BADFORMAT;
        if (desc->dwBufferBytes < desc->lpwfxFormat->nBlockAlign)
            return DSERR_INVALIDPARAM;
        *buffer = CSoundBuffer::CreateSecondary(flags, desc->dwBufferBytes, *desc->lpwfxFormat);
        return DS_OK;
    }

    HRESULT GetCaps(LPDSCAPS caps) override
    {
        if (!caps || caps->dwSize != sizeof(DSCAPS))
            return DSERR_INVALIDPARAM;
        const DWORD size = caps->dwSize;
        *caps = DSCAPS{};
        caps->dwSize = size;
        caps->dwFlags = DSCAPS_PRIMARYMONO | DSCAPS_PRIMARYSTEREO | DSCAPS_PRIMARY8BIT | DSCAPS_PRIMARY16BIT |
                        DSCAPS_CONTINUOUSRATE | DSCAPS_SECONDARYMONO | DSCAPS_SECONDARYSTEREO | DSCAPS_SECONDARY8BIT |
                        DSCAPS_SECONDARY16BIT;
        caps->dwMinSecondarySampleRate = DSBFREQUENCY_MIN;
        caps->dwMaxSecondarySampleRate = DSBFREQUENCY_MAX;
        caps->dwPrimaryBuffers = 1;
        return DS_OK;
    }

    HRESULT DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPDIRECTSOUNDBUFFER* duplicate) override
    {
        if (!duplicate)
            return DSERR_INVALIDPARAM;
        *duplicate = nullptr;
        auto* source = dynamic_cast<CSoundBuffer*>(original);
        if (!source)
            return DSERR_INVALIDPARAM;
        if (source->IsPrimary() || (source->Flags() & DSBCAPS_CTRLFX))
            return DSERR_INVALIDCALL;
        *duplicate = source->Duplicate();
        return DS_OK;
    }

    HRESULT SetCooperativeLevel(HWND, DWORD level) override
    {
        if (level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY)
            return DSERR_INVALIDPARAM;
        if (FAILED(DsFaults().cooperativeLevel))
            return DsFaults().cooperativeLevel;
        m_level = level; // the window is not needed: sound keeps playing in the background
        return DS_OK;
    }

    HRESULT Compact() override { return m_level >= DSSCL_PRIORITY ? DS_OK : DSERR_PRIOLEVELNEEDED; }
    HRESULT GetSpeakerConfig(LPDWORD config) override
    {
        if (!config)
            return DSERR_INVALIDPARAM;
        *config = DSSPEAKER_STEREO;
        return DS_OK;
    }
    HRESULT SetSpeakerConfig(DWORD) override { return DS_OK; }
    HRESULT Initialize(LPCGUID) override { return DSERR_ALREADYINITIALIZED; }
    HRESULT VerifyCertification(LPDWORD certified) override
    {
        if (!certified)
            return DSERR_INVALIDPARAM;
        *certified = DS_UNCERTIFIED;
        return DS_OK;
    }

  private:
    ~CDirectSound8() override { CMixer::Instance().ReleaseOutput(); }
    DWORD m_level = 0;
};

} // namespace

} // namespace vireo::platform::audio

HRESULT DirectSoundCreate8(LPCGUID device, LPDIRECTSOUND8* out, LPUNKNOWN outer)
{
    using namespace vireo::platform::audio;
    if (!out)
        return DSERR_INVALIDPARAM;
    *out = nullptr;
    if (outer)
        return DSERR_NOAGGREGATION;
    if (device && !(*device == GUID_NULL) && !(*device == DSDEVID_DefaultPlayback))
        return DSERR_NODRIVER;
    if (FAILED(DsFaults().create))
        return DsFaults().create;
    *out = new CDirectSound8;
    return DS_OK;
}
