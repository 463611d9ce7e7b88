// The device set-up shared by the platform device and font tests; see the header.
#include "common/TestDevice.h"

#include <vireo/platform/D3D9Testing.h>

namespace vireo::test {

namespace {
LRESULT HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(hwnd, message, wParam, lParam);
}
} // namespace

HWND CreateDeviceHostWindow(int width, int height)
{
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = HostProc;
        wc.lpszClassName = L"VireoDeviceTest";
        return RegisterClassExW(&wc) != 0;
    }();
    if (!registered)
        return nullptr;
    return CreateWindowExW(0, L"VireoDeviceTest", L"device test", WS_OVERLAPPEDWINDOW, 0, 0, width, height, nullptr,
                           nullptr, nullptr, nullptr);
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

::testing::AssertionResult TestDevice::OpenDevice(int width, int height, bool depth)
{
    vireo::testing::ResetGraphicsControls();
    m_window = CreateDeviceHostWindow(width, height);
    if (!m_window)
        return ::testing::AssertionFailure() << "no host window";
    m_d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!m_d3d)
        return ::testing::AssertionFailure() << "no Direct3D object";
    m_params = PresentParams(m_window, static_cast<UINT>(width), static_cast<UINT>(height), depth ? TRUE : FALSE,
                             depth ? D3DFMT_D24S8 : D3DFMT_UNKNOWN);
    const HRESULT hr =
        m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, m_window, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &m_params, &m_device);
    if (FAILED(hr))
        return ::testing::AssertionFailure() << "CreateDevice failed: 0x" << std::hex << static_cast<unsigned>(hr);
    return ::testing::AssertionSuccess();
}

void TestDevice::CloseDevice()
{
    if (m_device) {
        EXPECT_EQ(m_device->Release(), 0u) << "something still holds the device";
        m_device = nullptr;
    }
    if (m_d3d) {
        m_d3d->Release();
        m_d3d = nullptr;
    }
    if (m_window) {
        DestroyWindow(m_window);
        m_window = nullptr;
    }
    vireo::testing::ResetGraphicsControls();
}

} // namespace vireo::test
