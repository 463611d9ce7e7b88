// DirectSound 8 names for the engine: the wave format records, buffer descriptions, flags,
// result codes and the device and buffer interfaces, played by the platform mixer.
// Software buffers only: no hardware voices, 3D, effects, capture or position notification.
#pragma once

#include <vireo/platform/Com.h>
#include <vireo/platform/Win32.h>

// ---- wave formats ------------------------------------------------------------------------
constexpr WORD WAVE_FORMAT_PCM = 1;

#pragma pack(push, 1)
struct WAVEFORMAT {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
};
struct PCMWAVEFORMAT {
    WAVEFORMAT wf;
    WORD wBitsPerSample;
};
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18, "WAVEFORMATEX is the packed 18-byte record of WAV files");
using LPWAVEFORMATEX = WAVEFORMATEX*;
using LPCWAVEFORMATEX = const WAVEFORMATEX*;

using LPCGUID = const GUID*;
using LPLONG = LONG*;
using LPUNKNOWN = IUnknown*;
using REFGUID = const GUID&;

inline constexpr GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
inline constexpr GUID DS3DALG_DEFAULT = GUID_NULL;
inline constexpr GUID IID_IDirectSound = {0x279AFA83, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
inline constexpr GUID IID_IDirectSound8 = {
    0xC50A7E93, 0xF395, 0x4834, {0x9E, 0xF6, 0x7F, 0xA9, 0x9D, 0xE5, 0x09, 0x66}};
inline constexpr GUID IID_IDirectSoundBuffer = {
    0x279AFA85, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
inline constexpr GUID IID_IDirectSoundBuffer8 = {
    0x6825A449, 0x7524, 0x4D82, {0x92, 0x0F, 0x50, 0xE3, 0x6A, 0xB3, 0xAB, 0x1E}};
inline constexpr GUID DSDEVID_DefaultPlayback = {
    0xDEF00000, 0x9C6D, 0x47ED, {0xAA, 0xF1, 0x4D, 0xDA, 0x8F, 0x2B, 0x5C, 0x03}};

// ---- result codes ------------------------------------------------------------------------
constexpr unsigned FACILITY_DIRECTSOUND = 0x878;
constexpr HRESULT MAKE_DSHRESULT(unsigned code)
{
    return MAKE_HRESULT(1, FACILITY_DIRECTSOUND, code);
}
constexpr HRESULT DS_OK = S_OK;
constexpr HRESULT DS_NO_VIRTUALIZATION = MAKE_HRESULT(0, FACILITY_DIRECTSOUND, 10);
constexpr HRESULT DS_INCOMPLETE = MAKE_HRESULT(0, FACILITY_DIRECTSOUND, 20);
constexpr HRESULT DSERR_ALLOCATED = MAKE_DSHRESULT(10);
constexpr HRESULT DSERR_CONTROLUNAVAIL = MAKE_DSHRESULT(30);
constexpr HRESULT DSERR_INVALIDPARAM = E_INVALIDARG;
constexpr HRESULT DSERR_INVALIDCALL = MAKE_DSHRESULT(50);
constexpr HRESULT DSERR_GENERIC = E_FAIL;
constexpr HRESULT DSERR_PRIOLEVELNEEDED = MAKE_DSHRESULT(70);
constexpr HRESULT DSERR_OUTOFMEMORY = E_OUTOFMEMORY;
constexpr HRESULT DSERR_BADFORMAT = MAKE_DSHRESULT(100);
constexpr HRESULT DSERR_UNSUPPORTED = E_NOTIMPL;
constexpr HRESULT DSERR_NODRIVER = MAKE_DSHRESULT(120);
constexpr HRESULT DSERR_ALREADYINITIALIZED = MAKE_DSHRESULT(130);
constexpr HRESULT DSERR_NOAGGREGATION = CLASS_E_NOAGGREGATION;
constexpr HRESULT DSERR_BUFFERLOST = MAKE_DSHRESULT(150);
constexpr HRESULT DSERR_OTHERAPPHASPRIO = MAKE_DSHRESULT(160);
constexpr HRESULT DSERR_UNINITIALIZED = MAKE_DSHRESULT(170);
constexpr HRESULT DSERR_NOINTERFACE = E_NOINTERFACE;
constexpr HRESULT DSERR_ACCESSDENIED = static_cast<HRESULT>(0x80070005);
constexpr HRESULT DSERR_BUFFERTOOSMALL = MAKE_DSHRESULT(180);
constexpr HRESULT DSERR_DS8_REQUIRED = MAKE_DSHRESULT(190);
constexpr HRESULT DSERR_SENDLOOP = MAKE_DSHRESULT(200);
constexpr HRESULT DSERR_BADSENDBUFFERGUID = MAKE_DSHRESULT(210);
constexpr HRESULT DSERR_FXUNAVAILABLE = MAKE_DSHRESULT(220);
constexpr HRESULT DSERR_OBJECTNOTFOUND = MAKE_DSHRESULT(4449);

// ---- cooperative levels ------------------------------------------------------------------
constexpr DWORD DSSCL_NORMAL = 0x1;
constexpr DWORD DSSCL_PRIORITY = 0x2;
constexpr DWORD DSSCL_EXCLUSIVE = 0x3;
constexpr DWORD DSSCL_WRITEPRIMARY = 0x4;

// ---- buffer creation flags ---------------------------------------------------------------
constexpr DWORD DSBCAPS_PRIMARYBUFFER = 0x00000001;
constexpr DWORD DSBCAPS_STATIC = 0x00000002;
constexpr DWORD DSBCAPS_LOCHARDWARE = 0x00000004;
constexpr DWORD DSBCAPS_LOCSOFTWARE = 0x00000008;
constexpr DWORD DSBCAPS_CTRL3D = 0x00000010;
constexpr DWORD DSBCAPS_CTRLFREQUENCY = 0x00000020;
constexpr DWORD DSBCAPS_CTRLPAN = 0x00000040;
constexpr DWORD DSBCAPS_CTRLVOLUME = 0x00000080;
constexpr DWORD DSBCAPS_CTRLPOSITIONNOTIFY = 0x00000100;
constexpr DWORD DSBCAPS_CTRLFX = 0x00000200;
constexpr DWORD DSBCAPS_STICKYFOCUS = 0x00004000;
constexpr DWORD DSBCAPS_GLOBALFOCUS = 0x00008000;
constexpr DWORD DSBCAPS_GETCURRENTPOSITION2 = 0x00010000;
constexpr DWORD DSBCAPS_MUTE3DATMAXDISTANCE = 0x00020000;
constexpr DWORD DSBCAPS_LOCDEFER = 0x00040000;
constexpr DWORD DSBCAPS_TRUEPLAYPOSITION = 0x00080000;

// ---- play, status and lock flags ---------------------------------------------------------
constexpr DWORD DSBPLAY_LOOPING = 0x00000001;
constexpr DWORD DSBPLAY_LOCHARDWARE = 0x00000002;
constexpr DWORD DSBPLAY_LOCSOFTWARE = 0x00000004;
constexpr DWORD DSBPLAY_TERMINATEBY_TIME = 0x00000008;
constexpr DWORD DSBPLAY_TERMINATEBY_DISTANCE = 0x00000010;
constexpr DWORD DSBPLAY_TERMINATEBY_PRIORITY = 0x00000020;

constexpr DWORD DSBSTATUS_PLAYING = 0x00000001;
constexpr DWORD DSBSTATUS_BUFFERLOST = 0x00000002;
constexpr DWORD DSBSTATUS_LOOPING = 0x00000004;
constexpr DWORD DSBSTATUS_LOCHARDWARE = 0x00000008;
constexpr DWORD DSBSTATUS_LOCSOFTWARE = 0x00000010;
constexpr DWORD DSBSTATUS_TERMINATED = 0x00000020;

constexpr DWORD DSBLOCK_FROMWRITECURSOR = 0x00000001;
constexpr DWORD DSBLOCK_ENTIREBUFFER = 0x00000002;

// ---- ranges ------------------------------------------------------------------------------
constexpr LONG DSBVOLUME_MIN = -10000;
constexpr LONG DSBVOLUME_MAX = 0;
constexpr LONG DSBPAN_LEFT = -10000;
constexpr LONG DSBPAN_CENTER = 0;
constexpr LONG DSBPAN_RIGHT = 10000;
constexpr DWORD DSBFREQUENCY_ORIGINAL = 0;
constexpr DWORD DSBFREQUENCY_MIN = 100;
constexpr DWORD DSBFREQUENCY_MAX = 200000;
constexpr DWORD DSBSIZE_MIN = 4;
constexpr DWORD DSBSIZE_MAX = 0x0FFFFFFF;
constexpr DWORD DSBSIZE_FX_MIN = 150;

// ---- device capabilities -----------------------------------------------------------------
constexpr DWORD DSCAPS_PRIMARYMONO = 0x00000001;
constexpr DWORD DSCAPS_PRIMARYSTEREO = 0x00000002;
constexpr DWORD DSCAPS_PRIMARY8BIT = 0x00000004;
constexpr DWORD DSCAPS_PRIMARY16BIT = 0x00000008;
constexpr DWORD DSCAPS_CONTINUOUSRATE = 0x00000010;
constexpr DWORD DSCAPS_EMULDRIVER = 0x00000020;
constexpr DWORD DSCAPS_CERTIFIED = 0x00000040;
constexpr DWORD DSCAPS_SECONDARYMONO = 0x00000100;
constexpr DWORD DSCAPS_SECONDARYSTEREO = 0x00000200;
constexpr DWORD DSCAPS_SECONDARY8BIT = 0x00000400;
constexpr DWORD DSCAPS_SECONDARY16BIT = 0x00000800;

struct DSCAPS {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwMinSecondarySampleRate;
    DWORD dwMaxSecondarySampleRate;
    DWORD dwPrimaryBuffers;
    DWORD dwMaxHwMixingAllBuffers;
    DWORD dwMaxHwMixingStaticBuffers;
    DWORD dwMaxHwMixingStreamingBuffers;
    DWORD dwFreeHwMixingAllBuffers;
    DWORD dwFreeHwMixingStaticBuffers;
    DWORD dwFreeHwMixingStreamingBuffers;
    DWORD dwMaxHw3DAllBuffers;
    DWORD dwMaxHw3DStaticBuffers;
    DWORD dwMaxHw3DStreamingBuffers;
    DWORD dwFreeHw3DAllBuffers;
    DWORD dwFreeHw3DStaticBuffers;
    DWORD dwFreeHw3DStreamingBuffers;
    DWORD dwTotalHwMemBytes;
    DWORD dwFreeHwMemBytes;
    DWORD dwMaxContigFreeHwMemBytes;
    DWORD dwUnlockTransferRateHwBuffers;
    DWORD dwPlayCpuOverheadSwBuffers;
    DWORD dwReserved1;
    DWORD dwReserved2;
};
using LPDSCAPS = DSCAPS*;

struct DSBCAPS {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwBufferBytes;
    DWORD dwUnlockTransferRate;
    DWORD dwPlayCpuOverhead;
};
using LPDSBCAPS = DSBCAPS*;

// dwSize is checked: 36 (the 32-bit Windows size that engines write), sizeof(DSBUFFERDESC),
// or the older description without the 3D algorithm (DSBUFFERDESC1_SIZE).
struct DSBUFFERDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwBufferBytes;
    DWORD dwReserved;
    LPWAVEFORMATEX lpwfxFormat;
    GUID guid3DAlgorithm;
};
using LPCDSBUFFERDESC = const DSBUFFERDESC*;
constexpr DWORD DSBUFFERDESC_WIN32_SIZE = 36;
constexpr DWORD DSBUFFERDESC1_SIZE = 20;

// ---- interfaces --------------------------------------------------------------------------
struct IDirectSound8;

struct IDirectSoundBuffer : IUnknown {
    virtual HRESULT GetCaps(LPDSBCAPS caps) = 0;
    virtual HRESULT GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor) = 0;
    virtual HRESULT GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD sizeWritten) = 0;
    virtual HRESULT GetVolume(LPLONG volume) = 0;
    virtual HRESULT GetPan(LPLONG pan) = 0;
    virtual HRESULT GetFrequency(LPDWORD frequency) = 0;
    virtual HRESULT GetStatus(LPDWORD status) = 0;
    virtual HRESULT Initialize(IDirectSound8* device, LPCDSBUFFERDESC desc) = 0;
    virtual HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* audio1, LPDWORD bytes1, LPVOID* audio2, LPDWORD bytes2,
                         DWORD flags) = 0;
    virtual HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) = 0;
    virtual HRESULT SetCurrentPosition(DWORD position) = 0;
    virtual HRESULT SetFormat(LPCWAVEFORMATEX format) = 0;
    virtual HRESULT SetVolume(LONG volume) = 0;
    virtual HRESULT SetPan(LONG pan) = 0;
    virtual HRESULT SetFrequency(DWORD frequency) = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT Unlock(LPVOID audio1, DWORD bytes1, LPVOID audio2, DWORD bytes2) = 0;
    virtual HRESULT Restore() = 0;
};
using LPDIRECTSOUNDBUFFER = IDirectSoundBuffer*;

// Effects are not offered: SetFX answers DSERR_CONTROLUNAVAIL, as for a buffer made without
// DSBCAPS_CTRLFX.
struct IDirectSoundBuffer8 : IDirectSoundBuffer {
    virtual HRESULT SetFX(DWORD effectCount, void* effectDescs, LPDWORD resultCodes) = 0;
    virtual HRESULT AcquireResources(DWORD flags, DWORD effectCount, LPDWORD resultCodes) = 0;
    virtual HRESULT GetObjectInPath(REFGUID object, DWORD index, REFGUID iid, LPVOID* out) = 0;
};
using LPDIRECTSOUNDBUFFER8 = IDirectSoundBuffer8*;

struct IDirectSound8 : IUnknown {
    virtual HRESULT CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN outer) = 0;
    virtual HRESULT GetCaps(LPDSCAPS caps) = 0;
    virtual HRESULT DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPDIRECTSOUNDBUFFER* duplicate) = 0;
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD level) = 0;
    virtual HRESULT Compact() = 0;
    virtual HRESULT GetSpeakerConfig(LPDWORD config) = 0;
    virtual HRESULT SetSpeakerConfig(DWORD config) = 0;
    virtual HRESULT Initialize(LPCGUID device) = 0;
    virtual HRESULT VerifyCertification(LPDWORD certified) = 0;
};
using LPDIRECTSOUND8 = IDirectSound8*;

constexpr DWORD DS_CERTIFIED = 0x00000000;
constexpr DWORD DS_UNCERTIFIED = 0x00000001;
constexpr DWORD DSSPEAKER_STEREO = 0x00000004;

// device: null, DSDEVID_DefaultPlayback or GUID_NULL (the one output); outer must be null.
HRESULT DirectSoundCreate8(LPCGUID device, LPDIRECTSOUND8* out, LPUNKNOWN outer);
