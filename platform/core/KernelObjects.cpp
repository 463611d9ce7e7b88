// Handle table: monotonically numbered handles mapped to owned objects. Not a resource
// limit: the OS enforces descriptors; this only validates and dispatches.
#include "platform/core/KernelObjects.h"

#include <cstdint>
#include <map>
#include <mutex>

namespace vireo::platform {
namespace {

std::mutex g_mutex;
std::map<std::uintptr_t, std::unique_ptr<CKernelObject>> g_objects;
std::uintptr_t g_next = 0x100; // multiples of 4 like Win32 handles; never 0 or -1

} // namespace

HANDLE RegisterHandle(std::unique_ptr<CKernelObject> object)
{
    std::lock_guard lock(g_mutex);
    const std::uintptr_t value = g_next;
    g_next += 4;
    g_objects.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

CKernelObject* LookupHandle(HANDLE handle)
{
    std::lock_guard lock(g_mutex);
    const auto it = g_objects.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == g_objects.end() ? nullptr : it->second.get();
}

bool CloseKernelHandle(HANDLE handle)
{
    std::unique_ptr<CKernelObject> victim;
    {
        std::lock_guard lock(g_mutex);
        const auto it = g_objects.find(reinterpret_cast<std::uintptr_t>(handle));
        if (it == g_objects.end())
            return false;
        victim = std::move(it->second);
        g_objects.erase(it);
    }
    return true; // victim's destructor runs outside the lock
}

void ForEachKernelObject(const std::function<void(CKernelObject&)>& visit)
{
    std::lock_guard lock(g_mutex);
    for (auto& [value, object] : g_objects)
        visit(*object);
}

} // namespace vireo::platform
