// CWavReader's steps: open (file, else resource copy as a memory file), header parsing into
// a WAVEFORMATEX that keeps a non-PCM format's extra bytes, rewind to the data chunk and
// buffered reads from it. Every failure is an HRESULT; nothing is logged or shown here.
#include "sound/WavReader.h"

#include <vireo/platform/Com.h>
#include <vireo/platform/ModuleResources.h>

#include <algorithm>
#include <cstring>

CWavReader::CWavReader() = default;

CWavReader::~CWavReader()
{
    Close();
    FreeFormat();
}

void CWavReader::FreeFormat()
{
    delete[] reinterpret_cast<BYTE*>(m_pwfx);
    m_pwfx = nullptr;
}

HRESULT CWavReader::Open(const wchar_t* path, DWORD dwFlags)
{
    if (!path)
        return E_INVALIDARG;
    FreeFormat();
    Close();
    m_dwFlags = dwFlags;
    if (dwFlags != WAVEFILE_READ)
        return E_INVALIDARG;

    m_hmmio = mmioOpenW(const_cast<LPWSTR>(path), nullptr, MMIO_ALLOCBUF | MMIO_READ);
    if (!m_hmmio) {
        HRSRC resource = FindResourceW(nullptr, path, L"WAVE");
        if (!resource)
            resource = FindResourceW(nullptr, path, L"WAV");
        if (!resource)
            return E_FAIL;
        HGLOBAL loaded = LoadResource(nullptr, resource);
        const DWORD size = SizeofResource(nullptr, resource);
        const void* data = loaded ? LockResource(loaded) : nullptr;
        if (!data || size == 0)
            return E_FAIL;
        return OpenFromMemory(data, size);
    }
    return ParseOpened();
}

HRESULT CWavReader::OpenFromMemory(const void* data, DWORD size)
{
    // mmio offsets are LONG, so a memory file holds at most 2 GiB.
    if (!data || size == 0 || size > 0x7FFFFFFF)
        return E_FAIL;
    FreeFormat();
    Close();
    m_dwFlags = WAVEFILE_READ;
    m_pResourceBuffer = new char[size];
    std::memcpy(m_pResourceBuffer, data, size);
    MMIOINFO info{};
    info.fccIOProc = FOURCC_MEM;
    info.cchBuffer = static_cast<LONG>(size);
    info.pchBuffer = m_pResourceBuffer;
    m_hmmio = mmioOpenW(nullptr, &info, MMIO_ALLOCBUF | MMIO_READ);
    if (!m_hmmio) {
        Close();
        return E_FAIL;
    }
    return ParseOpened();
}

HRESULT CWavReader::ParseOpened()
{
    HRESULT hr = ReadMMIO();
    if (FAILED(hr)) {
        Close();
        return hr;
    }
    hr = ResetFile();
    if (FAILED(hr))
        return hr;
    m_dwSize = m_ck.cksize;
    return S_OK;
}

HRESULT CWavReader::ReadMMIO()
{
    if (mmioDescend(m_hmmio, &m_ckRiff, nullptr, 0) != MMSYSERR_NOERROR || m_ckRiff.ckid != FOURCC_RIFF ||
        m_ckRiff.fccType != mmioFOURCC('W', 'A', 'V', 'E'))
        return E_FAIL;

    MMCKINFO ckIn{};
    ckIn.ckid = mmioFOURCC('f', 'm', 't', ' ');
    if (mmioDescend(m_hmmio, &ckIn, &m_ckRiff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR || ckIn.cksize < 16)
        return E_FAIL;

    // The PCM part: tag, channels, rate, bytes per second, block align, bits per sample.
    BYTE pcm[16];
    if (mmioRead(m_hmmio, reinterpret_cast<HPSTR>(pcm), sizeof pcm) != static_cast<LONG>(sizeof pcm))
        return E_FAIL;
    const WORD tag = static_cast<WORD>(pcm[0] | (pcm[1] << 8));
    bool complete = true;
    if (tag == WAVE_FORMAT_PCM) {
        m_pwfx = reinterpret_cast<WAVEFORMATEX*>(new BYTE[sizeof(WAVEFORMATEX)]);
        std::memcpy(m_pwfx, pcm, sizeof pcm);
        m_pwfx->cbSize = 0;
    } else {
        BYTE countBytes[2];
        if (mmioRead(m_hmmio, reinterpret_cast<HPSTR>(countBytes), 2) != 2)
            return E_FAIL;
        // At most 18 + 65535 bytes, whatever the file claims.
        const WORD extra = static_cast<WORD>(countBytes[0] | (countBytes[1] << 8));
        m_pwfx = reinterpret_cast<WAVEFORMATEX*>(new BYTE[sizeof(WAVEFORMATEX) + extra]);
        std::memcpy(m_pwfx, pcm, sizeof pcm);
        m_pwfx->cbSize = extra;
        complete = mmioRead(m_hmmio, reinterpret_cast<HPSTR>(m_pwfx) + sizeof(WAVEFORMATEX), extra) == extra;
    }
    if (!complete || mmioAscend(m_hmmio, &ckIn, 0) != MMSYSERR_NOERROR) {
        FreeFormat();
        return E_FAIL;
    }
    return S_OK;
}

HRESULT CWavReader::ResetFile()
{
    if (!m_hmmio)
        return CO_E_NOTINITIALIZED;
    if (mmioSeek(m_hmmio, static_cast<LONG>(m_ckRiff.dwDataOffset + sizeof(FOURCC)), SEEK_SET) == -1)
        return E_FAIL;
    m_ck.ckid = mmioFOURCC('d', 'a', 't', 'a');
    if (mmioDescend(m_hmmio, &m_ck, &m_ckRiff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR)
        return E_FAIL;
    // A size past the end of the file counts only the bytes there; a trailing part of a
    // sample frame is never handed out.
    const LONG end = mmioSeek(m_hmmio, 0, SEEK_END);
    if (end == -1 || mmioSeek(m_hmmio, static_cast<LONG>(m_ck.dwDataOffset), SEEK_SET) == -1)
        return E_FAIL;
    m_ck.cksize = std::min<DWORD>(m_ck.cksize, static_cast<DWORD>(end) - m_ck.dwDataOffset);
    if (m_pwfx && m_pwfx->nBlockAlign > 1)
        m_ck.cksize -= m_ck.cksize % m_pwfx->nBlockAlign;
    return S_OK;
}

HRESULT CWavReader::Read(BYTE* buffer, DWORD wanted, DWORD* read)
{
    if (!m_hmmio)
        return CO_E_NOTINITIALIZED;
    if (!buffer || !read)
        return E_INVALIDARG;
    *read = 0;
    MMIOINFO info{};
    if (mmioGetInfo(m_hmmio, &info, 0) != MMSYSERR_NOERROR)
        return E_FAIL;
    const DWORD n = std::min(wanted, m_ck.cksize);
    m_ck.cksize -= n;
    // Byte by byte from the I/O buffer, refilling it when used up; copied here in runs.
    DWORD done = 0;
    while (done < n) {
        if (info.pchNext == info.pchEndRead) {
            if (mmioAdvance(m_hmmio, &info, MMIO_READ) != MMSYSERR_NOERROR || info.pchNext == info.pchEndRead)
                return E_FAIL;
        }
        const DWORD run = std::min<DWORD>(n - done, static_cast<DWORD>(info.pchEndRead - info.pchNext));
        std::memcpy(buffer + done, info.pchNext, run);
        info.pchNext += run;
        done += run;
    }
    if (mmioSetInfo(m_hmmio, &info, 0) != MMSYSERR_NOERROR)
        return E_FAIL;
    *read = n;
    return S_OK;
}

HRESULT CWavReader::Close()
{
    if (m_hmmio) {
        mmioClose(m_hmmio, 0);
        m_hmmio = nullptr;
    }
    delete[] m_pResourceBuffer;
    m_pResourceBuffer = nullptr;
    return S_OK;
}
