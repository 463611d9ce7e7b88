// What a D3DX object (sprite, line) holds on its device: a COM reference, and a place among
// the holders that make Reset refuse until OnLostDevice, as the originals keep default-pool
// state. Losing and restoring are safe to repeat.
#pragma once

#include "platform/gfx/Device.h"

namespace vireo::gfx {

class CDeviceHold {
  public:
    explicit CDeviceHold(CDevice* device) : m_device(device)
    {
        m_device->AddRef();
        m_device->AddResetBlocker(+1);
    }
    ~CDeviceHold()
    {
        Lose();
        m_device->Release();
    }
    CDeviceHold(const CDeviceHold&) = delete;
    CDeviceHold& operator=(const CDeviceHold&) = delete;

    CDevice* Get() const { return m_device; }
    CDevice* operator->() const { return m_device; }
    CDevice& operator*() const { return *m_device; }

    void Lose()
    {
        if (m_blocking)
            m_device->AddResetBlocker(-1);
        m_blocking = false;
    }
    void Restore()
    {
        if (!m_blocking)
            m_device->AddResetBlocker(+1);
        m_blocking = true;
    }
    HRESULT GetDevice(IDirect3DDevice9** device) const
    {
        if (!device)
            return D3DERR_INVALIDCALL;
        m_device->AddRef();
        *device = m_device;
        return D3D_OK;
    }

  private:
    CDevice* m_device;
    bool m_blocking = true;
};

} // namespace vireo::gfx
