// The compressed .x forms (tzip, bzip): after the 16-byte header, the whole file's size as a
// 32-bit value (header included), then blocks of [uncompressed size: 16 bits][compressed size:
// 16 bits, counting from the "CK" signature]["CK"][raw deflate data]. Each block inflates to at
// most 32 KiB and may refer back into the output of the blocks before it.
#include "platform/gfx/mesh/XFile.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace vireo::gfx::xfile {

namespace {

constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kBlockMax = 32768;
constexpr std::size_t kHistory = 32768;

std::uint32_t Le(const std::uint8_t* p, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

bool Refuse(std::string* error, const char* why)
{
    if (error)
        *error = why;
    return false;
}

// One raw-deflate stream, reset per block with the last 32 KiB of output as its dictionary.
class CInflater {
  public:
    CInflater() { m_ok = inflateInit2(&m_z, -MAX_WBITS) == Z_OK; }
    ~CInflater()
    {
        if (m_ok)
            inflateEnd(&m_z);
    }
    CInflater(const CInflater&) = delete;
    CInflater& operator=(const CInflater&) = delete;

    // Inflates exactly `want` bytes from `in` onto the end of out; false when the block ends
    // early, runs past `want`, or is not valid deflate data.
    bool Block(const std::uint8_t* in, std::size_t inSize, std::size_t want, std::vector<std::uint8_t>* out)
    {
        if (!m_ok || inflateReset(&m_z) != Z_OK)
            return false;
        const std::size_t history = std::min(out->size(), kHistory);
        if (history > 0 &&
            inflateSetDictionary(&m_z, out->data() + out->size() - history, static_cast<uInt>(history)) != Z_OK)
            return false;
        const std::size_t start = out->size();
        out->resize(start + want + 1); // one spare byte shows a block that inflates too far
        m_z.next_in = const_cast<Bytef*>(in);
        m_z.avail_in = static_cast<uInt>(inSize);
        m_z.next_out = out->data() + start;
        m_z.avail_out = static_cast<uInt>(want + 1);
        const int rc = inflate(&m_z, Z_FINISH);
        const std::size_t produced = want + 1 - m_z.avail_out;
        out->resize(start + std::min(produced, want));
        return rc == Z_STREAM_END && produced == want;
    }

  private:
    z_stream m_z{};
    bool m_ok = false;
};

} // namespace

bool InflateXBody(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>* out, std::string* error)
{
    out->clear();
    if (size < kHeaderSize + 4)
        return Refuse(error, "compressed file without its size");
    const std::size_t total = Le(data + kHeaderSize, 4);
    if (total < kHeaderSize || total - kHeaderSize > kMaxInflatedSize)
        return Refuse(error, "compressed file size out of range");
    const std::size_t bodySize = total - kHeaderSize;
    CInflater inflater;
    std::size_t pos = kHeaderSize + 4;
    while (out->size() < bodySize) {
        if (size - pos < 4)
            return Refuse(error, "compressed block header past the end");
        const std::size_t plain = Le(data + pos, 2);
        const std::size_t packed = Le(data + pos + 2, 2);
        pos += 4;
        if (plain == 0 || plain > kBlockMax || plain > bodySize - out->size())
            return Refuse(error, "compressed block size out of range");
        if (packed < 2 || packed > size - pos || data[pos] != 'C' || data[pos + 1] != 'K')
            return Refuse(error, "compressed block past the end or without its signature");
        if (!inflater.Block(data + pos + 2, packed - 2, plain, out))
            return Refuse(error, "compressed block does not inflate to its size");
        pos += packed;
    }
    return true;
}

std::vector<std::uint8_t> DeflateXFile(const char header[16], const std::uint8_t* body, std::size_t size)
{
    std::vector<std::uint8_t> file(header, header + kHeaderSize);
    const std::uint32_t total = static_cast<std::uint32_t>(size + kHeaderSize);
    for (int i = 0; i < 4; ++i)
        file.push_back(static_cast<std::uint8_t>(total >> (8 * i)));
    z_stream z{};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::vector<std::uint8_t> packed;
    for (std::size_t at = 0; at < size; at += kBlockMax) {
        const std::size_t plain = std::min(kBlockMax, size - at);
        deflateReset(&z);
        const std::size_t history = std::min(at, kHistory);
        if (history > 0)
            deflateSetDictionary(&z, body + at - history, static_cast<uInt>(history));
        packed.assign(deflateBound(&z, static_cast<uLong>(plain)), 0);
        z.next_in = const_cast<Bytef*>(body + at);
        z.avail_in = static_cast<uInt>(plain);
        z.next_out = packed.data();
        z.avail_out = static_cast<uInt>(packed.size());
        deflate(&z, Z_FINISH);
        const std::size_t used = packed.size() - z.avail_out + 2;
        file.push_back(static_cast<std::uint8_t>(plain));
        file.push_back(static_cast<std::uint8_t>(plain >> 8));
        file.push_back(static_cast<std::uint8_t>(used));
        file.push_back(static_cast<std::uint8_t>(used >> 8));
        file.push_back('C');
        file.push_back('K');
        file.insert(file.end(), packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(used - 2));
    }
    deflateEnd(&z);
    return file;
}

} // namespace vireo::gfx::xfile
