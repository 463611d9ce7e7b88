// CAnimation: one sequence of a package played on an engine clock, counted in update ticks
// (one tick per frame of that clock), and drawn with a stored parameter block. It neither
// owns its package nor its pictures; the render system lists it and advances it.
#include <vireo/render.h>
#include <vireo/resource.h>
#include <vireo/support.h>

CAnimation::CAnimation() = default;

CAnimation::~CAnimation() = default;

void CAnimation::Create(CRenderSystem* pRenderSystem, CResource* pResource, int nSequence)
{
    if (m_pResource)
        ShowMessageBox(L"CAnimation::Create 函数被调用了两次  FileName=%s, Sequence=%d",
                       pResource ? pResource->GetResFilePath().c_str() : L"", nSequence);
    m_pRenderSystem = pRenderSystem;
    m_pResource = pResource;
    ChangeSequence(nSequence);
}

void CAnimation::Rewind()
{
    // An empty sequence has no frame 0; the index sits one below it, outside the sequence.
    m_nCurrentFrame = m_AniData.nFrameCount > 0 ? 0 : m_AniData.nFrameCount - 1;
    m_nDelayCount = m_AniData.nFrameDelay;
}

void CAnimation::Play(int nTimes)
{
    Rewind();
    m_bPlaying = TRUE;
    m_bLoopForever = nTimes == 0;
    // In 64 bits: a large loop count times a large play count saturates instead of wrapping.
    const long long passes = nTimes == 0 ? m_AniData.nLoopCount : static_cast<long long>(m_AniData.nLoopCount) * nTimes;
    m_nLoopLeft = passes > 0x7FFFFFFF ? 0x7FFFFFFF : passes < -0x7FFFFFFF ? -0x7FFFFFFF : static_cast<int>(passes);
}

void CAnimation::Stop()
{
    m_bPlaying = FALSE;
}

void CAnimation::SetCurrentFrame(int nFrame)
{
    if (nFrame >= m_AniData.nFrameCount)
        nFrame = m_AniData.nFrameCount - 1;
    if (nFrame < 0)
        nFrame = 0;
    m_nCurrentFrame = nFrame;
}

void CAnimation::ChangeSequence(int nSequence)
{
    if (m_pResource)
        m_AniData = m_pResource->GetAniData(nSequence);
    if (nSequence != m_nSequence && m_bPlaying && m_bLoopForever)
        Play(0);
    m_nSequence = nSequence;
}

void CAnimation::Advance()
{
    if (!m_bPlaying)
        return;
    if (--m_nDelayCount >= 0)
        return;
    if (++m_nCurrentFrame < m_AniData.nFrameCount) {
        m_nDelayCount = m_AniData.nFrameDelay;
        return;
    }
    // End of a pass.
    Rewind();
    if (--m_nLoopLeft > 0)
        return;
    if (!m_bLoopForever) {
        // The last pass is over: rest on frame 0, drawing nothing until played again.
        m_bPlaying = FALSE;
        return;
    }
    m_nLoopLeft = m_AniData.nLoopCount;
}

CPicture* CAnimation::GetPicture(int index) const
{
    return m_pResource ? m_pResource->GetPicture(index) : nullptr;
}

CPicture* CAnimation::GetFramePicture() const
{
    if (m_nCurrentFrame < 0 || m_nCurrentFrame >= m_AniData.nFrameCount || !m_pResource) {
        WriteLog(3, L"CAnimation::GetFramePicture return NULL. m_nCurrentFrame=%d, m_AniData.nFrameCount=%d",
                 m_nCurrentFrame, m_AniData.nFrameCount);
        return nullptr;
    }
    // A one-frame sequence (start equal to end) counts as running backwards: it shows its start.
    const long long start = m_AniData.nStartFrame;
    const long long picture =
        m_AniData.nStartFrame < m_AniData.nEndFrame ? start + m_nCurrentFrame : start - m_nCurrentFrame;
    if (picture < -0x7FFFFFFFLL - 1 || picture > 0x7FFFFFFF)
        return nullptr;
    return m_pResource->GetPicture(static_cast<int>(picture));
}

void CAnimation::Draw(int x, int y, const RECT* pSrcRect) const
{
    DrawFrame(x, y, pSrcRect, false);
}

void CAnimation::DrawCenter(int x, int y) const
{
    DrawFrame(x, y, nullptr, true);
}

void CAnimation::DrawFrame(int x, int y, const RECT* pSrcRect, bool center) const
{
    if (!m_bPlaying)
        return;
    const CPicture* picture = GetFramePicture();
    if (!picture)
        return;
    // A copy: the rectangle and the centring hold for this draw only.
    SDrawParam param = m_DrawParam;
    if (pSrcRect) {
        param.dwFlags |= DPF_RECT;
        param.rcSrc = *pSrcRect;
    }
    if (center)
        param.bCenter = TRUE;
    picture->Draw(&param, x, y);
}

SIZE CAnimation::GetPictureSize()
{
    SIZE size{0, 0};
    if (const CPicture* picture = GetFramePicture()) {
        size.cx = picture->Width();
        size.cy = picture->Height();
    }
    return size;
}

SFrameData CAnimation::GetFrameData()
{
    const SIZE size = GetPictureSize();
    return SFrameData{0, static_cast<int>(size.cx), static_cast<int>(size.cy), m_nCurrentFrame};
}

void CAnimation::SetDrawParam(const SDrawParam* pParam)
{
    if (pParam)
        m_DrawParam = *pParam;
}

void CAnimation::Release()
{
    if (m_pRenderSystem)
        m_pRenderSystem->ReleaseAnimation(this);
}
