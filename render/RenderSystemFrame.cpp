// CRenderSystem's device and frame: CreateDevice with its depth-format retry and log lines,
// the default render states, Update, BeginScene/EndScene with the fill-mode rule and the
// loss report of Present, and both ClearCanvas forms. Nothing here resets a lost device.
#include <vireo/engine.h>
#include <vireo/support.h>

namespace {

constexpr D3DCOLOR kDebugCanvasColor = 0xFFCDECFF; // opaque light blue
constexpr D3DCOLOR kCanvasColor = 0xFF000000;      // opaque black

const wchar_t* DeviceTypeName(D3DDEVTYPE type)
{
    switch (type) {
    case D3DDEVTYPE_HAL:
        return L"D3DDEVTYPE_HAL";
    case D3DDEVTYPE_REF:
        return L"D3DDEVTYPE_REF";
    default:
        return L"unknow";
    }
}

} // namespace

HRESULT CRenderSystem::CreateDevice(IDirect3D9* pD3D, D3DDEVTYPE type)
{
    const SEngineParam* param = m_pGameEngine->GetEngineParam();

    // A type the adapter does not offer leaves the capabilities zero; creation then fails.
    D3DCAPS9 caps{};
    pD3D->GetDeviceCaps(D3DADAPTER_DEFAULT, type, &caps);
    WriteLog(1, L"MaxSimultaneousTextures=%d", static_cast<int>(caps.MaxSimultaneousTextures));
    const DWORD behavior = (caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) ? D3DCREATE_HARDWARE_VERTEXPROCESSING
                                                                           : D3DCREATE_SOFTWARE_VERTEXPROCESSING;

    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = static_cast<UINT>(param->sizeScene.cx);
    pp.BackBufferHeight = static_cast<UINT>(param->sizeScene.cy);
    pp.BackBufferFormat = D3DFMT_UNKNOWN; // the desktop's format
    pp.BackBufferCount = 1;
    pp.MultiSampleType = D3DMULTISAMPLE_NONE;
    pp.MultiSampleQuality = 0;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.hDeviceWindow = param->hWnd;
    pp.Windowed = TRUE;
    pp.EnableAutoDepthStencil = param->bEnableDepth ? TRUE : FALSE;
    pp.AutoDepthStencilFormat = D3DFMT_D24S8;
    pp.Flags = 0;
    pp.FullScreen_RefreshRateInHz = 0;
    // No wait for the vertical retrace: the engine's own frame cap paces the frames.
    pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;

    HRESULT hr = pD3D->CreateDevice(D3DADAPTER_DEFAULT, type, param->hWnd, behavior, &pp, &m_pD3DDevice);
    if (FAILED(hr)) {
        // Retried whether or not a depth buffer was asked for: some drivers refuse the
        // parameters for the format alone.
        pp.AutoDepthStencilFormat = D3DFMT_D16;
        hr = pD3D->CreateDevice(D3DADAPTER_DEFAULT, type, param->hWnd, behavior, &pp, &m_pD3DDevice);
    }
    *m_pD3DPP = pp;
    WriteLog(1, L"D3DDeviceType=%d(%s), hr=%d", static_cast<int>(type), DeviceTypeName(type), static_cast<int>(hr));
    return hr;
}

void CRenderSystem::SetDefaultRenderStates()
{
    m_pD3DDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_pD3DDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    m_pD3DDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    m_pD3DDevice->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
    m_pD3DDevice->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
}

void CRenderSystem::Update()
{
    if (m_pGameEngine->GetEngineStatus()->bMinimized)
        return;
    m_pGameEngine->SendMessage(EMSG_RS_RENDER_BEGIN, 0, 0);
    // A failed BeginScene does not stop the frame: the game still draws and the scene is
    // still ended and presented.
    BeginScene();
    m_pGameEngine->SendMessage(EMSG_RS_RENDER, 0, 0);
    EndScene();
}

HRESULT CRenderSystem::BeginScene()
{
    if (FAILED(m_pD3DDevice->BeginScene()))
        return E_FAIL;
    const DWORD wanted = m_pGameEngine->GetEngineStatus()->bWireframe ? D3DFILL_WIREFRAME : D3DFILL_SOLID;
    DWORD current = 0;
    m_pD3DDevice->GetRenderState(D3DRS_FILLMODE, &current);
    if (current != wanted) {
        WriteLog(1, L"SetRenderState  D3DRS_FILLMODE=%d", static_cast<int>(wanted));
        m_pD3DDevice->SetRenderState(D3DRS_FILLMODE, wanted);
    }
    return S_OK;
}

HRESULT CRenderSystem::EndScene()
{
    m_pD3DDevice->EndScene();
    const HRESULT hr = m_pD3DDevice->Present(nullptr, nullptr, nullptr, nullptr);
    if (hr == D3DERR_DEVICELOST) {
        m_bDeviceLost = TRUE;
        WriteLog(1, L"EMSG_RS_DEVICE_LOST");
        m_pGameEngine->SendMessage(EMSG_RS_DEVICE_LOST, 0, 0);
    }
    return hr;
}

HRESULT CRenderSystem::ClearCanvas()
{
    ClearCanvas(m_pGameEngine->GetEngineParam()->bDebugMode ? kDebugCanvasColor : kCanvasColor);
    return S_OK;
}

HRESULT CRenderSystem::ClearCanvas(DWORD color)
{
    if (!m_pD3DDevice)
        return E_FAIL;
    DWORD flags = D3DCLEAR_TARGET;
    if (m_pGameEngine->GetEngineParam()->bEnableDepth)
        flags |= D3DCLEAR_ZBUFFER;
    if (FAILED(m_pD3DDevice->Clear(0, nullptr, flags, color, 1.0f, 0)))
        return E_FAIL;
    return S_OK;
}
