// The demo's 3D objects: set up the camera, the light and the material colour sources the way
// a game does, then draw the cube unlit (its vertex colours) and the lantern lit. The turns
// come from CMatrixSet rotations folded into the view, since Draw places without turning.
#include "DemoScene3D.h"

#include <vireo/support.h>

namespace {

// World positions of the two objects, in front of the camera at (0, 0, -16): each about
// 90 pixels across in the 800 x 600 scene, clear of the picture gallery at the top.
constexpr float kCameraZ = -16.0f;
constexpr float kCubeX = 6.0f, kCubeY = 0.6f;
constexpr float kLanternX = -5.2f, kLanternY = -0.8f;

} // namespace

void CDemoScene3D::Load(CRenderSystem* render, const std::wstring& dataFolder)
{
    D3DXVECTOR3 eye(0, 0, kCameraZ);
    render->GetCamera()->SetPosition(&eye);
    m_pCube = render->CreateGeometry(1);
    m_pLantern = render->CreateMesh((dataFolder + L"\\Lantern.pak").c_str());
    if (!HasMesh())
        WriteLog(2, L"Demo: the lantern mesh could not be loaded; only the cube turns");
    m_CubeSet.SetTranslation(kCubeX, kCubeY, 0);
    m_LanternSet.SetTranslation(kLanternX, kLanternY, 0);
}

BOOL CDemoScene3D::HasMesh() const
{
    return m_pLantern && m_pLantern->GetD3DXMesh() != nullptr;
}

void CDemoScene3D::Release(CRenderSystem* render)
{
    render->ReleaseGeometry(m_pCube);
    m_pCube = nullptr;
    render->ReleaseMesh(&m_pLantern);
}

void CDemoScene3D::DrawTurned(IDirect3DDevice9* device, const D3DXMATRIX& view, const CMatrixSet& set,
                              const std::function<void()>& draw)
{
    // Draw sets world = T; a view of T^-1 * R * T * V makes the vertices go v * R * T * V.
    D3DXMATRIX untranslate, turned;
    D3DXMatrixInverse(&untranslate, nullptr, &set.m_matTranslation);
    turned = untranslate * set.m_matRotation * set.m_matTranslation * view;
    device->SetTransform(D3DTS_VIEW, &turned);
    draw();
    device->SetTransform(D3DTS_VIEW, &view);
}

void CDemoScene3D::Draw(CRenderSystem* render, DWORD frame)
{
    IDirect3DDevice9* device = render->GetD3DDevice();
    // The camera was placed at load; the engine's arrow keys and mouse steer it from there.
    render->GetCamera()->Render();
    D3DXMATRIX view;
    device->GetTransform(D3DTS_VIEW, &view);
    const float t = static_cast<float>(frame);

    // The cube shows its own vertex colours: no lighting, no texture.
    m_CubeSet.SetRotation(t * 0.021f, t * 0.013f, 0.3f);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetTexture(0, nullptr);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    if (m_pCube)
        DrawTurned(device, view, m_CubeSet, [&] { m_pCube->Draw(kCubeX, kCubeY, 0); });

    // The lantern under a warm light from the upper left and a dim blue ambient; its
    // materials give the colours (no vertex colours in the file).
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.0f, 0.95f, 0.85f, 1.0f};
    light.Direction = {0.6f, -0.5f, 0.6f};
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_AMBIENT, 0xFF303848);
    m_LanternSet.SetRotation(t * 0.012f, 0.35f, 0);
    if (m_pLantern)
        DrawTurned(device, view, m_LanternSet, [&] { m_pLantern->Draw(kLanternX, kLanternY, 0); });
    device->SetTexture(0, nullptr);
}
