// WinMM-style buffered multimedia file I/O (mmio*) for reading RIFF files, from a disk file
// or from a block of memory (FOURCC_MEM). Read-only: no write, create or custom I/O
// procedures. Chunk walks are bounded by their parent chunk, the file and a chunk count.
#pragma once

#include <vireo/platform/Win32.h>

#include <cstdio>

using FOURCC = DWORD;
using HPSTR = char*;
using MMRESULT = UINT;
struct HMMIO__;
using HMMIO = HMMIO__*;

constexpr FOURCC mmioFOURCC(char a, char b, char c, char d)
{
    return static_cast<FOURCC>(static_cast<BYTE>(a)) | (static_cast<FOURCC>(static_cast<BYTE>(b)) << 8) |
           (static_cast<FOURCC>(static_cast<BYTE>(c)) << 16) | (static_cast<FOURCC>(static_cast<BYTE>(d)) << 24);
}

constexpr FOURCC FOURCC_RIFF = mmioFOURCC('R', 'I', 'F', 'F');
constexpr FOURCC FOURCC_LIST = mmioFOURCC('L', 'I', 'S', 'T');
constexpr FOURCC FOURCC_DOS = mmioFOURCC('D', 'O', 'S', ' ');
constexpr FOURCC FOURCC_MEM = mmioFOURCC('M', 'E', 'M', ' ');

// Open flags (mmioOpenW), descend flags and the mmioAdvance direction.
constexpr DWORD MMIO_READ = 0x00000000;
constexpr DWORD MMIO_WRITE = 0x00000001;
constexpr DWORD MMIO_READWRITE = 0x00000002;
constexpr DWORD MMIO_ALLOCBUF = 0x00010000;
constexpr UINT MMIO_FINDCHUNK = 0x0010;
constexpr UINT MMIO_FINDRIFF = 0x0020;
constexpr UINT MMIO_FINDLIST = 0x0040;
constexpr DWORD MMIO_DIRTY = 0x10000000;
constexpr LONG MMIO_DEFAULTBUFFER = 8192;

// Results: 0 is success.
constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT MMIOERR_FILENOTFOUND = 257;
constexpr MMRESULT MMIOERR_OUTOFMEMORY = 258;
constexpr MMRESULT MMIOERR_CANNOTOPEN = 259;
constexpr MMRESULT MMIOERR_CANNOTREAD = 261;
constexpr MMRESULT MMIOERR_CANNOTSEEK = 263;
constexpr MMRESULT MMIOERR_CHUNKNOTFOUND = 265;
constexpr MMRESULT MMIOERR_UNBUFFERED = 266;

// mmioSeek takes the C library's SEEK_SET, SEEK_CUR and SEEK_END (0, 1, 2).

// The state of a buffered file as mmioGetInfo hands it out: read bytes from pchNext up to
// pchEndRead directly, then give pchNext back with mmioSetInfo or mmioAdvance.
struct MMIOINFO {
    DWORD dwFlags;
    FOURCC fccIOProc; // FOURCC_MEM: the file is the memory at pchBuffer, cchBuffer bytes
    void* pIOProc;
    UINT wErrorRet; // why mmioOpenW failed
    HANDLE htask;
    LONG cchBuffer;
    HPSTR pchBuffer;
    HPSTR pchNext;
    HPSTR pchEndRead;
    HPSTR pchEndWrite;
    LONG lBufOffset;  // file offset of pchBuffer[0]
    LONG lDiskOffset; // file offset of the next byte read from the disk
    DWORD adwInfo[3];
    DWORD dwReserved1;
    DWORD dwReserved2;
    HMMIO hmmio;
};
using LPMMIOINFO = MMIOINFO*;

// One chunk: dwDataOffset is the file offset of its data (for RIFF and LIST, of the form type).
struct MMCKINFO {
    FOURCC ckid;
    DWORD cksize;
    FOURCC fccType;
    DWORD dwDataOffset;
    DWORD dwFlags;
};
using LPMMCKINFO = MMCKINFO*;

// Opens a file by name, or the memory of info->pchBuffer when info->fccIOProc is FOURCC_MEM
// and the name is null (the memory stays the caller's). Read mode only; MMIO_ALLOCBUF gives a
// buffer of info->cchBuffer bytes (MMIO_DEFAULTBUFFER when 0). Null on failure, with the reason
// in info->wErrorRet.
HMMIO mmioOpenW(LPWSTR fileName, LPMMIOINFO info, DWORD openFlags);
MMRESULT mmioClose(HMMIO file, UINT flags);
// Bytes read (0 at the end of the file), or -1.
LONG mmioRead(HMMIO file, HPSTR buffer, LONG bytes);
// The new offset from the start of the file, or -1 (before the start, or past 2 GiB).
LONG mmioSeek(HMMIO file, LONG offset, int origin);
MMRESULT mmioGetInfo(HMMIO file, LPMMIOINFO info, UINT flags);
MMRESULT mmioSetInfo(HMMIO file, const MMIOINFO* info, UINT flags);
// With MMIO_READ: takes info->pchNext, refills the buffer from the file and updates info. At
// the end of the file it succeeds with pchNext == pchEndRead.
MMRESULT mmioAdvance(HMMIO file, LPMMIOINFO info, UINT flags);
// Reads the chunk header at the current offset (no flags) or searches from there for the
// chunk of MMIO_FINDCHUNK (ckid), MMIO_FINDRIFF / MMIO_FINDLIST (fccType), never past the
// parent's data or the file. Leaves the offset at the chunk's data (after a form type).
MMRESULT mmioDescend(HMMIO file, LPMMCKINFO chunk, const MMCKINFO* parent, UINT flags);
// Moves to the end of the chunk, past its pad byte when its size is odd.
MMRESULT mmioAscend(HMMIO file, LPMMCKINFO chunk, UINT flags);
