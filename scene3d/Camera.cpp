// CCamera: moves and turns in ground or free mode and turns its frame into the device's view
// and projection transforms. It never draws and never reads the device's state.
#include <vireo/scene3d.h>

CCamera::CCamera() = default;

CCamera::~CCamera() = default;

void CCamera::Create(IDirect3DDevice9* device, float aspect)
{
    m_pD3DDevice = device;
    m_fAspect = aspect;
}

void CCamera::GetPosition(D3DXVECTOR3* out)
{
    *out = m_vPosition;
}

void CCamera::SetPosition(D3DXVECTOR3* in)
{
    m_vPosition = *in;
}

void CCamera::DoWalk(float units)
{
    if (m_nMode == 0) {
        m_vPosition.x += m_vLook.x * units;
        m_vPosition.z += m_vLook.z * units;
    } else {
        m_vPosition += m_vLook * units;
    }
}

void CCamera::DoStrafe(float units)
{
    if (m_nMode == 0) {
        m_vPosition.x += m_vRight.x * units;
        m_vPosition.z += m_vRight.z * units;
    } else {
        m_vPosition += m_vRight * units;
    }
}

void CCamera::DoFly(float units)
{
    if (m_nMode == 0)
        m_vPosition.y += units;
    else
        m_vPosition += m_vUp * units;
}

void CCamera::DoPitch(float angle)
{
    D3DXMATRIX rotation;
    D3DXMatrixRotationAxis(&rotation, &m_vRight, angle);
    D3DXVec3TransformCoord(&m_vUp, &m_vUp, &rotation);
    D3DXVec3TransformCoord(&m_vLook, &m_vLook, &rotation);
}

void CCamera::DoYaw(float angle)
{
    D3DXMATRIX rotation;
    if (m_nMode == 0)
        D3DXMatrixRotationY(&rotation, angle);
    else
        D3DXMatrixRotationAxis(&rotation, &m_vUp, angle);
    D3DXVec3TransformCoord(&m_vRight, &m_vRight, &rotation);
    D3DXVec3TransformCoord(&m_vLook, &m_vLook, &rotation);
}

void CCamera::DoRoll(float angle)
{
    if (m_nMode == 0)
        return;
    D3DXMATRIX rotation;
    D3DXMatrixRotationAxis(&rotation, &m_vLook, angle);
    D3DXVec3TransformCoord(&m_vRight, &m_vRight, &rotation);
    D3DXVec3TransformCoord(&m_vUp, &m_vUp, &rotation);
}

void CCamera::Render()
{
    if (!m_pD3DDevice)
        return;
    // Rebuilt from look every time, so small rotation errors never accumulate.
    D3DXVec3Normalize(&m_vLook, &m_vLook);
    D3DXVec3Cross(&m_vUp, &m_vLook, &m_vRight);
    D3DXVec3Normalize(&m_vUp, &m_vUp);
    D3DXVec3Cross(&m_vRight, &m_vUp, &m_vLook);
    D3DXVec3Normalize(&m_vRight, &m_vRight);

    const D3DXMATRIX view(m_vRight.x, m_vUp.x, m_vLook.x, 0, //
                          m_vRight.y, m_vUp.y, m_vLook.y, 0, //
                          m_vRight.z, m_vUp.z, m_vLook.z, 0, //
                          -D3DXVec3Dot(&m_vPosition, &m_vRight), -D3DXVec3Dot(&m_vPosition, &m_vUp),
                          -D3DXVec3Dot(&m_vPosition, &m_vLook), 1);
    m_pD3DDevice->SetTransform(D3DTS_VIEW, &view);
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4, m_fAspect, 1.0f, 1000.0f);
    m_pD3DDevice->SetTransform(D3DTS_PROJECTION, &projection);
}
