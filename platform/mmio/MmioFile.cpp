// The mmio* functions over one object per open file: a disk file read through the platform's
// CreateFileW/ReadFile (so file faults apply), or a caller's memory block. Offsets are 64-bit
// inside, so no chunk size can wrap a walk back to the start; the file end bounds every seek.
// Deliberately read-only: writing, creating chunks and custom I/O procedures are not offered.
#include <vireo/platform/MMSystem.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <mutex>
#include <set>
#include <vector>

namespace {

// A walk looks at this many chunks at most: a file of empty chunks cannot stall it.
constexpr int kMaxChunksPerWalk = 10000;

class CMmioFile {
  public:
    ~CMmioFile()
    {
        if (m_hFile != INVALID_HANDLE_VALUE)
            CloseHandle(m_hFile);
    }

    LONGLONG Position() const { return m_llBufOffset + static_cast<LONGLONG>(m_nNext); }

    // Buffered files hand their buffer to mmioGetInfo; unbuffered ones show none.
    bool Buffered() const { return m_bBuffered; }

    bool Seek(LONGLONG offset)
    {
        if (offset < 0 || offset > m_llSize)
            return false;
        if (offset >= m_llBufOffset && offset <= m_llBufOffset + static_cast<LONGLONG>(m_nValid)) {
            m_nNext = static_cast<std::size_t>(offset - m_llBufOffset);
            return true;
        }
        // Only disk files get here: a memory file's buffer is the whole file.
        m_llBufOffset = offset;
        m_nValid = 0;
        m_nNext = 0;
        return true;
    }

    // Makes the buffer start at the current position and reads what the disk has there.
    bool Refill()
    {
        if (m_bMemory)
            return true; // the whole file is in the buffer already
        m_llBufOffset += static_cast<LONGLONG>(m_nNext);
        m_nNext = 0;
        m_nValid = 0;
        const LONGLONG left = m_llSize - m_llBufOffset;
        const DWORD want = static_cast<DWORD>(std::min<LONGLONG>(left, static_cast<LONGLONG>(m_Storage.size())));
        if (want == 0)
            return true;
        LONG high = static_cast<LONG>(m_llBufOffset >> 32);
        // Offsets stay below 2 GiB, so a valid answer never equals the failure value.
        if (SetFilePointer(m_hFile, static_cast<LONG>(m_llBufOffset & 0xFFFFFFFF), &high, FILE_BEGIN) ==
            INVALID_SET_FILE_POINTER)
            return false;
        DWORD got = 0;
        if (!ReadFile(m_hFile, m_pBuffer, want, &got, nullptr))
            return false;
        m_nValid = got;
        return true;
    }

    LONG Read(char* out, LONG bytes)
    {
        LONG done = 0;
        while (done < bytes) {
            if (m_nNext >= m_nValid) {
                if (!Refill())
                    return -1;
                if (m_nNext >= m_nValid)
                    break; // end of the file
            }
            const std::size_t n = std::min<std::size_t>(m_nValid - m_nNext, static_cast<std::size_t>(bytes - done));
            std::memcpy(out + done, m_pBuffer + m_nNext, n);
            m_nNext += n;
            done += static_cast<LONG>(n);
        }
        return done;
    }

    void FillInfo(MMIOINFO& info) const
    {
        info = MMIOINFO{};
        info.fccIOProc = m_bMemory ? FOURCC_MEM : FOURCC_DOS;
        info.hmmio = m_hSelf;
        info.dwFlags = m_bBuffered ? MMIO_ALLOCBUF : 0;
        info.lBufOffset = static_cast<LONG>(m_llBufOffset);
        info.lDiskOffset = static_cast<LONG>(m_llBufOffset + static_cast<LONGLONG>(m_nValid));
        if (!m_bBuffered)
            return;
        info.cchBuffer = static_cast<LONG>(m_bMemory ? m_nValid : m_Storage.size());
        info.pchBuffer = m_pBuffer;
        info.pchNext = m_pBuffer + m_nNext;
        info.pchEndRead = m_pBuffer + m_nValid;
        info.pchEndWrite = m_pBuffer + m_nValid;
    }

    // Takes back a pchNext that the caller moved within the valid bytes.
    bool TakeNext(const MMIOINFO& info)
    {
        if (!m_bBuffered || !info.pchNext)
            return true;
        if (info.pchNext < m_pBuffer || info.pchNext > m_pBuffer + m_nValid)
            return false;
        m_nNext = static_cast<std::size_t>(info.pchNext - m_pBuffer);
        return true;
    }

    HMMIO m_hSelf = nullptr;
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    bool m_bMemory = false;
    bool m_bBuffered = false;
    LONGLONG m_llSize = 0;
    std::vector<char> m_Storage; // a disk file's I/O buffer
    char* m_pBuffer = nullptr;   // m_Storage, or the caller's memory
    LONGLONG m_llBufOffset = 0;
    std::size_t m_nValid = 0;
    std::size_t m_nNext = 0;
};

std::mutex& OpenFilesLock()
{
    static std::mutex lock;
    return lock;
}

std::set<CMmioFile*>& OpenFiles()
{
    static std::set<CMmioFile*> files;
    return files;
}

CMmioFile* Lookup(HMMIO handle)
{
    auto* file = reinterpret_cast<CMmioFile*>(handle);
    std::lock_guard<std::mutex> guard(OpenFilesLock());
    return OpenFiles().count(file) ? file : nullptr;
}

HMMIO Register(CMmioFile* file)
{
    file->m_hSelf = reinterpret_cast<HMMIO>(file);
    std::lock_guard<std::mutex> guard(OpenFilesLock());
    OpenFiles().insert(file);
    return file->m_hSelf;
}

HMMIO Fail(LPMMIOINFO info, MMRESULT why)
{
    if (info)
        info->wErrorRet = why;
    return nullptr;
}

bool ReadDword(CMmioFile& file, DWORD& value)
{
    BYTE bytes[4];
    if (file.Read(reinterpret_cast<char*>(bytes), 4) != 4)
        return false;
    value = static_cast<DWORD>(bytes[0]) | (static_cast<DWORD>(bytes[1]) << 8) | (static_cast<DWORD>(bytes[2]) << 16) |
            (static_cast<DWORD>(bytes[3]) << 24);
    return true;
}

} // namespace

HMMIO mmioOpenW(LPWSTR fileName, LPMMIOINFO info, DWORD openFlags)
{
    if (openFlags & (MMIO_WRITE | MMIO_READWRITE))
        return Fail(info, MMSYSERR_INVALPARAM);
    const bool allocBuffer = (openFlags & MMIO_ALLOCBUF) != 0;

    if (!fileName) {
        if (!info || info->fccIOProc != FOURCC_MEM || !info->pchBuffer || info->cchBuffer < 0)
            return Fail(info, MMSYSERR_INVALPARAM);
        auto* file = new CMmioFile();
        file->m_bMemory = true;
        file->m_bBuffered = true; // a memory file is its own buffer
        file->m_pBuffer = info->pchBuffer;
        file->m_llSize = info->cchBuffer;
        file->m_nValid = static_cast<std::size_t>(info->cchBuffer);
        info->wErrorRet = MMSYSERR_NOERROR;
        return Register(file);
    }
    if (info && info->fccIOProc == FOURCC_MEM)
        return Fail(info, MMSYSERR_INVALPARAM);

    HANDLE handle = CreateFileW(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD err = GetLastError();
        return Fail(info, err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND ? MMIOERR_FILENOTFOUND
                                                                                     : MMIOERR_CANNOTOPEN);
    }
    DWORD high = 0;
    const DWORD low = GetFileSize(handle, &high);
    const LONGLONG size = (static_cast<LONGLONG>(high) << 32) | low;
    // mmio offsets are LONG: a file past 2 GiB cannot be addressed.
    if (low == INVALID_FILE_SIZE || size > std::numeric_limits<LONG>::max()) {
        CloseHandle(handle);
        return Fail(info, MMIOERR_CANNOTOPEN);
    }
    auto* file = new CMmioFile();
    file->m_hFile = handle;
    file->m_llSize = size;
    file->m_bBuffered = allocBuffer;
    // Unbuffered files still read through a small buffer of their own; it is not shown.
    const LONG asked = info && info->cchBuffer > 0 ? info->cchBuffer : MMIO_DEFAULTBUFFER;
    file->m_Storage.resize(static_cast<std::size_t>(std::min<LONG>(asked, 1 << 20)));
    file->m_pBuffer = file->m_Storage.data();
    if (info)
        info->wErrorRet = MMSYSERR_NOERROR;
    return Register(file);
}

MMRESULT mmioClose(HMMIO handle, UINT)
{
    CMmioFile* file = Lookup(handle);
    if (!file)
        return MMSYSERR_INVALHANDLE;
    {
        std::lock_guard<std::mutex> guard(OpenFilesLock());
        OpenFiles().erase(file);
    }
    delete file;
    return MMSYSERR_NOERROR;
}

LONG mmioRead(HMMIO handle, HPSTR buffer, LONG bytes)
{
    CMmioFile* file = Lookup(handle);
    if (!file || !buffer || bytes < 0)
        return -1;
    return file->Read(buffer, bytes);
}

LONG mmioSeek(HMMIO handle, LONG offset, int origin)
{
    CMmioFile* file = Lookup(handle);
    if (!file)
        return -1;
    LONGLONG base = 0;
    if (origin == SEEK_CUR)
        base = file->Position();
    else if (origin == SEEK_END)
        base = file->m_llSize;
    else if (origin != SEEK_SET)
        return -1;
    const LONGLONG target = base + offset;
    if (!file->Seek(target))
        return -1;
    return static_cast<LONG>(target);
}

MMRESULT mmioGetInfo(HMMIO handle, LPMMIOINFO info, UINT)
{
    CMmioFile* file = Lookup(handle);
    if (!file)
        return MMSYSERR_INVALHANDLE;
    if (!info)
        return MMSYSERR_INVALPARAM;
    file->FillInfo(*info);
    return MMSYSERR_NOERROR;
}

MMRESULT mmioSetInfo(HMMIO handle, const MMIOINFO* info, UINT)
{
    CMmioFile* file = Lookup(handle);
    if (!file)
        return MMSYSERR_INVALHANDLE;
    if (!info || !file->TakeNext(*info))
        return MMSYSERR_INVALPARAM;
    return MMSYSERR_NOERROR;
}

MMRESULT mmioAdvance(HMMIO handle, LPMMIOINFO info, UINT flags)
{
    CMmioFile* file = Lookup(handle);
    if (!file)
        return MMSYSERR_INVALHANDLE;
    if (!file->Buffered())
        return MMIOERR_UNBUFFERED;
    if (flags != MMIO_READ)
        return MMSYSERR_INVALPARAM;
    if (info && !file->TakeNext(*info))
        return MMSYSERR_INVALPARAM;
    if (!file->Refill())
        return MMIOERR_CANNOTREAD;
    if (info)
        file->FillInfo(*info);
    return MMSYSERR_NOERROR;
}

MMRESULT mmioDescend(HMMIO handle, LPMMCKINFO chunk, const MMCKINFO* parent, UINT flags)
{
    CMmioFile* file = Lookup(handle);
    if (!file)
        return MMSYSERR_INVALHANDLE;
    if (!chunk)
        return MMSYSERR_INVALPARAM;
    const FOURCC wantId = chunk->ckid;
    const FOURCC wantType = chunk->fccType;

    LONGLONG end = file->m_llSize;
    if (parent)
        end = std::min(end, static_cast<LONGLONG>(parent->dwDataOffset) + parent->cksize);

    for (int examined = 0; examined < kMaxChunksPerWalk; ++examined) {
        const LONGLONG start = file->Position();
        if (start + 8 > end)
            return MMIOERR_CHUNKNOTFOUND;
        DWORD id = 0;
        DWORD size = 0;
        if (!ReadDword(*file, id) || !ReadDword(*file, size))
            return MMIOERR_CHUNKNOTFOUND;
        const LONGLONG dataOffset = start + 8;
        DWORD type = 0;
        const bool hasType = id == FOURCC_RIFF || id == FOURCC_LIST;
        if (hasType && (dataOffset + 4 > end || !ReadDword(*file, type)))
            return MMIOERR_CHUNKNOTFOUND;

        bool found = true;
        if (flags & MMIO_FINDCHUNK)
            found = id == wantId;
        else if (flags & MMIO_FINDRIFF)
            found = id == FOURCC_RIFF && type == wantType;
        else if (flags & MMIO_FINDLIST)
            found = id == FOURCC_LIST && type == wantType;
        if (found) {
            *chunk = MMCKINFO{id, size, type, static_cast<DWORD>(dataOffset), 0};
            return MMSYSERR_NOERROR;
        }
        // Chunks are padded to an even size; the 64-bit sum cannot wrap.
        const LONGLONG next = dataOffset + size + (size & 1);
        if (next > end || !file->Seek(next))
            return MMIOERR_CHUNKNOTFOUND;
    }
    return MMIOERR_CHUNKNOTFOUND;
}

MMRESULT mmioAscend(HMMIO handle, LPMMCKINFO chunk, UINT)
{
    CMmioFile* file = Lookup(handle);
    if (!file)
        return MMSYSERR_INVALHANDLE;
    if (!chunk)
        return MMSYSERR_INVALPARAM;
    const LONGLONG end = static_cast<LONGLONG>(chunk->dwDataOffset) + chunk->cksize + (chunk->cksize & 1);
    return file->Seek(end) ? MMSYSERR_NOERROR : MMIOERR_CANNOTSEEK;
}
