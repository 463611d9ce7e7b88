// COM initialisation, BSTR and VARIANT handling, and CoCreateInstance for the classes
// this layer makes by CLSID. There are no apartments: the per-thread count only tells the
// first CoInitialize (S_OK) from nested ones (S_FALSE), as COM does.
#include <vireo/platform/Com.h>

#include "platform/core/DxDiagProvider.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {
thread_local int t_comInitCount = 0;
}

HRESULT CoInitialize(LPVOID)
{
    return t_comInitCount++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize()
{
    if (t_comInitCount > 0)
        --t_comInitCount;
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (t_comInitCount == 0)
        return CO_E_NOTINITIALIZED;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    if (clsid == CLSID_DxDiagProvider)
        return vireo::platform::CreateDxDiagProvider(iid, object);
    return REGDB_E_CLASSNOTREG;
}

// Layout: [UINT byte length][characters][L'\0']; the BSTR points at the characters.
BSTR SysAllocString(const wchar_t* text)
{
    if (!text)
        return nullptr;
    const std::size_t length = std::wcslen(text);
    if (length > 0x3FFFFFFF)
        return nullptr;
    auto* block = static_cast<unsigned char*>(std::malloc(sizeof(std::uint64_t) + (length + 1) * sizeof(wchar_t)));
    if (!block)
        return nullptr;
    const auto bytes = static_cast<UINT>(length * sizeof(wchar_t));
    std::memcpy(block + sizeof(std::uint64_t) - sizeof(UINT), &bytes, sizeof(UINT));
    auto* chars = reinterpret_cast<wchar_t*>(block + sizeof(std::uint64_t));
    std::wmemcpy(chars, text, length + 1);
    return chars;
}

void SysFreeString(BSTR text)
{
    if (text)
        std::free(reinterpret_cast<unsigned char*>(text) - sizeof(std::uint64_t));
}

UINT SysStringLen(BSTR text)
{
    if (!text)
        return 0;
    UINT bytes = 0;
    std::memcpy(&bytes, reinterpret_cast<unsigned char*>(text) - sizeof(UINT), sizeof(UINT));
    return bytes / static_cast<UINT>(sizeof(wchar_t));
}

void VariantInit(VARIANT* value)
{
    if (value) {
        std::memset(value, 0, sizeof(*value));
        value->vt = VT_EMPTY;
    }
}

HRESULT VariantClear(VARIANT* value)
{
    if (!value)
        return E_INVALIDARG;
    if (value->vt == VT_BSTR)
        SysFreeString(value->bstrVal);
    VariantInit(value);
    return S_OK;
}
