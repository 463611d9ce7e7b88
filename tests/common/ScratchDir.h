// A fresh temporary directory that becomes the working directory for one test and is removed
// afterwards, with the log handle reset on both sides so each test writes its own log.
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
    std::wstring WPath() const { return m_path.wstring(); }

  private:
    std::filesystem::path m_previous;
    std::filesystem::path m_path;
};

// Whole file as bytes ("" when missing).
std::string ReadFileBytes(const std::filesystem::path& path);

} // namespace vireo::test
