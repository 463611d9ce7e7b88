// The system directory and file version information. Linux libraries carry no Windows
// version resources, so lookups find none unless a test has planted a version for a file
// name (matched without case, in any folder).
#include "platform/core/FileVersion.h"

#include "platform/core/Utf8.h"

#include <dlfcn.h>

#include <cstring>
#include <cwctype>
#include <map>
#include <string>
#include <sys/stat.h>

namespace vireo::platform {

PlantedVersions& Planted()
{
    static PlantedVersions planted;
    return planted;
}

namespace {

constexpr DWORD kBlockMagic = 0x56524556; // our version block's tag

struct VersionBlock {
    DWORD magic;
    VS_FIXEDFILEINFO info;
};

std::wstring FileNameOf(LPCWSTR path)
{
    std::wstring name(path);
    const std::size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos)
        name = name.substr(slash + 1);
    for (wchar_t& c : name)
        c = static_cast<wchar_t>(std::towlower(c));
    return name;
}

const VS_FIXEDFILEINFO* Find(LPCWSTR path)
{
    if (!path || !*path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const auto& byName = Planted().byName;
    const auto it = byName.find(FileNameOf(path));
    if (it != byName.end())
        return &it->second;
    struct stat st {};
    SetLastError(stat(Utf8FromWide(path).c_str(), &st) == 0 ? ERROR_RESOURCE_TYPE_NOT_FOUND : ERROR_FILE_NOT_FOUND);
    return nullptr;
}

} // namespace
} // namespace vireo::platform

using namespace vireo::platform;

UINT GetSystemDirectoryW(LPWSTR buffer, UINT bufferChars)
{
    if (!Planted().systemDirectoryAvailable) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return 0;
    }
    Dl_info info{};
    std::wstring folder = L"/usr/lib";
    if (dladdr(reinterpret_cast<void*>(&GetSystemDirectoryW), &info) && info.dli_fname) {
        const std::string library = info.dli_fname;
        const std::size_t slash = library.rfind('/');
        if (slash != std::string::npos && slash > 0)
            folder = WideFromUtf8(library.substr(0, slash));
    }
    if (!buffer || bufferChars <= folder.size())
        return static_cast<UINT>(folder.size() + 1);
    std::wmemcpy(buffer, folder.c_str(), folder.size() + 1);
    return static_cast<UINT>(folder.size());
}

DWORD GetFileVersionInfoSizeW(LPCWSTR path, LPDWORD handle)
{
    if (handle)
        *handle = 0;
    return Find(path) ? static_cast<DWORD>(sizeof(VersionBlock)) : 0;
}

BOOL GetFileVersionInfoW(LPCWSTR path, DWORD, DWORD bytes, LPVOID data)
{
    const VS_FIXEDFILEINFO* info = Find(path);
    if (!info)
        return FALSE;
    if (!data || bytes < sizeof(VersionBlock)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    VersionBlock block{kBlockMagic, *info};
    std::memcpy(data, &block, sizeof(block));
    return TRUE;
}

BOOL VerQueryValueW(LPCVOID block, LPCWSTR subBlock, LPVOID* value, UINT* valueBytes)
{
    if (!block || !subBlock || !value || !valueBytes)
        return FALSE;
    DWORD magic = 0;
    std::memcpy(&magic, block, sizeof(magic));
    // Only the root ("\\"): the fixed information. No string tables, no translations.
    if (magic != kBlockMagic || std::wcscmp(subBlock, L"\\") != 0)
        return FALSE;
    *value = const_cast<void*>(static_cast<const void*>(&static_cast<const VersionBlock*>(block)->info));
    *valueBytes = sizeof(VS_FIXEDFILEINFO);
    return TRUE;
}
