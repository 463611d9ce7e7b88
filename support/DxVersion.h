// The DirectX version check made at start-up: GetDXVersion asks a DxVersionSource, first by
// the DxDiag method, then by the file versions of DirectX system files, and packs the answer.
// The source is replaceable so every row of the file-version table can be tested.
#pragma once

#include <vireo/platform/Win32.h>

namespace vireo {

class DxVersionSource {
  public:
    virtual ~DxVersionSource() = default;
    // The DxDiag method: the provider's dwDirectXVersionMajor, dwDirectXVersionMinor and the
    // first character of szDirectXVersionLetter. False unless all three were obtained.
    virtual bool QueryDxDiag(DWORD& major, DWORD& minor, wchar_t& letter) = 0;
    // The file-version method: the version a.b.c.d of a file in the system directory as one
    // 64-bit number (a in the top 16 bits). False when the system directory is unknown, the
    // file is missing or it has no version information.
    virtual bool GetSystemFileVersion(const wchar_t* fileName, ULONGLONG& version) = 0;
};

// The platform's own source: the platform layer's DxDiag provider and its file-version
// functions (which find no DirectX system files on Linux unless a test plants them).
DxVersionSource& PlatformDxVersionSource();

// The source GetDXVersion uses; null restores the platform's. Returns the previous source.
DxVersionSource* SetDxVersionSource(DxVersionSource* source);

constexpr ULONGLONG MakeFileVersion(WORD a, WORD b, WORD c, WORD d)
{
    return (static_cast<ULONGLONG>(a) << 48) | (static_cast<ULONGLONG>(b) << 32) | (static_cast<ULONGLONG>(c) << 16) |
           d;
}

} // namespace vireo

// Packed version: major << 16 | minor << 8 | letter index (a = 1 ... z = 26). Text "9.0c" or
// "9.0" into pszText (cchText characters, cut and terminated). S_OK when a version was
// determined (possibly 0.0), E_FAIL when both methods failed. Either output may be null.
HRESULT GetDXVersion(DWORD* pdwVersion, wchar_t* pszText, int cchText);
HRESULT GetDXVersion(vireo::DxVersionSource& source, DWORD* pdwVersion, wchar_t* pszText, int cchText);
