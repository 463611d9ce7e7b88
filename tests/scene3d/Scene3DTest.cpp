// The 3D objects in the running engine: the camera's moves, turns and view (ground-mode rules,
// orthonormal axes after any turns, nothing before Create), the cube seen from the front
// with and without lighting and after a device reset, and meshes (sharing, a missing file,
// untextured and textured subsets).
#include "render/RenderTest.h"

#include <vireo/scene3d.h>

#include <cmath>
#include <random>

namespace vireo::test {
namespace {

class Scene3DTest : public StartedRenderTest {
  protected:
    // One frame on `clear` with the camera at (0, 0, -5) looking along +z; returns the pixel
    // at the centre of the 800 x 600 scene.
    std::uint32_t CentreAfter(const std::function<void()>& draw, DWORD clear = 0xFF204060)
    {
        CCamera* camera = Render()->GetCamera();
        D3DXVECTOR3 eye(0, 0, -5);
        camera->SetPosition(&eye);
        const auto frame = DrawFrame(
            [&] {
                Render()->ClearCanvas(clear);
                camera->Render();
                draw();
            },
            false);
        return Pixel(frame, 400, 300);
    }
    void SetLighting(BOOL on, DWORD ambient)
    {
        Device()->SetRenderState(D3DRS_LIGHTING, on);
        Device()->SetRenderState(D3DRS_AMBIENT, ambient);
    }
    // A mesh folder <name>.pak holding <name>.x: one triangle covering the scene's centre,
    // one material of `diffuse`, textured with a solid `texel` picture when texel is nonzero.
    std::wstring WriteMesh(const std::string& name, const char* diffuse, std::uint32_t texel)
    {
        std::string x = "xof 0303txt 0032\nMesh { 3; -3;-3;0;, 0;3;0;, 3;-3;0;; 1; 3; 0,1,2;;\n"
                        " MeshTextureCoords { 3; 0;1;, 0.5;0;, 1;1;; }\n"
                        " MeshMaterialList { 1; 1; 0;; Material { " +
                        std::string(diffuse) + ";; 0; 0;0;0;; 0;0;0;;";
        if (texel) {
            x += " TextureFilename { \"skin.bmp\"; }";
            WriteFile(name + ".pak/skin.bmp", Bmp(4, 4, texel));
        }
        x += " } } }\n";
        WriteFile(name + ".pak/" + name + ".x", x);
        return m_dir.Wide(name + ".pak");
    }
};

TEST_F(Scene3DTest, CameraMovesByItsModeAndKeepsItsAxesOrthonormal)
{
    auto Near = [](float a, float b) { return std::fabs(a - b) < 1e-4f; };
    // Before Create nothing is touched, not even the axes.
    CCamera loose;
    loose.m_vLook = D3DXVECTOR3(0, 0, 2);
    loose.Render();
    EXPECT_EQ(loose.m_vLook, D3DXVECTOR3(0, 0, 2));

    // Ground mode: roll changes nothing, walking while looking straight down goes nowhere,
    // flying changes only the height, whatever the orientation.
    CCamera ground;
    ground.DoPitch(0.3f);
    ground.DoYaw(1.1f);
    const CCamera before = ground;
    ground.DoRoll(0.7f);
    EXPECT_TRUE(ground.m_vRight == before.m_vRight && ground.m_vUp == before.m_vUp && ground.m_vLook == before.m_vLook);
    ground.DoFly(2.5f);
    EXPECT_EQ(ground.m_vPosition, D3DXVECTOR3(0, 2.5f, 0));
    ground.m_vLook = D3DXVECTOR3(0, -1, 0);
    ground.DoWalk(10);
    EXPECT_EQ(ground.m_vPosition, D3DXVECTOR3(0, 2.5f, 0));
    // A free camera walks along its look, rolls about it, and flies along its up.
    CCamera free;
    free.m_nMode = 1;
    free.DoRoll(D3DX_PI / 2);
    EXPECT_TRUE(Near(free.m_vUp.x, -1) && Near(free.m_vRight.y, 1));
    free.DoFly(1);
    free.DoWalk(2);
    EXPECT_TRUE(Near(free.m_vPosition.x, -1) && Near(free.m_vPosition.z, 2));

    // Any run of turns, then one Render: unit axes at right angles, in the view's columns.
    CCamera* camera = Render()->GetCamera();
    std::mt19937 random(7);
    std::uniform_real_distribution<float> angle(-3.0f, 3.0f);
    for (int mode : {0, 1}) {
        SCOPED_TRACE(mode);
        camera->m_nMode = mode;
        for (int i = 0; i < 500; ++i) {
            camera->DoPitch(angle(random));
            camera->DoYaw(angle(random));
            camera->DoRoll(angle(random));
        }
        camera->m_vLook = camera->m_vLook * 3; // turns keep a length; Render makes it 1 again
        camera->Render();
        const D3DXVECTOR3 axes[3] = {camera->m_vRight, camera->m_vUp, camera->m_vLook};
        for (int a = 0; a < 3; ++a) {
            EXPECT_TRUE(Near(D3DXVec3Length(&axes[a]), 1)) << a;
            EXPECT_TRUE(Near(D3DXVec3Dot(&axes[a], &axes[(a + 1) % 3]), 0)) << a;
        }
        D3DXMATRIX view;
        Device()->GetTransform(D3DTS_VIEW, &view);
        EXPECT_TRUE(Near(view._21, axes[0].y) && Near(view._32, axes[1].z) && Near(view._13, axes[2].x));
    }
    // The projection: 45 degrees down the middle, the scene's 800 x 600 aspect.
    D3DXMATRIX projection;
    Device()->GetTransform(D3DTS_PROJECTION, &projection);
    const float yScale = 1.0f / std::tan(D3DX_PI / 8);
    EXPECT_TRUE(Near(projection._22, yScale) && Near(projection._11, yScale * 0.75f));
}

TEST_F(Scene3DTest, CubeShowsItsRedFaceUnlitBlackWithoutLightsAndSurvivesAReset)
{
    EXPECT_EQ(Render()->CreateGeometry(0), nullptr);
    CGeometry* cube = Render()->CreateGeometry(1);
    ASSERT_NE(cube, nullptr);
    auto drawCube = [&] {
        Device()->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
        cube->Draw(0, 0, 0);
    };
    SetLighting(FALSE, 0);
    EXPECT_EQ(CentreAfter(drawCube), 0xFFFF0000u);
    // Lit by nothing, with no ambient light: black, at the vertices' full alpha.
    SetLighting(TRUE, 0);
    EXPECT_EQ(CentreAfter(drawCube), 0xFF000000u);

    LoseAndReset(); // every state back to the device's defaults
    SetLighting(FALSE, 0);
    EXPECT_EQ(CentreAfter(drawCube), 0xFFFF0000u);
    Render()->ReleaseGeometry(cube);
}

TEST_F(Scene3DTest, MeshesAreSharedByFolderAndDrawTheirSubsets)
{
    // A folder without its .x file: an object all the same, drawing nothing; the log says why.
    MarkLog();
    CMesh* missing = Render()->CreateMesh((m_dir.Path() / "Nothing.pak").wstring().c_str());
    EXPECT_EQ(Count(LogSinceMark(), "D3DXLoadMeshFromXW  failed. file=" + (m_dir.Path() / "Nothing.pak").string() +
                                        "\\Nothing.x, reason=not found"),
              1);
    ASSERT_TRUE(missing && !missing->GetD3DXMesh());
    EXPECT_EQ(CentreAfter([&] { missing->Draw(0, 0, 0); }), 0xFF204060u);

    // Lit by ambient white only, the colour is the material's (ambient = diffuse), times the
    // texture where there is one.
    SetLighting(TRUE, 0xFFFFFFFF);
    const std::wstring plain = WriteMesh("Plain", "0.0;1.0;0.0;1.0", 0);
    CMesh* mesh = Render()->CreateMesh(plain.c_str());
    ASSERT_NE(mesh->GetD3DXMesh(), nullptr);
    EXPECT_EQ(CentreAfter([&] { mesh->Draw(0, 0, 0); }), 0xFF00FF00u);
    EXPECT_EQ(Render()->CreateMesh(plain.c_str()), mesh);
    const std::wstring skinned = WriteMesh("Skinned", "1.0;1.0;1.0;1.0", 0xFF3060C0);
    CMesh* textured = Render()->CreateMesh(skinned.c_str());
    EXPECT_EQ(CentreAfter([&] { textured->Draw(0, 0, 0); }), 0xFF3060C0u);
    // Drawing a textured mesh leaves no texture behind for the next untextured one.
    EXPECT_EQ(CentreAfter([&] { mesh->Draw(0, 0, 0); }), 0xFF00FF00u);
    // Meshes and their textures live through a device reset untouched.
    LoseAndReset();
    SetLighting(TRUE, 0xFFFFFFFF);
    EXPECT_EQ(CentreAfter([&] { textured->Draw(0, 0, 0); }), 0xFF3060C0u);

    // The first release of a shared mesh keeps it (and the caller's pointer), the second
    // destroys it; a pointer that is no longer registered changes nothing.
    CMesh* first = mesh;
    Render()->ReleaseMesh(&first);
    EXPECT_EQ(first, mesh);
    Render()->ReleaseMesh(&first);
    EXPECT_EQ(first, nullptr);
    CMesh* stale = mesh;
    Render()->ReleaseMesh(&stale);
    EXPECT_EQ(stale, mesh);
}

// The demo's lantern, as the art tool writes it: twelve quads and two twelve-sided caps split
// into 44 triangles, a textured subset whose picture came from the mesh folder, a plain one.
TEST_F(Scene3DTest, TheDemoLanternLoadsWithItsTexture)
{
    const std::wstring folder =
        std::filesystem::path(VIREO_TEST_DATA_DIR "/../../samples/demo/data/Lantern.pak").lexically_normal().wstring();
    CMesh* lantern = Render()->CreateMesh(folder.c_str());
    ASSERT_NE(lantern->GetD3DXMesh(), nullptr);
    EXPECT_EQ(std::pair(lantern->GetSubsetCount(), lantern->GetD3DXMesh()->GetNumFaces()), std::pair(2u, 44u));
    const CRenderSystem::STexture* skin = Render()->FindTexture((folder + L"\\Lantern.png").c_str());
    EXPECT_TRUE(skin && skin->pTexture);
    // Every triangle is wound clockwise as seen from where its normal points (a front face
    // outside, kept by the default culling): (p1 - p0) x (p2 - p0) runs along the normal.
    ID3DXMesh* mesh = lantern->GetD3DXMesh();
    void *vb = nullptr, *ib = nullptr;
    ASSERT_EQ(mesh->LockVertexBuffer(0, &vb), S_OK);
    ASSERT_EQ(mesh->LockIndexBuffer(0, &ib), S_OK);
    const auto* vertices = static_cast<const float*>(vb); // position, normal, uv: 8 floats
    const auto* indices = static_cast<const std::uint16_t*>(ib);
    for (DWORD f = 0; f < mesh->GetNumFaces(); ++f) {
        auto at = [&](int corner, int field) { // field 0: position, 3: normal
            const float* v = vertices + 8 * indices[3 * f + corner] + field;
            return D3DXVECTOR3(v[0], v[1], v[2]);
        };
        const D3DXVECTOR3 a = at(1, 0) - at(0, 0), b = at(2, 0) - at(0, 0), normal = at(0, 3);
        D3DXVECTOR3 across;
        D3DXVec3Cross(&across, &a, &b);
        EXPECT_GT(D3DXVec3Dot(&across, &normal), 0.0f) << f;
    }
    mesh->UnlockVertexBuffer();
    mesh->UnlockIndexBuffer();
    // The lantern and a cube are left to the engine's shutdown, which destroys them after the
    // pictures and the texture pool (the sanitizer build sees any leak or stale use).
    Render()->CreateGeometry(1);
}

} // namespace
} // namespace vireo::test
