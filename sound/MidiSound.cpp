// CMidiSound: a MIDI file as an FMOD song, loaded from its absolute path. Its IsPlaying is
// always 1, so the per-frame step never restarts it; play failures are logged, not returned.
#include "support/AnsiText.h"

#include <vireo/sound.h>
#include <vireo/support.h>

#include <string>

namespace {

constexpr std::size_t kAnsiPathBytes = 499; // 500 bytes with the terminator

} // namespace

CMidiSound::~CMidiSound()
{
    if (m_pSong)
        FMUSIC_FreeSong(m_pSong);
}

int CMidiSound::Load(const wchar_t* path, DWORD)
{
    const std::wstring full = GetFullPath(path);
    const std::string name = vireo::WideToAnsi(full.c_str(), full.size(), kAnsiPathBytes);
    m_pSong = FMUSIC_LoadSong(name.c_str());
    if (!m_pSong) {
        WriteLog(3, L"FMUSIC_LoadSong  failure.  path=%s", full.c_str());
        return 0;
    }
    return 1;
}

void CMidiSound::PlaySound(BOOL bLoop)
{
    if (!FMUSIC_SetLooping(m_pSong, bLoop ? 1 : 0))
        WriteLog(3, L"FMUSIC_SetLooping  failure.");
    if (!FMUSIC_PlaySong(m_pSong))
        WriteLog(3, L"FMUSIC_PlaySong  failure.");
}

int CMidiSound::StopSound()
{
    return FMUSIC_StopSong(m_pSong);
}

int CMidiSound::PauseSound()
{
    FMUSIC_SetPaused(m_pSong, 1);
    return 1;
}

void CMidiSound::ResumeSound()
{
    FMUSIC_SetPaused(m_pSong, 0);
}

void CMidiSound::SetVolume(LONG lVolume)
{
    FMUSIC_SetMasterVolume(m_pSong, lVolume);
}

LONG CMidiSound::GetVolume()
{
    return FMUSIC_GetMasterVolume(m_pSong);
}
