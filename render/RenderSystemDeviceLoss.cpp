// CRenderSystem through a lost device: CanUpdate polls TestCooperativeLevel while lost and
// resets when the device allows it; OnLostDevice and OnResetDevice release and restore the
// device resources in a fixed order. Every step may run again after a failed reset.
#include <vireo/engine.h>
#include <vireo/platform/DxErr.h>
#include <vireo/resource.h>
#include <vireo/scene3d.h>
#include <vireo/support.h>

#include <cstdint>

BOOL CRenderSystem::CanUpdate()
{
    if (!m_bDeviceLost)
        return TRUE;
    const HRESULT hr = m_pD3DDevice->TestCooperativeLevel();
    if (SUCCEEDED(hr))
        return TRUE;
    // A long loss answers the same every frame; only a change is worth a line.
    if (hr != m_hrLastCooperative) {
        WriteLog(2, L"TestCooperativeLevel  hr=0x%x(%s)", static_cast<unsigned>(hr), DXGetErrorString(hr));
        m_hrLastCooperative = hr;
    }
    if (hr == D3DERR_DEVICENOTRESET) {
        OnLostDevice();
        if (SUCCEEDED(ResetDevice())) {
            OnResetDevice();
            m_bDeviceLost = FALSE;
            WriteLog(1, L"Reset Device Success.");
            return TRUE;
        }
    }
    Sleep(1);
    return FALSE;
}

HRESULT CRenderSystem::ResetDevice()
{
    D3DPRESENT_PARAMETERS& pp = *m_pD3DPP;
    const HRESULT hr = m_pD3DDevice->Reset(&pp);
    WriteLog(1, L"pD3DDevice->Reset  hr=%d, err=%s", static_cast<int>(hr), DXGetErrorString(hr));
    // The window handle prints as its whole value; handles are pointer-sized here.
    WriteLog(1,
             L"d3dpp: BackBuffer[Width=%d,Height=%d,Format=%d,Count=%d]  MultiSample[Type=%d,Quality=%d]  "
             L"SwapEffect=%d  hDeviceWindow=%lld  Windowed=%d  EnableAutoDepthStencil=%d  AutoDepthStencilFormat=%d  "
             L"Flags=%d  FullScreen_RefreshRateInHz=%d  PresentationInterval=%d",
             static_cast<int>(pp.BackBufferWidth), static_cast<int>(pp.BackBufferHeight),
             static_cast<int>(pp.BackBufferFormat), static_cast<int>(pp.BackBufferCount),
             static_cast<int>(pp.MultiSampleType), static_cast<int>(pp.MultiSampleQuality),
             static_cast<int>(pp.SwapEffect), static_cast<long long>(reinterpret_cast<std::intptr_t>(pp.hDeviceWindow)),
             static_cast<int>(pp.Windowed), static_cast<int>(pp.EnableAutoDepthStencil),
             static_cast<int>(pp.AutoDepthStencilFormat), static_cast<int>(pp.Flags),
             static_cast<int>(pp.FullScreen_RefreshRateInHz), static_cast<int>(pp.PresentationInterval));
    if (SUCCEEDED(hr)) {
        // A reset returns every state to the device's defaults.
        SetDefaultRenderStates();
        return S_OK;
    }
    if (hr == D3DERR_DEVICELOST)
        return hr;
    Sleep(1000);
    return E_FAIL;
}

void CRenderSystem::OnLostDevice()
{
    // 1. Pictures: render-target textures are dropped from the pool, every picture is lost.
    for (auto& [picture, count] : m_Pictures)
        picture->OnLostDevice();
    // 2. Fonts.
    for (CEngineFont* font : m_Fonts)
        font->OnLostDevice();
    // 3. Geometry buffers.
    for (auto& [geometry, count] : m_Geometries)
        geometry->ReleaseDeviceObjects();
    m_pD3DXSprite->OnLostDevice();
    m_pD3DXLine->OnLostDevice();
}

void CRenderSystem::OnResetDevice()
{
    WriteLog(1, L"OnResetDevice  restore all resource");
    m_pD3DXSprite->OnResetDevice();
    // 1. Packages rebuild their file pictures from the package bytes.
    for (auto& entry : m_Resources)
        entry.second.pResource->RestorePictures();
    // 2. Pictures: render targets get new empty textures of their size.
    for (auto& [picture, count] : m_Pictures)
        picture->OnResetDevice();
    // 3. Fonts.
    for (CEngineFont* font : m_Fonts)
        font->OnResetDevice();
    m_pD3DXLine->OnResetDevice();
    // 7. Geometry rebuilds its buffers.
    for (auto& [geometry, count] : m_Geometries)
        geometry->Create(m_pD3DDevice);
    WriteLog(1, L"EMSG_RS_DEVICE_RESET");
    m_pGameEngine->SendMessage(EMSG_RS_DEVICE_RESET, 0, 0);
}
