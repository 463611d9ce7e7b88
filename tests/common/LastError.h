// The error a failed platform call left, so a refusal and its reason are one check; a call
// that succeeded answers ERROR_SUCCESS (and a handle it opened is closed).
#pragma once

#include <vireo/platform/Win32.h>

inline DWORD ErrorOf(BOOL succeeded)
{
    return succeeded ? ERROR_SUCCESS : GetLastError();
}
inline DWORD ErrorOf(HANDLE handle)
{
    if (handle == INVALID_HANDLE_VALUE)
        return GetLastError();
    CloseHandle(handle);
    return ERROR_SUCCESS;
}
