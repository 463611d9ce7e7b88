// JPEG through libjpeg-turbo: baseline and progressive, YCbCr, grey, RGB, CMYK and YCCK, all
// to A8R8G8B8 with alpha 0xFF. Untrusted input rules: the pixel cap is checked after the
// header and before any buffer is sized, at most 100 scans, a memory ceiling, and every
// libjpeg warning ("Corrupt JPEG data", "Premature end of JPEG file") is treated as an error.
#include "platform/gfx/image/ImageCodecs.h"

#include <cstdio> // jpeglib.h needs FILE and size_t declared first
#include <jerror.h>
#include <jpeglib.h>

#include <csetjmp>
#include <cstring>
#include <vector>

namespace vireo::image::detail {

namespace {

constexpr char kName[] = "JPEG";
constexpr int kMaxScans = 100; // the message below names it
constexpr long kMaxMemory = 192L << 20;

// Everything that must outlive a longjmp lives here, outside the frame that calls setjmp.
struct JpegState {
    jpeg_error_mgr errors{};
    jpeg_progress_mgr progress{};
    std::jmp_buf jump{};
    char message[JMSG_LENGTH_MAX + 40] = "decoding failed";
    bool tooLarge = false;
    std::vector<JSAMPLE> cmykRow;
};

JpegState& StateOf(j_common_ptr cinfo)
{
    return *static_cast<JpegState*>(cinfo->client_data);
}

[[noreturn]] void Abort(j_common_ptr cinfo)
{
    std::longjmp(StateOf(cinfo).jump, 1);
}

[[noreturn]] void Refuse(j_common_ptr cinfo, const char* text)
{
    std::snprintf(StateOf(cinfo).message, sizeof StateOf(cinfo).message, "%s", text);
    Abort(cinfo);
}

void OnErrorExit(j_common_ptr cinfo)
{
    cinfo->err->format_message(cinfo, StateOf(cinfo).message);
    Abort(cinfo);
}

// Level -1 is a warning: corrupt data that libjpeg would paper over. Traces (>= 0) are dropped.
void OnMessage(j_common_ptr cinfo, int level)
{
    if (level < 0)
        OnErrorExit(cinfo);
}

void OnProgress(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    const auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxScans) {
        Refuse(cinfo, "more than 100 scans");
    }
}

void CmykToArgb(const JSAMPLE* src, std::uint32_t* dst, JDIMENSION width, bool inverted)
{
    for (JDIMENSION x = 0; x < width; ++x, src += 4) {
        // Adobe writers store inverted CMYK, so there each value is already "ink absent".
        std::uint32_t c = src[0], m = src[1], y = src[2], k = src[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        dst[x] = Argb(255, (c * k + 127) / 255, (m * k + 127) / 255, (y * k + 127) / 255);
    }
}

// No C++ object with a destructor may live in this frame: longjmp skips it.
bool Read(jpeg_decompress_struct& cinfo, JpegState& s, const Byte* data, std::size_t size, Image& out)
{
    if (setjmp(s.jump))
        return false;
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = kMaxMemory;
    cinfo.progress = &s.progress;
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    if (!CheckSize(kName, cinfo.image_width, cinfo.image_height, nullptr)) {
        s.tooLarge = true;
        return false;
    }
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_width != cinfo.image_width || cinfo.output_height != cinfo.image_height ||
        cinfo.output_components != 4)
        Refuse(reinterpret_cast<j_common_ptr>(&cinfo), "unexpected output layout");

    Allocate(out, static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height), 0);
    if (cmyk)
        s.cmykRow.resize(static_cast<std::size_t>(cinfo.output_width) * 4);
    while (cinfo.output_scanline < cinfo.output_height) {
        std::uint32_t* dst = out.pixels.data() + static_cast<std::size_t>(cinfo.output_scanline) * cinfo.output_width;
        JSAMPROW row = cmyk ? s.cmykRow.data() : reinterpret_cast<JSAMPROW>(dst);
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1)
            Refuse(reinterpret_cast<j_common_ptr>(&cinfo), "no scanline returned");
        if (cmyk)
            CmykToArgb(s.cmykRow.data(), dst, cinfo.output_width, cinfo.saw_Adobe_marker);
    }
    jpeg_finish_decompress(&cinfo);
    out.sourceFormat = cinfo.jpeg_color_space == JCS_GRAYSCALE ? 50 : 20; // L8 / R8G8B8
    return true;
}

} // namespace

bool DecodeJpeg(const Byte* data, std::size_t size, Image& out, std::string* error)
{
    if (size < 3 || data[0] != 0xFF || data[1] != 0xD8)
        return Fail(error, kName, "no JPEG start-of-image marker");
    JpegState state;
    jpeg_decompress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = jpeg_std_error(&state.errors);
    cinfo.client_data = &state;
    state.errors.error_exit = OnErrorExit;
    state.errors.emit_message = OnMessage;
    state.progress.progress_monitor = OnProgress;
    const bool ok = Read(cinfo, state, data, size, out);
    const std::int64_t width = cinfo.image_width, height = cinfo.image_height;
    jpeg_destroy_decompress(&cinfo);
    if (ok)
        return true;
    out = Image{};
    // Size faults in the words the other formats use; libjpeg's "empty image" also covers a
    // frame without components, whose size may be fine.
    if ((state.tooLarge || state.errors.msg_code == JERR_EMPTY_IMAGE) && !CheckSize(kName, width, height, error))
        return false;
    return Fail(error, kName, state.message);
}

} // namespace vireo::image::detail
