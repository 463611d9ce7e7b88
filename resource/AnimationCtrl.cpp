// CAnimationCtrl: a fixed pool of render-system animations of one package, each fired once
// at a stored position and drawn until its single pass ends. It does not advance them (the
// render system does, on the game clock) and takes no part in the window tree.
#include <vireo/render.h>
#include <vireo/resource.h>
#include <vireo/support.h>

CAnimationCtrl::CAnimationCtrl() = default;

CAnimationCtrl::~CAnimationCtrl()
{
    if (m_ppAnimation) {
        for (int i = 0; i < m_nAniCount; ++i)
            if (m_ppAnimation[i])
                m_pRenderSystem->ReleaseAnimation(m_ppAnimation[i]);
        delete[] m_ppAnimation;
    }
    delete[] m_pPos;
}

void CAnimationCtrl::Create(CRenderSystem* pRenderSystem, const wchar_t* path, int AniCount)
{
    if (m_pRenderSystem)
        ShowMessageBox(L"CAnimationCtrl::Create 函数被调用了两次  FileName=%s, AniCount=%d", path ? path : L"",
                       AniCount);
    if (AniCount < 0 || AniCount > kMaxAnimations) {
        const int kept = AniCount < 0 ? 0 : kMaxAnimations;
        WriteLog(3, L"CAnimationCtrl::Create  AniCount=%d out of range, %d used", AniCount, kept);
        AniCount = kept;
    }
    // The first pool's animations stay registered with the render system, which releases
    // them at shutdown; only the arrays that pointed at them go.
    delete[] m_ppAnimation;
    delete[] m_pPos;
    m_pRenderSystem = pRenderSystem;
    m_nAniCount = AniCount;
    m_ppAnimation = new CAnimation*[static_cast<std::size_t>(AniCount)]();
    m_pPos = new POINT[static_cast<std::size_t>(AniCount)]();
    if (!pRenderSystem || !path)
        return;
    for (int i = 0; i < AniCount; ++i)
        m_ppAnimation[i] = pRenderSystem->CreateAnimation(path, 0);
}

void CAnimationCtrl::Play(int x, int y)
{
    for (int i = 0; i < m_nAniCount; ++i) {
        CAnimation* animation = m_ppAnimation[i];
        if (!animation || animation->IsPlaying())
            continue;
        animation->Play(1);
        m_pPos[i] = POINT{x, y};
        return;
    }
}

void CAnimationCtrl::PlayCenter(int x, int y)
{
    const SIZE size = GetPictureSize();
    Play(x - size.cx / 2, y - size.cy / 2);
}

void CAnimationCtrl::Draw(int x, int y) const
{
    for (int i = 0; i < m_nAniCount; ++i) {
        const CAnimation* animation = m_ppAnimation[i];
        if (animation && animation->IsPlaying())
            animation->Draw(m_pPos[i].x + x, m_pPos[i].y + y);
    }
}

SIZE CAnimationCtrl::GetPictureSize()
{
    if (m_nAniCount < 1 || !m_ppAnimation[0])
        return SIZE{0, 0};
    return m_ppAnimation[0]->GetPictureSize();
}

int CAnimationCtrl::MessageProc(UINT, UINT, LONG)
{
    return 0;
}
