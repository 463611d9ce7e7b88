// Writes 16-bit PCM to a WAV file as it comes, so a headless run can be listened to. The
// sizes in the header are set when the file closes. No other sample formats.
#pragma once

#include "platform/backend/Backend.h"

#include <cstdint>
#include <cstdio>

namespace vireo::platform {

class CWavFileOut {
  public:
    ~CWavFileOut() { Close(); }
    bool Open(const char* path, const AudioFormat& format);
    void Write(const std::int16_t* samples, std::size_t count);
    void Close();

  private:
    std::FILE* m_file = nullptr;
    std::uint64_t m_dataBytes = 0;
};

} // namespace vireo::platform
