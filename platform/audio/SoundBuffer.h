// A DirectSound-style buffer: the primary buffer (a format record, nothing to play) or a
// secondary buffer whose memory feeds one mixer voice. Duplicates share the memory.
// Software only: no 3D, effects, position notification or hardware location.
#pragma once

#include "platform/audio/Mixer.h"

#include <vireo/platform/DSound.h>

#include <memory>
#include <vector>

namespace vireo::platform::audio {

// Audio memory shared by a buffer and its duplicates; freed with the last of them.
struct SoundMemory {
    std::vector<std::uint8_t> bytes;
};

class CSoundBuffer final : public ComObject<IDirectSoundBuffer8> {
  public:
    // A new primary buffer (format 22,050 Hz 8-bit mono until SetFormat).
    static CSoundBuffer* CreatePrimary(DWORD flags);
    // A new secondary buffer; the caller checked flags, size and format.
    static CSoundBuffer* CreateSecondary(DWORD flags, DWORD bytes, const WAVEFORMATEX& format);
    CSoundBuffer* Duplicate() const;

    bool IsPrimary() const { return m_primary; }
    DWORD Flags() const { return m_flags; }
    // Tests: memory lost as with a hardware buffer; Restore fails `restoreFailures` times first.
    void MarkLost(int restoreFailures);

    HRESULT QueryInterface(REFIID iid, void** object) override;
    HRESULT GetCaps(LPDSBCAPS caps) override;
    HRESULT GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor) override;
    HRESULT GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD sizeWritten) override;
    HRESULT GetVolume(LPLONG volume) override;
    HRESULT GetPan(LPLONG pan) override;
    HRESULT GetFrequency(LPDWORD frequency) override;
    HRESULT GetStatus(LPDWORD status) override;
    HRESULT Initialize(IDirectSound8* device, LPCDSBUFFERDESC desc) override;
    HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* audio1, LPDWORD bytes1, LPVOID* audio2, LPDWORD bytes2,
                 DWORD flags) override;
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override;
    HRESULT SetCurrentPosition(DWORD position) override;
    HRESULT SetFormat(LPCWAVEFORMATEX format) override;
    HRESULT SetVolume(LONG volume) override;
    HRESULT SetPan(LONG pan) override;
    HRESULT SetFrequency(DWORD frequency) override;
    HRESULT Stop() override;
    HRESULT Unlock(LPVOID audio1, DWORD bytes1, LPVOID audio2, DWORD bytes2) override;
    HRESULT Restore() override;
    HRESULT SetFX(DWORD effectCount, void* effectDescs, LPDWORD resultCodes) override;
    HRESULT AcquireResources(DWORD flags, DWORD effectCount, LPDWORD resultCodes) override;
    HRESULT GetObjectInPath(REFGUID object, DWORD index, REFGUID iid, LPVOID* out) override;

  private:
    CSoundBuffer() = default;
    ~CSoundBuffer() override;
    void AttachVoice();
    void ApplyGains();
    DWORD Size() const { return static_cast<DWORD>(m_memory->bytes.size()); }

    bool m_primary = false;
    DWORD m_flags = 0;
    WAVEFORMATEX m_format{};
    std::shared_ptr<SoundMemory> m_memory;
    int m_voice = -1;
    LONG m_volume = 0;
    LONG m_pan = 0;
    DWORD m_frequency = 0; // the format's rate until SetFrequency
    bool m_lost = false;
    int m_restoreFailures = 0;
};

// A format the mixer plays: PCM, 1 or 2 channels of 8 or 16 bits, 100 to 200,000 Hz, block
// align matching.
bool IsPlayableFormat(const WAVEFORMATEX& format);

} // namespace vireo::platform::audio
