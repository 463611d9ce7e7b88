// The executable's resource table and the Win32 resource functions over it. Rows arrive from
// the game's generated table before main; a lookup walks them in the order they came.
// A deque keeps handed-out rows in place while later tables arrive.
// Deliberately nothing is copied: a loaded resource is the executable's own read-only bytes.
#include <vireo/platform/ModuleResources.h>

#include <cwctype>
#include <deque>
#include <mutex>
#include <string>

namespace {

std::mutex& TableLock()
{
    static std::mutex lock;
    return lock;
}

std::deque<VIREO_RESOURCE_ENTRY>& Table()
{
    static std::deque<VIREO_RESOURCE_ENTRY> table;
    return table;
}

// An integer identifier as its "#n" text, so both spellings meet in one comparison.
std::wstring KeyText(LPCWSTR name)
{
    if (IS_INTRESOURCE(name))
        return L"#" + std::to_wstring(reinterpret_cast<std::uintptr_t>(name));
    return name;
}

bool SameKey(const std::wstring& a, const wchar_t* b)
{
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::towupper(static_cast<wint_t>(a[i])) != std::towupper(static_cast<wint_t>(b[i])))
            return false;
    return i == a.size() && !b[i];
}

bool IsExecutable(HMODULE module)
{
    return !module || module == GetModuleHandleW(nullptr);
}

} // namespace

void VireoRegisterResources(const VIREO_RESOURCE_ENTRY* entries, std::size_t count)
{
    std::lock_guard<std::mutex> guard(TableLock());
    for (std::size_t i = 0; entries && i < count; ++i)
        if (entries[i].name && entries[i].type && (entries[i].data || entries[i].size == 0))
            Table().push_back(entries[i]);
}

HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type)
{
    if (!name || !type || !IsExecutable(module)) {
        SetLastError(module && !IsExecutable(module) ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::wstring wantName = KeyText(name);
    const std::wstring wantType = KeyText(type);
    std::lock_guard<std::mutex> guard(TableLock());
    bool typeSeen = false;
    for (const VIREO_RESOURCE_ENTRY& entry : Table()) {
        if (!SameKey(wantType, entry.type))
            continue;
        typeSeen = true;
        if (SameKey(wantName, entry.name))
            return reinterpret_cast<HRSRC>(const_cast<VIREO_RESOURCE_ENTRY*>(&entry));
    }
    SetLastError(typeSeen ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource)
{
    if (!resource || !IsExecutable(module)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // As on current Windows, the loaded handle is the data itself; an empty resource has none.
    const auto* entry = reinterpret_cast<const VIREO_RESOURCE_ENTRY*>(resource);
    return const_cast<void*>(entry->data);
}

DWORD SizeofResource(HMODULE module, HRSRC resource)
{
    if (!resource || !IsExecutable(module)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return reinterpret_cast<const VIREO_RESOURCE_ENTRY*>(resource)->size;
}

LPVOID LockResource(HGLOBAL loaded)
{
    return loaded;
}
