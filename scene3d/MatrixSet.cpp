// CMatrixSet: three matrices the game fills through two setters and reads directly. The
// engine offers nothing that combines them.
#include <vireo/scene3d.h>

CMatrixSet::CMatrixSet()
{
    D3DXMatrixIdentity(&m_mat);
    D3DXMatrixIdentity(&m_matTranslation);
    D3DXMatrixIdentity(&m_matRotation);
}

CMatrixSet::~CMatrixSet() = default;

void CMatrixSet::SetTranslation(float x, float y, float z)
{
    // The zero vector is a translation like any other: the identity.
    D3DXMatrixTranslation(&m_matTranslation, x, y, z);
}

void CMatrixSet::SetRotation(float yaw, float pitch, float roll)
{
    D3DXMatrixRotationYawPitchRoll(&m_matRotation, yaw, pitch, roll);
}
