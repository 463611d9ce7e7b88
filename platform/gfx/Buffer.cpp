// Vertex and index buffers: creation checks, locking ranges of the bytes, and the bookkeeping
// that keeps the device alive while a buffer lives and unbinds the buffer when it goes.
#include "platform/gfx/Buffer.h"

#include "platform/gfx/Device.h"

#include <new>

namespace vireo::gfx {

namespace {

// Larger than any mesh a 2D engine draws, small enough that a bad length cannot exhaust memory.
constexpr UINT kMaxBufferBytes = 256u << 20;
constexpr DWORD kBufferUsages = D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC;

bool ValidPool(D3DPOOL pool)
{
    return pool == D3DPOOL_DEFAULT || pool == D3DPOOL_MANAGED || pool == D3DPOOL_SYSTEMMEM || pool == D3DPOOL_SCRATCH;
}

} // namespace

CBufferMemory::CBufferMemory(CDevice* device, D3DPOOL pool) : m_device(device), m_pool(pool)
{
    m_device->AddRef();
    if (m_pool == D3DPOOL_DEFAULT)
        m_device->AddResetBlocker(+1);
}

CBufferMemory::~CBufferMemory()
{
    if (m_serial != 0)
        m_device->UnregisterBuffer(m_serial);
    if (m_pool == D3DPOOL_DEFAULT)
        m_device->AddResetBlocker(-1);
    m_device->Release();
}

bool CBufferMemory::Allocate(UINT length)
{
    if (length == 0 || length > kMaxBufferBytes)
        return false;
    try {
        m_bytes.assign(length, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

HRESULT CBufferMemory::Lock(UINT offset, UINT size, void** data)
{
    if (!data)
        return D3DERR_INVALIDCALL;
    *data = nullptr;
    // Offset and size 0 lock the whole buffer; a range past the end is refused.
    if (offset > m_bytes.size() || (size != 0 && size > m_bytes.size() - offset))
        return D3DERR_INVALIDCALL;
    ++m_locks;
    *data = m_bytes.data() + offset;
    return D3D_OK;
}

HRESULT CBufferMemory::Unlock()
{
    if (m_locks == 0)
        return D3DERR_INVALIDCALL;
    --m_locks;
    return D3D_OK;
}

HRESULT CBufferMemory::GetDevice(IDirect3DDevice9** device)
{
    if (!device)
        return D3DERR_INVALIDCALL;
    m_device->AddRef();
    *device = m_device;
    return D3D_OK;
}

// ---- vertex buffers ----------------------------------------------------------------------

HRESULT CVertexBuffer::Create(CDevice* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                              CVertexBuffer** buffer)
{
    if (!device || !buffer)
        return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    if ((usage & ~kBufferUsages) != 0 || !ValidPool(pool))
        return D3DERR_INVALIDCALL;
    if (length == 0 || length > kMaxBufferBytes)
        return D3DERR_INVALIDCALL;
    const D3DVERTEXBUFFER_DESC desc{D3DFMT_UNKNOWN, D3DRTYPE_VERTEXBUFFER, usage, pool, length, fvf};
    auto* created = new (std::nothrow) CVertexBuffer(device, desc);
    if (!created)
        return E_OUTOFMEMORY;
    if (!created->m_memory.Allocate(length)) {
        created->Release();
        return E_OUTOFMEMORY;
    }
    created->m_memory.SetSerial(device->RegisterBuffer(created, nullptr));
    *buffer = created;
    return D3D_OK;
}

CVertexBuffer::CVertexBuffer(CDevice* device, const D3DVERTEXBUFFER_DESC& desc)
    : m_memory(device, desc.Pool), m_desc(desc)
{
}

CVertexBuffer::~CVertexBuffer() = default;

HRESULT CVertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc)
{
    if (!desc)
        return D3DERR_INVALIDCALL;
    *desc = m_desc;
    return D3D_OK;
}

// ---- index buffers -----------------------------------------------------------------------

HRESULT CIndexBuffer::Create(CDevice* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                             CIndexBuffer** buffer)
{
    if (!device || !buffer)
        return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    if ((usage & ~kBufferUsages) != 0 || !ValidPool(pool))
        return D3DERR_INVALIDCALL;
    if (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32)
        return D3DERR_INVALIDCALL;
    if (length == 0 || length > kMaxBufferBytes)
        return D3DERR_INVALIDCALL;
    const D3DINDEXBUFFER_DESC desc{format, D3DRTYPE_INDEXBUFFER, usage, pool, length};
    auto* created = new (std::nothrow) CIndexBuffer(device, desc);
    if (!created)
        return E_OUTOFMEMORY;
    if (!created->m_memory.Allocate(length)) {
        created->Release();
        return E_OUTOFMEMORY;
    }
    created->m_memory.SetSerial(device->RegisterBuffer(nullptr, created));
    *buffer = created;
    return D3D_OK;
}

CIndexBuffer::CIndexBuffer(CDevice* device, const D3DINDEXBUFFER_DESC& desc) : m_memory(device, desc.Pool), m_desc(desc)
{
}

CIndexBuffer::~CIndexBuffer() = default;

HRESULT CIndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* desc)
{
    if (!desc)
        return D3DERR_INVALIDCALL;
    *desc = m_desc;
    return D3D_OK;
}

CVertexBuffer* AsVertexBuffer(IDirect3DVertexBuffer9* buffer)
{
    return dynamic_cast<CVertexBuffer*>(buffer);
}

CIndexBuffer* AsIndexBuffer(IDirect3DIndexBuffer9* buffer)
{
    return dynamic_cast<CIndexBuffer*>(buffer);
}

} // namespace vireo::gfx
