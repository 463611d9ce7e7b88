// CWaveSound: a WAV file on one DirectSound buffer and its duplicates, filled once from a
// CWavReader that stays open so a lost buffer can be restored and refilled. Plays on the
// first buffer that is not sounding; volume goes to the first buffer only.
#include "sound/WavReader.h"

#include <vireo/sound.h>
#include <vireo/support.h>

#include <cstring>

namespace {

// Buffers keep sounding while the game window is in the background.
constexpr DWORD kCreationFlags =
    DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY | DSBCAPS_GLOBALFOCUS | DSBCAPS_LOCSOFTWARE;

// More copies than any mix can use are refused rather than allocated.
constexpr DWORD kMaxBuffers = 1024;

// Restore rounds before a buffer that stays lost is given up on (about a second of waiting).
constexpr int kMaxRestoreRounds = 100;

} // namespace

CWaveSound::CWaveSound() = default;

CWaveSound::~CWaveSound()
{
    FreeAll();
}

void CWaveSound::FreeAll()
{
    for (IDirectSoundBuffer* buffer : m_apBuffers)
        if (buffer)
            buffer->Release();
    m_apBuffers.clear();
    m_dwNumBuffers = 0;
    delete m_pWaveFile;
    m_pWaveFile = nullptr;
}

int CWaveSound::Load(const wchar_t* path, DWORD dwParam)
{
    m_strWaveFileName = path;
    if (!FileExists(path)) {
        ShowMessageBox(L"无法打开 Sound 文件 \"%s\"", GetFullPath(path).c_str());
        return 0;
    }
    IDirectSound8* device = m_pSoundSystem ? m_pSoundSystem->GetDirectSound() : nullptr;
    if (!device || dwParam < 1 || dwParam > kMaxBuffers)
        return 0;

    m_pWaveFile = new CWavReader();
    m_pWaveFile->Open(path, WAVEFILE_READ);
    if (m_pWaveFile->GetSize() == 0) {
        FreeAll();
        return 0;
    }

    DSBUFFERDESC desc{};
    desc.dwSize = DSBUFFERDESC_WIN32_SIZE;
    desc.dwFlags = kCreationFlags;
    desc.dwBufferBytes = m_pWaveFile->GetSize();
    desc.lpwfxFormat = m_pWaveFile->GetFormat();
    desc.guid3DAlgorithm = GUID_NULL;
    IDirectSoundBuffer* first = nullptr;
    const HRESULT hr = device->CreateSoundBuffer(&desc, &first, nullptr);
    if ((FAILED(hr) && hr != DS_NO_VIRTUALIZATION) || !first) {
        FreeAll();
        return 0;
    }
    m_apBuffers.push_back(first);
    for (DWORD i = 1; i < dwParam; ++i) {
        IDirectSoundBuffer* duplicate = nullptr;
        if (FAILED(device->DuplicateSoundBuffer(first, &duplicate)) || !duplicate) {
            FreeAll();
            return 0;
        }
        m_apBuffers.push_back(duplicate);
    }
    m_dwBufferSize = desc.dwBufferBytes;
    m_dwNumBuffers = dwParam;
    m_dwCreationFlags = kCreationFlags;
    // Duplicates share the first buffer's memory: one fill serves them all.
    FillBufferWithSound(first, FALSE);
    return 1;
}

HRESULT CWaveSound::FillBufferWithSound(IDirectSoundBuffer* pBuffer, BOOL bRepeat)
{
    if (!pBuffer || !m_pWaveFile)
        return CO_E_NOTINITIALIZED;
    RestoreBuffer(pBuffer, nullptr);
    void* data = nullptr;
    DWORD locked = 0;
    HRESULT hr = pBuffer->Lock(0, m_dwBufferSize, &data, &locked, nullptr, nullptr, 0);
    if (FAILED(hr))
        return hr;
    BYTE* bytes = static_cast<BYTE*>(data);
    const BYTE silence = m_pWaveFile->GetFormat()->wBitsPerSample == 8 ? 0x80 : 0;

    m_pWaveFile->ResetFile();
    DWORD read = 0;
    m_pWaveFile->Read(bytes, locked, &read);
    if (read == 0) {
        std::memset(bytes, silence, locked);
    } else if (read < locked) {
        DWORD done = read;
        // Repeating fills the rest with the sound again; a read that brings nothing ends it.
        while (bRepeat && done < locked) {
            DWORD more = 0;
            m_pWaveFile->ResetFile();
            m_pWaveFile->Read(bytes + done, locked - done, &more);
            if (more == 0)
                break;
            done += more;
        }
        std::memset(bytes + done, silence, locked - done);
    }
    return pBuffer->Unlock(data, locked, nullptr, 0);
}

HRESULT CWaveSound::RestoreBuffer(IDirectSoundBuffer* pBuffer, BOOL* pbRestored)
{
    if (pbRestored)
        *pbRestored = FALSE;
    DWORD status = 0;
    HRESULT hr = pBuffer->GetStatus(&status);
    if (FAILED(hr))
        return hr;
    if (!(status & DSBSTATUS_BUFFERLOST))
        return S_FALSE;
    for (int round = 0; round < kMaxRestoreRounds; ++round) {
        hr = pBuffer->Restore();
        if (hr == DSERR_BUFFERLOST)
            Sleep(10);
        hr = pBuffer->Restore();
        if (hr != DSERR_BUFFERLOST) {
            if (pbRestored)
                *pbRestored = TRUE;
            return S_OK;
        }
    }
    return DSERR_BUFFERLOST;
}

void CWaveSound::PlayBuffer(IDirectSoundBuffer* pBuffer)
{
    BOOL restored = FALSE;
    RestoreBuffer(pBuffer, &restored);
    if (restored)
        FillBufferWithSound(pBuffer, FALSE);
    if ((m_dwCreationFlags & DSBCAPS_CTRLFREQUENCY) && m_lFrequency != -1)
        pBuffer->SetFrequency(static_cast<DWORD>(m_lFrequency));
    if (m_dwCreationFlags & DSBCAPS_CTRLPAN)
        pBuffer->SetPan(m_lPan);
    pBuffer->Play(0, m_dwPriority, m_dwPlayFlags);
}

void CWaveSound::PlaySound(BOOL bLoop)
{
    IDirectSoundBuffer* free = nullptr;
    for (IDirectSoundBuffer* buffer : m_apBuffers) {
        DWORD status = 0;
        if (SUCCEEDED(buffer->GetStatus(&status)) && !(status & DSBSTATUS_PLAYING)) {
            free = buffer;
            break;
        }
    }
    if (!free)
        return; // every copy is sounding: this start is dropped
    m_dwPriority = 0;
    m_dwPlayFlags = bLoop ? DSBPLAY_LOOPING : 0;
    m_lFrequency = -1;
    m_lPan = 0;
    PlayBuffer(free);
}

int CWaveSound::PauseSound()
{
    int ok = 1;
    for (IDirectSoundBuffer* buffer : m_apBuffers)
        if (FAILED(buffer->Stop()))
            ok = 0;
    return ok;
}

int CWaveSound::StopSound()
{
    int ok = PauseSound();
    for (IDirectSoundBuffer* buffer : m_apBuffers)
        if (FAILED(buffer->SetCurrentPosition(0)))
            ok = 0;
    return ok;
}

void CWaveSound::ResumeSound()
{
    // A buffer rewound by StopSound stays silent; one stopped mid-way goes on from there.
    for (IDirectSoundBuffer* buffer : m_apBuffers) {
        DWORD play = 0;
        if (SUCCEEDED(buffer->GetCurrentPosition(&play, nullptr)) && play != 0)
            PlayBuffer(buffer);
    }
}

int CWaveSound::IsSoundPlaying()
{
    for (IDirectSoundBuffer* buffer : m_apBuffers) {
        DWORD status = 0;
        if (SUCCEEDED(buffer->GetStatus(&status)) && (status & DSBSTATUS_PLAYING))
            return 1;
    }
    return 0;
}

void CWaveSound::SetVolume(LONG lVolume)
{
    if (!m_apBuffers.empty())
        m_apBuffers[0]->SetVolume(lVolume);
}

LONG CWaveSound::GetVolume()
{
    LONG volume = 0;
    if (!m_apBuffers.empty())
        m_apBuffers[0]->GetVolume(&volume);
    return volume;
}
