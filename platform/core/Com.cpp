// COM initialisation as the DirectX version check calls it. There are no apartments here:
// the count only tells the first call (S_OK) from nested ones (S_FALSE), as COM does.
#include <vireo/platform/Com.h>

namespace {
thread_local int t_comInitCount = 0;
}

HRESULT CoInitialize(LPVOID)
{
    return t_comInitCount++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize()
{
    if (t_comInitCount > 0)
        --t_comInitCount;
}
