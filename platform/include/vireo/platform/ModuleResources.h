// The executable's resources, as a Win32 resource script would build them in: FindResourceW,
// LoadResource, SizeofResource and LockResource over the table that the CMake function
// vireo_add_resources(target name type file ...) compiles into the game. Read-only data;
// no resource updating, no language variants, no other modules than the executable.
#pragma once

#include <vireo/platform/Win32.h>

#include <cstddef>

struct HRSRC__;
using HRSRC = HRSRC__*;

constexpr DWORD ERROR_RESOURCE_NAME_NOT_FOUND = 1814;

// Integer identifiers travel in the pointer, as MAKEINTRESOURCE does; "#101" names the same.
inline LPCWSTR MAKEINTRESOURCEW(WORD id)
{
    return reinterpret_cast<LPCWSTR>(static_cast<std::uintptr_t>(id));
}
inline bool IS_INTRESOURCE(LPCWSTR name)
{
    return (reinterpret_cast<std::uintptr_t>(name) >> 16) == 0;
}

// Names and types compare without regard to case, as Windows stores them upper-cased.
// module: null or GetModuleHandleW(nullptr), the executable.
HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
DWORD SizeofResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL loaded);

// One row of the table a game's build generates; the bytes stay in the executable.
struct VIREO_RESOURCE_ENTRY {
    const wchar_t* name;
    const wchar_t* type;
    const void* data;
    DWORD size;
};
// Called by the generated table's start-up code before main; adds rows to the executable's table.
void VireoRegisterResources(const VIREO_RESOURCE_ENTRY* entries, std::size_t count);
