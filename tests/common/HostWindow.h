// Host windows and start-up for programs that drive the platform layer or the engine outside a
// game: the tests and the benchmarks share these. No test framework here, so the benchmarks
// link it too; gtest fixtures are in TestDevice.h and EngineHarness.h.
#pragma once

#include <vireo/engine.h>
#include <vireo/platform/D3D9.h>

#include <memory>

namespace vireo::test {

// Headless back end and no sound device, whatever the developer's desktop.
void UseHeadlessBackend();

// A plain window whose procedure is proc (DefWindowProcW when null). The size is the window's
// frame, or its client area when clientSize is set. One window class per procedure.
HWND CreateHostWindow(int width, int height, WNDPROC proc = nullptr, bool clientSize = false);

// Windowed, one back buffer, discard, no wait for the retrace; the depth buffer as asked.
D3DPRESENT_PARAMETERS PresentParams(HWND window, UINT width, UINT height, BOOL depth = TRUE,
                                    D3DFORMAT depthFormat = D3DFMT_D24S8);

// A software device (HAL, software vertex processing) on the window with these parameters,
// and the Direct3D object it came from; on failure both are null and the result says why.
HRESULT CreateSoftwareDevice(D3DPRESENT_PARAMETERS& params, IDirect3D9** d3d, IDirect3DDevice9** device);

// An 800 x 600 scene on hwnd at fps frames a second (0: uncapped), window size left alone.
SEngineParam SceneParam(HWND hwnd, WORD fps = 0);

// A started engine for a program outside ctest (a benchmark): headless back end, the virtual
// clock, a scratch working folder for the log (removed at exit), a host window with an
// 800 x 600 client and an uncapped 800 x 600 scene. Null when EngineInit failed.
std::unique_ptr<CGameEngine> StartHeadlessEngine();

} // namespace vireo::test
