// Vertex and index buffers of the software device: plain memory that Lock hands out and the
// draw calls read. Every pool keeps its bytes in system memory; a default-pool buffer still
// blocks Reset until released, as on the original runtime. No hardware copy, no renaming.
#pragma once

#include <vireo/platform/D3D9.h>

#include <cstdint>
#include <vector>

namespace vireo::gfx {

class CDevice;

// The part both buffer kinds share: the bytes, the lock count, and the device registration.
class CBufferMemory {
  public:
    CBufferMemory(CDevice* device, D3DPOOL pool);
    ~CBufferMemory();
    CBufferMemory(const CBufferMemory&) = delete;
    CBufferMemory& operator=(const CBufferMemory&) = delete;

    // Allocates the bytes; false when the length is out of range or memory is short.
    bool Allocate(UINT length);
    HRESULT Lock(UINT offset, UINT size, void** data);
    HRESULT Unlock();
    HRESULT GetDevice(IDirect3DDevice9** device);

    const std::uint8_t* Bytes() const { return m_bytes.data(); }
    UINT Size() const { return static_cast<UINT>(m_bytes.size()); }
    CDevice* Device() const { return m_device; }
    std::uint64_t Serial() const { return m_serial; }
    void SetSerial(std::uint64_t serial) { m_serial = serial; }

  private:
    CDevice* m_device;
    D3DPOOL m_pool;
    std::vector<std::uint8_t> m_bytes;
    std::uint64_t m_serial = 0;
    int m_locks = 0;
};

class CVertexBuffer final : public vireo::platform::ComObject<IDirect3DVertexBuffer9> {
  public:
    static HRESULT Create(CDevice* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, CVertexBuffer** buffer);

    HRESULT GetDevice(IDirect3DDevice9** device) override { return m_memory.GetDevice(device); }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD) override { return m_memory.Lock(offset, size, data); }
    HRESULT Unlock() override { return m_memory.Unlock(); }
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;

    CBufferMemory& Memory() { return m_memory; }

  private:
    CVertexBuffer(CDevice* device, const D3DVERTEXBUFFER_DESC& desc);
    ~CVertexBuffer() override;

    CBufferMemory m_memory;
    D3DVERTEXBUFFER_DESC m_desc;
};

class CIndexBuffer final : public vireo::platform::ComObject<IDirect3DIndexBuffer9> {
  public:
    static HRESULT Create(CDevice* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          CIndexBuffer** buffer);

    HRESULT GetDevice(IDirect3DDevice9** device) override { return m_memory.GetDevice(device); }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD) override { return m_memory.Lock(offset, size, data); }
    HRESULT Unlock() override { return m_memory.Unlock(); }
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) override;

    CBufferMemory& Memory() { return m_memory; }
    D3DFORMAT Format() const { return m_desc.Format; }

  private:
    CIndexBuffer(CDevice* device, const D3DINDEXBUFFER_DESC& desc);
    ~CIndexBuffer() override;

    CBufferMemory m_memory;
    D3DINDEXBUFFER_DESC m_desc;
};

// The buffer behind an interface pointer made by this layer, or null.
CVertexBuffer* AsVertexBuffer(IDirect3DVertexBuffer9* buffer);
CIndexBuffer* AsIndexBuffer(IDirect3DIndexBuffer9* buffer);

} // namespace vireo::gfx
