// The DxVersionSource of a running engine: the DxDiag method over the platform layer's DxDiag
// provider (COM initialised for the check only), and the file-version method, which finds
// no DirectX system files on this system and so never holds.
#include "support/DxVersion.h"

#if __has_include(<vireo/platform/DxDiag.h>)
#include <vireo/platform/DxDiag.h>
#define VIREO_HAS_DXDIAG 1
#endif

namespace vireo {
namespace {

class CPlatformDxVersionSource : public DxVersionSource {
public:
    bool QueryDxDiag(DWORD& major, DWORD& minor, wchar_t& letter) override;
    bool GetSystemFileVersion(const wchar_t*, ULONGLONG&) override
    {
        // Linux has no system directory of DirectX files and no version resources.
        return false;
    }
};

#ifdef VIREO_HAS_DXDIAG
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
#else
bool CPlatformDxVersionSource::QueryDxDiag(DWORD&, DWORD&, wchar_t&)
{
    // This build's platform layer has no DxDiag provider: the file-version method decides.
    return false;
}
#endif

}  // namespace

DxVersionSource& PlatformDxVersionSource()
{
    static CPlatformDxVersionSource source;
    return source;
}

}  // namespace vireo
