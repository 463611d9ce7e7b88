// CreateFile and the handle-based file functions over POSIX descriptors, with the Win32
// share-mode rules enforced among this process's own handles (other processes are not
// seen: POSIX has no mandatory share modes). No overlapped I/O, no file flags.
#include "platform/core/CodePage.h"
#include "platform/core/FileObject.h"
#include "platform/core/PathText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace vireo::platform {

CFileObject::CFileObject(int fd, DWORD access, DWORD share, dev_t dev, ino_t ino)
    : m_fd(fd), m_access(access), m_share(share), m_dev(dev), m_ino(ino)
{
}

CFileObject::~CFileObject()
{
    if (m_fd >= 0)
        close(m_fd);
}

bool ShareModesAdmit(dev_t dev, ino_t ino, DWORD access, DWORD share)
{
    bool admitted = true;
    ForEachKernelObject([&](CKernelObject& object) {
        const auto* file = dynamic_cast<CFileObject*>(&object);
        // Handles opened for neither reading nor writing take no part, as on Windows.
        if (!file || file->m_dev != dev || file->m_ino != ino || !(file->m_access & (GENERIC_READ | GENERIC_WRITE)))
            return;
        // Both directions: the newcomer must allow what the holder does, and vice versa.
        if ((access & GENERIC_READ) && !(file->m_share & FILE_SHARE_READ))
            admitted = false;
        if ((access & GENERIC_WRITE) && !(file->m_share & FILE_SHARE_WRITE))
            admitted = false;
        if ((file->m_access & GENERIC_READ) && !(share & FILE_SHARE_READ))
            admitted = false;
        if ((file->m_access & GENERIC_WRITE) && !(share & FILE_SHARE_WRITE))
            admitted = false;
    });
    return admitted;
}

bool ShareModesAllowDelete(dev_t dev, ino_t ino)
{
    bool allowed = true;
    ForEachKernelObject([&](CKernelObject& object) {
        const auto* file = dynamic_cast<CFileObject*>(&object);
        if (file && file->m_dev == dev && file->m_ino == ino && (file->m_access & (GENERIC_READ | GENERIC_WRITE)) &&
            !(file->m_share & FILE_SHARE_DELETE))
            allowed = false;
    });
    return allowed;
}

FileFaultPlan& FileFaults()
{
    static FileFaultPlan plan;
    return plan;
}

bool PathIsFaulty(LPCWSTR path)
{
    const FileFaultPlan& plan = FileFaults();
    if (!plan.active || !path)
        return false;
    std::wstring slashed(path);
    std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
    return slashed.find(plan.pathContains) != std::wstring::npos;
}

namespace {

CFileObject* FileFromHandle(HANDLE file)
{
    auto* object = LookupHandleAs<CFileObject>(file);
    if (!object)
        SetLastError(ERROR_INVALID_HANDLE);
    return object;
}

// The open file behind the handle if it was opened for `access`; else null with the error set.
CFileObject* FileWithAccess(HANDLE file, DWORD access)
{
    CFileObject* object = FileFromHandle(file);
    if (object && !(object->m_access & access)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return object;
}

// ReadFile and WriteFile: the whole count unless the end of the file (reading) or an error
// comes first. Scripted faults apply to handles opened on a faulty path.
BOOL Transfer(HANDLE file, void* buffer, DWORD count, LPDWORD done, bool writing)
{
    if (done)
        *done = 0;
    CFileObject* object = FileWithAccess(file, writing ? GENERIC_WRITE : GENERIC_READ);
    if (!object)
        return FALSE;
    if (!buffer && count) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD want = count;
    const bool faulty = PathIsFaulty(object->m_path.c_str());
    if (faulty) {
        FileFaultPlan& plan = FileFaults();
        if (writing) {
            ++plan.writeCalls;
            if (plan.writeLimit >= 0 && plan.bytesWritten + count > plan.writeLimit) {
                want = static_cast<DWORD>(plan.writeLimit - std::min(plan.bytesWritten, plan.writeLimit));
                if (want == 0) {
                    SetLastError(ERROR_DISK_FULL);
                    return FALSE;
                }
            }
        } else {
            ++plan.readCalls;
            if (plan.maxReadChunk > 0 && want > plan.maxReadChunk)
                want = plan.maxReadChunk;
        }
    }
    auto* bytes = static_cast<char*>(buffer);
    DWORD total = 0;
    while (total < want) {
        const ssize_t n = writing ? ::write(object->m_fd, bytes + total, want - total)
                                  : ::read(object->m_fd, bytes + total, want - total);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const DWORD code = Win32ErrorFromErrno(errno);
            SetLastError(code == ERROR_GEN_FAILURE ? (writing ? ERROR_WRITE_FAULT : ERROR_READ_FAULT) : code);
            if (done)
                *done = total;
            return FALSE;
        }
        if (n == 0)
            break; // end of file: success with fewer bytes
        total += static_cast<DWORD>(n);
    }
    if (done)
        *done = total;
    if (writing && faulty) {
        FileFaults().bytesWritten += total;
        if (total < count) {
            SetLastError(ERROR_DISK_FULL); // the scripted disk filled up part-way
            return FALSE;
        }
    }
    return TRUE;
}

} // namespace
} // namespace vireo::platform

using namespace vireo::platform;

HANDLE CreateFileW(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES, DWORD disposition, DWORD flags,
                   HANDLE)
{
    std::string native;
    if (const DWORD error = NativePath(path, native); error != ERROR_SUCCESS) {
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    const bool faulty = PathIsFaulty(path);
    if (faulty && FileFaults().failOpen) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    int oflags = O_CLOEXEC;
    const bool wantRead = (access & GENERIC_READ) != 0;
    const bool wantWrite = (access & GENERIC_WRITE) != 0;
    oflags |= wantWrite ? (wantRead ? O_RDWR : O_WRONLY) : O_RDONLY;
    bool truncate = false;
    switch (disposition) {
    case CREATE_NEW:
        oflags |= O_CREAT | O_EXCL;
        break;
    case CREATE_ALWAYS:
        oflags |= O_CREAT;
        truncate = true;
        break;
    case OPEN_EXISTING:
        break;
    case OPEN_ALWAYS:
        oflags |= O_CREAT;
        break;
    case TRUNCATE_EXISTING:
        if (!wantWrite) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return INVALID_HANDLE_VALUE;
        }
        truncate = true;
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    struct stat before {};
    const bool existed = stat(native.c_str(), &before) == 0;
    if (existed && S_ISDIR(before.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED); // a folder where a file is expected
        return INVALID_HANDLE_VALUE;
    }
    const mode_t mode = (flags & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    const int fd = open(native.c_str(), oflags, mode);
    if (fd < 0) {
        const int err = errno;
        SetLastErrorFromErrno(err, native);
        return INVALID_HANDLE_VALUE;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    // Checked before any truncation, so a refused open leaves the file as it was.
    if (!ShareModesAdmit(st.st_dev, st.st_ino, access, share)) {
        close(fd);
        SetLastError(ERROR_SHARING_VIOLATION);
        return INVALID_HANDLE_VALUE;
    }
    if (truncate && st.st_size != 0 && ftruncate(fd, 0) != 0) {
        const int err = errno;
        close(fd);
        SetLastErrorFromErrno(err, native);
        return INVALID_HANDLE_VALUE;
    }
    auto object = std::make_unique<CFileObject>(fd, access, share, st.st_dev, st.st_ino);
    object->m_path = path;
    HANDLE handle = RegisterHandle(std::move(object));
    const bool reportsExisting = disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS;
    SetLastError(reportsExisting && existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES sa, DWORD disposition, DWORD flags,
                   HANDLE templateFile)
{
    if (!path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    const std::wstring wide = WideFromAnsi(path);
    return CreateFileW(wide.c_str(), access, share, sa, disposition, flags, templateFile);
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, void*)
{
    return Transfer(file, buffer, toRead, read, false);
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written, void*)
{
    return Transfer(file, const_cast<void*>(buffer), toWrite, written, true);
}

DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method)
{
    CFileObject* object = FileFromHandle(file);
    if (!object)
        return INVALID_SET_FILE_POINTER;
    if (PathIsFaulty(object->m_path.c_str()))
        ++FileFaults().seekCalls;
    // Without a high part the distance is a signed 32-bit value; with one, the two halves
    // form a signed 64-bit distance.
    const std::int64_t move =
        distanceHigh ? static_cast<std::int64_t>((static_cast<std::uint64_t>(static_cast<DWORD>(*distanceHigh)) << 32) |
                                                 static_cast<DWORD>(distance))
                     : static_cast<std::int64_t>(distance);
    std::int64_t base = 0;
    if (method == FILE_CURRENT) {
        base = lseek(object->m_fd, 0, SEEK_CUR);
    } else if (method == FILE_END) {
        struct stat st {};
        base = fstat(object->m_fd, &st) == 0 ? st.st_size : -1;
    } else if (method != FILE_BEGIN) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (base < 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_SET_FILE_POINTER;
    }
    if ((move < 0 && base + move < 0) || (move > 0 && base > INT64_MAX - move)) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return INVALID_SET_FILE_POINTER;
    }
    const std::int64_t target = base + move;
    if (!distanceHigh && target > 0xFFFFFFFEll) {
        SetLastError(ERROR_INVALID_PARAMETER); // the caller could not read the result
        return INVALID_SET_FILE_POINTER;
    }
    if (lseek(object->m_fd, target, SEEK_SET) < 0) {
        SetLastErrorFromErrno(errno);
        return INVALID_SET_FILE_POINTER;
    }
    if (distanceHigh)
        *distanceHigh = static_cast<LONG>(static_cast<std::uint64_t>(target) >> 32);
    SetLastError(ERROR_SUCCESS); // a low part of 0xFFFFFFFF is then told from a failure
    return static_cast<DWORD>(target & 0xFFFFFFFF);
}

BOOL SetEndOfFile(HANDLE file)
{
    CFileObject* object = FileWithAccess(file, GENERIC_WRITE);
    if (!object)
        return FALSE;
    const off_t position = lseek(object->m_fd, 0, SEEK_CUR);
    if (position < 0 || ftruncate(object->m_fd, position) != 0) {
        SetLastErrorFromErrno(errno);
        return FALSE;
    }
    return TRUE;
}

DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh)
{
    CFileObject* object = FileFromHandle(file);
    if (!object)
        return INVALID_FILE_SIZE;
    struct stat st {};
    if (fstat(object->m_fd, &st) != 0) {
        SetLastErrorFromErrno(errno);
        return INVALID_FILE_SIZE;
    }
    const auto size = static_cast<std::uint64_t>(st.st_size);
    if (sizeHigh)
        *sizeHigh = static_cast<DWORD>(size >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(size & 0xFFFFFFFF);
}

BOOL FlushFileBuffers(HANDLE file)
{
    CFileObject* object = FileWithAccess(file, GENERIC_WRITE);
    if (!object)
        return FALSE;
    if (fsync(object->m_fd) != 0 && errno != EINVAL) {
        SetLastErrorFromErrno(errno);
        return FALSE;
    }
    return TRUE;
}

BOOL CloseHandle(HANDLE handle)
{
    if (!CloseKernelHandle(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
