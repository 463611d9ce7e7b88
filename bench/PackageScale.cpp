// Package files of 1,000, 5,000 and 10,000 pictures (2 x 2 BMP each, a Desc.ini with a PicBox,
// a centre point and a sequence per ten pictures, as the art tool writes them): the load
// through CreateResource and a restore as after a device reset, timed apart from the
// release. Figures: ms per load and µs per picture, to show whether the cost stays linear.
#include "bench/BenchEngine.h"
#include "platform/gfx/image/ImageDecoder.h"
#include "resource/PackageFile.h"

#include <vireo/resource.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

namespace {

std::wstring PackagePath(int pictures)
{
    return L"scale" + std::to_wstring(pictures) + L".pak";
}

void WritePackage(int pictures)
{
    std::string desc = "[Picture]\r\nPictureCount=" + std::to_string(pictures) + "\r\n";
    for (int i = 0; i < pictures; ++i) {
        const std::wstring n = CPackageFile::FormatNumber(i);
        desc += "PicBox" + std::string(n.begin(), n.end()) + "=0,0,2,2\r\n";
    }
    desc += "[Animation]\r\nFrameDelay=1\r\nSeqCount=" + std::to_string(pictures / 10) + "\r\n";
    for (int s = 1; s <= pictures / 10; ++s) {
        const std::wstring n = CPackageFile::FormatNumber(s);
        desc += "Seq" + std::string(n.begin(), n.end()) + "=" + std::to_string((s - 1) * 10) + "," +
                std::to_string(s * 10 - 1) + ",1\r\n";
    }
    desc += "[HitBox]\r\nHitBoxCount=1\r\n000=0,0,2,2\r\n[CenterPoint]\r\n";
    for (int i = 0; i < pictures; ++i) {
        const std::wstring n = CPackageFile::FormatNumber(i);
        desc += std::string(n.begin(), n.end()) + "=1,1\r\n";
    }
    std::vector<SPackagePicture> records;
    for (int i = 0; i < pictures; ++i) {
        const std::uint32_t px[4] = {0xFF000000u | static_cast<std::uint32_t>(i), 0xFFFFFFFF, 0xFF00FF00, 0xFF0000FF};
        const auto bmp = vireo::image::EncodeBmp(px, 2, 2, 8);
        records.push_back({CPackageFile::FormatNumber(i) + L".bmp", std::vector<BYTE>(bmp.begin(), bmp.end())});
    }
    std::vector<BYTE> packed;
    CPackageFile::Build(desc, records, packed);
    CPackageFile::WriteFileBytes(PackagePath(pictures).c_str(), packed);
}

CGameEngine* Engine()
{
    static std::unique_ptr<CGameEngine> engine = [] {
        auto started = vireo::bench::StartHeadlessEngine("vireo-bench-package-scale");
        if (started)
            for (int pictures : {1000, 5000, 10000})
                WritePackage(pictures);
        return started;
    }();
    return engine.get();
}

double Ms(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

void BM_PackageLoad(benchmark::State& state)
{
    if (!Engine()) {
        state.SkipWithError("EngineInit failed");
        return;
    }
    const int pictures = static_cast<int>(state.range(0));
    const std::wstring path = PackagePath(pictures);
    CRenderSystem* render = Engine()->GetRenderSystem();
    double loadMs = 0;
    double restoreMs = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        CResource* res = render->CreateResource(path.c_str());
        loadMs += Ms(start);
        if (!res || res->IsPictureExist(pictures - 1) != 1) {
            state.SkipWithError("package did not load");
            break;
        }
        start = std::chrono::steady_clock::now();
        res->RestorePictures();
        restoreMs += Ms(start);
        state.PauseTiming();
        render->ReleaseResource(res);
        state.ResumeTiming();
    }
    const double iterations = state.iterations() > 0 ? static_cast<double>(state.iterations()) : 1.0;
    state.counters["load_ms"] = loadMs / iterations;
    state.counters["load_us_per_picture"] = loadMs * 1000 / iterations / pictures;
    state.counters["restore_ms"] = restoreMs / iterations;
}
BENCHMARK(BM_PackageLoad)->Arg(1000)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
