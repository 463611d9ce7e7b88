// CRenderSystem's frame cycle: Init takes the scene size, Update sends EMSG_RS_RENDER_BEGIN
// and EMSG_RS_RENDER, MessageProc advances the animation clocks. The Direct3D device (its
// creation, BeginScene/EndScene/Present, loss and reset) is not part of this build yet.
#include <vireo/engine.h>

CRenderSystem::CRenderSystem() = default;

CRenderSystem::~CRenderSystem() = default;

BOOL CRenderSystem::Init()
{
    // Device, sprite, line, default font and camera are created here once the device work
    // lands; the scene size is all the frame cycle needs until then.
    m_sizeScene = m_pGameEngine->GetEngineParam()->sizeScene;
    return TRUE;
}

BOOL CRenderSystem::CanUpdate()
{
    // With a device this polls TestCooperativeLevel while the device is lost and resets it.
    return !m_bDeviceLost;
}

void CRenderSystem::Update()
{
    if (m_pGameEngine->GetEngineStatus()->bMinimized)
        return;
    m_pGameEngine->SendMessage(EMSG_RS_RENDER_BEGIN, 0, 0);
    // BeginScene goes here (fill mode from bWireframe) once the device exists.
    m_pGameEngine->SendMessage(EMSG_RS_RENDER, 0, 0);
    // EndScene and Present go here; a lost device is reported by Present.
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

void CRenderSystem::UpdateAnimations(int)
{
    // Walks the animation list of the object registry and advances every animation of this
    // usage by one tick; the registry and its animations come with the resource work, and
    // until then the list is empty.
}
