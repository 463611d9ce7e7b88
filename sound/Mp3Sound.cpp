// CMp3Sound: an MP3 or OGG file as an FMOD sample. Every start takes a new channel; volume,
// pause and stop act on the channel of the last start. A sample that failed to load still
// makes a sound object, which plays nothing.
#include "support/AnsiText.h"

#include <vireo/sound.h>
#include <vireo/support.h>

#include <string>

namespace {

// The ANSI path buffer holds 500 bytes with its terminator.
constexpr std::size_t kAnsiPathBytes = 499;

} // namespace

CMp3Sound::~CMp3Sound()
{
    if (m_pSample)
        FSOUND_Sample_Free(m_pSample);
}

int CMp3Sound::IsPlaying()
{
    return CSound::IsPlaying();
}

int CMp3Sound::Load(const wchar_t* path, DWORD)
{
    const std::wstring wide(path);
    const std::string name = vireo::WideToAnsi(wide.c_str(), wide.size(), kAnsiPathBytes);
    m_pSample = FSOUND_Sample_Load(FSOUND_FREE, name.c_str(), 0, 0, 0);
    return 1;
}

void CMp3Sound::PlaySound(BOOL bLoop)
{
    m_nChannel = FSOUND_PlaySound(FSOUND_FREE, m_pSample);
    WriteLog(1, L"PlaySound  Channel=%d, Name=%s", m_nChannel, m_strFileName.c_str());
    FSOUND_SetLoopMode(m_nChannel, bLoop ? FSOUND_LOOP_NORMAL : FSOUND_LOOP_OFF);
}

int CMp3Sound::StopSound()
{
    WriteLog(4, L"StopSound  Channel=%d, Name=%s", m_nChannel, m_strFileName.c_str());
    return FSOUND_StopSound(m_nChannel);
}

int CMp3Sound::PauseSound()
{
    FSOUND_SetPaused(m_nChannel, 1);
    return 1;
}

void CMp3Sound::ResumeSound()
{
    FSOUND_SetPaused(m_nChannel, 0);
}

void CMp3Sound::SetVolume(LONG lVolume)
{
    FSOUND_SetVolume(m_nChannel, lVolume);
}

LONG CMp3Sound::GetVolume()
{
    return FSOUND_GetVolume(m_nChannel);
}
