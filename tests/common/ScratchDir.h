// A fresh temporary directory that becomes the working directory for one test (or one
// benchmark run) and is removed afterwards, with the log handle reset on both sides so each
// test writes its own log. Paths inside it come as narrow or wide strings.
#pragma once

#include "support/Log.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace vireo::test {

class ScratchDir {
  public:
    ScratchDir()
    {
        m_previous = std::filesystem::current_path();
        std::string pattern = (std::filesystem::temp_directory_path() / "vireo-test-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            m_path = pattern;
        std::filesystem::current_path(m_path);
        vireo::ResetLogFileForTesting();
    }
    ~ScratchDir()
    {
        vireo::ResetLogFileForTesting();
        std::error_code ec;
        std::filesystem::current_path(m_previous, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path Path(const std::string& relative) const { return m_path / relative; }
    std::wstring WPath() const { return m_path.wstring(); }
    std::wstring Wide(const std::string& relative) const { return Path(relative).wstring(); }
    // The folder and a relative part joined with '/', the relative part left as written (it
    // may hold backslashes or be odd on purpose).
    std::wstring operator/(const std::wstring& relative) const { return m_path.wstring() + L"/" + relative; }

  private:
    std::filesystem::path m_previous;
    std::filesystem::path m_path;
};

// Whole file as bytes ("" when missing).
std::string ReadFileBytes(const std::filesystem::path& path);
// Writes bytes as the whole file, making its folders first.
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

} // namespace vireo::test
