// FMOD 3 (3.7x) names for the engine: samples from files or memory (WAV/PCM, MP3, OGG
// Vorbis) played on software channels of the platform mixer, and MIDI songs played by a
// General MIDI synthesizer. No hardware, 3D, DSP units, streams, CD or recording.
#pragma once

// Calling convention of the original interface on Windows; nothing on this platform.
#define F_API
#define F_CALLBACKAPI

struct FSOUND_SAMPLE;
struct FMUSIC_MODULE;
struct FSOUND_DSPUNIT;

// ---- errors (FSOUND_GetError) ------------------------------------------------------------
enum FMOD_ERRORS {
    FMOD_ERR_NONE = 0,
    FMOD_ERR_BUSY,
    FMOD_ERR_UNINITIALIZED,
    FMOD_ERR_INIT,
    FMOD_ERR_ALLOCATED,
    FMOD_ERR_PLAY,
    FMOD_ERR_OUTPUT_FORMAT,
    FMOD_ERR_COOPERATIVELEVEL,
    FMOD_ERR_CREATEBUFFER,
    FMOD_ERR_FILE_NOTFOUND,
    FMOD_ERR_FILE_FORMAT,
    FMOD_ERR_FILE_BAD,
    FMOD_ERR_MEMORY,
    FMOD_ERR_VERSION,
    FMOD_ERR_INVALID_PARAM,
    FMOD_ERR_NO_EAX,
    FMOD_ERR_CHANNEL_ALLOC,
    FMOD_ERR_RECORD,
    FMOD_ERR_MEDIAPLAYER,
    FMOD_ERR_CDDEVICE,
};

// ---- sample modes ------------------------------------------------------------------------
constexpr unsigned int FSOUND_LOOP_OFF = 0x00000001;
constexpr unsigned int FSOUND_LOOP_NORMAL = 0x00000002;
constexpr unsigned int FSOUND_LOOP_BIDI = 0x00000004;
constexpr unsigned int FSOUND_8BITS = 0x00000008;
constexpr unsigned int FSOUND_16BITS = 0x00000010;
constexpr unsigned int FSOUND_MONO = 0x00000020;
constexpr unsigned int FSOUND_STEREO = 0x00000040;
constexpr unsigned int FSOUND_UNSIGNED = 0x00000080;
constexpr unsigned int FSOUND_SIGNED = 0x00000100;
constexpr unsigned int FSOUND_DELTA = 0x00000200;
constexpr unsigned int FSOUND_IT214 = 0x00000400;
constexpr unsigned int FSOUND_IT215 = 0x00000800;
constexpr unsigned int FSOUND_HW3D = 0x00001000;
constexpr unsigned int FSOUND_2D = 0x00002000;
constexpr unsigned int FSOUND_STREAMABLE = 0x00004000;
constexpr unsigned int FSOUND_LOADMEMORY = 0x00008000;
constexpr unsigned int FSOUND_LOADRAW = 0x00010000;
constexpr unsigned int FSOUND_MPEGACCURATE = 0x00020000;
constexpr unsigned int FSOUND_FORCEMONO = 0x00040000;
constexpr unsigned int FSOUND_HW2D = 0x00080000;
constexpr unsigned int FSOUND_ENABLEFX = 0x00100000;
constexpr unsigned int FSOUND_MPEGHALFRATE = 0x00200000;
constexpr unsigned int FSOUND_IMAADPCM = 0x00400000;
constexpr unsigned int FSOUND_NONBLOCKING = 0x01000000;
constexpr unsigned int FSOUND_NORMAL = FSOUND_16BITS | FSOUND_SIGNED | FSOUND_MONO;

// ---- special values ----------------------------------------------------------------------
constexpr int FSOUND_FREE = -1;
constexpr int FSOUND_UNMANAGED = -2;
constexpr int FSOUND_ALL = -3;
constexpr int FSOUND_STEREOPAN = -1;
constexpr int FSOUND_SYSTEMCHANNEL = -1000;
constexpr int FSOUND_SYSTEMSAMPLE = -1000;

// ---- FSOUND_Init flags -------------------------------------------------------------------
constexpr unsigned int FSOUND_INIT_USEDEFAULTMIDISYNTH = 0x0001;
constexpr unsigned int FSOUND_INIT_GLOBALFOCUS = 0x0002;
constexpr unsigned int FSOUND_INIT_ENABLESYSTEMCHANNELFX = 0x0004;
constexpr unsigned int FSOUND_INIT_ACCURATEVULEVELS = 0x0008;
constexpr unsigned int FSOUND_INIT_PS2_DISABLECORE0REVERB = 0x0010;
constexpr unsigned int FSOUND_INIT_PS2_DISABLECORE1REVERB = 0x0020;
constexpr unsigned int FSOUND_INIT_PS2_SWAPDMACORES = 0x0040;
constexpr unsigned int FSOUND_INIT_DONTLATENCYADJUST = 0x0080;
constexpr unsigned int FSOUND_INIT_GC_INITLIBS = 0x0100;
constexpr unsigned int FSOUND_INIT_STREAM_FROM_MAIN_THREAD = 0x0200;
constexpr unsigned int FSOUND_INIT_PS2_USEVOLUMERAMPING = 0x0400;
constexpr unsigned int FSOUND_INIT_DSOUND_DEFERRED = 0x0800;
constexpr unsigned int FSOUND_INIT_DSOUND_HRTF_LIGHT = 0x1000;
constexpr unsigned int FSOUND_INIT_DSOUND_HRTF_FULL = 0x2000;
constexpr unsigned int FSOUND_INIT_XBOX_REMOVEHEADROOM = 0x4000;
constexpr unsigned int FSOUND_INIT_PSP_SILENCEONUNDERRUN = 0x8000;

// ---- song types --------------------------------------------------------------------------
enum FMUSIC_TYPES {
    FMUSIC_TYPE_NONE,
    FMUSIC_TYPE_MOD,
    FMUSIC_TYPE_S3M,
    FMUSIC_TYPE_XM,
    FMUSIC_TYPE_IT,
    FMUSIC_TYPE_MIDI,
    FMUSIC_TYPE_FSB,
};

// ---- system ------------------------------------------------------------------------------
// mixrate is the rate asked for; the mix runs at the output device's own rate.
signed char F_API FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int flags);
void F_API FSOUND_Close();
int F_API FSOUND_GetError();
float F_API FSOUND_GetVersion();
int F_API FSOUND_GetOutputRate();
int F_API FSOUND_GetMaxChannels();
int F_API FSOUND_GetChannelsPlaying();
void F_API FSOUND_SetSFXMasterVolume(int volume);
int F_API FSOUND_GetSFXMasterVolume();

// ---- samples -----------------------------------------------------------------------------
// name_or_data is a file name in the ANSI code page, or with FSOUND_LOADMEMORY the file's
// bytes (length of them). Formats: WAV (PCM), MP3, OGG Vorbis; raw PCM with FSOUND_LOADRAW.
FSOUND_SAMPLE* F_API FSOUND_Sample_Load(int index, const char* name_or_data, unsigned int inputmode, int offset,
                                        int length);
void F_API FSOUND_Sample_Free(FSOUND_SAMPLE* sptr);
signed char F_API FSOUND_Sample_SetMode(FSOUND_SAMPLE* sptr, unsigned int mode);
unsigned int F_API FSOUND_Sample_GetMode(FSOUND_SAMPLE* sptr);
unsigned int F_API FSOUND_Sample_GetLength(FSOUND_SAMPLE* sptr); // in sample frames
signed char F_API FSOUND_Sample_SetDefaults(FSOUND_SAMPLE* sptr, int deffreq, int defvol, int defpan, int defpri);
signed char F_API FSOUND_Sample_GetDefaults(FSOUND_SAMPLE* sptr, int* deffreq, int* defvol, int* defpan, int* defpri);

// ---- channels ----------------------------------------------------------------------------
// A channel handle carries the channel's use count: once the channel plays another sound,
// the old handle is stale and every call on it fails.
int F_API FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sptr);
int F_API FSOUND_PlaySoundEx(int channel, FSOUND_SAMPLE* sptr, FSOUND_DSPUNIT* dsp, signed char startpaused);
signed char F_API FSOUND_StopSound(int channel);
signed char F_API FSOUND_SetFrequency(int channel, int freq);
signed char F_API FSOUND_SetVolume(int channel, int vol);
signed char F_API FSOUND_SetVolumeAbsolute(int channel, int vol);
signed char F_API FSOUND_SetPan(int channel, int pan);
signed char F_API FSOUND_SetMute(int channel, signed char mute);
signed char F_API FSOUND_SetPaused(int channel, signed char paused);
signed char F_API FSOUND_SetLoopMode(int channel, unsigned int loopmode);
signed char F_API FSOUND_SetCurrentPosition(int channel, unsigned int offset);
signed char F_API FSOUND_IsPlaying(int channel);
int F_API FSOUND_GetFrequency(int channel);
int F_API FSOUND_GetVolume(int channel);
int F_API FSOUND_GetPan(int channel);
signed char F_API FSOUND_GetMute(int channel);
signed char F_API FSOUND_GetPaused(int channel);
unsigned int F_API FSOUND_GetLoopMode(int channel);
unsigned int F_API FSOUND_GetCurrentPosition(int channel);
FSOUND_SAMPLE* F_API FSOUND_GetCurrentSample(int channel);

// ---- songs -------------------------------------------------------------------------------
// MIDI files (Standard MIDI File 0 and 1), rendered with the system's General MIDI SoundFont
// or the one VIREO_SOUNDFONT names.
FMUSIC_MODULE* F_API FMUSIC_LoadSong(const char* name);
FMUSIC_MODULE* F_API FMUSIC_LoadSongEx(const char* name_or_data, int offset, int length, unsigned int mode,
                                       const int* samplelist, int samplelistnum);
signed char F_API FMUSIC_FreeSong(FMUSIC_MODULE* mod);
signed char F_API FMUSIC_PlaySong(FMUSIC_MODULE* mod);
signed char F_API FMUSIC_StopSong(FMUSIC_MODULE* mod);
void F_API FMUSIC_StopAllSongs();
signed char F_API FMUSIC_SetPaused(FMUSIC_MODULE* mod, signed char pause);
signed char F_API FMUSIC_GetPaused(FMUSIC_MODULE* mod);
signed char F_API FMUSIC_SetLooping(FMUSIC_MODULE* mod, signed char looping);
signed char F_API FMUSIC_SetMasterVolume(FMUSIC_MODULE* mod, int volume);
int F_API FMUSIC_GetMasterVolume(FMUSIC_MODULE* mod);
signed char F_API FMUSIC_IsPlaying(FMUSIC_MODULE* mod);
signed char F_API FMUSIC_IsFinished(FMUSIC_MODULE* mod);
int F_API FMUSIC_GetType(FMUSIC_MODULE* mod);
