// The process-wide table behind HANDLE values: files and directory searches. Handle values
// are never reused, so a stale handle fails with ERROR_INVALID_HANDLE instead of reaching
// another object. Windows, pictures and COM objects are not kernel objects and are not here.
#pragma once

#include <vireo/platform/Win32.h>

#include <functional>
#include <memory>

namespace vireo::platform {

class CKernelObject {
  public:
    virtual ~CKernelObject() = default;
};

HANDLE RegisterHandle(std::unique_ptr<CKernelObject> object);
CKernelObject* LookupHandle(HANDLE handle);
template <class T> T* LookupHandleAs(HANDLE handle)
{
    return dynamic_cast<T*>(LookupHandle(handle));
}
// Destroys the object; false if the handle is not open.
bool CloseKernelHandle(HANDLE handle);
void ForEachKernelObject(const std::function<void(CKernelObject&)>& visit);

} // namespace vireo::platform
