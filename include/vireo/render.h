// The render system: one per engine, started and driven through the CEngineSystem protocol.
// This holds the frame cycle's messages; the Direct3D device, pictures, fonts and the object
// registries are added to this class by the rendering work and are not here yet.
#pragma once

#include <vireo/types.h>

class CRenderSystem : public CEngineSystem {
  public:
    CRenderSystem();
    ~CRenderSystem() override;

    BOOL Init() override;
    BOOL CanUpdate() override;
    void Update() override;
    int MessageProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // Back buffer size, taken from SEngineParam.sizeScene at Init.
    SIZE GetSceneSize() const { return m_sizeScene; }
    // Advances the animations of one clock: usage 1 the UI clock, usage 0 the game clock.
    void UpdateAnimations(int usage);

  private:
    BOOL m_bDeviceLost = FALSE;
    SIZE m_sizeScene{0, 0};
};
