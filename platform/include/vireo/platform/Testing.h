// Controls for tests: the virtual clock, the code page, presented frames, message boxes,
// window state, injected input, the clipboard, DirectX version sources, file faults and
// the null audio sink and sound devices. Production code never calls these; a game run is unaffected
// unless a test switched something on.
#pragma once

#include <vireo/platform/Win32.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct IUnknown;

namespace vireo::testing {

// ---- clock -------------------------------------------------------------------------------
// Virtual time starts at GetTickCount() == 10000 and the local date 2026-01-01 12:00:00
// (a Thursday); it moves only through AdvanceClock and Sleep, which returns at once.
void InstallVirtualClock();
void UninstallVirtualClock();
void AdvanceClock(long long milliseconds); // negative moves back, never below zero
void SetLocalDateTime(const SYSTEMTIME& now);

// ---- code page ---------------------------------------------------------------------------
// The ANSI code page by name as VIREO_CODEPAGE takes it ("GBK", "CP936", "UTF-8");
// nullptr returns to the environment's choice.
void SetAnsiCodePage(const char* name);

// ---- presented frames --------------------------------------------------------------------
struct Frame {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // A8R8G8B8, top row first, no padding
};
// The headless back end copies presented frames only after this was called with true (the
// test executables do it at start-up); other programs do not pay for the copy.
void KeepPresentedFrames(bool keep);
// The last frame the headless back end was handed while frames were kept (empty before the
// first or on another back end), and how many frames were shown since the count was last reset.
Frame LastPresentedFrame();
int PresentCount();
void ResetPresentCount();
// The next `count` presents report a lost device instead of showing the frame.
void FailNextPresents(int count);

// ---- message boxes -----------------------------------------------------------------------
struct MessageBoxRecord {
    std::wstring caption;
    std::wstring text;
    UINT type;
};
// Every MessageBoxW call since the last clear, oldest first (the last 1000 at most).
std::vector<MessageBoxRecord> MessageBoxesShown();
void ClearMessageBoxes();

// ---- window state (what a user would change) ---------------------------------------------
// Each posts the messages Windows would (WM_SIZE, WM_ACTIVATE with the minimised flag in
// the high word); they reach the window procedure when the host pumps its queue.
void SetClientSize(HWND window, int width, int height);
void SetForeground(HWND window, bool foreground);
void SetMinimised(HWND window, bool minimised); // restoring also brings it to the front
void CloseWindow(HWND window);                  // the close button: WM_CLOSE
void SetCursorClientPos(HWND window, int x, int y);

// ---- input -------------------------------------------------------------------------------
// DirectInput-side events go straight to the raw input sink (the input devices), stamped
// with GetTickCount(); window-side ones are posted to the window's queue.
void InjectKey(int dikCode, bool down);
void InjectMouseButton(int button, bool down); // 0 left, 1 right, 2 middle, 3 extra
void InjectMouseMotion(int dx, int dy);
void InjectWheel(int delta);                                // 120 per notch, positive away from the user
void InjectChar(HWND window, wchar_t character);            // WM_CHAR
void InjectSysKey(HWND window, UINT virtualKey, bool down); // WM_SYSKEYDOWN/UP with Alt held

// ---- clipboard ---------------------------------------------------------------------------
void SetClipboardText(const std::wstring& text);
std::wstring ClipboardText(); // empty when there is none

// ---- DirectX version sources -------------------------------------------------------------
// What the DxDiag provider reports under "DxDiag_SystemInfo"; a missing value is a missing
// property. The default is what this layer implements: 9, 0, "c".
struct DxDiagSystemInfo {
    bool providerAvailable = true; // false: CoCreateInstance answers REGDB_E_CLASSNOTREG
    std::optional<DWORD> major = 9;
    std::optional<DWORD> minor = 0;
    std::optional<std::wstring> letter = std::wstring(L"c");
};
void SetDxDiagSystemInfo(const DxDiagSystemInfo& info);
// A file (by name, any folder) that GetFileVersionInfoW will find with version a.b.c.d.
void SetFileVersion(const wchar_t* fileName, WORD a, WORD b, WORD c, WORD d);
void ClearFileVersions();
void SetSystemDirectoryAvailable(bool available);

// ---- file faults -------------------------------------------------------------------------
// Scripted failures for files whose path (with '/' separators) contains pathContains; they
// apply to handles already open as well. Setting a plan restarts its counters.
struct FileFaults {
    std::wstring pathContains;
    bool failOpen = false;     // CreateFile answers ERROR_ACCESS_DENIED
    long long writeLimit = -1; // bytes the "disk" takes before ERROR_DISK_FULL; -1 unlimited
    DWORD maxReadChunk = 0;    // ReadFile returns at most this many bytes; 0 unlimited
};
void SetFileFaults(const FileFaults& faults);
void ClearFileFaults();
// WriteFile, ReadFile and SetFilePointer calls on matching files since the plan was set; a
// plan with no fault in it only counts.
long long FaultyFileWriteCalls();
long long FaultyFileReadCalls();
long long FaultyFileSeekCalls();

// ---- sound output ------------------------------------------------------------------------
// The null sink (headless, or VIREO_AUDIO=null) plays nothing and pulls only when told:
// PullAudio asks the mixer for frames as a device would; with recording on they are kept
// (interleaved 16-bit samples, at most maxSamples). No effect on a real audio device.
bool AudioOutOpen();
void PullAudio(int frames);
void RecordAudio(bool on, std::size_t maxSamples = 48000 * 2 * 60);
std::vector<std::int16_t> RecordedAudio();
void ClearRecordedAudio();
void FailAudioOpen(bool fail); // the next opens fail, as with no audio device

// ---- sound devices -----------------------------------------------------------------------
// What DirectSoundCreate8, IDirectSound8::SetCooperativeLevel and the primary buffer's
// SetFormat answer (DS_OK: they work). Stays until changed.
void SetDirectSoundFailures(HRESULT create, HRESULT cooperativeLevel, HRESULT primaryFormat);
// FSOUND_Init answers FALSE (FMOD_ERR_INIT) while set, even when FMOD is already started.
void FailFmodInit(bool fail);
// Loses the memory of one secondary buffer (null: of every live one), as a hardware buffer
// loses it: playback stops, GetStatus shows DSBSTATUS_BUFFERLOST, Play and Lock answer
// DSERR_BUFFERLOST, and Restore answers DSERR_BUFFERLOST restoreFailures times, then DS_OK.
void LoseSoundBuffer(IUnknown* buffer, int restoreFailures);
int SoundBufferCount(); // live secondary buffers, duplicates included
int AudioMixRate();     // the rate the mix runs at (the device's; 48,000 headless)

} // namespace vireo::testing
