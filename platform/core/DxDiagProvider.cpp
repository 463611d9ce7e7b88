// A DxDiag provider with one child container, "DxDiag_SystemInfo", holding the DirectX
// version this layer implements. No other diagnostics: nothing here inspects the machine.
#include "platform/core/DxDiagProvider.h"

#include <cwchar>
#include <map>
#include <memory>
#include <variant>
#include <vector>

namespace vireo::platform {
namespace {

DxDiagSystemInfoValues g_values;

using PropValue = std::variant<DWORD, std::wstring>;

class CDxDiagContainer : public ComObject<IDxDiagContainer> {
public:
    std::vector<std::pair<std::wstring, CDxDiagContainer*>> m_children;  // owned, in order
    std::vector<std::pair<std::wstring, PropValue>> m_props;

    HRESULT QueryInterface(REFIID iid, void** object) override { return AnswerQuery(iid, IID_IDxDiagContainer, object); }

    HRESULT GetNumberOfChildContainers(DWORD* count) override
    {
        if (!count)
            return E_INVALIDARG;
        *count = static_cast<DWORD>(m_children.size());
        return S_OK;
    }

    HRESULT EnumChildContainerNames(DWORD index, LPWSTR name, DWORD nameChars) override
    {
        if (index >= m_children.size())
            return E_INVALIDARG;
        return CopyName(m_children[index].first, name, nameChars);
    }

    HRESULT GetChildContainer(LPCWSTR name, IDxDiagContainer** child) override
    {
        if (!name || !child)
            return E_INVALIDARG;
        *child = nullptr;
        const std::wstring path(name);
        const std::size_t dot = path.find(L'.');
        const std::wstring head = path.substr(0, dot);
        for (auto& [childName, container] : m_children) {
            if (childName != head)
                continue;
            if (dot != std::wstring::npos)
                return container->GetChildContainer(path.substr(dot + 1).c_str(), child);
            container->AddRef();
            *child = container;
            return S_OK;
        }
        return E_INVALIDARG;
    }

    HRESULT GetNumberOfProps(DWORD* count) override
    {
        if (!count)
            return E_INVALIDARG;
        *count = static_cast<DWORD>(m_props.size());
        return S_OK;
    }

    HRESULT EnumPropNames(DWORD index, LPWSTR name, DWORD nameChars) override
    {
        if (index >= m_props.size())
            return E_INVALIDARG;
        return CopyName(m_props[index].first, name, nameChars);
    }

    HRESULT GetProp(LPCWSTR name, VARIANT* value) override
    {
        if (!name || !value)
            return E_INVALIDARG;
        VariantInit(value);
        for (const auto& [propName, prop] : m_props) {
            if (propName != name)
                continue;
            if (const DWORD* number = std::get_if<DWORD>(&prop)) {
                value->vt = VT_UI4;
                value->ulVal = *number;
            } else {
                value->bstrVal = SysAllocString(std::get<std::wstring>(prop).c_str());
                if (!value->bstrVal)
                    return E_OUTOFMEMORY;
                value->vt = VT_BSTR;
            }
            return S_OK;
        }
        return E_INVALIDARG;
    }

protected:
    ~CDxDiagContainer() override
    {
        for (auto& [childName, container] : m_children)
            container->Release();
    }

private:
    static HRESULT CopyName(const std::wstring& text, LPWSTR name, DWORD nameChars)
    {
        if (!name || nameChars <= text.size())
            return E_INVALIDARG;
        std::wmemcpy(name, text.c_str(), text.size() + 1);
        return S_OK;
    }
};

class CDxDiagProvider : public ComObject<IDxDiagProvider> {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override { return AnswerQuery(iid, IID_IDxDiagProvider, object); }

    HRESULT Initialize(DXDIAG_INIT_PARAMS* params) override
    {
        if (!params || params->dwSize != sizeof(DXDIAG_INIT_PARAMS) ||
            params->dwDxDiagHeaderVersion != DXDIAG_DX9_SDK_VERSION)
            return E_INVALIDARG;
        if (m_root)
            return E_INVALIDARG;  // initialised once
        m_root = new CDxDiagContainer;
        auto* system = new CDxDiagContainer;
        if (g_values.major)
            system->m_props.emplace_back(L"dwDirectXVersionMajor", *g_values.major);
        if (g_values.minor)
            system->m_props.emplace_back(L"dwDirectXVersionMinor", *g_values.minor);
        if (g_values.letter)
            system->m_props.emplace_back(L"szDirectXVersionLetter", *g_values.letter);
        system->m_props.emplace_back(L"szDirectXVersionEnglish", std::wstring(L"DirectX 9.0c"));
        m_root->m_children.emplace_back(L"DxDiag_SystemInfo", system);
        return S_OK;
    }

    HRESULT GetRootContainer(IDxDiagContainer** root) override
    {
        if (!root)
            return E_POINTER;
        *root = nullptr;
        if (!m_root)
            return CO_E_NOTINITIALIZED;
        m_root->AddRef();
        *root = m_root;
        return S_OK;
    }

protected:
    ~CDxDiagProvider() override
    {
        if (m_root)
            m_root->Release();
    }

private:
    CDxDiagContainer* m_root = nullptr;
};

}  // namespace

void SetDxDiagSystemInfoValues(const DxDiagSystemInfoValues& values) { g_values = values; }

HRESULT CreateDxDiagProvider(REFIID iid, void** object)
{
    if (!g_values.providerAvailable)
        return REGDB_E_CLASSNOTREG;
    auto* provider = new CDxDiagProvider;
    const HRESULT hr = provider->QueryInterface(iid, object);
    provider->Release();  // the interface pointer holds the only reference now
    return hr;
}

}  // namespace vireo::platform
