// COM-style base for the platform objects (devices, textures, sprites, sound buffers):
// IUnknown with reference counting whose AddRef/Release return the new count, BSTR and
// VARIANT for property values, and CoCreateInstance for the few classes made by CLSID.
// No apartments, no registry, no marshalling.
#pragma once

#include <vireo/platform/Win32.h>

#include <atomic>

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

inline bool operator==(const GUID& a, const GUID& b)
{
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
        return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i])
            return false;
    return true;
}

// {00000000-0000-0000-C000-000000000046}
inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

constexpr HRESULT CO_E_NOTINITIALIZED = static_cast<HRESULT>(0x800401F0);
constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110);
constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;

// ---- BSTR and VARIANT --------------------------------------------------------------------
// A BSTR points at its characters; the length sits just before them. Null is the empty string.
using BSTR = wchar_t*;
BSTR SysAllocString(const wchar_t* text);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);

using VARTYPE = USHORT;
constexpr VARTYPE VT_EMPTY = 0;
constexpr VARTYPE VT_I4 = 3;
constexpr VARTYPE VT_BSTR = 8;
constexpr VARTYPE VT_BOOL = 11;
constexpr VARTYPE VT_UI4 = 19;
using VARIANT_BOOL = SHORT;

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1, wReserved2, wReserved3;
    union {
        LONG lVal;
        ULONG ulVal;
        VARIANT_BOOL boolVal;
        BSTR bstrVal;
    };
};
void VariantInit(VARIANT* value);
HRESULT VariantClear(VARIANT* value); // frees a BSTR and leaves VT_EMPTY

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

  protected:
    virtual ~IUnknown() = default;
};

namespace vireo::platform {

// Reference counting shared by every platform object. A derived class lists the interfaces
// it answers in QueryInterface; the object deletes itself when the count reaches zero.
template <class Interface> class ComObject : public Interface {
  public:
    ULONG AddRef() override { return ++m_refCount; }
    ULONG Release() override
    {
        const ULONG count = --m_refCount;
        if (count == 0)
            delete this;
        return count;
    }
    HRESULT QueryInterface(REFIID, void** object) override
    {
        if (object)
            *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG RefCount() const { return m_refCount.load(); }

  protected:
    ComObject() = default;
    ~ComObject() override = default;

    // The usual QueryInterface for an object with one interface: IUnknown and `own` answer
    // this object (with a reference added), anything else E_NOINTERFACE.
    HRESULT AnswerQuery(REFIID iid, REFIID own, void** object)
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == own) {
            AddRef();
            *object = static_cast<Interface*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

  private:
    std::atomic<ULONG> m_refCount{1};
};

} // namespace vireo::platform

// Makes an object of a class this layer knows by CLSID (the DxDiag provider). Needs
// CoInitialize on the calling thread, as COM does.
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object);

template <class T> inline void SafeRelease(T*& object)
{
    if (object) {
        object->Release();
        object = nullptr;
    }
}
