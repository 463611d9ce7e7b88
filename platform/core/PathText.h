// From a Win32-style path argument to the path the OS sees, and from errno to the Win32
// error a caller expects. Shared by the file and directory functions; no I/O besides the
// stat that tells a missing file from a missing folder.
#pragma once

#include <vireo/platform/Win32.h>

#include <string>

namespace vireo::platform {

// '\' becomes '/', the text becomes UTF-8. Returns ERROR_SUCCESS, or ERROR_INVALID_PARAMETER
// (null), ERROR_PATH_NOT_FOUND (empty), ERROR_FILENAME_EXCED_RANGE (PATH_MAX or longer).
DWORD NativePath(LPCWSTR path, std::string& out);

// errno after a call on nativePath -> Win32 error. ENOENT is told apart: a missing file in
// an existing folder is ERROR_FILE_NOT_FOUND, a missing folder ERROR_PATH_NOT_FOUND.
DWORD Win32ErrorFromErrno(int err, const std::string& nativePath = std::string());

// Sets the last error from errno (see above); returns the code.
DWORD SetLastErrorFromErrno(int err, const std::string& nativePath = std::string());

} // namespace vireo::platform
