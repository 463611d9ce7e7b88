// PNG through libpng: every colour type and depth to A8R8G8B8 (16-bit rounded, palettes and
// tRNS expanded, grey widened, interlacing undone). Errors longjmp back here and every libpng
// allocation is freed. Not read: gamma, colour profiles, text chunks.
#include "platform/gfx/image/ImageCodecs.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace vireo::image::detail {

namespace {

constexpr char kName[] = "PNG";

// Everything that must outlive a longjmp lives here, outside the frame that calls setjmp.
struct PngState {
    const Byte* data = nullptr;
    std::size_t size = 0;
    std::size_t pos = 0;
    Image* out = nullptr;
    std::vector<png_bytep> rows;
    char message[200] = "decoding failed";
};

void OnError(png_structp png, png_const_charp text)
{
    auto* state = static_cast<PngState*>(png_get_error_ptr(png));
    std::snprintf(state->message, sizeof state->message, "%s", text);
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void OnRead(png_structp png, png_bytep dst, std::size_t count)
{
    auto* state = static_cast<PngState*>(png_get_io_ptr(png));
    if (state->size - state->pos < count)
        png_error(png, "file truncated");
    std::memcpy(dst, state->data + state->pos, count);
    state->pos += count;
}

// No C++ object with a destructor may live in this frame: png_longjmp skips it.
bool Read(png_structp png, png_infop info, PngState& s)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, &s, OnRead);
    png_set_user_limits(png, kMaxSide, kMaxSide);
    png_set_chunk_malloc_max(png, 8u << 20);
    png_set_chunk_cache_max(png, 128);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    // Text, profiles and the like are never used: skip them unread rather than parse them.
    static const png_byte kUnused[] = "iCCP\0iTXt\0tEXt\0zTXt\0sPLT\0eXIf\0hIST\0pCAL\0sCAL\0tIME\0";
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kUnused, static_cast<int>(sizeof kUnused / 5));
    png_read_info(png, info);

    png_uint_32 width = 0, height = 0;
    int depth = 0, colour = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colour, &interlace, nullptr, nullptr);
    if (!CheckSize(kName, width, height, nullptr))
        png_error(png, "image too large"); // the IHDR pre-check names the size
    const bool trns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (depth == 16)
        png_set_scale_16(png); // rounds v / 257; dropping the low byte would darken by up to one step
    if (colour == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colour == PNG_COLOR_TYPE_GRAY && depth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (trns)
        png_set_tRNS_to_alpha(png);
    if (colour == PNG_COLOR_TYPE_GRAY || colour == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if (!(colour & PNG_COLOR_MASK_ALPHA) && !trns)
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png); // B, G, R, A in memory is A8R8G8B8 on a little-endian machine
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<std::size_t>(width) * 4)
        png_error(png, "unexpected row layout after conversion");

    Allocate(*s.out, static_cast<int>(width), static_cast<int>(height), 0);
    s.rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        s.rows[y] = reinterpret_cast<png_bytep>(s.out->pixels.data() + static_cast<std::size_t>(y) * width);
    png_read_image(png, s.rows.data());
    png_read_end(png, nullptr); // a file cut before IEND is truncated, even with every row read

    if ((colour & PNG_COLOR_MASK_ALPHA) || trns)
        s.out->sourceFormat = 21; // A8R8G8B8
    else if (colour == PNG_COLOR_TYPE_PALETTE)
        s.out->sourceFormat = 41; // P8
    else if (colour == PNG_COLOR_TYPE_GRAY)
        s.out->sourceFormat = 50; // L8
    else
        s.out->sourceFormat = 22; // X8R8G8B8
    return true;
}

std::uint32_t Be32(const Byte* p)
{
    return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | p[3];
}

// Each chunk up to IEND must fit in the file: libpng allocates some chunks at their declared
// length before reading them, so a 48-byte file could otherwise ask for gigabytes.
bool ChunksFit(const Byte* data, std::size_t size, std::string* error)
{
    for (std::size_t at = 8; at + 8 <= size;) {
        const std::uint32_t length = Be32(data + at);
        const std::string type(reinterpret_cast<const char*>(data + at + 4), 4);
        if (length > 0x7FFFFFFFu || length > size - at - 8)
            return Fail(error, kName,
                        "chunk '" + type + "' declares " + std::to_string(length) + " bytes, " +
                            std::to_string(size - at - 8) + " remain in the file");
        if (type == "IEND")
            break;
        at += std::size_t{12} + length;
    }
    return true;
}

} // namespace

bool DecodePng(const Byte* data, std::size_t size, Image& out, std::string* error)
{
    if (size < 8 || std::memcmp(data, "\x89PNG\r\n\x1a\n", 8) != 0)
        return Fail(error, kName, "no PNG signature");
    // The size from IHDR first, so the message names it (libpng's own limit says less).
    if (size >= 24 && std::memcmp(data + 12, "IHDR", 4) == 0 &&
        !CheckSize(kName, Be32(data + 16), Be32(data + 20), error))
        return false;
    if (!ChunksFit(data, size, error))
        return false;

    PngState state;
    state.data = data;
    state.size = size;
    state.out = &out;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, OnError, OnWarning);
    if (!png)
        return Fail(error, kName, "libpng could not start");
    png_infop info = png_create_info_struct(png);
    const bool ok = info && Read(png, info, state);
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    if (!ok) {
        out = Image{};
        return Fail(error, kName, state.message);
    }
    return true;
}

} // namespace vireo::image::detail
