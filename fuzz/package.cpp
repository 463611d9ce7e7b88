// Fuzz target for the package loader as a game meets it: the input is written as a package
// file and loaded through CRenderSystem::CreateResource on a started headless engine, every
// picture, sequence and hit box is queried, an animation plays it for a few ticks, the
// package is restored as after a device reset and released, in a private folder.
#include "resource/PackageFile.h"

#include <vireo/engine.h>
#include <vireo/platform/Testing.h>
#include <vireo/resource.h>
#include <vireo/support.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

LRESULT FuzzWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

const std::filesystem::path& ScratchFolder()
{
    static const std::filesystem::path folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "vireo-fuzz-package-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        return std::filesystem::path(pattern);
    }();
    return folder;
}

// Each input runs inside the private folder and returns to where it started, so the fuzzer's
// relative corpus and artifact paths keep working.
struct SInScratch {
    std::filesystem::path previous = std::filesystem::current_path();
    SInScratch() { std::filesystem::current_path(ScratchFolder()); }
    ~SInScratch() { std::filesystem::current_path(previous); }
};

// One engine for every input; boxes go to the headless answer.
CGameEngine* Engine()
{
    static CGameEngine* engine = [] {
        setenv("VIREO_BACKEND", "headless", 1);
        setenv("VIREO_AUDIO", "null", 1);
        vireo::testing::InstallVirtualClock();
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = FuzzWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VireoFuzzPackage";
        RegisterClassExW(&wc);
        HWND hwnd = CreateWindowExW(0, L"VireoFuzzPackage", L"fuzz", WS_OVERLAPPEDWINDOW, 0, 0, 320, 240, nullptr,
                                    nullptr, GetModuleHandleW(nullptr), nullptr);
        auto* game = new CGameEngine;
        SEngineParam param{};
        param.hWnd = hwnd;
        param.sizeScene = SIZE{320, 240};
        if (!game->EngineInit(&param))
            std::abort();
        return game;
    }();
    return engine;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const SInScratch scratch;
    CRenderSystem* render = Engine()->GetRenderSystem();
    WriteLog(0, L""); // one input's log at a time
    vireo::testing::ClearMessageBoxes();
    {
        std::ofstream out("fuzz.pak", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }

    CAnimation* animation = render->CreateAnimation(L"fuzz.pak", 1);
    if (!animation)
        return 0;
    CResource* res = animation->GetResource();
    const int pictures = res->GetPictureCount();
    if (pictures < 1 || pictures > CResource::kMaxPictures || res->GetSeqCount() > CResource::kMaxSequences + 1 ||
        res->GetHitBoxCount() < 0 || res->GetHitBoxCount() > CResource::kMaxHitBoxes)
        __builtin_trap();
    for (int i = 0; i < pictures; ++i) {
        SResElem elem{};
        if (res->GetResElem(&elem, i) != 1 || (elem.pPicture != nullptr) != (res->IsPictureExist(i) == 1))
            __builtin_trap();
    }
    for (int i = -1; i <= res->GetSeqCount(); ++i)
        if (res->GetAniData(i).nFrameCount < 1)
            __builtin_trap();
    for (int i = 0; i < res->GetHitBoxCount(); ++i)
        res->GetHitBox(i);

    animation->Play(2);
    for (int tick = 0; tick < 64; ++tick) {
        render->UpdateAnimations(0);
        animation->GetFrameData();
    }
    // What a device reset does to the package: records read again from the same bytes.
    res->RestorePictures();
    render->ReleaseAnimation(animation);
    // Every texture the package made is gone with it. An image that could not be decoded
    // leaves a pool entry without a texture until shutdown; that is the pool's rule.
    for (int i = 0; i < pictures; ++i) {
        const CRenderSystem::STexture* entry =
            render->FindTexture((L"fuzz.pak;" + CPackageFile::FormatNumber(i)).c_str());
        if (entry && entry->pTexture)
            __builtin_trap();
    }
    return 0;
}
