// FMOD-style entry points. Until the mixer lands every call fails with FMOD_ERR_INIT, so an
// engine built against these names runs silent.
#include <vireo/platform/Fmod.h>

namespace {
int g_error = FMOD_ERR_NONE;
template <class T> T Fail(T value)
{
    g_error = FMOD_ERR_INIT;
    return value;
}
} // namespace

signed char FSOUND_Init(int, int, unsigned int)
{
    return Fail<signed char>(0);
}
void FSOUND_Close() {}
int FSOUND_GetError()
{
    return g_error;
}
float FSOUND_GetVersion()
{
    return 3.75f;
}
int FSOUND_GetOutputRate()
{
    return 0;
}
int FSOUND_GetMaxChannels()
{
    return 0;
}
int FSOUND_GetChannelsPlaying()
{
    return 0;
}
void FSOUND_SetSFXMasterVolume(int) {}
int FSOUND_GetSFXMasterVolume()
{
    return 255;
}
FSOUND_SAMPLE* FSOUND_Sample_Load(int, const char*, unsigned int, int, int)
{
    return Fail<FSOUND_SAMPLE*>(nullptr);
}
void FSOUND_Sample_Free(FSOUND_SAMPLE*) {}
signed char FSOUND_Sample_SetMode(FSOUND_SAMPLE*, unsigned int)
{
    return Fail<signed char>(0);
}
unsigned int FSOUND_Sample_GetMode(FSOUND_SAMPLE*)
{
    return 0;
}
unsigned int FSOUND_Sample_GetLength(FSOUND_SAMPLE*)
{
    return 0;
}
signed char FSOUND_Sample_SetDefaults(FSOUND_SAMPLE*, int, int, int, int)
{
    return Fail<signed char>(0);
}
signed char FSOUND_Sample_GetDefaults(FSOUND_SAMPLE*, int*, int*, int*, int*)
{
    return Fail<signed char>(0);
}
int FSOUND_PlaySound(int, FSOUND_SAMPLE*)
{
    return Fail(-1);
}
int FSOUND_PlaySoundEx(int, FSOUND_SAMPLE*, FSOUND_DSPUNIT*, signed char)
{
    return Fail(-1);
}
signed char FSOUND_StopSound(int)
{
    return Fail<signed char>(0);
}
signed char FSOUND_SetFrequency(int, int)
{
    return Fail<signed char>(0);
}
signed char FSOUND_SetVolume(int, int)
{
    return Fail<signed char>(0);
}
signed char FSOUND_SetVolumeAbsolute(int, int)
{
    return Fail<signed char>(0);
}
signed char FSOUND_SetPan(int, int)
{
    return Fail<signed char>(0);
}
signed char FSOUND_SetMute(int, signed char)
{
    return Fail<signed char>(0);
}
signed char FSOUND_SetPaused(int, signed char)
{
    return Fail<signed char>(0);
}
signed char FSOUND_SetLoopMode(int, unsigned int)
{
    return Fail<signed char>(0);
}
signed char FSOUND_SetCurrentPosition(int, unsigned int)
{
    return Fail<signed char>(0);
}
signed char FSOUND_IsPlaying(int)
{
    return 0;
}
int FSOUND_GetFrequency(int)
{
    return 0;
}
int FSOUND_GetVolume(int)
{
    return 0;
}
int FSOUND_GetPan(int)
{
    return 0;
}
signed char FSOUND_GetMute(int)
{
    return 0;
}
signed char FSOUND_GetPaused(int)
{
    return 0;
}
unsigned int FSOUND_GetLoopMode(int)
{
    return 0;
}
unsigned int FSOUND_GetCurrentPosition(int)
{
    return 0;
}
FSOUND_SAMPLE* FSOUND_GetCurrentSample(int)
{
    return nullptr;
}
FMUSIC_MODULE* FMUSIC_LoadSong(const char*)
{
    return Fail<FMUSIC_MODULE*>(nullptr);
}
FMUSIC_MODULE* FMUSIC_LoadSongEx(const char*, int, int, unsigned int, const int*, int)
{
    return Fail<FMUSIC_MODULE*>(nullptr);
}
signed char FMUSIC_FreeSong(FMUSIC_MODULE*)
{
    return Fail<signed char>(0);
}
signed char FMUSIC_PlaySong(FMUSIC_MODULE*)
{
    return Fail<signed char>(0);
}
signed char FMUSIC_StopSong(FMUSIC_MODULE*)
{
    return Fail<signed char>(0);
}
void FMUSIC_StopAllSongs() {}
signed char FMUSIC_SetPaused(FMUSIC_MODULE*, signed char)
{
    return Fail<signed char>(0);
}
signed char FMUSIC_GetPaused(FMUSIC_MODULE*)
{
    return 0;
}
signed char FMUSIC_SetLooping(FMUSIC_MODULE*, signed char)
{
    return Fail<signed char>(0);
}
signed char FMUSIC_SetMasterVolume(FMUSIC_MODULE*, int)
{
    return Fail<signed char>(0);
}
int FMUSIC_GetMasterVolume(FMUSIC_MODULE*)
{
    return 0;
}
signed char FMUSIC_IsPlaying(FMUSIC_MODULE*)
{
    return 0;
}
signed char FMUSIC_IsFinished(FMUSIC_MODULE*)
{
    return 1;
}
int FMUSIC_GetType(FMUSIC_MODULE*)
{
    return FMUSIC_TYPE_NONE;
}
