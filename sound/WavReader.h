// CWavReader: a RIFF WAVE file read through the mmio functions, from disk or, when no file
// opens, from a "WAVE" or "WAV" resource of the executable. It parses the format, finds the
// data chunk and hands out its bytes from the start as often as asked. Read mode only.
#pragma once

#include <vireo/platform/DSound.h>
#include <vireo/platform/MMSystem.h>

constexpr DWORD WAVEFILE_READ = 1;

class CWavReader {
  public:
    CWavReader();
    ~CWavReader();
    CWavReader(const CWavReader&) = delete;
    CWavReader& operator=(const CWavReader&) = delete;

    HRESULT Open(const wchar_t* path, DWORD dwFlags);
    // The same steps over a copy of bytes in memory (what a resource opens as).
    HRESULT OpenFromMemory(const void* data, DWORD size);
    HRESULT Close();
    // Rewinds to the first data byte.
    HRESULT ResetFile();
    // Up to wanted bytes of sample data; *read is 0 at the end of the data.
    HRESULT Read(BYTE* buffer, DWORD wanted, DWORD* read);
    // Data bytes: the chunk's size cut to the bytes the file holds and to whole sample frames.
    DWORD GetSize() const { return m_dwSize; }
    WAVEFORMATEX* GetFormat() const { return m_pwfx; }

  private:
    // Header, then the rewind that finds the data; closes the file when the header is bad.
    HRESULT ParseOpened();
    HRESULT ReadMMIO();
    void FreeFormat();

    WAVEFORMATEX* m_pwfx = nullptr;
    HMMIO m_hmmio = nullptr;
    MMCKINFO m_ck{};
    MMCKINFO m_ckRiff{};
    DWORD m_dwSize = 0;
    DWORD m_dwFlags = 0;
    char* m_pResourceBuffer = nullptr;
};
