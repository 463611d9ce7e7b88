// Loading a sprite package from a folder (Desc.ini and numbered image files) or from one
// package file, and rebuilding its package-file textures after a device reset. Counts in the
// description are bounded before anything is allocated; the texture pool reports images it
// cannot read. Nothing here draws.
#include "resource/PackageSource.h"
#include "support/CommaFields.h"

#include <vireo/render.h>
#include <vireo/resource.h>
#include <vireo/support.h>

#include <string>

namespace {

POINT ParsePoint(const std::wstring& text)
{
    std::wstring rest = text;
    POINT point{0, 0};
    point.x = vireo::TakeCommaField(rest);
    point.y = ParseIntW(rest.c_str());
    return point;
}

std::wstring JoinNumbers(std::initializer_list<long long> values)
{
    std::wstring text;
    for (long long value : values) {
        if (!text.empty())
            text += L',';
        text += std::to_wstring(value);
    }
    return text;
}

} // namespace

int CResource::ClampCount(const wchar_t* key, int value, int lowest, int highest)
{
    int used = value;
    if (used < lowest)
        used = lowest;
    if (used > highest)
        used = highest;
    if (used != value)
        WriteLog(3, L"Desc.ini %s=%d is out of range (%d to %d); %d is used. File=%s", key, value, lowest, highest,
                 used, m_strFile.c_str());
    return used;
}

BOOL CResource::LoadPackage(CRenderSystem* pRenderSystem, const wchar_t* path)
{
    if (m_pResElem || m_pAniData || m_pHitBox)
        ReleaseContents();
    m_strFile = path ? path : L"";
    m_pRenderSystem = pRenderSystem;
    if (!FileExists(m_strFile.c_str())) {
        ShowMessageBox(L"file not exist.  %s", GetFullPath(m_strFile.c_str()).c_str());
        return 0;
    }

    CIniFile ini;
    SPackageSource source;
    if (!OpenPackage(ini, source))
        return 0;

    const int pictureCount = source.nPictureCount;
    m_nPictureCount = pictureCount;
    m_pResElem = new SResElem[pictureCount]{};

    LoadSequences(ini, pictureCount);
    LoadPictures(ini, pictureCount, source);

    const int hitBoxCount = ClampCount(L"HitBoxCount", ini.GetInt(L"HitBox", L"HitBoxCount", 1, TRUE), 0, kMaxHitBoxes);
    m_pHitBox = new RECT[hitBoxCount > 0 ? hitBoxCount : 1]{};
    m_nHitBoxCount = hitBoxCount;
    LoadHitBoxes(ini, hitBoxCount);

    LoadCenterPoints(ini, pictureCount);
    m_nResElemCount = pictureCount;

    // A package file's description has no path, so only a folder's Desc.ini is written, and
    // only when a default had to be added.
    if (source.bFolder && !ini.Save(1, nullptr) && ini.IsModified())
        WriteLog(2, L"Desc.ini could not be written back with its defaults. File=%s\\Desc.ini", m_strFile.c_str());
    return 1;
}

BOOL CResource::OpenPackage(CIniFile& ini, SPackageSource& source)
{
    const DWORD attributes = GetFileAttributesW(m_strFile.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        source.bFolder = TRUE;
        // A missing Desc.ini only means every default.
        ini.Load((m_strFile + L"\\Desc.ini").c_str(), nullptr);
    } else {
        source.bFolder = FALSE;
        if (!source.file.Open(m_strFile.c_str()))
            return 0;
        ini.LoadFromMemory(source.file.GetDescText(), source.file.GetDescLength());
    }
    source.nRecord = 0;
    source.nPictureCount =
        ClampCount(L"PictureCount", ini.GetInt(L"Picture", L"PictureCount", 1, TRUE), 1, kMaxPictures);
    return 1;
}

void CResource::LoadSequences(CIniFile& ini, int pictureCount)
{
    const int frameDelay = ini.GetInt(L"Animation", L"FrameDelay", 0, TRUE);
    const int seqCount = ClampCount(L"SeqCount", ini.GetInt(L"Animation", L"SeqCount", 0, TRUE), 0, kMaxSequences);
    m_nSeqCount = seqCount + 1;
    m_pAniData = new SAniData[m_nSeqCount]{};

    // Sequence 0 runs over every picture and has no loop count of its own, so any counted
    // play of it lasts one pass.
    m_pAniData[0].nStartFrame = 0;
    m_pAniData[0].nEndFrame = pictureCount - 1;
    m_pAniData[0].nLoopCount = 0;

    const std::wstring fallback = JoinNumbers({0, pictureCount - 1, 1});
    for (int i = 1; i <= seqCount; ++i) {
        const std::wstring key = L"Seq" + CPackageFile::FormatNumber(i);
        std::wstring rest = ini.GetString(L"Animation", key.c_str(), fallback.c_str(), TRUE);
        SAniData& seq = m_pAniData[i];
        seq.nStartFrame = vireo::TakeCommaField(rest);
        std::wstring loopText;
        const std::size_t comma = rest.find(L',');
        if (comma != std::wstring::npos) {
            seq.nEndFrame = ParseIntW(rest.substr(0, comma).c_str());
            loopText = rest.substr(comma + 1);
        } else {
            seq.nEndFrame = ParseIntW(rest.c_str());
        }
        if (!loopText.empty()) {
            seq.nLoopCount = ParseIntW(loopText.c_str());
        } else {
            seq.nLoopCount = 1;
            ini.SetString(L"Animation", key.c_str(), JoinNumbers({seq.nStartFrame, seq.nEndFrame, 1}).c_str());
        }
    }

    for (int i = 0; i < m_nSeqCount; ++i) {
        SAniData& seq = m_pAniData[i];
        seq.nSequence = i;
        seq.nFrameDelay = frameDelay;
        // In 64 bits: frame numbers from the text may lie at both ends of the int range.
        const long long span = static_cast<long long>(seq.nEndFrame) - seq.nStartFrame;
        const long long count = (span < 0 ? -span : span) + 1;
        seq.nFrameCount = count > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(count);
    }
}

std::wstring CResource::FindPictureFile(int index)
{
    const std::wstring stem = m_strFile + L"\\" + CPackageFile::FormatNumber(index) + L".";
    for (const wchar_t* extension : CPackageFile::kPictureExtensions) {
        const std::wstring path = stem + extension;
        if (FileExists(path.c_str()))
            return path;
    }
    return std::wstring();
}

void CResource::LoadPictures(CIniFile& ini, int count, SPackageSource& source)
{
    // Only the low eight bits of each component count.
    const int red = ini.GetInt(L"Picture", L"ColorKey_R", 255, TRUE);
    const int green = ini.GetInt(L"Picture", L"ColorKey_G", 0, TRUE);
    const int blue = ini.GetInt(L"Picture", L"ColorKey_B", 255, TRUE);
    const D3DCOLOR colorKey = 0xFF000000u | ((static_cast<DWORD>(red) & 0xFF) << 16) |
                              ((static_cast<DWORD>(green) & 0xFF) << 8) | (static_cast<DWORD>(blue) & 0xFF);

    int loaded = 0;
    const std::vector<SPackageRecord>& records = source.file.GetRecords();
    for (int i = 0; i < count; ++i) {
        SResElem& elem = m_pResElem[i];
        if (source.bFolder) {
            const std::wstring path = FindPictureFile(i);
            if (path.empty())
                continue;
            if (!elem.pPicture) {
                elem.pPicture = m_pRenderSystem->NewPicture();
                IDirect3DTexture9* texture = m_pRenderSystem->CreateTexture(path.c_str(), D3DX_DEFAULT_NONPOW2,
                                                                            D3DX_DEFAULT_NONPOW2, 0, colorKey);
                elem.pPicture->Create(m_pRenderSystem, texture, path.c_str(), 0, colorKey);
            }
            ++loaded;
            continue;
        }

        if (source.nRecord >= records.size())
            break;
        const SPackageRecord& record = records[source.nRecord];
        // A record that names another number leaves this picture empty and waits for its own.
        if (!CPackageFile::NameHasNumber(record.strName, i))
            continue;
        ++source.nRecord;
        if (record.nDataSize == 0)
            continue; // a record without bytes carries no picture
        const BYTE* data = source.file.GetRecordData(record);
        if (!elem.pPicture) {
            const std::wstring key = m_strFile + L";" + CPackageFile::FormatNumber(i);
            elem.pPicture = m_pRenderSystem->NewPicture();
            IDirect3DTexture9* texture = m_pRenderSystem->CreateTexture(
                data, record.nDataSize, key.c_str(), D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2, 0, colorKey);
            elem.pPicture->Create(m_pRenderSystem, texture, key.c_str(), 0, colorKey);
        } else if (!elem.pPicture->GetTexture() && !m_pRenderSystem->FindTexture(elem.pPicture->GetKey().c_str())) {
            // A restore rebuilds only a texture the reset took away. Asking the pool again for
            // a managed texture that survived would add a hold that no release ever drops.
            elem.pPicture->LoadTexture(data, record.nDataSize);
        }
        ++loaded;
    }

    for (int i = 0; i < count; ++i) {
        SResElem& elem = m_pResElem[i];
        const std::wstring key = L"PicBox" + CPackageFile::FormatNumber(i);
        const std::wstring fallback =
            elem.pPicture ? JoinNumbers({0, 0, elem.pPicture->Width(), elem.pPicture->Height()}) : L"0,0,0,0";
        elem.rcPicBox = ParseRect(ini.GetString(L"Picture", key.c_str(), fallback.c_str(), FALSE).c_str());
    }

    if (loaded == 0)
        ShowMessageBox(L"资源包中没有 000.png 或 000.bmp  FileName=%s", m_strFile.c_str());
}

void CResource::LoadHitBoxes(CIniFile& ini, int hitBoxCount)
{
    for (int i = 0; i < hitBoxCount; ++i) {
        // Through GetPicture on purpose: a hit box beyond the pictures shows its box.
        CPicture* picture = GetPicture(i);
        const std::wstring fallback =
            JoinNumbers({0, 0, picture ? picture->Width() : 0, picture ? picture->Height() : 0});
        const std::wstring key = CPackageFile::FormatNumber(i);
        m_pHitBox[i] = ParseRect(ini.GetString(L"HitBox", key.c_str(), fallback.c_str(), TRUE).c_str());
    }
}

void CResource::LoadCenterPoints(CIniFile& ini, int pictureCount)
{
    for (int i = 0; i < pictureCount; ++i) {
        if (!m_pResElem[i].pPicture)
            continue;
        const std::wstring key = CPackageFile::FormatNumber(i);
        m_pResElem[i].ptCenter = ParsePoint(ini.GetString(L"CenterPoint", key.c_str(), L"0,0", i == 0));
    }
}

void CResource::RestorePictures()
{
    if (!m_pRenderSystem || !m_pResElem)
        return;
    CIniFile ini;
    SPackageSource source;
    if (!OpenPackage(ini, source))
        return;
    // A description that grew since the load cannot reach past the table it was loaded into.
    const int count = source.nPictureCount < m_nResElemCount ? source.nPictureCount : m_nResElemCount;
    LoadPictures(ini, count, source);
}
