// Whole-file reading for the loaders; see the header.
#include "support/FileBytes.h"

namespace vireo {

bool ReadFileBytes(const wchar_t* path, std::uint64_t limit, std::vector<BYTE>& bytes, bool* tooLarge)
{
    bytes.clear();
    if (tooLarge)
        *tooLarge = false;
    HANDLE file =
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD high = 0;
    const DWORD low = ::GetFileSize(file, &high);
    const std::uint64_t size = (static_cast<std::uint64_t>(high) << 32) | low;
    if ((low == INVALID_FILE_SIZE && high == 0) || size > limit) {
        CloseHandle(file);
        if (tooLarge)
            *tooLarge = true;
        return false;
    }
    bytes.resize(static_cast<std::size_t>(size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        if (!ReadFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &read, nullptr) || read == 0)
            break;
        done += read;
    }
    CloseHandle(file);
    bytes.resize(done); // a file that shrank while read is taken as it was read
    return true;
}

} // namespace vireo
