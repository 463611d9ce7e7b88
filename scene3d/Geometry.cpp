// CGeometry: the device and the two buffers every piece of code-built geometry keeps, and
// their release at a device loss. Building and drawing belong to the concrete kinds.
#include <vireo/scene3d.h>

CGeometry::~CGeometry()
{
    ReleaseDeviceObjects();
}

BOOL CGeometry::Create(IDirect3DDevice9* device)
{
    m_pD3DDevice = device;
    return TRUE;
}

void CGeometry::ReleaseDeviceObjects()
{
    if (m_pVB) {
        m_pVB->Release();
        m_pVB = nullptr;
    }
    if (m_pIB) {
        m_pIB->Release();
        m_pIB = nullptr;
    }
}
