// Scratch folders and byte-exact file helpers for the resource and tool tests. Every test
// gets its own folder under the system temp directory, removed when the test ends.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class CTempDir {
public:
    CTempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vireo-res-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            m_Root = pattern;
    }
    ~CTempDir()
    {
        std::error_code ec;
        if (!m_Root.empty())
            std::filesystem::remove_all(m_Root, ec);
    }
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    std::filesystem::path Path(const std::string& relative = "") const { return relative.empty() ? m_Root : m_Root / relative; }
    std::wstring Wide(const std::string& relative = "") const { return Path(relative).wstring(); }

private:
    std::filesystem::path m_Root;
};

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// UTF-16LE bytes of a text of BMP characters, optionally with the FF FE mark.
inline std::string Utf16Bytes(const std::wstring& text, bool mark = true)
{
    std::string bytes = mark ? std::string("\xFF\xFE", 2) : std::string();
    for (wchar_t ch : text) {
        bytes.push_back(static_cast<char>(ch & 0xFF));
        bytes.push_back(static_cast<char>((ch >> 8) & 0xFF));
    }
    return bytes;
}
