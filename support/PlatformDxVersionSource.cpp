// The DxVersionSource of a running engine: the DxDiag method over the platform layer's DxDiag
// provider (COM initialised for the check only), and the file-version method over the
// version-information functions and the system directory.
#include "support/DxVersion.h"

#include <vireo/platform/DxDiag.h>

#include <string>
#include <vector>

namespace vireo {
namespace {

class CPlatformDxVersionSource : public DxVersionSource {
  public:
    bool QueryDxDiag(DWORD& major, DWORD& minor, wchar_t& letter) override;
    bool GetSystemFileVersion(const wchar_t* fileName, ULONGLONG& version) override;
};

bool CPlatformDxVersionSource::QueryDxDiag(DWORD& major, DWORD& minor, wchar_t& letter)
{
    const bool comStarted = SUCCEEDED(CoInitialize(nullptr));
    bool gotMajor = false;
    bool gotMinor = false;
    bool gotLetter = false;

    IDxDiagProvider* provider = nullptr;
    IDxDiagContainer* root = nullptr;
    IDxDiagContainer* systemInfo = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_DxDiagProvider, nullptr, CLSCTX_INPROC_SERVER, IID_IDxDiagProvider,
                                  reinterpret_cast<void**>(&provider));
    if (SUCCEEDED(hr) && provider) {
        DXDIAG_INIT_PARAMS params{};
        params.dwSize = sizeof(DXDIAG_INIT_PARAMS);
        params.dwDxDiagHeaderVersion = DXDIAG_DX9_SDK_VERSION;
        params.bAllowWHQLChecks = FALSE;
        params.pReserved = nullptr;
        hr = provider->Initialize(&params);
        if (SUCCEEDED(hr))
            hr = provider->GetRootContainer(&root);
        if (SUCCEEDED(hr) && root)
            hr = root->GetChildContainer(L"DxDiag_SystemInfo", &systemInfo);
        if (SUCCEEDED(hr) && systemInfo) {
            VARIANT value;
            VariantInit(&value);
            if (SUCCEEDED(systemInfo->GetProp(L"dwDirectXVersionMajor", &value)) && value.vt == VT_UI4) {
                major = value.ulVal;
                gotMajor = true;
            }
            VariantClear(&value);
            if (SUCCEEDED(systemInfo->GetProp(L"dwDirectXVersionMinor", &value)) && value.vt == VT_UI4) {
                minor = value.ulVal;
                gotMinor = true;
            }
            VariantClear(&value);
            if (SUCCEEDED(systemInfo->GetProp(L"szDirectXVersionLetter", &value)) && value.vt == VT_BSTR &&
                value.bstrVal && value.bstrVal[0] != L'\0') {
                letter = value.bstrVal[0];
                gotLetter = true;
            }
            VariantClear(&value);
        }
    }
    SafeRelease(systemInfo);
    SafeRelease(root);
    SafeRelease(provider);
    if (comStarted)
        CoUninitialize();
    return gotMajor && gotMinor && gotLetter;
}

bool CPlatformDxVersionSource::GetSystemFileVersion(const wchar_t* fileName, ULONGLONG& version)
{
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    const std::wstring path = std::wstring(folder, length) + L"/" + fileName;

    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (size == 0)
        return false;
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(path.c_str(), handle, size, block.data()))
        return false;
    void* value = nullptr;
    UINT valueBytes = 0;
    if (!VerQueryValueW(block.data(), L"\\", &value, &valueBytes) || !value || valueBytes < sizeof(VS_FIXEDFILEINFO))
        return false;
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(value);
    version = (static_cast<ULONGLONG>(info->dwFileVersionMS) << 32) | info->dwFileVersionLS;
    return true;
}

} // namespace

DxVersionSource& PlatformDxVersionSource()
{
    static CPlatformDxVersionSource source;
    return source;
}

} // namespace vireo
