// 3D: the engine's coloured cube and a one-quad .x mesh (written by this program into a mesh
// folder) in front of the camera, drawn before the 2D sprites of the frame. Checks the
// cube's red face and the mesh's green material where they should appear.
#include "ExampleHost.h"

#include <filesystem>
#include <fstream>

// A square of 2 x 2 units facing the camera, with one green (emissive) material.
static void WritePlate()
{
    std::filesystem::create_directory("Plate.pak");
    std::ofstream("Plate.pak/Plate.x") << "xof 0303txt 0032\n"
                                          "Mesh Plate {\n 4;\n -1.0;-1.0;0.0;, -1.0;1.0;0.0;, 1.0;1.0;0.0;, "
                                          "1.0;-1.0;0.0;;\n 2;\n 3;0,1,2;, 3;0,2,3;;\n"
                                          " MeshMaterialList {\n  1;\n  2;\n  0, 0;;\n"
                                          "  Material { 0.0;1.0;0.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;1.0;0.0;; }\n"
                                          " }\n}\n";
}

class CSceneGame : public CGameEngine {
  public:
    DWORD cubePixel = 0, platePixel = 0, backPixel = 0;

  protected:
    int MessageProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        CRenderSystem* rs = GetRenderSystem();
        IDirect3DDevice9* device = rs->GetD3DDevice();
        switch (msg) {
        case EMSG_EG_INIT:
            m_cube = rs->CreateGeometry(1);         // 1: the coloured unit cube
            m_plate = rs->CreateMesh(L"Plate.pak"); // the folder that holds Plate.x and its textures
            break;
        case EMSG_RS_RENDER_BEGIN:
            rs->ClearCanvas(0xFF000000);
            break;
        case EMSG_RS_RENDER: {
            // [draw]
            D3DXVECTOR3 eye(0, 0, -10); // the camera looks along +z at first
            rs->GetCamera()->SetPosition(&eye);
            rs->GetCamera()->Render(); // sets the device's view and projection
            // The cube shows its vertex colours, unlit; its red face (z = -1) faces the camera.
            device->SetRenderState(D3DRS_LIGHTING, FALSE);
            device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
            m_cube->Draw(2.5f, 0, 0);
            // The mesh is lit from its material: with no light set, its emissive green shows.
            device->SetRenderState(D3DRS_LIGHTING, TRUE);
            m_plate->Draw(-2.5f, 0, 0);
            // [/draw]
            cubePixel = ReadScenePixel(rs, 240, 120);
            platePixel = ReadScenePixel(rs, 88, 120);
            backPixel = ReadScenePixel(rs, 160, 20);
            break;
        }
        case EMSG_EG_DESTROY:
            rs->ReleaseGeometry(m_cube);
            rs->ReleaseMesh(&m_plate);
            break;
        }
        return CGameEngine::MessageProc(msg, wParam, lParam);
    }

  private:
    CGeometry* m_cube = nullptr;
    CMesh* m_plate = nullptr;
};

int main()
{
    WritePlate();
    CSceneGame game;
    CExampleHost host;
    if (!host.Start(game) || !host.RunUntil(2))
        return 1;
    host.Close();
    std::printf("cube %08x, plate %08x, background %08x\n", game.cubePixel, game.platePixel, game.backPixel);
    int failed = Check((game.cubePixel & 0xFFFFFF) == 0xFF0000, "the cube's near face is red");
    failed += Check((game.platePixel & 0xFFFFFF) == 0x00FF00, "the mesh's material is green");
    failed += Check((game.backPixel & 0xFFFFFF) == 0, "nothing above them");
    return failed;
}
