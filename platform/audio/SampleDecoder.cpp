// Sample decoding, told apart by content: "RIFF....WAVE", "OggS", or an ID3 tag / MPEG audio
// frame sync. Decoders read from memory only; a change of rate or channels inside a stream
// ends the sample there.
#include "platform/audio/SampleDecoder.h"

#include <mpg123.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstring>

namespace vireo::platform::audio {

namespace {

std::uint32_t Little32(const std::uint8_t* p)
{
    return p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}
std::uint16_t Little16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

bool PlayableLayout(int channels, int bits, long rate)
{
    return (channels == 1 || channels == 2) && (bits == 8 || bits == 16) && rate >= 100 && rate <= 200000;
}

DecodeResult DecodeWav(const std::uint8_t* data, std::size_t size, DecodedSample& out)
{
    std::size_t end = std::min<std::size_t>(size, 8 + static_cast<std::uint64_t>(Little32(data + 4)));
    std::size_t at = 12;
    bool haveFormat = false;
    while (end - at >= 8 && at < end) {
        const std::uint8_t* chunk = data + at;
        const std::uint64_t length = std::min<std::uint64_t>(Little32(chunk + 4), end - at - 8);
        if (std::memcmp(chunk, "fmt ", 4) == 0 && length >= 16) {
            if (Little16(chunk + 8) != 1)
                return DecodeResult::Bad; // compressed WAV data is not played
            out.channels = Little16(chunk + 10);
            out.rate = static_cast<int>(std::min<std::uint32_t>(Little32(chunk + 12), 0x7FFFFFFF));
            out.bits = Little16(chunk + 22);
            if (!PlayableLayout(out.channels, out.bits, out.rate))
                return DecodeResult::Bad;
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0 && haveFormat) {
            const std::size_t frame = static_cast<std::size_t>(out.channels) * out.bits / 8;
            const std::size_t bytes = static_cast<std::size_t>(length) / frame * frame;
            if (bytes > kMaxSampleBytes)
                return DecodeResult::TooLarge;
            out.pcm.assign(chunk + 8, chunk + 8 + bytes);
            return bytes > 0 ? DecodeResult::Ok : DecodeResult::Bad;
        }
        at += 8 + length + (length & 1); // chunks are padded to even sizes
    }
    return DecodeResult::Bad;
}

// Appends decoded 16-bit bytes within the cap; false once the cap is passed.
bool Append(DecodedSample& out, const unsigned char* bytes, std::size_t count)
{
    if (out.pcm.size() + count > kMaxSampleBytes)
        return false;
    out.pcm.insert(out.pcm.end(), bytes, bytes + count);
    return true;
}

DecodeResult DecodeMp3(const std::uint8_t* data, std::size_t size, DecodedSample& out)
{
    int error = MPG123_OK;
    mpg123_handle* handle = mpg123_new(nullptr, &error);
    if (!handle)
        return DecodeResult::Bad;
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    mpg123_param(handle, MPG123_RESYNC_LIMIT, 2048, 0.0);
    mpg123_format_none(handle);
    const long* rates = nullptr;
    std::size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (std::size_t i = 0; i < rateCount; ++i)
        mpg123_format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    DecodeResult result = DecodeResult::Bad;
    if (mpg123_open_feed(handle) == MPG123_OK && mpg123_feed(handle, data, size) == MPG123_OK) {
        unsigned char block[16384];
        bool formatSeen = false;
        for (;;) {
            std::size_t done = 0;
            const int status = mpg123_read(handle, block, sizeof block, &done);
            if (status == MPG123_NEW_FORMAT) {
                long rate = 0;
                int channels = 0, encoding = 0;
                mpg123_getformat(handle, &rate, &channels, &encoding);
                if (formatSeen && (rate != out.rate || channels != out.channels))
                    break; // the stream changed its layout: keep what came before
                if (!PlayableLayout(channels, 16, rate))
                    break;
                out.rate = static_cast<int>(rate);
                out.channels = channels;
                out.bits = 16;
                formatSeen = true;
                continue;
            }
            if (done > 0 && !Append(out, block, done)) {
                result = DecodeResult::TooLarge;
                break;
            }
            if (status != MPG123_OK)
                break; // MPG123_NEED_MORE: all input used; DONE or an error: stop there
        }
        if (result != DecodeResult::TooLarge && formatSeen && !out.pcm.empty())
            result = DecodeResult::Ok;
    }
    mpg123_delete(handle);
    return result;
}

struct MemoryReader {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at;
};

std::size_t OggRead(void* into, std::size_t item, std::size_t count, void* source)
{
    auto* reader = static_cast<MemoryReader*>(source);
    if (item == 0)
        return 0;
    const std::size_t items = std::min(count, (reader->size - reader->at) / item);
    std::memcpy(into, reader->data + reader->at, items * item);
    reader->at += items * item;
    return items;
}

DecodeResult DecodeOgg(const std::uint8_t* data, std::size_t size, DecodedSample& out)
{
    MemoryReader reader{data, size, 0};
    // Opened as a stream with no seek: the sample is decoded front to back anyway, and the
    // library's seekable open (which bisects the file for chained links) leaks on some
    // malformed chains, while the stream open reads only the first link's headers.
    const ov_callbacks callbacks{&OggRead, nullptr, nullptr, nullptr};
    OggVorbis_File file;
    if (ov_open_callbacks(&reader, &file, nullptr, 0, callbacks) != 0)
        return DecodeResult::Bad;
    DecodeResult result = DecodeResult::Bad;
    const vorbis_info* info = ov_info(&file, -1);
    if (info && PlayableLayout(info->channels, 16, info->rate)) {
        out.channels = info->channels;
        out.rate = static_cast<int>(info->rate);
        out.bits = 16;
        char block[16384];
        int section = 0;
        for (;;) {
            const long got = ov_read(&file, block, sizeof block, 0, 2, 1, &section);
            if (got == OV_HOLE)
                continue; // a gap in the data; decoding goes on after it
            if (got <= 0)
                break;
            const vorbis_info* now = ov_info(&file, section);
            if (!now || now->channels != out.channels || now->rate != out.rate)
                break; // a chained stream changed its layout
            if (!Append(out, reinterpret_cast<unsigned char*>(block), static_cast<std::size_t>(got))) {
                result = DecodeResult::TooLarge;
                break;
            }
        }
        if (result != DecodeResult::TooLarge && !out.pcm.empty())
            result = DecodeResult::Ok;
    }
    ov_clear(&file);
    return result;
}

bool LooksLikeMp3(const std::uint8_t* data, std::size_t size)
{
    if (size >= 3 && std::memcmp(data, "ID3", 3) == 0)
        return true;
    return size >= 4 && data[0] == 0xFF && (data[1] & 0xE0) == 0xE0 && (data[1] & 0x18) != 0x08 &&
           (data[1] & 0x06) != 0 && (data[2] & 0xF0) != 0xF0;
}

} // namespace

DecodeResult DecodeSample(const std::uint8_t* data, std::size_t size, DecodedSample& out)
{
    out = DecodedSample{};
    DecodeResult result = DecodeResult::NotRecognised;
    if (!data)
        return result;
    if (size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WAVE", 4) == 0)
        result = DecodeWav(data, size, out);
    else if (size >= 4 && std::memcmp(data, "OggS", 4) == 0)
        result = DecodeOgg(data, size, out);
    else if (LooksLikeMp3(data, size))
        result = DecodeMp3(data, size, out);
    if (result != DecodeResult::Ok)
        out = DecodedSample{};
    return result;
}

DecodeResult RawSample(const std::uint8_t* data, std::size_t size, int channels, int bits, bool isSigned,
                       DecodedSample& out)
{
    out = DecodedSample{};
    const std::size_t frame = static_cast<std::size_t>(channels) * bits / 8;
    if (!data || !PlayableLayout(channels, bits, 44100) || size < frame)
        return DecodeResult::Bad;
    if (size > kMaxSampleBytes)
        return DecodeResult::TooLarge;
    out.channels = channels;
    out.bits = bits;
    out.pcm.assign(data, data + size / frame * frame);
    // The mixer plays 8-bit unsigned and 16-bit signed; flip the sign bit of the others.
    if (bits == 8 && isSigned)
        for (auto& byte : out.pcm)
            byte ^= 0x80;
    if (bits == 16 && !isSigned)
        for (std::size_t i = 1; i < out.pcm.size(); i += 2)
            out.pcm[i] ^= 0x80;
    return DecodeResult::Ok;
}

} // namespace vireo::platform::audio
