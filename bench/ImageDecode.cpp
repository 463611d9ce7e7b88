// Decode throughput per format on generated 512 x 512 images: output MB/s (decoded A8R8G8B8
// bytes) as bytes_per_second, and input MB/s as a counter. Figures only, no pass or fail.
#include "tests/platform/gfx/image/ImageFixtures.h"

#include "platform/gfx/image/ImageDecoder.h"

#include <benchmark/benchmark.h>

#include <functional>

using namespace vireo::image;
using namespace vireo::image::fixtures;

namespace {

constexpr int kSide = 512;

// Smooth gradients with some noise: compressible like real art, not trivially so.
std::uint32_t Art(int x, int y)
{
    const std::uint32_t noise = (static_cast<std::uint32_t>(x * 7919 + y * 104729) >> 3) & 15;
    return (static_cast<std::uint32_t>(128 + (x + y) / 8) << 24) | (static_cast<std::uint32_t>(x / 2 + noise) << 16) |
           (static_cast<std::uint32_t>(y / 2) << 8) | static_cast<std::uint32_t>((x ^ y) / 4);
}

std::vector<std::uint32_t> ArtPixels()
{
    std::vector<std::uint32_t> px;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            px.push_back(Art(x, y));
    return px;
}

Bytes MakePng()
{
    return BuildPng(PngFromArgb(ArtPixels(), kSide, kSide));
}

Bytes MakeJpeg(bool progressive)
{
    JpegLayout s;
    s.width = s.height = kSide;
    s.quality = 90;
    s.progressive = progressive;
    for (std::uint32_t px : ArtPixels())
        Append(s.samples, {static_cast<std::uint8_t>(px >> 16), static_cast<std::uint8_t>(px >> 8),
                           static_cast<std::uint8_t>(px)});
    return BuildJpeg(s);
}

Bytes MakeBmp32()
{
    const auto px = ArtPixels();
    return EncodeBmp(px.data(), kSide, kSide, kSide * 4);
}

Bytes MakeBmp24()
{
    BmpLayout s;
    s.width = s.height = kSide;
    s.bpp = 24;
    for (std::uint32_t px : ArtPixels())
        Append(s.pixels, {static_cast<std::uint8_t>(px), static_cast<std::uint8_t>(px >> 8),
                          static_cast<std::uint8_t>(px >> 16)});
    return BuildBmp(s);
}

Bytes MakeTga(bool rle)
{
    TgaLayout s;
    s.type = rle ? 10 : 2;
    s.width = s.height = kSide;
    const auto px = ArtPixels();
    for (std::size_t i = 0; i < px.size();) {
        // RLE: runs of up to 8 equal values (the art repeats in short stretches), else raw.
        std::size_t run = 1;
        while (rle && run < 8 && i + run < px.size() && px[i + run] == px[i])
            ++run;
        if (rle)
            s.pixels.push_back(static_cast<std::uint8_t>(run > 1 ? 0x80 | (run - 1) : 0));
        Append(s.pixels, {static_cast<std::uint8_t>(px[i]), static_cast<std::uint8_t>(px[i] >> 8),
                          static_cast<std::uint8_t>(px[i] >> 16), static_cast<std::uint8_t>(px[i] >> 24)});
        i += run;
    }
    return BuildTga(s);
}

Bytes MakeDds(const char (&code)[5])
{
    DdsLayout s;
    s.width = s.height = kSide;
    if (code[0] == 'A') { // "ARGB": uncompressed
        for (std::uint32_t px : ArtPixels())
            Append(s.data, {static_cast<std::uint8_t>(px), static_cast<std::uint8_t>(px >> 8),
                            static_cast<std::uint8_t>(px >> 16), static_cast<std::uint8_t>(px >> 24)});
        return BuildDds(s);
    }
    s.pfFlags = 0x4;
    s.fourCc = FourCc(code);
    const std::size_t blocks = (kSide / 4) * (kSide / 4);
    for (std::size_t i = 0; i < blocks * (code[3] == '1' ? 8 : 16); ++i)
        s.data.push_back(static_cast<std::uint8_t>(i * 2654435761u >> 13));
    return BuildDds(s);
}

void Run(benchmark::State& state, const std::function<Bytes()>& make)
{
    const Bytes file = make();
    Image image;
    std::string error;
    if (!DecodeImage(file.data(), file.size(), image, &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    for (auto _ : state) {
        DecodeImage(file.data(), file.size(), image, nullptr);
        benchmark::DoNotOptimize(image.pixels.data());
    }
    const auto iterations = static_cast<std::int64_t>(state.iterations());
    state.SetBytesProcessed(iterations * kSide * kSide * 4);
    state.counters["input_MB/s"] =
        benchmark::Counter(static_cast<double>(file.size()) * iterations / 1e6, benchmark::Counter::kIsRate);
    state.counters["file_KiB"] = static_cast<double>(file.size()) / 1024;
}

} // namespace

BENCHMARK_CAPTURE(Run, png_rgba, MakePng)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, jpeg_baseline, [] { return MakeJpeg(false); })->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, jpeg_progressive, [] { return MakeJpeg(true); })->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, bmp_24, MakeBmp24)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, bmp_32, MakeBmp32)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, tga_32_raw, [] { return MakeTga(false); })->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, tga_32_rle, [] { return MakeTga(true); })->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, dds_argb, [] { return MakeDds("ARGB"); })->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, dds_dxt1, [] { return MakeDds("DXT1"); })->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, dds_dxt5, [] { return MakeDds("DXT5"); })->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
