// The sound system and its sound objects: CSoundSystem starts the FMOD-style and
// DirectSound-style outputs, pools effects and music by name with a reference count and
// steps every pooled sound once a frame; CSound and its three kinds (WAV on DirectSound
// buffers, MP3/OGG on an FMOD sample, MIDI on an FMOD song) play, pause, fade and stop.
#pragma once

#include <vireo/platform/DSound.h>
#include <vireo/platform/Fmod.h>
#include <vireo/types.h>

#include <map>
#include <string>
#include <vector>

class CSound;
class CWavReader;

// Logical play state of a sound; a sound that ends by itself stays SND_PLAYING.
enum SOUNDSTATE : int {
    SND_STOPPED = 0,
    SND_PAUSED = 1,
    SND_PLAYING = 2,
};

// One pooled sound: owned by the pool, alive while nRefCount >= 1.
struct SSoundPoolEntry {
    CSound* pSound;
    int nRefCount;
};

// Pool keys in UTF-16 code-unit order, so iteration matches a UTF-16 build whatever the
// width of wchar_t.
struct SSoundKeyLess {
    bool operator()(const std::wstring& a, const std::wstring& b) const;
};

class CSoundSystem : public CEngineSystem {
  public:
    using SoundPool = std::map<std::wstring, SSoundPoolEntry, SSoundKeyLess>;

    CSoundSystem();
    // Destroys every pooled sound, music first, whatever its count.
    ~CSoundSystem() override;

    // InitSystem with the engine's window.
    BOOL Init() override;
    BOOL CanUpdate() override { return TRUE; }
    // The per-frame step of every music sound, then of every effect.
    void Update() override;

    // FMOD (44100 Hz, 32 channels; a failure is only logged) and DirectSound with a 22050 Hz
    // 16-bit mono primary format. 0 when DirectSound cannot start.
    int InitSystem(HWND hWnd);
    // The same name returns the same sound with one more reference. The file taken is the
    // first that exists of name, base.mp3, base.ogg, base.mid, base.wav; its extension picks
    // the kind. dwParam is a WAV effect's number of buffers (copies that can sound at once).
    CSound* CreateEffect(const wchar_t* fileName, DWORD dwParam);
    CSound* CreateMusic(const wchar_t* fileName);
    // One reference back; the last destroys the sound. Unknown pointers are ignored.
    void ReleaseSound(CSound* pSound);

    // Muting effects stops them; muting music pauses it and unmuting resumes it.
    void MuteEffect(BOOL bMute);
    void MuteMusic(BOOL bMute);
    BOOL IsMuteEffect() const { return m_bMuteEffect; }
    BOOL IsMuteMusic() const { return m_bMuteMusic; }
    void PauseAllSound();
    // Resumes the pools that are not muted.
    void ResumeAllSound();
    void StopAllMusic();

    // The device every WAV sound makes its buffers on; null before InitSystem.
    IDirectSound8* GetDirectSound() const { return m_pDirectSound; }

  private:
    CSound* CreateSound(SoundPool& pool, const wchar_t* fileName, BOOL bMusic, DWORD dwParam);

    IDirectSound8* m_pDirectSound = nullptr;
    SoundPool m_MusicPool;
    SoundPool m_EffectPool;
    BOOL m_bMuteEffect = FALSE;
    BOOL m_bMuteMusic = FALSE;
};

// One loaded sound. Volume units are the output's: hundredths of a decibel (0 loudest,
// -10000 silent) for WAV, 0-255 for MP3/OGG, 0-256 for MIDI.
class CSound {
  public:
    CSound();
    CSound(const CSound&) = delete;
    CSound& operator=(const CSound&) = delete;

    // The logical state is SND_PLAYING (MIDI: always 1).
    virtual int IsPlaying();
    virtual void SetVolume(LONG lVolume) = 0;
    virtual LONG GetVolume() = 0;
    virtual ~CSound();

    // n = 0 loops endlessly; any other n plays once and keeps n - 1 repetitions, which the
    // per-frame step spends only while the sound is not playing.
    void Play(int nLoop);
    int Stop();
    int Pause();
    void Resume();
    // Fades from the current volume to lTarget over dwUpdates frames, then stops and puts the
    // volume back. A dwUpdates of 0 is taken as 1.
    void StopSmooth(LONG lTarget, DWORD dwUpdates);
    int IsMusic() const { return m_bMusic; }
    std::wstring GetFileName() const { return m_strFileName; }

    // Engine-internal: the sound system's create step and per-frame step.
    int Create(CSoundSystem* pOwner, BOOL bMusic, const wchar_t* path, DWORD dwParam);
    void UpdateSound();

  protected:
    virtual int Load(const wchar_t* path, DWORD dwParam) = 0;
    virtual void PlaySound(BOOL bLoop) = 0;
    virtual int StopSound() = 0;
    virtual int PauseSound() = 0;
    virtual void ResumeSound() = 0;

    CSoundSystem* m_pSoundSystem = nullptr;
    BOOL m_bMusic = FALSE;
    BOOL m_bPlayPending = FALSE;
    int m_nLoop = 0;
    std::wstring m_strFileName;
    SOUNDSTATE m_nState = SND_STOPPED;
    LONG m_lSavedVolume = 0;
    int m_nFadeStep = 0;   // thousandths of a volume unit per update
    int m_nFadeTarget = 0; // thousandths
    int m_nFadeVolume = 0; // thousandths
};

// A WAV file on DirectSound buffers: one buffer and its duplicates (which share its memory),
// so that many copies can sound at once; a lost buffer is restored and refilled.
class CWaveSound : public CSound {
  public:
    CWaveSound();
    ~CWaveSound() override;

    void SetVolume(LONG lVolume) override;
    LONG GetVolume() override;
    // 1 if any buffer is really sounding now.
    int IsSoundPlaying();

  protected:
    int Load(const wchar_t* path, DWORD dwParam) override;
    void PlaySound(BOOL bLoop) override;
    int StopSound() override;
    int PauseSound() override;
    void ResumeSound() override;

  private:
    void FreeAll();
    HRESULT FillBufferWithSound(IDirectSoundBuffer* pBuffer, BOOL bRepeat);
    HRESULT RestoreBuffer(IDirectSoundBuffer* pBuffer, BOOL* pbRestored);
    void PlayBuffer(IDirectSoundBuffer* pBuffer);

    std::vector<IDirectSoundBuffer*> m_apBuffers;
    DWORD m_dwBufferSize = 0;
    DWORD m_dwNumBuffers = 0;
    CWavReader* m_pWaveFile = nullptr;
    DWORD m_dwCreationFlags = 0;
    std::wstring m_strWaveFileName;
    DWORD m_dwPriority = 0;
    DWORD m_dwPlayFlags = 0;
    LONG m_lFrequency = -1;
    LONG m_lPan = 0;
};

// An MP3 or OGG file as an FMOD sample; each start takes a new channel.
class CMp3Sound : public CSound {
  public:
    ~CMp3Sound() override;

    int IsPlaying() override;
    void SetVolume(LONG lVolume) override;
    LONG GetVolume() override;

  protected:
    int Load(const wchar_t* path, DWORD dwParam) override;
    void PlaySound(BOOL bLoop) override;
    int StopSound() override;
    int PauseSound() override;
    void ResumeSound() override;

  private:
    FSOUND_SAMPLE* m_pSample = nullptr;
    int m_nChannel = 0;
};

// A MIDI file as an FMOD song.
class CMidiSound : public CSound {
  public:
    ~CMidiSound() override;

    int IsPlaying() override { return 1; }
    void SetVolume(LONG lVolume) override;
    LONG GetVolume() override;

  protected:
    int Load(const wchar_t* path, DWORD dwParam) override;
    void PlaySound(BOOL bLoop) override;
    int StopSound() override;
    int PauseSound() override;
    void ResumeSound() override;

  private:
    FMUSIC_MODULE* m_pSong = nullptr;
};
