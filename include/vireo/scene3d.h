// The 3D objects drawn into the 2D scene: CCamera (the render system's one camera, which sets
// the view and projection), CMatrixSet (three matrices a game keeps for its own objects),
// CGeometry with its coloured unit cube CCube, and CMesh (a .x file with its materials and
// textures). Geometry and meshes are made and released only through CRenderSystem.
#pragma once

#include <vireo/platform/D3D9.h>
#include <vireo/platform/D3DX9.h>

class CRenderSystem;
class CPicture;

// A position and an orthonormal frame (right, up, look), moved by walk, strafe, fly, pitch,
// yaw and roll. Mode 0 is a ground camera (moves in the horizontal plane, yaws about the
// world Y axis, cannot roll); mode 1 a free camera. Angles in radians, left-handed.
class CCamera {
  public:
    CCamera();
    virtual ~CCamera();

    // The device whose transforms Render sets (not owned) and the projection's aspect ratio.
    void Create(IDirect3DDevice9* device, float aspect);
    void GetPosition(D3DXVECTOR3* out);
    void SetPosition(D3DXVECTOR3* in);
    void DoWalk(float units);
    void DoStrafe(float units);
    void DoFly(float units);
    void DoPitch(float angle);
    void DoYaw(float angle);
    void DoRoll(float angle);
    // Re-orthonormalises the axes, then sets the view and a perspective projection (vertical
    // field of view pi/4, near 1, far 1000). Nothing before Create.
    void Render();

    int m_nMode = 0;
    D3DXVECTOR3 m_vRight{1, 0, 0};
    D3DXVECTOR3 m_vUp{0, 1, 0};
    D3DXVECTOR3 m_vLook{0, 0, 1};
    D3DXVECTOR3 m_vPosition{0, 0, 0};
    IDirect3DDevice9* m_pD3DDevice = nullptr;
    float m_fAspect = 1.0f;
};

// A general matrix, a translation and a rotation, all identity at first. The engine never
// reads them; the game combines them as it likes.
class CMatrixSet {
  public:
    CMatrixSet();
    virtual ~CMatrixSet();

    // (0, 0, 0) gives the identity translation.
    void SetTranslation(float x, float y, float z);
    void SetRotation(float yaw, float pitch, float roll);

    D3DXMATRIX m_mat;
    D3DXMATRIX m_matTranslation;
    D3DXMATRIX m_matRotation;
};

// Geometry built in code, drawn at a world position. Its buffers are device objects: the
// render system releases them at a device loss and calls Create again after the reset.
class CGeometry {
  public:
    CGeometry() = default;
    virtual ~CGeometry();
    CGeometry(const CGeometry&) = delete;
    CGeometry& operator=(const CGeometry&) = delete;

    // Stores the device; nonzero.
    virtual BOOL Create(IDirect3DDevice9* device);
    virtual void Draw(float x, float y, float z) = 0;
    // Releases the vertex and index buffers that exist; harmless when they do not.
    void ReleaseDeviceObjects();

  protected:
    IDirect3DVertexBuffer9* m_pVB = nullptr;
    IDirect3DIndexBuffer9* m_pIB = nullptr;
    IDirect3DDevice9* m_pD3DDevice = nullptr;
};

// The unit cube from (-1, -1, -1) to (1, 1, 1): red at z = -1, blue at z = +1. Drawn with the
// device's current vertex format, which must be position + diffuse colour.
class CCube : public CGeometry {
  public:
    BOOL Create(IDirect3DDevice9* device) override;
    void Draw(float x, float y, float z) override;
};

// A .x mesh from a folder (Models\Tank.pak holds Tank.x and its textures): one material and
// one picture (null when untextured) per subset. An empty mesh, whose file did not load,
// draws nothing.
class CMesh {
  public:
    CMesh() = default;
    virtual ~CMesh();
    CMesh(const CMesh&) = delete;
    CMesh& operator=(const CMesh&) = delete;

    // From CRenderSystem::CreateMesh only: S_OK, E_FAIL when the file cannot be loaded,
    // E_OUTOFMEMORY.
    HRESULT Load(CRenderSystem* rs, const wchar_t* folder);
    void Draw(float x, float y, float z);
    DWORD GetSubsetCount() const { return m_dwNumSubsets; }
    ID3DXMesh* GetD3DXMesh() const { return m_pMesh; }

  private:
    CRenderSystem* m_pRenderSystem = nullptr;
    ID3DXMesh* m_pMesh = nullptr;
    D3DMATERIAL9* m_pMaterials = nullptr;
    CPicture** m_ppPictures = nullptr;
    DWORD m_dwNumSubsets = 0;
};
