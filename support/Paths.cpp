// Path and file helpers: FileExists, GetFullPath, GetFolderOfPath, GetPathTail, GetFileExt,
// GetFileTitle, CreateFolderTree, CompareFileSizes. Both '\' and '/' separate components;
// drive-letter rules apply only to paths that have a drive letter. No file is read here.
#include <vireo/support.h>

#include <cwchar>
#include <cwctype>
#include <string>
#include <vector>

namespace {

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

std::size_t FindLastSeparator(const std::wstring& path)
{
    for (std::size_t i = path.size(); i > 0; --i)
        if (IsSeparator(path[i - 1]))
            return i - 1;
    return std::wstring::npos;
}

bool HasDrive(const std::wstring& path)
{
    return path.size() >= 2 && path[1] == L':' && iswalpha(path[0]);
}

// Length of the part of a full path that is never created or cut: "C:\" or "/".
std::size_t RootLength(const std::wstring& path)
{
    if (HasDrive(path))
        return path.size() >= 3 && IsSeparator(path[2]) ? 3 : 2;
    return !path.empty() && IsSeparator(path[0]) ? 1 : 0;
}

std::wstring FullPathName(const wchar_t* path)
{
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetFullPathNameW(path, MAX_PATH, buffer, nullptr);
    // 0 is a failure; a length of MAX_PATH or more is the size that would have been needed.
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    return std::wstring(buffer, length);
}

} // namespace

BOOL FileExists(const wchar_t* path)
{
    if (!path || *path == L'\0')
        return FALSE;
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW(path, &data);
    if (find == INVALID_HANDLE_VALUE)
        return FALSE;
    FindClose(find);
    return TRUE;
}

std::wstring GetFullPath(const wchar_t* path)
{
    if (!path || *path == L'\0')
        return std::wstring();
    std::wstring full = FullPathName(path);
    // A drive root comes back as its two-character drive: C:\ becomes C:.
    if (full.size() < 4 && HasDrive(full))
        full.resize(2);
    return full;
}

std::wstring GetFolderOfPath(const wchar_t* path)
{
    const std::wstring full = GetFullPath(path);
    const std::size_t slash = FindLastSeparator(full);
    if (slash == std::wstring::npos)
        return std::wstring();
    // A file straight under the Linux root keeps "/" as its folder rather than nothing.
    if (slash == 0)
        return full.substr(0, 1);
    return full.substr(0, slash);
}

std::wstring GetPathTail(const wchar_t* path, int count)
{
    if (!path)
        return std::wstring();
    const std::wstring text(path);
    if (count == -1)
        return text;
    bool anySeparator = false;
    for (wchar_t c : text)
        anySeparator = anySeparator || IsSeparator(c) || c == L':';
    if (!anySeparator)
        return text;
    // Counts below -1 take no component at all, like count 0 would: treat them as 0.
    const long marks = count < 0 ? 1 : static_cast<long>(count) + 1;
    std::size_t end = text.size();
    std::size_t mark = std::wstring::npos;
    for (long i = 0; i < marks; ++i) {
        std::size_t found = std::wstring::npos;
        for (std::size_t j = end; j > 0; --j)
            if (IsSeparator(text[j - 1])) {
                found = j - 1;
                break;
            }
        if (found == std::wstring::npos)
            return text;
        mark = found;
        end = found;
    }
    return text.substr(mark + 1);
}

std::wstring GetFileExt(const wchar_t* path)
{
    const std::wstring tail = GetPathTail(path, 0);
    const std::size_t dot = tail.rfind(L'.');
    return dot == std::wstring::npos ? std::wstring() : tail.substr(dot + 1);
}

std::wstring GetFileTitle(const wchar_t* path, int count)
{
    const std::wstring tail = GetPathTail(path, count);
    const std::size_t slash = FindLastSeparator(tail);
    const std::size_t dot = tail.rfind(L'.');
    // A last component without a dot keeps its whole text as its title.
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash))
        return tail;
    return tail.substr(0, dot);
}

BOOL CreateFolderTree(const wchar_t* path, LPSECURITY_ATTRIBUTES security)
{
    if (!path)
        return FALSE;
    if (FileExists(path))
        return TRUE;
    if (std::wcslen(path) < 3)
        return FALSE;

    std::wstring full = FullPathName(path);
    if (full.empty())
        return FALSE;
    const std::size_t root = RootLength(full);
    // A trailing separator names the same folder; without this the deepest level would be
    // created twice and the second attempt would report failure.
    while (full.size() > root && IsSeparator(full.back()))
        full.pop_back();

    std::vector<std::wstring> missing;
    std::wstring level = full;
    for (;;) {
        missing.push_back(level);
        const std::size_t slash = FindLastSeparator(level);
        if (slash == std::wstring::npos || slash < root)
            break;
        level.resize(slash);
        if (level.size() <= root || FileExists(level.c_str()))
            break;
    }

    BOOL created = FALSE;
    for (auto it = missing.rbegin(); it != missing.rend(); ++it)
        created = CreateDirectoryW(it->c_str(), security);
    return created;
}

int CompareFileSizes(const wchar_t* path1, const wchar_t* path2)
{
    const wchar_t* paths[2] = {path1, path2};
    ULONGLONG sizes[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        if (!paths[i])
            return -1;
        const HANDLE file = CreateFileW(paths[i], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return -1;
        DWORD high = 0;
        const DWORD low = GetFileSize(file, &high);
        CloseHandle(file);
        sizes[i] = (static_cast<ULONGLONG>(high) << 32) | low;
    }
    return sizes[0] == sizes[1] ? 1 : 0;
}
