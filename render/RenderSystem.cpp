// CRenderSystem's life: construction, Init (Direct3D object, device, sprite, line), the
// release of everything at destruction, and the update messages that drive the animations
// (the animation walk itself is in RenderSystemResources.cpp).
// Device creation and the frame are in RenderSystemFrame.cpp, loss and reset in
// RenderSystemDeviceLoss.cpp, the sprite batch in RenderSystemSprite.cpp.
#include "render/RenderSystemFonts.h"

#include <vireo/engine.h>
#include <vireo/resource.h>
#include <vireo/scene3d.h>
#include <vireo/support.h>

CRenderSystem::CRenderSystem()
{
    m_pD3DPP = new D3DPRESENT_PARAMETERS{};
    m_pCamera = new CCamera;
}

CRenderSystem::~CRenderSystem()
{
    ReleaseAll();
}

BOOL CRenderSystem::Init()
{
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!d3d) {
        ShowMessageBox(L"Direct3DCreate9() - FAILED");
        return FALSE;
    }
    if (FAILED(CreateDevice(d3d, D3DDEVTYPE_HAL)))
        CreateDevice(d3d, D3DDEVTYPE_REF);
    if (!m_pD3DDevice) {
        d3d->Release();
        ShowMessageBox(L"Create Device Failed.");
        return FALSE;
    }
    // The device keeps what it needs of the Direct3D object; only the device is held.
    d3d->Release();

    m_sizeScene = m_pGameEngine->GetEngineParam()->sizeScene;

    if (FAILED(D3DXCreateSprite(m_pD3DDevice, &m_pD3DXSprite)))
        return FALSE;
    if (FAILED(D3DXCreateLine(m_pD3DDevice, &m_pD3DXLine)))
        return FALSE;

    // The default font: no face gives "Times New Roman", weight -1 gives 1000. The face the
    // font layer takes for it (and for every later font) is reported in this start's log.
    vireo::ConnectFontLog();
    m_pEngineFont = CreateEngineFont(nullptr, 17, 0, -1);

    m_pCamera->Create(m_pD3DDevice, static_cast<float>(m_sizeScene.cx) / static_cast<float>(m_sizeScene.cy));

    m_bInitialized = TRUE;
    SetDefaultRenderStates();
    return TRUE;
}

void CRenderSystem::ReleaseAll()
{
    // 1. Pictures: each drops its texture hold.
    for (auto& [picture, count] : m_Pictures)
        delete picture;
    m_Pictures.clear();

    // 2. Resource packages; their own ReleasePicture calls find nothing.
    for (auto& entry : m_Resources)
        delete entry.second.pResource;
    m_Resources.clear();

    // 3. The texture pool: the first entry's texture is released until no entry is left. Each
    // call drops one hold or removes the entry, so the loop ends.
    while (!m_TexturePool.empty()) {
        IDirect3DTexture9* texture = m_TexturePool.begin()->second.pTexture;
        ReleaseTexture(&texture);
    }

    // 4. Fonts, the default font among them.
    for (CEngineFont* font : m_Fonts)
        delete font;
    m_Fonts.clear();
    m_pEngineFont = nullptr;

    // 5. Geometry, 6. meshes (each releases its pictures, which are gone already).
    for (auto& [geometry, count] : m_Geometries)
        delete geometry;
    m_Geometries.clear();
    for (auto& entry : m_Meshes)
        delete entry.second.pMesh;
    m_Meshes.clear();
    // 7. Animations, without package releases: the packages are gone.
    for (CAnimation* animation : m_Animations)
        delete animation;
    m_Animations.clear();

    // 8. The presentation parameters, the camera, the sprite, the line and last the device.
    delete m_pD3DPP;
    m_pD3DPP = nullptr;
    delete m_pCamera;
    m_pCamera = nullptr;
    if (m_pD3DXSprite) {
        m_pD3DXSprite->Release();
        m_pD3DXSprite = nullptr;
    }
    if (m_pD3DXLine) {
        m_pD3DXLine->Release();
        m_pD3DXLine = nullptr;
    }
    if (m_pD3DDevice) {
        m_pD3DDevice->Release();
        m_pD3DDevice = nullptr;
    }
}

int CRenderSystem::MessageProc(UINT msg, WPARAM, LPARAM)
{
    switch (msg) {
    case EMSG_EG_UI_UPDATE:
        UpdateAnimations(1);
        return 1;
    case EMSG_EG_GAME_UPDATE:
        UpdateAnimations(0);
        return 1;
    default:
        return 0;
    }
}
