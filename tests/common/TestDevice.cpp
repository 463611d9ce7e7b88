// The device set-up shared by the platform device and font tests; see the header.
#include "common/TestDevice.h"

#include <vireo/platform/D3D9Testing.h>

namespace vireo::test {

::testing::AssertionResult TestDevice::OpenDevice(int width, int height, bool depth)
{
    vireo::testing::ResetGraphicsControls();
    m_window = CreateHostWindow(width, height);
    if (!m_window)
        return ::testing::AssertionFailure() << "no host window";
    m_params = PresentParams(m_window, static_cast<UINT>(width), static_cast<UINT>(height), depth ? TRUE : FALSE,
                             depth ? D3DFMT_D24S8 : D3DFMT_UNKNOWN);
    const HRESULT hr = CreateSoftwareDevice(m_params, &m_d3d, &m_device);
    if (FAILED(hr))
        return ::testing::AssertionFailure() << "no software device: 0x" << std::hex << static_cast<unsigned>(hr);
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
