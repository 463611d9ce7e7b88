// A fresh folder under the system temp directory for one test, removed with its contents
// afterwards. Paths are handed out as wide strings, the way the platform functions take them.
#pragma once

#include <vireo/platform/Win32.h>

#include <filesystem>
#include <string>

// The error a failed call left, so a refusal and its reason are one check; a call that
// succeeded answers ERROR_SUCCESS (and a handle it opened is closed).
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

class TempFolder {
  public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vireo-test-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~TempFolder()
    {
        std::error_code ignored;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // "folder/relative", with the given separator between folder and relative part.
    std::wstring operator/(const std::wstring& relative) const { return m_path.wstring() + L"/" + relative; }

  private:
    std::filesystem::path m_path;
};
