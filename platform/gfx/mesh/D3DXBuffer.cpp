// ID3DXBuffer: a block of bytes owned by a reference-counted object, zero-filled at creation.
// The loader hands materials out in one; nothing here knows what the bytes hold.
#include <vireo/platform/D3DX9Mesh.h>

#include <vector>

namespace vireo::gfx {

namespace {

class CD3DXBuffer final : public vireo::platform::ComObject<ID3DXBuffer> {
  public:
    explicit CD3DXBuffer(std::vector<BYTE> bytes) : m_bytes(std::move(bytes)) {}
    void* GetBufferPointer() override { return m_bytes.empty() ? nullptr : m_bytes.data(); }
    DWORD GetBufferSize() override { return static_cast<DWORD>(m_bytes.size()); }

  private:
    std::vector<BYTE> m_bytes;
};

} // namespace

} // namespace vireo::gfx

HRESULT D3DXCreateBuffer(DWORD numBytes, ID3DXBuffer** buffer)
{
    if (!buffer)
        return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    *buffer = new vireo::gfx::CD3DXBuffer(std::vector<BYTE>(numBytes, 0));
    return S_OK;
}
