// The demo's sprite packages at work: a hero from a package folder that walks along the
// bottom of the scene on the game clock and now and then jumps (a counted play of the jump,
// then the landing sequence, then walking again), and sparkles from a package file on the UI
// clock, which keep turning while the game is paused. It draws through its own sprite batch.
#pragma once

#include <vireo/engine.h>
#include <vireo/resource.h>

#include <string>

class CDemoSprites {
  public:
    // At EMSG_EG_INIT: data/hero (a folder) and data/effects.pak (a package file). FALSE
    // when either is missing; the engine has shown which.
    BOOL Load(CRenderSystem* render, const std::wstring& dataFolder);
    // Once per game update: walking, the jump's start and its ends.
    void Update(SIZE scene);
    // Inside EMSG_RS_RENDER.
    void Draw(CRenderSystem* render, SIZE scene);
    void Release(CRenderSystem* render);

    // Which hero sequence plays (1 walk, 2 jump, 3 land) and where the hero stands.
    int GetHeroSequence() const { return m_nHeroSequence; }
    int GetHeroX() const { return m_nHeroX; }

  private:
    enum : int { SEQ_WALK = 1, SEQ_JUMP = 2, SEQ_LAND = 3 };
    static constexpr int kSparkles = 3;

    void StartSequence(int sequence);

    CAnimation* m_pHero = nullptr;
    CAnimation* m_pSparkles[kSparkles] = {};
    int m_nHeroSequence = SEQ_WALK;
    int m_nHeroX = 0;
    int m_nTicksInSequence = 0;
    int m_nWalkTicks = 0;
};
