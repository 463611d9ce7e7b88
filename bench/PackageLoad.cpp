// Loading one package of 200 pictures of 64 x 64 PNG, from a folder (Desc.ini and 200 files)
// and from the single package file made of the same bytes: CreateResource then
// ReleaseResource per iteration, so each one loads anew. Figures: wall-clock ms per package
// and per picture (counters; the release is included). No pass or fail.
#include "common/HostWindow.h"
#include "resource/PackageFile.h"
#include "tests/platform/gfx/image/ImageFixtures.h"

#include <vireo/resource.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>

namespace {

constexpr int kPictures = 200;
constexpr int kSide = 64;

std::string Desc()
{
    std::string text = "[Picture]\r\nPictureCount=" + std::to_string(kPictures) +
                       "\r\nColorKey_R=255\r\nColorKey_G=0\r\nColorKey_B=255\r\n[Animation]\r\nFrameDelay=1\r\n"
                       "SeqCount=1\r\nSeq001=0,199,1\r\n[HitBox]\r\nHitBoxCount=1\r\n000=0,0,64,64\r\n"
                       "[CenterPoint]\r\n000=32,32\r\n";
    return text;
}

// Every picture distinct, so no two compress alike.
std::vector<std::uint8_t> Picture(int index)
{
    std::vector<std::uint32_t> px;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            px.push_back(0xFF000000u | static_cast<std::uint32_t>(((x + index) & 0xFF) << 16) |
                         static_cast<std::uint32_t>(((y * 3) & 0xFF) << 8) | static_cast<std::uint32_t>(index & 0xFF));
    return vireo::image::fixtures::BuildPng(vireo::image::fixtures::PngFromArgb(px, kSide, kSide));
}

// Writes the folder "bench_pk" and the file "bench.pak" once.
void WritePackages()
{
    std::filesystem::create_directories("bench_pk");
    std::ofstream("bench_pk/Desc.ini", std::ios::binary | std::ios::trunc) << Desc();
    std::vector<SPackagePicture> records;
    for (int i = 0; i < kPictures; ++i) {
        const std::wstring name = CPackageFile::FormatNumber(i) + L".png";
        const std::vector<std::uint8_t> bytes = Picture(i);
        std::ofstream out("bench_pk/" + std::string(name.begin(), name.end()), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        records.push_back({name, std::vector<BYTE>(bytes.begin(), bytes.end())});
    }
    std::vector<BYTE> packed;
    CPackageFile::Build(Desc(), records, packed);
    CPackageFile::WriteFileBytes(L"bench.pak", packed);
}

CGameEngine* Engine()
{
    static std::unique_ptr<CGameEngine> engine = [] {
        auto started = vireo::test::StartHeadlessEngine();
        if (started)
            WritePackages();
        return started;
    }();
    return engine.get();
}

void LoadPackage(benchmark::State& state, const wchar_t* path)
{
    if (!Engine()) {
        state.SkipWithError("EngineInit failed");
        return;
    }
    CRenderSystem* render = Engine()->GetRenderSystem();
    double wallMs = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        CResource* res = render->CreateResource(path);
        if (!res || res->IsPictureExist(kPictures - 1) != 1) {
            state.SkipWithError("package did not load");
            break;
        }
        render->ReleaseResource(res);
        wallMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    // Wall-clock figures, release included: plain numbers, not rates.
    const double iterations = state.iterations() > 0 ? static_cast<double>(state.iterations()) : 1.0;
    state.counters["ms_per_package"] = wallMs / iterations;
    state.counters["ms_per_picture"] = wallMs / iterations / kPictures;
}

void BM_PackageFromFolder(benchmark::State& state)
{
    LoadPackage(state, L"bench_pk");
}
void BM_PackageFromFile(benchmark::State& state)
{
    LoadPackage(state, L"bench.pak");
}

BENCHMARK(BM_PackageFromFolder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PackageFromFile)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
