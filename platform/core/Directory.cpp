// Name-based file functions: attributes, directory search with '*' and '?' in the last
// component, full and current paths, folders, copy, delete, move. Wildcards compare without
// case, as on Windows; opening the names found stays case-sensitive (the OS decides).
#include "platform/core/FileObject.h"
#include "platform/core/PathText.h"
#include "platform/core/Utf8.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <cwctype>
#include <string>
#include <vector>

namespace vireo::platform {
namespace {

DWORD AttributesOf(const struct stat& st)
{
    DWORD attributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if (!(st.st_mode & S_IWUSR))
        attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes;
}

FILETIME FileTimeOf(const struct timespec& ts)
{
    // 100-nanosecond intervals since 1601-01-01.
    constexpr std::uint64_t kEpochDelta = 116444736000000000ull;
    const std::uint64_t value = kEpochDelta + static_cast<std::uint64_t>(ts.tv_sec) * 10000000ull +
                                static_cast<std::uint64_t>(ts.tv_nsec) / 100;
    return {static_cast<DWORD>(value & 0xFFFFFFFF), static_cast<DWORD>(value >> 32)};
}

bool HasWildcard(const std::wstring& text)
{
    return text.find_first_of(L"*?") != std::wstring::npos;
}

// Iterative '*'/'?' match without case; the plain version is the usual recursion on '*'.
bool WildcardMatch(const std::wstring& pattern, const std::wstring& name)
{
    std::size_t p = 0, n = 0, starP = std::wstring::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == L'?' || std::towlower(pattern[p]) == std::towlower(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == L'*') {
            starP = p++;
            starN = n;
        } else if (starP != std::wstring::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*')
        ++p;
    return p == pattern.size();
}

struct FoundEntry {
    std::wstring name;
    struct stat st;
};

class CFindObject : public CKernelObject {
  public:
    std::vector<FoundEntry> m_entries;
    std::size_t m_next = 0;
};

void FillFindData(const FoundEntry& entry, WIN32_FIND_DATAW* data)
{
    std::memset(data, 0, sizeof(*data));
    data->dwFileAttributes = AttributesOf(entry.st);
    data->ftCreationTime = FileTimeOf(entry.st.st_ctim);
    data->ftLastAccessTime = FileTimeOf(entry.st.st_atim);
    data->ftLastWriteTime = FileTimeOf(entry.st.st_mtim);
    const auto size = S_ISDIR(entry.st.st_mode) ? 0ull : static_cast<std::uint64_t>(entry.st.st_size);
    data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data->nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFF);
    const std::size_t length = std::min<std::size_t>(entry.name.size(), MAX_PATH - 1);
    std::wmemcpy(data->cFileName, entry.name.data(), length);
}

// Lexical clean-up of an absolute path: no ".", "..", or doubled separators.
std::string Normalise(const std::string& absolute)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= absolute.size()) {
        std::size_t end = absolute.find('/', start);
        if (end == std::string::npos)
            end = absolute.size();
        const std::string part = absolute.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string out;
    for (const auto& part : parts) {
        out += '/';
        out += part;
    }
    // The root is a lone separator. A trailing separator names a folder; keep it, as Windows does.
    const bool namesFolder = absolute.size() > 1 && absolute.back() == '/';
    if (out.empty() || namesFolder)
        out += '/';
    return out;
}

// Win32 buffer convention: the length without terminator when it fits, else the size
// needed including the terminator.
DWORD CopyOut(const std::wstring& text, DWORD bufferLength, LPWSTR buffer)
{
    if (!buffer || bufferLength < text.size() + 1)
        return static_cast<DWORD>(text.size() + 1);
    std::wmemcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

bool StatPath(LPCWSTR path, std::string& native, struct stat& st)
{
    if (const DWORD error = NativePath(path, native); error != ERROR_SUCCESS) {
        SetLastError(error);
        return false;
    }
    if (stat(native.c_str(), &st) != 0) {
        SetLastErrorFromErrno(errno, native);
        return false;
    }
    return true;
}

bool CopyRegularFile(LPCWSTR existing, LPCWSTR newFile, BOOL failIfExists)
{
    HANDLE source = CreateFileW(existing, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (source == INVALID_HANDLE_VALUE)
        return false;
    HANDLE target =
        CreateFileW(newFile, GENERIC_WRITE, 0, nullptr, failIfExists ? CREATE_NEW : CREATE_ALWAYS, 0, nullptr);
    if (target == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        CloseHandle(source);
        SetLastError(error);
        return false;
    }
    char chunk[64 * 1024];
    bool ok = true;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(source, chunk, sizeof(chunk), &got, nullptr)) {
            ok = false;
            break;
        }
        if (got == 0)
            break;
        DWORD put = 0;
        if (!WriteFile(target, chunk, got, &put, nullptr)) {
            ok = false;
            break;
        }
    }
    const DWORD error = GetLastError();
    CloseHandle(source);
    CloseHandle(target);
    if (!ok) {
        SetLastError(error);
        return false;
    }
    SetLastError(ERROR_SUCCESS);
    return true;
}

} // namespace
} // namespace vireo::platform

using namespace vireo::platform;

DWORD GetFileAttributesW(LPCWSTR path)
{
    std::string native;
    struct stat st {};
    if (!StatPath(path, native, st))
        return INVALID_FILE_ATTRIBUTES;
    return AttributesOf(st);
}

HANDLE FindFirstFileW(LPCWSTR pattern, WIN32_FIND_DATAW* data)
{
    std::string native;
    if (const DWORD error = NativePath(pattern, native); error != ERROR_SUCCESS) {
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    if (!data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    const std::size_t slash = native.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : native.substr(0, slash));
    const std::wstring last = WideFromUtf8(slash == std::string::npos ? native : native.substr(slash + 1));
    if (last.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND); // "folder\" names no file
        return INVALID_HANDLE_VALUE;
    }
    auto find = std::make_unique<CFindObject>();
    if (!HasWildcard(last)) {
        FoundEntry entry{last, {}};
        if (stat(native.c_str(), &entry.st) != 0) {
            SetLastErrorFromErrno(errno, native);
            return INVALID_HANDLE_VALUE;
        }
        find->m_entries.push_back(std::move(entry));
    } else {
        DIR* dir = opendir(folder.c_str());
        if (!dir) {
            const int err = errno;
            SetLastError(err == ENOENT || err == ENOTDIR ? ERROR_PATH_NOT_FOUND : Win32ErrorFromErrno(err));
            return INVALID_HANDLE_VALUE;
        }
        // "*.*" matches names without a dot too, as it always has on Windows.
        const std::wstring effective = last == L"*.*" ? L"*" : last;
        while (const dirent* item = readdir(dir)) {
            const std::wstring name = WideFromUtf8(item->d_name);
            if (!WildcardMatch(effective, name))
                continue;
            FoundEntry entry{name, {}};
            if (fstatat(dirfd(dir), item->d_name, &entry.st, 0) != 0)
                continue; // vanished or a dangling link: not a file to report
            find->m_entries.push_back(std::move(entry));
        }
        closedir(dir);
        std::sort(find->m_entries.begin(), find->m_entries.end(),
                  [](const FoundEntry& a, const FoundEntry& b) { return a.name < b.name; });
        if (find->m_entries.empty()) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return INVALID_HANDLE_VALUE;
        }
    }
    FillFindData(find->m_entries[0], data);
    find->m_next = 1;
    SetLastError(ERROR_SUCCESS);
    return RegisterHandle(std::move(find));
}

BOOL FindNextFileW(HANDLE handle, WIN32_FIND_DATAW* data)
{
    auto* find = LookupHandleAs<CFindObject>(handle);
    if (!find || !data) {
        SetLastError(find ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (find->m_next >= find->m_entries.size()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    FillFindData(find->m_entries[find->m_next++], data);
    return TRUE;
}

BOOL FindClose(HANDLE handle)
{
    if (!LookupHandleAs<CFindObject>(handle) || !CloseKernelHandle(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

DWORD GetFullPathNameW(LPCWSTR path, DWORD bufferLength, LPWSTR buffer, LPWSTR* filePart)
{
    if (filePart)
        *filePart = nullptr;
    std::string native;
    if (const DWORD error = NativePath(path, native); error != ERROR_SUCCESS) {
        SetLastError(error == ERROR_PATH_NOT_FOUND ? ERROR_INVALID_NAME : error);
        return 0;
    }
    if (native[0] != '/') {
        char cwd[PATH_MAX];
        if (!getcwd(cwd, sizeof(cwd))) {
            SetLastErrorFromErrno(errno);
            return 0;
        }
        native = std::string(cwd) + "/" + native;
    }
    const std::wstring full = WideFromUtf8(Normalise(native));
    const DWORD result = CopyOut(full, bufferLength, buffer);
    if (filePart && result == full.size()) {
        const std::size_t slash = full.rfind(L'/');
        if (slash + 1 < full.size())
            *filePart = buffer + slash + 1;
    }
    return result;
}

DWORD GetCurrentDirectoryW(DWORD bufferLength, LPWSTR buffer)
{
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof(cwd))) {
        SetLastErrorFromErrno(errno);
        return 0;
    }
    return CopyOut(WideFromUtf8(cwd), bufferLength, buffer);
}

BOOL SetCurrentDirectoryW(LPCWSTR path)
{
    std::string native;
    if (const DWORD error = NativePath(path, native); error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    if (chdir(native.c_str()) != 0) {
        const int err = errno;
        SetLastError(err == ENOENT || err == ENOTDIR ? ERROR_PATH_NOT_FOUND : Win32ErrorFromErrno(err));
        return FALSE;
    }
    return TRUE;
}

BOOL CreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES)
{
    std::string native;
    if (const DWORD error = NativePath(path, native); error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    if (mkdir(native.c_str(), 0777) != 0) {
        const int err = errno;
        if (err == EEXIST)
            SetLastError(ERROR_ALREADY_EXISTS);
        else if (err == ENOENT || err == ENOTDIR)
            SetLastError(ERROR_PATH_NOT_FOUND);
        else
            SetLastErrorFromErrno(err, native);
        return FALSE;
    }
    return TRUE;
}

BOOL RemoveDirectoryW(LPCWSTR path)
{
    std::string native;
    if (const DWORD error = NativePath(path, native); error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    if (rmdir(native.c_str()) != 0) {
        const int err = errno;
        SetLastError(err == ENOTDIR ? ERROR_DIRECTORY : Win32ErrorFromErrno(err, native));
        return FALSE;
    }
    return TRUE;
}

BOOL CopyFileW(LPCWSTR existing, LPCWSTR newFile, BOOL failIfExists)
{
    std::string source;
    struct stat st {};
    if (!StatPath(existing, source, st))
        return FALSE;
    if (S_ISDIR(st.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return CopyRegularFile(existing, newFile, failIfExists) ? TRUE : FALSE;
}

BOOL DeleteFileW(LPCWSTR path)
{
    std::string native;
    struct stat st {};
    if (!StatPath(path, native, st))
        return FALSE;
    if (S_ISDIR(st.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (!ShareModesAllowDelete(st.st_dev, st.st_ino)) {
        SetLastError(ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    if (unlink(native.c_str()) != 0) {
        SetLastErrorFromErrno(errno, native);
        return FALSE;
    }
    return TRUE;
}

BOOL MoveFileExW(LPCWSTR existing, LPCWSTR newFile, DWORD flags)
{
    std::string source, target;
    struct stat st {};
    if (!StatPath(existing, source, st))
        return FALSE;
    if (const DWORD error = NativePath(newFile, target); error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    if (!S_ISDIR(st.st_mode) && !ShareModesAllowDelete(st.st_dev, st.st_ino)) {
        SetLastError(ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    struct stat existingTarget {};
    if (stat(target.c_str(), &existingTarget) == 0) {
        if (!(flags & MOVEFILE_REPLACE_EXISTING)) {
            SetLastError(ERROR_ALREADY_EXISTS);
            return FALSE;
        }
        if (S_ISDIR(existingTarget.st_mode) || !ShareModesAllowDelete(existingTarget.st_dev, existingTarget.st_ino)) {
            SetLastError(S_ISDIR(existingTarget.st_mode) ? ERROR_ACCESS_DENIED : ERROR_SHARING_VIOLATION);
            return FALSE;
        }
    }
    if (rename(source.c_str(), target.c_str()) == 0)
        return TRUE;
    const int err = errno;
    if (err == EXDEV && (flags & MOVEFILE_COPY_ALLOWED) && !S_ISDIR(st.st_mode)) {
        if (!CopyRegularFile(existing, newFile, FALSE))
            return FALSE;
        unlink(source.c_str());
        return TRUE;
    }
    SetLastErrorFromErrno(err, target);
    return FALSE;
}
