// CRenderSystem::SetTextureStageState: a stage state written only when it differs from the
// device's. It never flushes the sprite batch; callers that change states between pictures
// flush first.
#include <vireo/engine.h>

void CRenderSystem::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value)
{
    if (!m_pD3DDevice)
        return;
    DWORD current = 0;
    if (FAILED(m_pD3DDevice->GetTextureStageState(stage, type, &current)) || current != value)
        m_pD3DDevice->SetTextureStageState(stage, type, value);
}
