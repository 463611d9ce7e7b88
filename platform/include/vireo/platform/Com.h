// COM-style base for the platform objects (devices, textures, sprites, sound buffers):
// IUnknown with reference counting whose AddRef/Release return the new count.
// No apartments, no registry: objects are made by the layer's factory functions.
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
template <class Interface>
class ComObject : public Interface {
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

private:
    std::atomic<ULONG> m_refCount{1};
};

}  // namespace vireo::platform

template <class T>
inline void SafeRelease(T*& object)
{
    if (object) {
        object->Release();
        object = nullptr;
    }
}
