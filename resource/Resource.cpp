// CResource's life and its queries: construction, the release of its pictures and tables,
// and the read-only lookups with their boxes and log lines. Loading and restoring are in
// ResourceLoad.cpp; the pictures themselves belong to the render system.
#include <vireo/render.h>
#include <vireo/resource.h>
#include <vireo/support.h>

CResource::CResource() = default;

CResource::~CResource()
{
    ReleaseContents();
}

void CResource::ReleaseContents()
{
    // After the render system's shutdown has destroyed every picture, these releases find
    // nothing registered and do nothing.
    if (m_pResElem && m_pRenderSystem) {
        for (int i = 0; i < m_nPictureCount; ++i)
            if (m_pResElem[i].pPicture)
                m_pRenderSystem->ReleasePicture(&m_pResElem[i].pPicture);
    }
    delete[] m_pHitBox;
    m_pHitBox = nullptr;
    m_nHitBoxCount = 0;
    delete[] m_pAniData;
    m_pAniData = nullptr;
    m_nSeqCount = 0;
    delete[] m_pResElem;
    m_pResElem = nullptr;
    m_RecordPlaces.clear();
    m_nResElemCount = 0;
    m_nPictureCount = 0;
}

int CResource::IsPictureExist(int index)
{
    if (index < 0 || index >= m_nPictureCount || !m_pResElem)
        return 0;
    return m_pResElem[index].pPicture ? 1 : 0;
}

CPicture* CResource::GetPicture(int index)
{
    if (index >= m_nPictureCount) {
        ShowMessageBox(L"CResource::GetPicture index overflow. Index=%d, PictureCount=%d, File=%s", index,
                       m_nPictureCount, m_strFile.c_str());
        return nullptr;
    }
    if (index < 0 || !m_pResElem || !m_pResElem[index].pPicture) {
        WriteLog(1, L"CResource::GetPicture return NULL.  index=%d, file=%s", index, m_strFile.c_str());
        return nullptr;
    }
    return m_pResElem[index].pPicture;
}

SAniData CResource::GetAniData(int index)
{
    if (!m_pAniData || m_nSeqCount < 1)
        return SAniData{};
    // Negative indices fall back like indices beyond the table.
    if (index < 0 || index >= m_nSeqCount)
        index = 0;
    return m_pAniData[index];
}

int CResource::GetResElem(SResElem* pOut, int index)
{
    if (!pOut || index < 0 || index >= m_nResElemCount || !m_pResElem)
        return 0;
    *pOut = m_pResElem[index];
    return 1;
}

RECT CResource::GetHitBox(int index)
{
    if (index >= 0 && index < m_nHitBoxCount && m_pHitBox)
        return m_pHitBox[index];
    RECT rect{0, 0, 0, 0};
    if (CPicture* picture = GetPicture(0)) {
        rect.right = picture->Width();
        rect.bottom = picture->Height();
    }
    return rect;
}
