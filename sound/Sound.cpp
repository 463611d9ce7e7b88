// CSound: the engine-side logic shared by every kind of sound: the logical state, the
// repetition counter, the pending start of muted music, the fade-out and the mute rules of
// the owning system. What reaches an output is left to the kinds' overrides.
#include <vireo/sound.h>
#include <vireo/support.h>

#include <cstdint>

namespace {

// Fade arithmetic wraps on 32 bits as the engine's int fields do, never traps.
int WrapToInt(std::int64_t v)
{
    return static_cast<int>(static_cast<std::uint32_t>(v));
}

} // namespace

CSound::CSound() = default;

CSound::~CSound() = default;

int CSound::IsPlaying()
{
    return m_nState == SND_PLAYING ? 1 : 0;
}

int CSound::Create(CSoundSystem* pOwner, BOOL bMusic, const wchar_t* path, DWORD dwParam)
{
    m_pSoundSystem = pOwner;
    m_bMusic = bMusic;
    m_strFileName = path ? path : L"";
    return Load(m_strFileName.c_str(), dwParam);
}

void CSound::Play(int nLoop)
{
    m_nFadeStep = 0;
    m_nFadeTarget = 0;
    m_nFadeVolume = 0;
    m_nLoop = nLoop;
    if (!m_bMusic && m_pSoundSystem && m_pSoundSystem->IsMuteEffect())
        return;
    m_bPlayPending = FALSE;
    if (m_bMusic && m_pSoundSystem && m_pSoundSystem->IsMuteMusic()) {
        m_bPlayPending = TRUE;
        return;
    }
    if (m_nState == SND_PAUSED) {
        ResumeSound();
    } else {
        if (m_bMusic)
            WriteLog(1, L"Play Sound '%s'", m_strFileName.c_str());
        PlaySound(nLoop == 0);
        m_nLoop = nLoop - 1;
    }
    m_nState = SND_PLAYING;
}

int CSound::Stop()
{
    m_nFadeStep = 0;
    m_nFadeTarget = 0;
    m_nFadeVolume = 0;
    m_nLoop = -1;
    m_bPlayPending = FALSE;
    if (m_nState == SND_STOPPED)
        return 1;
    if (m_bMusic)
        WriteLog(1, L"Stop Sound '%s'", m_strFileName.c_str());
    m_nState = SND_STOPPED;
    return StopSound();
}

int CSound::Pause()
{
    if (m_nState != SND_PLAYING)
        return 1;
    WriteLog(4, L"Pause sound '%s'", m_strFileName.c_str());
    m_nState = SND_PAUSED;
    return PauseSound();
}

void CSound::Resume()
{
    m_nState = SND_PLAYING;
    ResumeSound();
    if (m_bMusic && m_bPlayPending)
        Play(m_nLoop);
    m_bPlayPending = FALSE;
}

void CSound::StopSmooth(LONG lTarget, DWORD dwUpdates)
{
    const LONG volume = GetVolume();
    m_nFadeVolume = WrapToInt(std::int64_t{volume} * 1000);
    m_lSavedVolume = volume;
    m_nFadeTarget = WrapToInt(std::int64_t{lTarget} * 1000);
    // Unsigned 32-bit division: a target above the volume gives a step the update never uses.
    const auto span = static_cast<std::uint32_t>(WrapToInt((std::int64_t{volume} - lTarget) * 1000));
    m_nFadeStep = static_cast<int>(span / (dwUpdates ? dwUpdates : 1));
}

void CSound::UpdateSound()
{
    if (IsPlaying()) {
        if (m_nFadeVolume > m_nFadeTarget) {
            m_nFadeVolume = WrapToInt(std::int64_t{m_nFadeVolume} - m_nFadeStep);
            if (m_nFadeVolume > m_nFadeTarget) {
                SetVolume(m_nFadeVolume / 1000);
            } else {
                m_nFadeVolume = m_nFadeTarget;
                Stop();
                m_nFadeTarget = 0;
                SetVolume(m_lSavedVolume);
            }
        }
    } else if (m_nLoop > 0) {
        Play(m_nLoop);
    }
}
