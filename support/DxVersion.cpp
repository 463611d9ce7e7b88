// GetDXVersion: the DxDiag method first, else the file-version table, then packing and text.
// The table follows the published detection order: each row that holds overrides the
// earlier ones. The real DxDiag query lives in PlatformDxVersionSource.cpp.
#include "support/DxVersion.h"

#include "support/WideFormat.h"

#include <cwctype>

namespace {

vireo::DxVersionSource* g_source = nullptr;

struct FileRow {
    const wchar_t* file;
    // Holds when the version is at least minimum4 (major 4) or at least minimum5 (major 5).
    // Rows with only minimum4 hold for any version at or above it, whatever the major.
    ULONGLONG minimum4;
    ULONGLONG minimum5;
    bool byMajor;
    DWORD major;
    DWORD minor;
    wchar_t letter;
};

constexpr ULONGLONG V(WORD a, WORD b, WORD c, WORD d)
{
    return vireo::MakeFileVersion(a, b, c, d);
}

const FileRow kRows[] = {
    {L"ddraw.dll", V(4, 2, 0, 95), 0, false, 1, 0, L' '},
    {L"ddraw.dll", V(4, 3, 0, 1096), 0, false, 2, 0, L' '},
    {L"ddraw.dll", V(4, 4, 0, 68), 0, false, 3, 0, L' '},
    {L"d3drg8x.dll", V(4, 4, 0, 70), 0, false, 3, 0, L'a'},
    {L"ddraw.dll", V(4, 5, 0, 155), 0, false, 5, 0, L' '},
    {L"ddraw.dll", V(4, 6, 0, 318), 0, false, 6, 0, L' '},
    {L"ddraw.dll", V(4, 6, 0, 436), 0, false, 6, 1, L' '},
    {L"dplayx.dll", V(4, 6, 3, 518), 0, false, 6, 1, L'a'},
    {L"ddraw.dll", V(4, 7, 0, 700), 0, false, 7, 0, L' '},
    {L"dinput.dll", V(4, 7, 0, 716), 0, false, 7, 0, L'a'},
    {L"ddraw.dll", V(4, 8, 0, 400), V(5, 1, 2258, 400), true, 8, 0, L' '},
    {L"d3d8.dll", V(4, 8, 1, 881), V(5, 1, 2600, 881), true, 8, 1, L' '},
    {L"d3d8.dll", V(4, 8, 1, 901), V(5, 1, 2600, 901), true, 8, 1, L'a'},
    {L"mpg2splt.ax", V(6, 3, 1, 885), 0, false, 8, 1, L'b'},
    {L"dpnet.dll", V(4, 9, 0, 134), V(5, 2, 3677, 134), true, 8, 2, L' '},
};

bool RowHolds(const FileRow& row, ULONGLONG version)
{
    if (!row.byMajor)
        return version >= row.minimum4;
    const ULONGLONG major = version >> 48;
    return (major == 4 && version >= row.minimum4) || (major == 5 && version >= row.minimum5);
}

void FileVersionMethod(vireo::DxVersionSource& source, DWORD& major, DWORD& minor, wchar_t& letter)
{
    major = 0;
    minor = 0;
    letter = L' ';
    for (const FileRow& row : kRows) {
        ULONGLONG version = 0;
        if (source.GetSystemFileVersion(row.file, version) && RowHolds(row, version)) {
            major = row.major;
            minor = row.minor;
            letter = row.letter;
        }
    }
    ULONGLONG version = 0;
    if (source.GetSystemFileVersion(L"d3d9.dll", version)) {
        major = 9;
        minor = 0;
        letter = L' ';
    }
}

} // namespace

namespace vireo {

DxVersionSource* SetDxVersionSource(DxVersionSource* source)
{
    DxVersionSource* previous = g_source;
    g_source = source;
    return previous;
}

} // namespace vireo

HRESULT GetDXVersion(vireo::DxVersionSource& source, DWORD* pdwVersion, wchar_t* pszText, int cchText)
{
    if (pdwVersion)
        *pdwVersion = 0;
    if (pszText && cchText >= 1)
        pszText[0] = L'\0';

    DWORD major = 0;
    DWORD minor = 0;
    wchar_t letter = L' ';
    // The file-version method always answers, so E_FAIL cannot come out of this order; the
    // result code is kept for callers that treat it as "no answer".
    if (!source.QueryDxDiag(major, minor, letter))
        FileVersionMethod(source, major, minor, letter);

    letter = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(letter)));
    DWORD packed = ((major << 8) + minor) << 8;
    if (letter >= L'a' && letter <= L'z')
        packed += static_cast<DWORD>(letter - L'a' + 1);
    if (pdwVersion)
        *pdwVersion = packed;
    if (pszText && cchText >= 1) {
        if (letter == L' ')
            vireo::FormatWide(pszText, static_cast<std::size_t>(cchText), L"%d.%d", major, minor);
        else
            vireo::FormatWide(pszText, static_cast<std::size_t>(cchText), L"%d.%d%c", major, minor, letter);
    }
    return S_OK;
}

HRESULT GetDXVersion(DWORD* pdwVersion, wchar_t* pszText, int cchText)
{
    vireo::DxVersionSource& source = g_source ? *g_source : vireo::PlatformDxVersionSource();
    return GetDXVersion(source, pdwVersion, pszText, cchText);
}
