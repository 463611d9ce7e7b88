// The hero's little state machine and the sparkles' placement. Timing is in game updates
// (ticks), never milliseconds, so a recorded run and its replay move the hero the same way.
#include "DemoSprites.h"

#include <vireo/support.h>

#include <cmath>

namespace {

constexpr int kWalkSpeed = 2;           // scene pixels per game update
constexpr int kTicksBetweenJumps = 150; // of walking
constexpr int kJumpHeight = 60;         // scene pixels at the top of the jump
constexpr int kGroundMargin = 40;       // from the bottom of the scene to the hero's feet

} // namespace

BOOL CDemoSprites::Load(CRenderSystem* render, const std::wstring& dataFolder)
{
    m_pHero = render->CreateAnimation((dataFolder + L"/hero").c_str(), SEQ_WALK);
    const std::wstring effects = dataFolder + L"/effects.pak";
    for (int i = 0; i < kSparkles; ++i) {
        // The middle one runs its sequence backwards; all three share one package.
        m_pSparkles[i] = render->CreateAnimation(effects.c_str(), i == 1 ? 2 : 1);
        if (m_pSparkles[i]) {
            m_pSparkles[i]->SetUsage(1);
            m_pSparkles[i]->Play(0);
            m_pSparkles[i]->SetCurrentFrame(i * 2);
        }
    }
    if (!m_pHero || !m_pSparkles[0]) {
        WriteLog(2, L"Demo: sprite packages missing under '%s'", dataFolder.c_str());
        return FALSE;
    }
    StartSequence(SEQ_WALK);
    return TRUE;
}

void CDemoSprites::StartSequence(int sequence)
{
    m_nHeroSequence = sequence;
    m_nTicksInSequence = 0;
    m_pHero->ChangeSequence(sequence);
    // Walking loops forever; the jump and the landing are one pass each.
    m_pHero->Play(sequence == SEQ_WALK ? 0 : 1);
}

void CDemoSprites::Update(SIZE scene)
{
    if (!m_pHero)
        return;
    ++m_nTicksInSequence;
    const int width = m_pHero->GetPictureSize().cx;
    m_nHeroX += kWalkSpeed;
    if (m_nHeroX > scene.cx + width)
        m_nHeroX = -width; // off the right edge, back in from the left

    switch (m_nHeroSequence) {
    case SEQ_WALK:
        if (++m_nWalkTicks >= kTicksBetweenJumps) {
            m_nWalkTicks = 0;
            StartSequence(SEQ_JUMP);
        }
        break;
    case SEQ_JUMP:
        // A counted play stops by itself on its last tick; then the landing plays.
        if (!m_pHero->IsPlaying())
            StartSequence(SEQ_LAND);
        break;
    default:
        if (!m_pHero->IsPlaying())
            StartSequence(SEQ_WALK);
        break;
    }
}

void CDemoSprites::Draw(CRenderSystem* render, SIZE scene)
{
    render->BeginSprite();
    if (m_pHero) {
        // The hero rises and falls over the jump's pass: one arc of a sine.
        int lift = 0;
        if (m_nHeroSequence == SEQ_JUMP) {
            const SAniData jump = m_pHero->GetAniData();
            const int pass = jump.nFrameCount * (jump.nFrameDelay + 1);
            lift = static_cast<int>(kJumpHeight * std::sin(3.14159265 * m_nTicksInSequence / (pass > 0 ? pass : 1)));
        }
        const SIZE size = m_pHero->GetPictureSize();
        m_pHero->Draw(m_nHeroX - size.cx / 2, scene.cy - kGroundMargin - size.cy - (lift > 0 ? lift : 0));
    }
    // Sparkles in a row beside the gallery's colour strip: the UI clock turns them even while
    // the game is paused.
    for (int i = 0; i < kSparkles; ++i)
        if (m_pSparkles[i])
            m_pSparkles[i]->DrawCenter(static_cast<int>(scene.cx * (5 + 2 * i) / 12), 128);
    render->EndSprite();
}

void CDemoSprites::Release(CRenderSystem* render)
{
    if (m_pHero)
        render->ReleaseAnimation(m_pHero);
    m_pHero = nullptr;
    for (CAnimation*& sparkle : m_pSparkles) {
        if (sparkle)
            render->ReleaseAnimation(sparkle);
        sparkle = nullptr;
    }
}
