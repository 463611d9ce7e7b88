// The software device: the frame cycle and device loss with its scripted answers, Reset's
// refusal while default-pool objects live, and the logged error names. Creation and its
// fall-backs are pinned through the engine (render/DeviceCreationTest).
#include "GfxTestSupport.h"

#include <tuple>
#include <vireo/platform/DxErr.h>

using namespace vireo::gfxtest;

TEST_F(DeviceTest, ResetRefusedWhileDefaultPoolObjectsLive)
{
    D3DPRESENT_PARAMETERS pp = m_params;

    IDirect3DTexture9* target = MakeTexture(8, 8, std::vector<std::uint32_t>(64, 0), true);
    IDirect3DTexture9* managed = MakeTexture(8, 8, std::vector<std::uint32_t>(64, 0));
    ID3DXSprite* sprite = nullptr;
    ASSERT_EQ(D3DXCreateSprite(m_device, &sprite), D3D_OK);
    EXPECT_EQ(vt::CountLiveObjects().texturesDefault, 1);
    EXPECT_EQ(vt::CountLiveObjects().texturesManaged, 1);
    EXPECT_EQ(vt::ResetBlockers(m_device), 2);

    EXPECT_EQ(m_device->Reset(&pp), D3DERR_INVALIDCALL) << "live render-target texture and sprite";
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET) << "a refused reset leaves the device lost";
    target->Release();
    EXPECT_EQ(m_device->Reset(&pp), D3DERR_INVALIDCALL) << "the sprite was not told OnLostDevice";
    sprite->OnLostDevice();
    EXPECT_EQ(vt::ResetBlockers(m_device), 0);

    // A held back buffer blocks too: Reset replaces it.
    IDirect3DSurface9* back = nullptr;
    m_device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
    EXPECT_EQ(m_device->Reset(&pp), D3DERR_INVALIDCALL);
    back->Release();

    m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_device->SetTexture(0, managed);
    EXPECT_EQ(m_device->Reset(&pp), D3D_OK);
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3D_OK);
    DWORD value = 99;
    m_device->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(FALSE)) << "states return to their defaults";
    IDirect3DBaseTexture9* bound = nullptr;
    m_device->GetTexture(0, &bound);
    EXPECT_EQ(bound, nullptr);

    sprite->Release(); // its OnResetDevice: the render tests' reset frame
    EXPECT_EQ(managed->Release(), 0u) << "managed textures survive a reset untouched";
}

TEST_F(DeviceTest, DeviceLossIsInjectedAndScripted)
{
    D3DPRESENT_PARAMETERS pp = m_params;

    ASSERT_EQ(m_device->BeginScene(), D3D_OK);
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL) << "inside the scene";
    ASSERT_EQ(m_device->EndScene(), D3D_OK);
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(vt::PresentedFrameCount(m_device), 1); // what the back end gets: the start-up logo's test

    // A loss reported by the back end is the device's loss.
    vt::FailNextPresents(1);
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    ASSERT_EQ(m_device->Reset(&pp), D3D_OK);

    vt::LoseDeviceOnNextPresent();
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST) << "stays lost until Reset";
    EXPECT_EQ(vt::PresentedFrameCount(m_device), 1);

    // While lost, drawing calls succeed and change nothing.
    const std::uint32_t before = Frame().At(0, 0);
    EXPECT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, before ^ 0xFFFFFF, 1.0f, 0), D3D_OK);
    EXPECT_EQ(Frame().At(0, 0), before);

    // Scripted answers are pinned through the engine's loss handling (render/DeviceLossTest).
    ASSERT_EQ(m_device->Reset(&pp), D3D_OK);

    vt::LoseDeviceOnEveryPresent(true);
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    EXPECT_EQ(m_device->Reset(&pp), D3D_OK);
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    vt::LoseDeviceOnEveryPresent(false);
    EXPECT_EQ(m_device->Reset(&pp), D3D_OK);
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

TEST(ErrorNames, NameEveryLoggedCodeOnce)
{
    // S_OK and the device's lost, invalid-call and driver-error names: in the render tests' log lines.
    const std::tuple<HRESULT, const wchar_t*> cases[] = {
        {D3DXERR_INVALIDDATA, L"D3DXERR_INVALIDDATA"},
        {E_FAIL, L"E_FAIL"}, // also DSERR_GENERIC and DIERR_GENERIC: the generic name wins
        {static_cast<HRESULT>(0x80070005), L"E_ACCESSDENIED"},
        {static_cast<HRESULT>(0x88780096), L"DSERR_BUFFERLOST"},
        {static_cast<HRESULT>(0x8007001E), L"DIERR_INPUTLOST"},
        {static_cast<HRESULT>(0x12345678), L"Unknown"},
    };
    for (const auto& [hr, name] : cases) {
        EXPECT_STREQ(DXGetErrorString(hr), name) << Hex(static_cast<std::uint32_t>(hr));
        EXPECT_EQ(std::wstring(DXGetErrorStringW(hr)).size(), std::string(DXGetErrorStringA(hr)).size());
    }
}
