// Host windows, device and engine parameters shared by tests and benchmarks (see the header).
#include "common/HostWindow.h"
#include "common/ScratchDir.h"

#include <vireo/platform/Testing.h>

#include <cstdlib>
#include <map>
#include <string>

namespace vireo::test {

void UseHeadlessBackend()
{
    setenv("VIREO_BACKEND", "headless", 1);
    setenv("VIREO_AUDIO", "null", 1);
}

HWND CreateHostWindow(int width, int height, WNDPROC proc, bool clientSize)
{
    static std::map<WNDPROC, std::wstring> classes;
    if (!proc)
        proc = DefWindowProcW;
    auto found = classes.find(proc);
    if (found == classes.end()) {
        std::wstring name = L"VireoHost" + std::to_wstring(classes.size());
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = name.c_str();
        if (!RegisterClassExW(&wc))
            return nullptr;
        found = classes.emplace(proc, std::move(name)).first;
    }
    RECT frame{0, 0, width, height};
    if (clientSize)
        AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    return CreateWindowExW(0, found->second.c_str(), L"host", WS_OVERLAPPEDWINDOW, 0, 0, frame.right - frame.left,
                           frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

D3DPRESENT_PARAMETERS PresentParams(HWND window, UINT width, UINT height, BOOL depth, D3DFORMAT depthFormat)
{
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = width;
    pp.BackBufferHeight = height;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.hDeviceWindow = window;
    pp.Windowed = TRUE;
    pp.EnableAutoDepthStencil = depth;
    pp.AutoDepthStencilFormat = depthFormat;
    pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    return pp;
}

HRESULT CreateSoftwareDevice(D3DPRESENT_PARAMETERS& params, IDirect3D9** d3d, IDirect3DDevice9** device)
{
    *device = nullptr;
    *d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!*d3d)
        return E_FAIL;
    const HRESULT hr = (*d3d)->CreateDevice(0, D3DDEVTYPE_HAL, params.hDeviceWindow,
                                            D3DCREATE_SOFTWARE_VERTEXPROCESSING, &params, device);
    if (FAILED(hr)) {
        (*d3d)->Release();
        *d3d = nullptr;
        *device = nullptr;
    }
    return hr;
}

SEngineParam SceneParam(HWND hwnd, WORD fps)
{
    SEngineParam param{};
    param.hWnd = hwnd;
    param.sizeScene = SIZE{800, 600};
    param.sizeWindow = SIZE{0, 0};
    param.wFPS = fps;
    return param;
}

std::unique_ptr<CGameEngine> StartHeadlessEngine()
{
    UseHeadlessBackend();
    static ScratchDir scratch;
    vireo::testing::InstallVirtualClock();
    auto engine = std::make_unique<CGameEngine>();
    const SEngineParam param = SceneParam(CreateHostWindow(800, 600, nullptr, true));
    if (!engine->EngineInit(&param))
        return nullptr;
    return engine;
}

} // namespace vireo::test
