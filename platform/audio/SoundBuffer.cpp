// DirectSound buffer semantics over a mixer voice: cursors in bytes, Play from the current
// position, Stop keeping it, a natural end rewinding to 0, controls only with their
// creation flags, Lock in up to two regions around the end, lost memory for tests.
#include "platform/audio/SoundBuffer.h"

#include "platform/audio/AudioFaults.h"

#include <algorithm>
#include <cstring>

namespace vireo::platform::audio {

namespace {
CMixer& Mixer()
{
    return CMixer::Instance();
}
} // namespace

bool IsPlayableFormat(const WAVEFORMATEX& f)
{
    return f.wFormatTag == WAVE_FORMAT_PCM && (f.nChannels == 1 || f.nChannels == 2) &&
           (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) && f.nSamplesPerSec >= DSBFREQUENCY_MIN &&
           f.nSamplesPerSec <= DSBFREQUENCY_MAX && f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8;
}

CSoundBuffer* CSoundBuffer::CreatePrimary(DWORD flags)
{
    auto* buffer = new CSoundBuffer;
    buffer->m_primary = true;
    buffer->m_flags = flags;
    buffer->m_format = {WAVE_FORMAT_PCM, 1, 22050, 22050, 1, 8, 0};
    buffer->m_memory = std::make_shared<SoundMemory>();
    return buffer;
}

CSoundBuffer* CSoundBuffer::CreateSecondary(DWORD flags, DWORD bytes, const WAVEFORMATEX& format)
{
    auto* buffer = new CSoundBuffer;
    buffer->m_flags = flags;
    buffer->m_format = format;
    buffer->m_format.cbSize = 0;
    buffer->m_frequency = format.nSamplesPerSec;
    buffer->m_memory = std::make_shared<SoundMemory>();
    buffer->m_memory->bytes.assign(bytes, format.wBitsPerSample == 8 ? 0x80 : 0x00);
    buffer->AttachVoice();
    return buffer;
}

CSoundBuffer* CSoundBuffer::Duplicate() const
{
    auto* copy = new CSoundBuffer;
    copy->m_flags = m_flags;
    copy->m_format = m_format;
    copy->m_memory = m_memory;
    copy->m_volume = m_volume;
    copy->m_pan = m_pan;
    copy->m_frequency = m_frequency;
    copy->AttachVoice();
    return copy;
}

void CSoundBuffer::AttachVoice()
{
    m_voice = Mixer().AddVoice();
    Mixer().Edit(m_voice, [&](Voice& v) {
        v.data = m_memory->bytes.data();
        v.frames = static_cast<std::uint32_t>(m_memory->bytes.size() / m_format.nBlockAlign);
        v.channels = static_cast<std::uint8_t>(m_format.nChannels);
        v.bits = static_cast<std::uint8_t>(m_format.wBitsPerSample);
        v.rate = m_frequency;
    });
    ApplyGains();
    LiveSecondaryBuffers().push_back(this);
}

CSoundBuffer::~CSoundBuffer()
{
    if (m_voice >= 0) {
        Mixer().RemoveVoice(m_voice); // before the memory can go
        auto& live = LiveSecondaryBuffers();
        live.erase(std::remove(live.begin(), live.end(), this), live.end());
    }
}

void CSoundBuffer::ApplyGains()
{
    float left = 1.0f, right = 1.0f;
    CMixer::DecibelGains(m_volume, m_pan, left, right);
    Mixer().Edit(m_voice, [&](Voice& v) {
        v.gainLeft = left;
        v.gainRight = right;
    });
}

void CSoundBuffer::MarkLost(int restoreFailures)
{
    if (m_primary)
        return;
    m_lost = true;
    m_restoreFailures = std::max(0, restoreFailures);
    Mixer().Edit(m_voice, [](Voice& v) { v.playing = false; });
}

HRESULT CSoundBuffer::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDirectSoundBuffer || (!m_primary && iid == IID_IDirectSoundBuffer8)) {
        AddRef();
        *object = static_cast<IDirectSoundBuffer8*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT CSoundBuffer::GetCaps(LPDSBCAPS caps)
{
    if (!caps || caps->dwSize != sizeof(DSBCAPS))
        return DSERR_INVALIDPARAM;
    caps->dwFlags = (m_flags & ~DSBCAPS_LOCDEFER) | DSBCAPS_LOCSOFTWARE;
    caps->dwBufferBytes = m_primary ? 4 * CMixer::kBlockFrames : Size();
    caps->dwUnlockTransferRate = 0;
    caps->dwPlayCpuOverhead = 0;
    return DS_OK;
}

HRESULT CSoundBuffer::GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor)
{
    if (m_primary) {
        if (playCursor)
            *playCursor = 0;
        if (writeCursor)
            *writeCursor = 0;
        return DS_OK;
    }
    std::uint64_t position = 0;
    bool playing = false;
    Mixer().Edit(m_voice, [&](Voice& v) {
        position = v.position >> 32;
        playing = v.playing;
    });
    const DWORD play = static_cast<DWORD>(position) * m_format.nBlockAlign;
    if (playCursor)
        *playCursor = play;
    if (writeCursor) {
        // While playing, the mixer may already have read one block ahead.
        const DWORD ahead = playing ? static_cast<DWORD>(CMixer::kBlockFrames) * m_format.nBlockAlign : 0;
        *writeCursor = static_cast<DWORD>((static_cast<std::uint64_t>(play) + ahead) % Size());
    }
    return DS_OK;
}

HRESULT CSoundBuffer::GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD sizeWritten)
{
    if (!format) {
        if (!sizeWritten)
            return DSERR_INVALIDPARAM;
        *sizeWritten = sizeof(WAVEFORMATEX);
        return DS_OK;
    }
    if (sizeAllocated < sizeof(WAVEFORMATEX))
        return DSERR_INVALIDPARAM;
    *format = m_format;
    if (sizeWritten)
        *sizeWritten = sizeof(WAVEFORMATEX);
    return DS_OK;
}

HRESULT CSoundBuffer::GetVolume(LPLONG volume)
{
    if (!volume)
        return DSERR_INVALIDPARAM;
    if (!(m_flags & DSBCAPS_CTRLVOLUME))
        return DSERR_CONTROLUNAVAIL;
    *volume = m_volume;
    return DS_OK;
}

HRESULT CSoundBuffer::GetPan(LPLONG pan)
{
    if (!pan)
        return DSERR_INVALIDPARAM;
    if (!(m_flags & DSBCAPS_CTRLPAN))
        return DSERR_CONTROLUNAVAIL;
    *pan = m_pan;
    return DS_OK;
}

HRESULT CSoundBuffer::GetFrequency(LPDWORD frequency)
{
    if (!frequency)
        return DSERR_INVALIDPARAM;
    if (m_primary || !(m_flags & DSBCAPS_CTRLFREQUENCY))
        return DSERR_CONTROLUNAVAIL;
    *frequency = m_frequency;
    return DS_OK;
}

HRESULT CSoundBuffer::GetStatus(LPDWORD status)
{
    if (!status)
        return DSERR_INVALIDPARAM;
    if (m_primary) {
        *status = DSBSTATUS_PLAYING | DSBSTATUS_LOOPING; // the primary buffer always runs
        return DS_OK;
    }
    DWORD bits = 0;
    Mixer().Edit(m_voice, [&](Voice& v) {
        if (v.playing)
            bits |= DSBSTATUS_PLAYING | DSBSTATUS_LOCSOFTWARE | (v.looping ? DSBSTATUS_LOOPING : 0);
    });
    if (m_lost)
        bits |= DSBSTATUS_BUFFERLOST;
    *status = bits;
    return DS_OK;
}

HRESULT CSoundBuffer::Initialize(IDirectSound8*, LPCDSBUFFERDESC)
{
    return DSERR_ALREADYINITIALIZED;
}

HRESULT CSoundBuffer::Lock(DWORD offset, DWORD bytes, LPVOID* audio1, LPDWORD bytes1, LPVOID* audio2, LPDWORD bytes2,
                           DWORD flags)
{
    if (!audio1 || !bytes1)
        return DSERR_INVALIDPARAM;
    if (m_primary)
        return DSERR_PRIOLEVELNEEDED; // writing the primary buffer needs DSSCL_WRITEPRIMARY
    if (m_lost)
        return DSERR_BUFFERLOST;
    const DWORD size = Size();
    if (flags & DSBLOCK_FROMWRITECURSOR)
        GetCurrentPosition(nullptr, &offset);
    if (flags & DSBLOCK_ENTIREBUFFER) {
        bytes = size;
        offset = (flags & DSBLOCK_FROMWRITECURSOR) ? offset : 0;
    }
    if (offset >= size || bytes == 0 || bytes > size)
        return DSERR_INVALIDPARAM;
    const DWORD first = std::min(bytes, size - offset);
    *audio1 = m_memory->bytes.data() + offset;
    *bytes1 = first;
    if (audio2)
        *audio2 = bytes > first ? m_memory->bytes.data() : nullptr;
    if (bytes2)
        *bytes2 = audio2 ? bytes - first : 0;
    return DS_OK;
}

HRESULT CSoundBuffer::Unlock(LPVOID audio1, DWORD bytes1, LPVOID audio2, DWORD bytes2)
{
    if (m_primary)
        return DSERR_INVALIDCALL;
    const std::uint8_t* begin = m_memory->bytes.data();
    const std::uint8_t* end = begin + m_memory->bytes.size();
    auto inside = [&](LPVOID at, DWORD count) {
        const auto* p = static_cast<const std::uint8_t*>(at);
        return count == 0 || (p >= begin && p <= end && count <= static_cast<std::size_t>(end - p));
    };
    if (!audio1 || !inside(audio1, bytes1) || (audio2 && !inside(audio2, bytes2)))
        return DSERR_INVALIDPARAM;
    return DS_OK;
}

HRESULT CSoundBuffer::Play(DWORD reserved, DWORD priority, DWORD flags)
{
    if (reserved != 0)
        return DSERR_INVALIDPARAM;
    if (priority != 0 && !(m_flags & DSBCAPS_LOCDEFER))
        return DSERR_INVALIDCALL;
    if (m_primary)
        return DS_OK;
    if (m_lost)
        return DSERR_BUFFERLOST;
    Mixer().Edit(m_voice, [&](Voice& v) {
        v.playing = true; // already playing: only the looping flag changes
        v.looping = (flags & DSBPLAY_LOOPING) != 0;
        v.ended = false;
    });
    return DS_OK;
}

HRESULT CSoundBuffer::SetCurrentPosition(DWORD position)
{
    if (m_primary)
        return DSERR_INVALIDCALL;
    if (position >= Size())
        return DSERR_INVALIDPARAM;
    const std::uint64_t frame = position / m_format.nBlockAlign;
    Mixer().Edit(m_voice, [&](Voice& v) { v.position = frame << 32; });
    return DS_OK;
}

HRESULT CSoundBuffer::SetFormat(LPCWAVEFORMATEX format)
{
    if (!m_primary)
        return DSERR_INVALIDCALL;
    if (!format)
        return DSERR_INVALIDPARAM;
    if (FAILED(DsFaults().primaryFormat))
        return DsFaults().primaryFormat;
    if (!IsPlayableFormat(*format))
        return DSERR_BADFORMAT;
    // Kept and reported; the mix itself stays at the device's rate in stereo.
    m_format = *format;
    m_format.cbSize = 0;
    return DS_OK;
}

HRESULT CSoundBuffer::SetVolume(LONG volume)
{
    if (!(m_flags & DSBCAPS_CTRLVOLUME))
        return DSERR_CONTROLUNAVAIL;
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX)
        return DSERR_INVALIDPARAM;
    m_volume = volume;
    if (!m_primary)
        ApplyGains();
    return DS_OK;
}

HRESULT CSoundBuffer::SetPan(LONG pan)
{
    if (!(m_flags & DSBCAPS_CTRLPAN))
        return DSERR_CONTROLUNAVAIL;
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT)
        return DSERR_INVALIDPARAM;
    m_pan = pan;
    if (!m_primary)
        ApplyGains();
    return DS_OK;
}

HRESULT CSoundBuffer::SetFrequency(DWORD frequency)
{
    if (m_primary || !(m_flags & DSBCAPS_CTRLFREQUENCY))
        return DSERR_CONTROLUNAVAIL;
    if (frequency == DSBFREQUENCY_ORIGINAL)
        frequency = m_format.nSamplesPerSec;
    if (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX)
        return DSERR_INVALIDPARAM;
    m_frequency = frequency;
    Mixer().Edit(m_voice, [&](Voice& v) { v.rate = frequency; });
    return DS_OK;
}

HRESULT CSoundBuffer::Stop()
{
    if (!m_primary)
        Mixer().Edit(m_voice, [](Voice& v) { v.playing = false; }); // the position stays
    return DS_OK;
}

HRESULT CSoundBuffer::Restore()
{
    if (!m_lost)
        return DS_OK;
    if (m_restoreFailures > 0) {
        --m_restoreFailures;
        return DSERR_BUFFERLOST;
    }
    m_lost = false; // the memory is back, its contents undefined: the game refills it
    return DS_OK;
}

HRESULT CSoundBuffer::SetFX(DWORD, void*, LPDWORD)
{
    return DSERR_CONTROLUNAVAIL;
}

HRESULT CSoundBuffer::AcquireResources(DWORD, DWORD, LPDWORD)
{
    return DS_OK; // software buffers hold their resources from creation
}

HRESULT CSoundBuffer::GetObjectInPath(REFGUID, DWORD, REFGUID, LPVOID* out)
{
    if (out)
        *out = nullptr;
    return DSERR_OBJECTNOTFOUND;
}

} // namespace vireo::platform::audio
