// WAV output: a 44-byte RIFF header, then little-endian samples. Data past 4 GiB is not
// written (the header could not describe it).
#include "platform/backend/WavFileOut.h"

#include <cstring>

namespace vireo::platform {

namespace {
void Put32(unsigned char* at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>(value >> (8 * i));
}
void Put16(unsigned char* at, std::uint16_t value)
{
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
}
constexpr std::uint64_t kMaxData = 0xFFFFFFFFull - 36;
} // namespace

bool CWavFileOut::Open(const char* path, const AudioFormat& format)
{
    Close();
    m_file = std::fopen(path, "wb");
    if (!m_file)
        return false;
    unsigned char header[44] = {};
    std::memcpy(header, "RIFF", 4);
    std::memcpy(header + 8, "WAVEfmt ", 8);
    Put32(header + 16, 16);
    Put16(header + 20, 1);
    Put16(header + 22, static_cast<std::uint16_t>(format.channels));
    Put32(header + 24, static_cast<std::uint32_t>(format.sampleRate));
    Put32(header + 28, static_cast<std::uint32_t>(format.sampleRate * format.channels * 2));
    Put16(header + 32, static_cast<std::uint16_t>(format.channels * 2));
    Put16(header + 34, 16);
    std::memcpy(header + 36, "data", 4);
    std::fwrite(header, 1, sizeof header, m_file);
    m_dataBytes = 0;
    return true;
}

void CWavFileOut::Write(const std::int16_t* samples, std::size_t count)
{
    if (!m_file || m_dataBytes + count * 2 > kMaxData)
        return;
    unsigned char bytes[2 * 1024];
    while (count > 0) {
        const std::size_t n = count < 1024 ? count : 1024;
        for (std::size_t i = 0; i < n; ++i)
            Put16(bytes + 2 * i, static_cast<std::uint16_t>(samples[i]));
        std::fwrite(bytes, 2, n, m_file);
        m_dataBytes += 2 * n;
        samples += n;
        count -= n;
    }
}

void CWavFileOut::Close()
{
    if (!m_file)
        return;
    unsigned char size[4];
    Put32(size, static_cast<std::uint32_t>(m_dataBytes + 36));
    std::fseek(m_file, 4, SEEK_SET);
    std::fwrite(size, 1, 4, m_file);
    Put32(size, static_cast<std::uint32_t>(m_dataBytes));
    std::fseek(m_file, 40, SEEK_SET);
    std::fwrite(size, 1, 4, m_file);
    std::fclose(m_file);
    m_file = nullptr;
}

} // namespace vireo::platform
