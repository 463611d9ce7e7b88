// Path argument checks and the errno -> Win32 error table used by every file function.
// Drive letters and UNC names are passed through as they are: they mean nothing here.
#include "platform/core/PathText.h"

#include "platform/core/Utf8.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cwchar>

namespace vireo::platform {

DWORD NativePath(LPCWSTR path, std::string& out)
{
    out.clear();
    if (!path)
        return ERROR_INVALID_PARAMETER;
    if (!*path)
        return ERROR_PATH_NOT_FOUND;
    const std::size_t length = std::wcslen(path);
    if (length >= PATH_MAX)
        return ERROR_FILENAME_EXCED_RANGE;
    std::wstring slashed(path, length);
    for (wchar_t& c : slashed)
        if (c == L'\\')
            c = L'/';
    out = Utf8FromWide(slashed);
    if (out.size() >= PATH_MAX) {
        out.clear();
        return ERROR_FILENAME_EXCED_RANGE;
    }
    return ERROR_SUCCESS;
}

DWORD Win32ErrorFromErrno(int err, const std::string& nativePath)
{
    switch (err) {
    case 0:
        return ERROR_SUCCESS;
    case ENOENT: {
        if (nativePath.empty())
            return ERROR_FILE_NOT_FOUND;
        std::string parent = nativePath;
        while (parent.size() > 1 && parent.back() == '/')
            parent.pop_back();
        const std::size_t slash = parent.rfind('/');
        if (slash == std::string::npos)
            return ERROR_FILE_NOT_FOUND; // relative name: the current folder exists
        parent.resize(slash == 0 ? 1 : slash);
        struct stat st {};
        return stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    }
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
        return ERROR_ACCESS_DENIED;
    case EEXIST:
        return ERROR_FILE_EXISTS;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ERROR_DISK_FULL;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case ENOTEMPTY:
        return ERROR_DIR_NOT_EMPTY;
    case EBADF:
        return ERROR_INVALID_HANDLE;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    case ELOOP:
        return ERROR_PATH_NOT_FOUND;
    case EXDEV:
        return ERROR_NOT_SAME_DEVICE;
    default:
        return ERROR_GEN_FAILURE;
    }
}

DWORD SetLastErrorFromErrno(int err, const std::string& nativePath)
{
    const DWORD code = Win32ErrorFromErrno(err, nativePath);
    SetLastError(code);
    return code;
}

} // namespace vireo::platform
