// CGameEngine's life: construction, EngineInit, EngineDestroy and the destructor, and the
// window centring that EngineInit offers. The frame loop is in GameEngineRun.cpp and the
// message routing in GameEngineMessages.cpp.
#include <vireo/engine.h>
#include <vireo/support.h>

#include "engine/LogoImage.h"
#include "support/DxVersion.h"

#include <vector>

CGameEngine::CGameEngine() = default;

CGameEngine::~CGameEngine()
{
    WriteLog(1, L"~CGameEngine");
    delete m_pMainGWnd;
    m_pMainGWnd = nullptr;
    delete m_pGuiContext;
    m_pGuiContext = nullptr;
    // The systems go with the members, in reverse order: sound, input, render.
}

BOOL CGameEngine::EngineInit(const SEngineParam* pParam)
{
    // A second start would orphan the first GUI tree; the log of the first start is kept.
    if (m_pMainGWnd) {
        WriteLog(3, L"EngineInit  called twice; ignored");
        return FALSE;
    }
    WriteLog(0, L"");
    WriteLog(1, L"---- Vireo Engine Init ----");
    if (!pParam) {
        WriteLog(3, L"EngineInit  no SEngineParam");
        return FALSE;
    }

    m_Param = *pParam;
    if (m_Param.sizeWindow.cx == 0 && m_Param.sizeWindow.cy == 0) {
        RECT client{0, 0, 0, 0};
        GetClientRect(m_Param.hWnd, &client);
        m_Param.sizeWindow.cx = client.right - client.left;
        m_Param.sizeWindow.cy = client.bottom - client.top;
    }
    m_ParamInit = m_Param;
    WriteLog(1, L"FPS=%d; SceneSize cx=%d, cy=%d; WindowSize cx=%d, cy=%d", pParam->wFPS, pParam->sizeScene.cx,
             pParam->sizeScene.cy, pParam->sizeWindow.cx, pParam->sizeWindow.cy);

    if (m_Param.bCenterWindow)
        CenterGameWindow();

    DWORD version = 0;
    wchar_t versionText[10];
    // A check that cannot answer lets the engine start; only a known old version stops it.
    if (SUCCEEDED(GetDXVersion(&version, versionText, 10)) && version < 0x90000) {
        ShowMessageBox(L"您当前 DirectX 版本为 %s\n请安装 DirectX 9.0 以上版本来运行本游戏", versionText);
        return FALSE;
    }

    if (!m_RenderSystem.InitEngineSystem(this))
        return FALSE;
    if (!m_InputSystem.InitEngineSystem(this))
        return FALSE;
    if (!m_SoundSystem.InitEngineSystem(this))
        return FALSE;

    ShowWindow(m_Param.hWnd, SW_SHOW);

    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    m_llSecondStart = counter.QuadPart;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    m_llFrequency = frequency.QuadPart > 0 ? frequency.QuadPart : 1;
    QueryPerformanceCounter(&counter);
    m_llPrevFrame = counter.QuadPart;
    m_llCurFrame = m_llPrevFrame;

    ShowStartupLogo();

    m_pGuiContext = new SGuiContext{};
    m_pGuiContext->pGameEngine = this;
    m_pMainGWnd = new CGWnd();
    m_pMainGWnd->AttachContext(m_pGuiContext);
    m_pMainGWnd->Create(nullptr, 0, GWT_WINDOW, 0, 0, 0, nullptr, m_Param.sizeScene.cx, m_Param.sizeScene.cy, nullptr);
    m_pMainGWnd->ShowWindow(SW_SHOW);

    const DWORD before = GetTickCount();
    SendMessage(EMSG_EG_INIT, 0, 0);
    const DWORD cost = GetTickCount() - before;
    WriteLog(1, L"EMSG_EG_INIT  time cost = %d", static_cast<int>(cost));
    // The logo stays up for at least 1.5 s from EMSG_EG_INIT on, however fast the game loads.
    if (cost < 1500)
        Sleep(1500 - cost);

    m_bActive = TRUE;
    return TRUE;
}

void CGameEngine::ShowStartupLogo()
{
    // The picture loader takes writable bytes; it only reads them, but a copy keeps the
    // library's constant data out of its reach.
    std::vector<unsigned char> png(vireo::kLogoPng, vireo::kLogoPng + vireo::kLogoPngSize);
    CPicture* logo = m_RenderSystem.CreatePicture(png.data(), static_cast<DWORD>(png.size()), 0);
    m_RenderSystem.BeginScene();
    m_RenderSystem.ClearCanvas();
    m_RenderSystem.BeginSprite();
    if (logo)
        logo->DrawCenter(m_Param.sizeScene.cx / 2, m_Param.sizeScene.cy / 2);
    m_RenderSystem.EndSprite();
    // Presents: this frame stays on screen while the game loads in EMSG_EG_INIT.
    m_RenderSystem.EndScene();
    m_RenderSystem.ReleasePicture(&logo);
}

void CGameEngine::CenterGameWindow()
{
    const int width = GetSystemMetrics(SM_CXMAXIMIZED) - 2 * GetSystemMetrics(SM_CXFRAME);
    const int height = GetSystemMetrics(SM_CYMAXIMIZED) - 2 * GetSystemMetrics(SM_CYFRAME);
    RECT window{0, 0, 0, 0};
    GetWindowRect(m_Param.hWnd, &window);
    const int x = (width - (window.right - window.left)) / 2;
    const int y = (height - (window.bottom - window.top)) / 2;
    SetWindowPos(m_Param.hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void CGameEngine::EngineDestroy()
{
    m_bActive = FALSE;
    ShowWindow(m_Param.hWnd, SW_HIDE);
    SendMessage(EMSG_EG_DESTROY, 0, 0);
    PostQuitMessage(0);
}
