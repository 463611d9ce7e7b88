// The demo's 3D corner: the engine's coloured cube turning on the right and the lantern mesh
// (data/Lantern.pak, made by the art tool) turning slowly on the left, lit by one directional
// light and a little ambient light. Drawn between the backdrop and the sprites; no game logic.
#pragma once

#include <vireo/engine.h>

#include <functional>
#include <string>

class CDemoScene3D {
  public:
    // At EMSG_EG_INIT: the cube and the mesh folder. A missing mesh file leaves an empty mesh
    // that draws nothing; the cube still turns.
    void Load(CRenderSystem* render, const std::wstring& dataFolder);
    // Inside EMSG_RS_RENDER, outside any sprite batch; frame turns the objects.
    void Draw(CRenderSystem* render, DWORD frame);
    void Release(CRenderSystem* render);

    BOOL HasMesh() const;

  private:
    // Draws with the view moved so that the object turns by `set` about its own centre: the
    // objects' own Draw only translates.
    void DrawTurned(IDirect3DDevice9* device, const D3DXMATRIX& view, const CMatrixSet& set,
                    const std::function<void()>& draw);

    CGeometry* m_pCube = nullptr;
    CMesh* m_pLantern = nullptr;
    CMatrixSet m_CubeSet;
    CMatrixSet m_LanternSet;
};
