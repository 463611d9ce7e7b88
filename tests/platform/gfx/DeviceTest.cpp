// The software device: creation refusals, reference counts, the frame cycle and device loss
// with its scripted answers, Reset's refusal while default-pool objects live, clears and fills.
#include "GfxTestSupport.h"

#include <vireo/platform/DxErr.h>

using namespace vireo::gfxtest;

TEST(Direct3DCreate, RefusesAnotherSdkVersionAndCreatesHalAndRef)
{
    vt::ResetGraphicsControls();
    EXPECT_EQ(Direct3DCreate9(31), nullptr);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    HWND window = CreateHostWindow(32, 16);

    struct Case {
        const char* what;
        bool halUnavailable;
        D3DFORMAT refused;
        D3DDEVTYPE type;
        BOOL depth;
        D3DFORMAT format;
        HRESULT expected;
    };
    const Case cases[] = {
        {"HAL with D24S8", false, D3DFMT_UNKNOWN, D3DDEVTYPE_HAL, TRUE, D3DFMT_D24S8, D3D_OK},
        {"REF without depth", false, D3DFMT_UNKNOWN, D3DDEVTYPE_REF, FALSE, D3DFMT_D24S8, D3D_OK},
        {"HAL taken away", true, D3DFMT_UNKNOWN, D3DDEVTYPE_HAL, TRUE, D3DFMT_D24S8, D3DERR_NOTAVAILABLE},
        {"REF while HAL is away", true, D3DFMT_UNKNOWN, D3DDEVTYPE_REF, TRUE, D3DFMT_D24S8, D3D_OK},
        {"D24S8 refused", false, D3DFMT_D24S8, D3DDEVTYPE_HAL, TRUE, D3DFMT_D24S8, D3DERR_NOTAVAILABLE},
        {"D24S8 refused even without depth", false, D3DFMT_D24S8, D3DDEVTYPE_HAL, FALSE, D3DFMT_D24S8,
         D3DERR_NOTAVAILABLE},
        {"D16 after D24S8 refused", false, D3DFMT_D24S8, D3DDEVTYPE_HAL, TRUE, D3DFMT_D16, D3D_OK},
        {"not a depth format", false, D3DFMT_UNKNOWN, D3DDEVTYPE_HAL, TRUE, D3DFMT_A8R8G8B8, D3DERR_INVALIDCALL},
        {"software device type", false, D3DFMT_UNKNOWN, D3DDEVTYPE_SW, FALSE, D3DFMT_D16, D3DERR_NOTAVAILABLE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        vt::ResetGraphicsControls();
        vt::SetHalUnavailable(c.halUnavailable);
        vt::RefuseDepthFormat(c.refused);
        D3DPRESENT_PARAMETERS pp = PresentParams(window, 32, 16, c.depth, c.format);
        IDirect3DDevice9* device = reinterpret_cast<IDirect3DDevice9*>(1);
        EXPECT_EQ(d3d->CreateDevice(0, c.type, window, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device), c.expected);
        if (SUCCEEDED(c.expected)) {
            ASSERT_NE(device, nullptr);
            D3DCAPS9 caps{};
            EXPECT_EQ(device->GetDeviceCaps(&caps), D3D_OK);
            EXPECT_EQ(caps.DeviceType, c.type);
            EXPECT_GE(caps.MaxSimultaneousTextures, 2u);
            EXPECT_EQ(device->Release(), 0u);
        } else {
            EXPECT_EQ(device, nullptr);
        }
    }
    vt::ResetGraphicsControls();
    vt::SetHalUnavailable(true);
    D3DCAPS9 caps{};
    caps.MaxSimultaneousTextures = 77;
    EXPECT_EQ(d3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(caps.MaxSimultaneousTextures, 0u);
    vt::ResetGraphicsControls();
    EXPECT_EQ(d3d->Release(), 0u);
    DestroyWindow(window);
}

TEST_F(DeviceTest, ReferenceCountsFollowComRules)
{
    // The device was created with one reference; every resource holds one more.
    EXPECT_EQ(m_device->AddRef(), 2u);
    EXPECT_EQ(m_device->Release(), 1u);

    IDirect3DTexture9* texture = MakeTexture(4, 4, std::vector<std::uint32_t>(16, 0xFF000000));
    EXPECT_EQ(m_device->AddRef(), 3u) << "a texture keeps its device";
    m_device->Release();

    IDirect3DSurface9* level = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
    EXPECT_EQ(texture->AddRef(), 3u) << "the level surface counts on its texture";
    texture->Release();
    EXPECT_EQ(level->Release(), 1u);

    IDirect3DSurface9* back = nullptr;
    ASSERT_EQ(m_device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    EXPECT_EQ(m_device->AddRef(), 4u) << "the back buffer counts on the device";
    m_device->Release();
    back->Release();

    // Binding a texture does not hold it: releasing it to zero unbinds it.
    ASSERT_EQ(m_device->SetTexture(0, texture), D3D_OK);
    EXPECT_EQ(texture->Release(), 0u);
    IDirect3DBaseTexture9* bound = reinterpret_cast<IDirect3DBaseTexture9*>(1);
    EXPECT_EQ(m_device->GetTexture(0, &bound), D3D_OK);
    EXPECT_EQ(bound, nullptr);

    ID3DXSprite* sprite = nullptr;
    ID3DXLine* line = nullptr;
    ASSERT_EQ(D3DXCreateSprite(m_device, &sprite), D3D_OK);
    ASSERT_EQ(D3DXCreateLine(m_device, &line), D3D_OK);
    EXPECT_EQ(vt::CountLiveObjects().sprites, 1);
    EXPECT_EQ(sprite->Release(), 0u);
    EXPECT_EQ(line->Release(), 0u);
    EXPECT_EQ(vt::CountLiveObjects().sprites, 0);
    EXPECT_EQ(vt::CountLiveObjects().lines, 0);
}

TEST_F(DeviceTest, ResetRefusedWhileDefaultPoolObjectsLive)
{
    D3DPRESENT_PARAMETERS pp = PresentParams(m_window, 32, 16);
    pp.BackBufferWidth = kWidth;
    pp.BackBufferHeight = kHeight;

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
    sprite->OnLostDevice(); // harmless to repeat
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

    sprite->OnResetDevice();
    EXPECT_EQ(vt::ResetBlockers(m_device), 1);
    sprite->Release();
    EXPECT_EQ(managed->Release(), 0u) << "managed textures survive a reset untouched";
}

TEST_F(DeviceTest, DeviceLossIsInjectedAndScripted)
{
    D3DPRESENT_PARAMETERS pp = PresentParams(m_window, 32, 16);
    pp.BackBufferWidth = kWidth;
    pp.BackBufferHeight = kHeight;

    ASSERT_EQ(m_device->BeginScene(), D3D_OK);
    EXPECT_EQ(m_device->BeginScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL) << "inside the scene";
    ASSERT_EQ(m_device->EndScene(), D3D_OK);
    ClearTo(0xFF204060);
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(vt::PresentedFrameCount(m_device), 1);
    const vt::Frame shown = vt::LastPresentedFrame();
    EXPECT_EQ(shown.width, kWidth);
    EXPECT_EQ(shown.pixels, Frame().pixels) << "the back buffer is what the back end gets";

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

    // Queued answers come first; then the device's own (still lost: not reset).
    vt::QueueCooperativeLevelResults({D3DERR_DEVICELOST, D3DERR_DEVICELOST});
    for (HRESULT expected : {D3DERR_DEVICELOST, D3DERR_DEVICELOST, D3DERR_DEVICENOTRESET})
        EXPECT_EQ(m_device->TestCooperativeLevel(), expected);
    vt::QueueResetResults({D3DERR_DEVICELOST, D3DERR_DRIVERINTERNALERROR});
    for (HRESULT expected : {D3DERR_DEVICELOST, D3DERR_DRIVERINTERNALERROR, D3D_OK})
        EXPECT_EQ(m_device->Reset(&pp), expected);
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3D_OK);
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);

    vt::LoseDeviceOnEveryPresent(true);
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    EXPECT_EQ(m_device->Reset(&pp), D3D_OK);
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    vt::LoseDeviceOnEveryPresent(false);
    EXPECT_EQ(m_device->Reset(&pp), D3D_OK);
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

TEST_F(DeviceTest, StatesStartAtDeviceDefaults)
{
    const struct {
        D3DRENDERSTATETYPE state;
        DWORD value;
    } renderDefaults[] = {
        {D3DRS_ZENABLE, D3DZB_TRUE},
        {D3DRS_FILLMODE, D3DFILL_SOLID},
        {D3DRS_SRCBLEND, D3DBLEND_ONE},
        {D3DRS_DESTBLEND, D3DBLEND_ZERO},
        {D3DRS_CULLMODE, D3DCULL_CCW},
        {D3DRS_ALPHABLENDENABLE, FALSE},
        {D3DRS_LIGHTING, TRUE},
        {D3DRS_AMBIENT, 0},
        {D3DRS_TEXTUREFACTOR, 0xFFFFFFFF},
        {D3DRS_COLORWRITEENABLE, 0xF},
        {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
        {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS},
    };
    for (const auto& d : renderDefaults) {
        DWORD value = 0xDEAD;
        EXPECT_EQ(m_device->GetRenderState(d.state, &value), D3D_OK);
        EXPECT_EQ(value, d.value) << "render state " << d.state;
    }
    // Stage 1 starts disabled with its own coordinates: the sprite's mask relies on both.
    DWORD value = 0;
    m_device->GetTextureStageState(1, D3DTSS_COLOROP, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DTOP_DISABLE));
    m_device->GetTextureStageState(1, D3DTSS_TEXCOORDINDEX, &value);
    EXPECT_EQ(value, 1u);
    EXPECT_EQ(m_device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(5000), 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetTextureStageState(8, D3DTSS_COLOROP, 1), D3DERR_INVALIDCALL);
}

TEST_F(DeviceTest, ClearFillsTargetRectanglesAndViewport)
{
    ClearTo(0xFFCDECFF);
    Pixels frame = Frame();
    EXPECT_EQ(frame.At(0, 0), 0xFFCDECFFu);
    EXPECT_EQ(frame.At(kWidth - 1, kHeight - 1), 0xFFCDECFFu);

    const D3DRECT rects[2] = {{2, 3, 5, 4}, {-10, kHeight - 1, 1, kHeight + 10}};
    ASSERT_EQ(m_device->Clear(2, rects, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), D3D_OK);
    // Right and bottom edges exclusive; rectangles off the target are clipped, not refused.
    const std::uint32_t K = 0xFF000000u, C = 0xFFCDECFFu;
    frame = Frame();
    EXPECT_EQ((std::vector<std::uint32_t>{frame.At(2, 3), frame.At(4, 3), frame.At(5, 3), frame.At(2, 4),
                                          frame.At(0, kHeight - 1), frame.At(1, kHeight - 1)}),
              (std::vector<std::uint32_t>{K, K, C, C, K, C}));

    D3DVIEWPORT9 vp{10, 10, 4, 4, 0.0f, 1.0f};
    ASSERT_EQ(m_device->SetViewport(&vp), D3D_OK);
    ClearTo(0xFF112233);
    frame = Frame();
    EXPECT_EQ((std::vector<std::uint32_t>{frame.At(10, 10), frame.At(13, 13), frame.At(14, 13), frame.At(9, 10)}),
              (std::vector<std::uint32_t>{0xFF112233u, 0xFF112233u, C, C}));

    EXPECT_EQ(m_device->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3DERR_INVALIDCALL);
}

TEST(DeviceWithoutDepth, ClearOfDepthIsRefused)
{
    vt::ResetGraphicsControls();
    HWND window = CreateHostWindow(32, 16);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS pp = PresentParams(window, 32, 16, FALSE);
    IDirect3DDevice9* device = nullptr;
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_REF, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &device), D3D_OK);
    DWORD z = 99;
    device->GetRenderState(D3DRS_ZENABLE, &z);
    EXPECT_EQ(z, static_cast<DWORD>(D3DZB_FALSE));
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0), D3D_OK);
    EXPECT_EQ(Pixels(vt::ReadBackBuffer(device)).At(31, 15), 0xFF00FF00u);
    device->Release();
    d3d->Release();
    DestroyWindow(window);
}

TEST_F(DeviceTest, ColorFillOnlyOnDefaultPoolSurfaces)
{
    IDirect3DTexture9* target = MakeTexture(8, 8, std::vector<std::uint32_t>(64, 0), true);
    IDirect3DTexture9* managed = MakeTexture(8, 8, std::vector<std::uint32_t>(64, 0));
    IDirect3DSurface9* targetLevel = nullptr;
    IDirect3DSurface9* managedLevel = nullptr;
    target->GetSurfaceLevel(0, &targetLevel);
    managed->GetSurfaceLevel(0, &managedLevel);

    const RECT inside{2, 2, 4, 8};
    const RECT outside{2, 2, 4, 9};
    const RECT empty{3, 3, 3, 5};
    EXPECT_EQ(m_device->ColorFill(targetLevel, &inside, 0x80FF0000), D3D_OK);
    EXPECT_EQ(m_device->ColorFill(managedLevel, nullptr, 0x80FF0000), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->ColorFill(targetLevel, &outside, 0), D3DERR_INVALIDCALL) << "validated, not clipped";
    EXPECT_EQ(m_device->ColorFill(targetLevel, &empty, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->ColorFill(nullptr, nullptr, 0), D3DERR_INVALIDCALL);

    D3DLOCKED_RECT locked{};
    ASSERT_EQ(target->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    auto at = [&](int x, int y) { return static_cast<std::uint32_t*>(locked.pBits)[y * locked.Pitch / 4 + x]; };
    EXPECT_EQ(at(2, 2), 0x80FF0000u) << "stored as given, alpha included, no blending";
    EXPECT_EQ(at(3, 7), 0x80FF0000u);
    EXPECT_EQ(at(4, 2), 0u);
    EXPECT_EQ(at(1, 2), 0u);
    target->UnlockRect(0);

    // The back buffer is a default-pool surface too (the engine's FillRect uses it).
    IDirect3DSurface9* back = nullptr;
    m_device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
    const RECT corner{0, 0, 1, 1};
    EXPECT_EQ(m_device->ColorFill(back, &corner, 0xFF0000FF), D3D_OK);
    EXPECT_EQ(Frame().At(0, 0), 0xFF0000FFu);
    back->Release();

    targetLevel->Release();
    managedLevel->Release();
    target->Release();
    managed->Release();
}

TEST_F(DeviceTest, RenderTargetSwitchesWhereClearsGo)
{
    ClearTo(0xFF000000);
    IDirect3DTexture9* texture = MakeTexture(4, 4, std::vector<std::uint32_t>(16, 0), true);
    IDirect3DTexture9* managed = MakeTexture(4, 4, std::vector<std::uint32_t>(16, 0));
    IDirect3DSurface9* level = nullptr;
    IDirect3DSurface9* managedLevel = nullptr;
    texture->GetSurfaceLevel(0, &level);
    managed->GetSurfaceLevel(0, &managedLevel);
    EXPECT_EQ(m_device->SetRenderTarget(0, managedLevel), D3DERR_INVALIDCALL) << "not a render target";
    ASSERT_EQ(m_device->SetRenderTarget(0, level), D3D_OK);
    ClearTo(0xFF00FF00);
    EXPECT_EQ(Frame().At(0, 0), 0xFF000000u) << "the back buffer is untouched";
    D3DLOCKED_RECT locked{};
    texture->LockRect(0, &locked, nullptr, 0);
    EXPECT_EQ(static_cast<std::uint32_t*>(locked.pBits)[15], 0xFF00FF00u);
    texture->UnlockRect(0);

    IDirect3DSurface9* current = nullptr;
    m_device->GetRenderTarget(0, &current);
    EXPECT_EQ(current, level);
    current->Release();
    level->Release();
    managedLevel->Release();
    managed->Release();
    // Releasing the texture that is the target puts the back buffer back.
    EXPECT_EQ(texture->Release(), 0u);
    ClearTo(0xFF0000FF);
    EXPECT_EQ(Frame().At(0, 0), 0xFF0000FFu);
}

TEST(ErrorNames, NameEveryLoggedCodeOnce)
{
    const struct {
        HRESULT hr;
        const wchar_t* name;
    } cases[] = {
        {D3D_OK, L"S_OK"},
        {D3DERR_DEVICELOST, L"D3DERR_DEVICELOST"},
        {D3DERR_INVALIDCALL, L"D3DERR_INVALIDCALL"},
        {D3DERR_DRIVERINTERNALERROR, L"D3DERR_DRIVERINTERNALERROR"},
        {D3DXERR_INVALIDDATA, L"D3DXERR_INVALIDDATA"},
        {E_FAIL, L"E_FAIL"}, // also DSERR_GENERIC and DIERR_GENERIC: the generic name wins
        {static_cast<HRESULT>(0x80070005), L"E_ACCESSDENIED"},
        {static_cast<HRESULT>(0x88780096), L"DSERR_BUFFERLOST"},
        {static_cast<HRESULT>(0x8007001E), L"DIERR_INPUTLOST"},
        {static_cast<HRESULT>(0x12345678), L"Unknown"},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(DXGetErrorString(c.hr), c.name) << Hex(static_cast<std::uint32_t>(c.hr));
        EXPECT_EQ(std::wstring(DXGetErrorStringW(c.hr)).size(), std::string(DXGetErrorStringA(c.hr)).size());
    }
}
