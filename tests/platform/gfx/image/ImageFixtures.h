// Builders for image files used by the image tests, the seed generator and the benchmark:
// PNG and JPEG written with libpng/libjpeg, BMP, TGA and DDS bytes laid out by hand. They
// produce valid files by default; tests then break one field at a time.
#pragma once

#include "platform/gfx/image/ImageDecoder.h"

#include <cstdio> // jpeglib.h needs FILE and size_t declared first
#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace vireo::image::fixtures {

using Bytes = std::vector<std::uint8_t>;

inline void Put16(Bytes& b, std::size_t at, std::uint32_t v)
{
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void Put32(Bytes& b, std::size_t at, std::uint32_t v)
{
    Put16(b, at, v);
    Put16(b, at + 2, v >> 16);
}
inline void Append(Bytes& b, std::initializer_list<std::uint8_t> bytes)
{
    b.insert(b.end(), bytes);
}
inline void Append(Bytes& b, const Bytes& more)
{
    // resize + memcpy: g++ 12 at -O2 warns (wrongly) on vector::insert of a range here.
    const std::size_t at = b.size();
    b.resize(at + more.size());
    if (!more.empty())
        std::memcpy(b.data() + at, more.data(), more.size());
}

// A pattern with distinct colours and alpha so misplaced rows or channels show.
inline std::vector<std::uint32_t> PatternPixels(int w, int h)
{
    std::vector<std::uint32_t> px;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            px.push_back((static_cast<std::uint32_t>(0x40 + (x * 37 + y * 11) % 192) << 24) |
                         (static_cast<std::uint32_t>((x * 29) & 0xFF) << 16) |
                         (static_cast<std::uint32_t>((y * 53) & 0xFF) << 8) |
                         static_cast<std::uint32_t>((x * y * 7 + 3) & 0xFF));
    return px;
}

// ---- BMP -----------------------------------------------------------------------------------
struct BmpLayout {
    std::uint32_t headerSize = 40;
    std::int32_t width = 0;
    std::int32_t height = 0; // negative: top-down
    std::uint16_t bpp = 24;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
    std::vector<std::uint32_t> masks;   // written after a 40-byte header, or inside a V3+ one
    std::vector<std::uint32_t> palette; // A8R8G8B8 values, written as B G R 0
    Bytes pixels;                       // exactly as stored
};

inline Bytes BuildBmp(const BmpLayout& s)
{
    const bool core = s.headerSize == 12;
    // Masks the info header has no room for follow it (all of them after a 40-byte header).
    const std::size_t room = (!core && s.headerSize > 40) ? std::min<std::size_t>((s.headerSize - 40) / 4, 4) : 0;
    const std::size_t masksAfter = s.masks.size() > room ? (s.masks.size() - room) * 4 : 0;
    const std::size_t entry = core ? 3 : 4;
    const std::size_t offBits = 14 + s.headerSize + masksAfter + s.palette.size() * entry;
    Bytes b(offBits);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<std::uint32_t>(offBits + s.pixels.size()));
    Put32(b, 10, static_cast<std::uint32_t>(offBits));
    Put32(b, 14, s.headerSize);
    if (core) {
        Put16(b, 18, static_cast<std::uint32_t>(s.width));
        Put16(b, 20, static_cast<std::uint32_t>(s.height));
        Put16(b, 22, 1);
        Put16(b, 24, s.bpp);
    } else {
        Put32(b, 18, static_cast<std::uint32_t>(s.width));
        Put32(b, 22, static_cast<std::uint32_t>(s.height));
        Put16(b, 26, 1);
        Put16(b, 28, s.bpp);
        Put32(b, 30, s.compression);
        Put32(b, 34, static_cast<std::uint32_t>(s.pixels.size()));
        Put32(b, 46, s.colorsUsed);
        const std::size_t maskAt = 14 + 40;
        for (std::size_t i = 0; i < s.masks.size(); ++i)
            Put32(b, maskAt + i * 4, s.masks[i]);
    }
    std::size_t at = 14 + s.headerSize + masksAfter;
    for (std::uint32_t c : s.palette) {
        b[at] = c & 0xFF;
        b[at + 1] = (c >> 8) & 0xFF;
        b[at + 2] = (c >> 16) & 0xFF;
        at += entry;
    }
    Append(b, s.pixels);
    return b;
}

// ---- TGA -----------------------------------------------------------------------------------
struct TgaLayout {
    std::uint8_t type = 2;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint8_t depth = 32;
    std::uint8_t descriptor = 0x28; // top-left origin, 8 alpha bits
    Bytes id;
    std::uint8_t mapType = 0;
    std::uint16_t mapFirst = 0;
    std::uint8_t mapEntryBits = 0;
    Bytes map; // entries as stored
    std::uint16_t mapLength = 0;
    Bytes pixels; // as stored (raw or RLE packets)
};

inline Bytes BuildTga(const TgaLayout& s)
{
    Bytes b(18);
    b[0] = static_cast<std::uint8_t>(s.id.size());
    b[1] = s.mapType;
    b[2] = s.type;
    Put16(b, 3, s.mapFirst);
    Put16(b, 5, s.mapLength);
    b[7] = s.mapEntryBits;
    Put16(b, 12, s.width);
    Put16(b, 14, s.height);
    b[16] = s.depth;
    b[17] = s.descriptor;
    Append(b, s.id);
    Append(b, s.map);
    Append(b, s.pixels);
    return b;
}

// ---- DDS -----------------------------------------------------------------------------------
constexpr std::uint32_t FourCc(const char (&t)[5])
{
    return static_cast<std::uint32_t>(t[0]) | (static_cast<std::uint32_t>(t[1]) << 8) |
           (static_cast<std::uint32_t>(t[2]) << 16) | (static_cast<std::uint32_t>(t[3]) << 24);
}

struct DdsLayout {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t pfFlags = 0x41; // RGB | ALPHAPIXELS
    std::uint32_t fourCc = 0;
    std::uint32_t bits = 32;
    std::uint32_t masks[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    std::uint32_t mipCount = 1;
    std::uint32_t caps2 = 0;
    Bytes data;
};

inline Bytes BuildDds(const DdsLayout& s)
{
    Bytes b(128);
    std::memcpy(b.data(), "DDS ", 4);
    Put32(b, 4, 124);
    Put32(b, 8, 0x1007 | (s.mipCount > 1 ? 0x20000 : 0));
    Put32(b, 12, s.height);
    Put32(b, 16, s.width);
    Put32(b, 28, s.mipCount);
    Put32(b, 76, 32);
    Put32(b, 80, s.pfFlags);
    Put32(b, 84, s.fourCc);
    Put32(b, 88, s.bits);
    for (int i = 0; i < 4; ++i)
        Put32(b, 92 + i * 4, s.masks[i]);
    Put32(b, 108, 0x1000);
    Put32(b, 112, s.caps2);
    Append(b, s.data);
    return b;
}

// ---- PNG -----------------------------------------------------------------------------------
struct PngLayout {
    int width = 0;
    int height = 0;
    int colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    int bitDepth = 8;
    bool interlace = false;
    std::vector<png_color> palette;
    Bytes trns;              // palette alpha values
    std::vector<Bytes> rows; // packed as libpng expects for the type and depth
};

inline Bytes BuildPng(const PngLayout& s)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    const auto write = [](png_structp p, png_bytep data, std::size_t size) {
        auto* bytes = static_cast<Bytes*>(png_get_io_ptr(p));
        bytes->insert(bytes->end(), data, data + size);
    };
    png_set_write_fn(png, &out, write, nullptr);
    png_set_IHDR(png, info, s.width, s.height, s.bitDepth, s.colourType,
                 s.interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!s.palette.empty())
        png_set_PLTE(png, info, s.palette.data(), static_cast<int>(s.palette.size()));
    if (!s.trns.empty())
        png_set_tRNS(png, info, s.trns.data(), static_cast<int>(s.trns.size()), nullptr);
    png_write_info(png, info);
    std::vector<png_bytep> rows;
    for (const auto& r : s.rows)
        rows.push_back(const_cast<png_bytep>(r.data()));
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// 8-bit RGBA rows of A8R8G8B8 pixels.
inline PngLayout PngFromArgb(const std::vector<std::uint32_t>& px, int w, int h)
{
    PngLayout s{.width = w, .height = h, .palette = {}, .trns = {}, .rows = {}};
    for (int y = 0; y < h; ++y) {
        Bytes row;
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = px[y * w + x];
            Append(row, {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                         static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 24)});
        }
        s.rows.push_back(row);
    }
    return s;
}

// PNG chunk surgery: the chunks of a file, and a file rebuilt from chunks with fresh CRCs.
struct PngChunk {
    std::string type;
    Bytes data;
};

inline std::vector<PngChunk> PngChunks(const Bytes& file)
{
    std::vector<PngChunk> chunks;
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::size_t length =
            (std::size_t{file[at]} << 24) | (file[at + 1] << 16) | (file[at + 2] << 8) | file[at + 3];
        chunks.push_back({std::string(file.begin() + at + 4, file.begin() + at + 8),
                          Bytes(file.begin() + at + 8, file.begin() + at + 8 + length)});
        at += 12 + length;
    }
    return chunks;
}

inline Bytes PngFromChunks(const std::vector<PngChunk>& chunks)
{
    Bytes file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const auto& c : chunks) {
        const auto n = static_cast<std::uint32_t>(c.data.size());
        Append(file, {static_cast<std::uint8_t>(n >> 24), static_cast<std::uint8_t>(n >> 16),
                      static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n)});
        const std::size_t typeAt = file.size();
        file.insert(file.end(), c.type.begin(), c.type.end());
        Append(file, c.data);
        const auto crc =
            static_cast<std::uint32_t>(crc32(0, file.data() + typeAt, static_cast<uInt>(4 + c.data.size())));
        Append(file, {static_cast<std::uint8_t>(crc >> 24), static_cast<std::uint8_t>(crc >> 16),
                      static_cast<std::uint8_t>(crc >> 8), static_cast<std::uint8_t>(crc)});
    }
    return file;
}

// ---- JPEG ----------------------------------------------------------------------------------
struct JpegLayout {
    int width = 0;
    int height = 0;
    int components = 3; // 1 grey, 3 RGB, 4 CMYK
    int quality = 95;
    bool progressive = false;
    std::vector<jpeg_scan_info> scans; // custom progressive script when not empty
    Bytes samples;                     // width * height * components, top row first
};

inline Bytes BuildJpeg(const JpegLayout& s)
{
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = static_cast<JDIMENSION>(s.width);
    c.image_height = static_cast<JDIMENSION>(s.height);
    c.input_components = s.components;
    c.in_color_space = s.components == 1 ? JCS_GRAYSCALE : s.components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, s.quality, TRUE);
    // Full-resolution chroma keeps small test images exact enough.
    for (int i = 0; s.components == 3 && i < 3; ++i)
        c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
    if (!s.scans.empty()) {
        c.scan_info = s.scans.data();
        c.num_scans = static_cast<int>(s.scans.size());
    } else if (s.progressive) {
        jpeg_simple_progression(&c);
    }
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row =
            const_cast<JSAMPROW>(s.samples.data() + static_cast<std::size_t>(c.next_scanline) * s.width * s.components);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&c);
    std::free(buffer);
    return out;
}

// A progressive script of 1 + 3 * bands scans for three components: one DC scan, then each
// component's AC coefficients in `bands` spectral bands (the last takes what is left).
inline std::vector<jpeg_scan_info> ManyScans(int bands)
{
    std::vector<jpeg_scan_info> scans;
    jpeg_scan_info dc{3, {0, 1, 2, 0}, 0, 0, 0, 0};
    scans.push_back(dc);
    for (int comp = 0; comp < 3; ++comp) {
        for (int band = 0; band < bands; ++band) {
            const int ss = band + 1;
            const int se = band == bands - 1 ? 63 : ss;
            scans.push_back(jpeg_scan_info{1, {comp, 0, 0, 0}, ss, se, 0, 0});
        }
    }
    return scans;
}

// ---- decoding --------------------------------------------------------------------------------
struct Decoded {
    bool ok = false;
    Image image;
    std::string error;
};

// As the signature says, or as `format` when one is given.
inline Decoded Decode(const Bytes& bytes, Format format = Format::Unknown)
{
    Decoded d;
    d.ok = format == Format::Unknown ? DecodeImage(bytes.data(), bytes.size(), d.image, &d.error)
                                     : DecodeImageAs(format, bytes.data(), bytes.size(), d.image, &d.error);
    return d;
}

// Empty when the bytes read as `format` are refused with a reason that starts "<name>: " and
// holds `expect`, leaving no image; otherwise what the reader did instead.
inline std::string Refusal(const Bytes& bytes, Format format, const std::string& name, const char* expect)
{
    const Decoded d = Decode(bytes, format);
    const bool refused = !d.ok && d.image.pixels.empty() && d.image.width == 0 && d.error.rfind(name + ": ", 0) == 0 &&
                         d.error.find(expect) != std::string::npos;
    return refused ? "" : d.ok ? "read" : d.error;
}

} // namespace vireo::image::fixtures
