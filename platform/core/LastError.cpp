// The calling thread's last Win32 error code, as GetLastError/SetLastError keep it.
// Only storage: each platform function decides which code it sets.
#include <vireo/platform/Win32.h>

namespace {
thread_local DWORD t_lastError = ERROR_SUCCESS;
}

DWORD GetLastError()
{
    return t_lastError;
}

void SetLastError(DWORD err)
{
    t_lastError = err;
}
