// CEngineSystem: the start and per-frame protocol shared by the render, input and sound
// systems. The systems' own work is in their folders.
#include <vireo/engine.h>

int CEngineSystem::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return MessageProc(msg, wParam, lParam);
}

int CEngineSystem::MessageProc(UINT, WPARAM, LPARAM)
{
    return 0;
}

BOOL CEngineSystem::InitEngineSystem(CGameEngine* engine)
{
    m_pGameEngine = engine;
    const BOOL result = Init();
    if (result)
        m_bInitialized = TRUE;
    return result;
}

void CEngineSystem::UpdateEngineSystem()
{
    if (!m_pGameEngine || !m_pGameEngine->IsActive())
        return;
    // CanUpdate comes before the initialised flag so a lost device is still polled.
    if (CanUpdate() && m_bInitialized)
        Update();
}
