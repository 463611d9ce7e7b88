// The demo game's message handling: it makes its orb texture at EMSG_EG_INIT, moves the
// player's orb at each game update, clears the canvas at EMSG_RS_RENDER_BEGIN and draws the
// scene through the engine's sprite batch at EMSG_RS_RENDER. Defaults are left to the engine.
#include "DemoGame.h"

#include <vireo/support.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr int kOrbSize = 64;
constexpr int kRingCount = 8;
constexpr int kPlayerSpeed = 4; // scene pixels per game update; Shift doubles it

// Folds t into 0..range and back, so a position bounces between the two edges.
float Bounce(float t, float range)
{
    const float period = 2.0f * range;
    const float folded = std::fmod(t, period);
    return folded <= range ? folded : period - folded;
}

} // namespace

CDemoGame::~CDemoGame()
{
    ReleaseOrbTexture();
}

int CDemoGame::MessageProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case EMSG_EG_INIT:
        WriteLog(1, L"Demo: init, data folder '%s'", m_strDataFolder.c_str());
        if (!CreateOrbTexture())
            WriteLog(2, L"Demo: the orb texture could not be made; the scene stays empty");
        m_Sprites.Load(GetRenderSystem(), m_strDataFolder);
        m_Pictures.Load(GetRenderSystem(), m_strDataFolder);
        m_Text.Load(GetRenderSystem());
        m_Settings.Create(this, m_strDataFolder);
        m_Scene3D.Load(GetRenderSystem(), m_strDataFolder);
        m_Sounds.Load(GetSoundSystem(), m_strDataFolder);
        m_Arcade.Load(GetRenderSystem(), m_strDataFolder);
        break;
    case EMSG_EG_UI_UPDATE:
        m_Pictures.Update(m_nFrames);
        m_Text.Update(GetEngineStatus());
        break;
    case EMSG_RS_DEVICE_RESET:
        m_Pictures.OnDeviceReset();
        break;
    case EMSG_IS_UI_KEYBOARD_INPUT:
        // The UI side reads the real keyboard even during a replay, so the pause key works
        // there too. P is an event: it fires once per press, however long the key is held.
        // A P typed into the settings dialog's name is a letter.
        if (GetInputSystem()->CheckKeyEvent(DIK_P) == KS_DOWN && !m_Settings.HoldsKeyboard(this))
            PauseGame(!GetEngineStatus()->bPaused);
        if (GetInputSystem()->CheckKeyEvent(DIK_F12) == KS_DOWN)
            m_Pictures.RequestCapture();
        m_Settings.OnUiKeyboard(this);
        break;
    case EMSG_UI_BUTTON_UP:
        m_Settings.OnButtonUp(this, static_cast<UINT>(wParam));
        break;
    case EMSG_EG_PAUSE_CHANGE:
        m_Settings.OnPauseChange(GetEngineStatus()->bPaused);
        break;
    case EMSG_EG_GAME_UPDATE:
        ++m_nGameTicks;
        UpdatePlayer();
        HashKeyStates();
        m_Arcade.Update(GetInputSystem(), GetSceneSize(), m_ptPlayer, m_Sounds);
        m_Sprites.Update(GetSceneSize());
        m_Sounds.Update(GetInputSystem(), m_Settings.HoldsKeyboard(this), m_nGameTicks,
                        SIZE{GetSceneSize().cx - kOrbSize, GetSceneSize().cy - kOrbSize});
        break;
    case EMSG_RS_RENDER_BEGIN:
        GetRenderSystem()->ClearCanvas();
        break;
    case EMSG_RS_RENDER:
        m_Pictures.DrawBackdrop();
        m_Scene3D.Draw(GetRenderSystem(), m_nFrames);
        DrawScene();
        m_Pictures.Draw();
        m_Sprites.Draw(GetRenderSystem(), GetSceneSize());
        m_Arcade.Draw(GetRenderSystem(), GetEngineStatus()->bPaused);
        // The text last; the engine draws the settings dialog over it once this is passed on.
        GetRenderSystem()->BeginSprite();
        m_Text.Draw(GetRenderSystem());
        GetRenderSystem()->EndSprite();
        m_Pictures.CaptureIfRequested();
        break;
    case EMSG_EG_FRAME_END:
        ++m_nFrames;
        break;
    case EMSG_EG_DESTROY:
        WriteLog(1, L"Demo: destroy after %u frames, %u game ticks", m_nFrames, m_nGameTicks);
        ReleaseOrbTexture();
        m_Pictures.Release();
        m_Sprites.Release(GetRenderSystem());
        m_Text.Release(GetRenderSystem());
        m_Settings.Destroy();
        m_Scene3D.Release(GetRenderSystem());
        m_Sounds.Release(GetSoundSystem());
        m_Arcade.Release(GetRenderSystem());
        break;
    default:
        break;
    }
    return CGameEngine::MessageProc(msg, wParam, lParam);
}

BOOL CDemoGame::StartRecording(const wchar_t* path)
{
    SetGameUpdateCount(0);
    return GetInputSystem()->RecordInput(TRUE, path);
}

BOOL CDemoGame::StartReplay()
{
    SetGameUpdateCount(0);
    return GetInputSystem()->ReplayInput(TRUE);
}

void CDemoGame::UpdatePlayer()
{
    // A replay carries key states only, never events or the mouse, so the game side steers
    // by states: what it reads here is the same in the recorded run and in its replay.
    const CInputSystem* input = GetInputSystem();
    const SIZE scene = GetSceneSize();
    if (m_ptPlayer.x < 0) // first update: start in the middle
        m_ptPlayer = POINT{scene.cx / 2, scene.cy / 2};

    const auto held = [input](BYTE key) { return input->CheckKeyState(key) == KS_DOWN; };
    const int speed = held(DIK_LSHIFT) || held(DIK_RSHIFT) ? 2 * kPlayerSpeed : kPlayerSpeed;
    if (held(DIK_LEFT))
        m_ptPlayer.x -= speed;
    if (held(DIK_RIGHT))
        m_ptPlayer.x += speed;
    if (held(DIK_UP))
        m_ptPlayer.y -= speed;
    if (held(DIK_DOWN))
        m_ptPlayer.y += speed;
    // Holding the left button pulls the orb to the cursor (scene coordinates).
    if (input->CheckKeyState(MOUSE_LBUTTON) == KS_DOWN && !m_Settings.HoldsMouse(this))
        m_ptPlayer = input->GetCursorPos();
    m_ptPlayer.x = std::clamp<LONG>(m_ptPlayer.x, 0, scene.cx);
    m_ptPlayer.y = std::clamp<LONG>(m_ptPlayer.y, 0, scene.cy);
}

void CDemoGame::HashKeyStates()
{
    // FNV-1a over the 256 key states as the game side sees them in this update.
    const CInputSystem* input = GetInputSystem();
    for (int key = 0; key < INPUT_KEY_COUNT; ++key) {
        m_nKeyHash ^= static_cast<DWORD>(input->CheckKeyState(key));
        m_nKeyHash *= 16777619u;
    }
}

BOOL CDemoGame::CreateOrbTexture()
{
    IDirect3DDevice9* device = GetRenderSystem()->GetD3DDevice();
    if (!device ||
        FAILED(D3DXCreateTexture(device, kOrbSize, kOrbSize, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &m_pOrb)))
        return FALSE;
    D3DLOCKED_RECT locked{};
    if (FAILED(m_pOrb->LockRect(0, &locked, nullptr, 0))) {
        ReleaseOrbTexture();
        return FALSE;
    }
    const float radius = kOrbSize / 2.0f;
    for (int y = 0; y < kOrbSize; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
        for (int x = 0; x < kOrbSize; ++x) {
            // Distance from the centre in radii, pixel centres at +0.5.
            const float d = std::hypot(x + 0.5f - radius, y + 0.5f - radius) / radius;
            const float alpha = std::clamp((1.0f - d) * 4.0f, 0.0f, 1.0f);
            // A highlight up and to the left, white fading to a warm orange.
            const float light =
                std::clamp(1.0f - std::hypot(x + 0.5f - radius * 0.7f, y + 0.5f - radius * 0.7f) / radius, 0.0f, 1.0f);
            const auto channel = [](float v) {
                return static_cast<DWORD>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255));
            };
            row[x] = D3DCOLOR_ARGB(channel(alpha), channel(0.95f + 0.05f * light), channel(0.45f + 0.55f * light),
                                   channel(0.1f + 0.9f * light));
        }
    }
    m_pOrb->UnlockRect(0);
    return TRUE;
}

void CDemoGame::ReleaseOrbTexture()
{
    if (m_pOrb) {
        m_pOrb->Release();
        m_pOrb = nullptr;
    }
}

void CDemoGame::DrawScene()
{
    CRenderSystem* render = GetRenderSystem();
    if (!m_pOrb)
        return;
    const SIZE scene = render->GetSceneSize();
    const float t = static_cast<float>(m_nGameTicks);
    ID3DXSprite* sprite = render->GetD3DXSprite();
    render->BeginSprite();

    // The bouncing orb, untransformed: copied texel for texel.
    const D3DXVECTOR3 position(std::floor(Bounce(t * 3.0f, static_cast<float>(scene.cx - kOrbSize))),
                               std::floor(Bounce(t * 2.0f, static_cast<float>(scene.cy - kOrbSize))), 0.0f);
    sprite->Draw(m_pOrb, nullptr, nullptr, &position, 0xFFFFFFFF);

    // The ring: each orb scaled, turned and tinted through the sprite's transform.
    const D3DXVECTOR2 centre(scene.cx / 2.0f, scene.cy / 2.0f);
    // Faint, so they stay scenery and do not look like the game's targets.
    static const D3DCOLOR tints[kRingCount] = {0x60FF8080, 0x60FFFF80, 0x6080FF80, 0x6080FFFF,
                                               0x608080FF, 0x60FF80FF, 0x50FFFFFF, 0x40FFFFFF};
    for (int i = 0; i < kRingCount; ++i) {
        const float angle = t * 0.02f + i * (2.0f * D3DX_PI / kRingCount);
        const float scale = 0.75f + 0.25f * std::sin(t * 0.05f + i);
        const D3DXVECTOR2 scaling(scale, scale);
        const D3DXVECTOR2 translation(centre.x + 180.0f * std::cos(angle) - kOrbSize * scale / 2.0f,
                                      centre.y + 180.0f * std::sin(angle) - kOrbSize * scale / 2.0f);
        const D3DXVECTOR2 spin(kOrbSize * scale / 2.0f, kOrbSize * scale / 2.0f);
        D3DXMATRIX transform;
        D3DXMatrixTransformation2D(&transform, nullptr, 0.0f, &scaling, &spin, angle, &translation);
        sprite->SetTransform(&transform);
        sprite->Draw(m_pOrb, nullptr, nullptr, nullptr, tints[i]);
    }
    D3DXMATRIX identity;
    sprite->SetTransform(D3DXMatrixIdentity(&identity));

    // The player's orb, centred on its position, drawn last so it stays on top.
    if (m_ptPlayer.x >= 0) {
        const D3DXVECTOR3 player(static_cast<float>(m_ptPlayer.x - kOrbSize / 2),
                                 static_cast<float>(m_ptPlayer.y - kOrbSize / 2), 0.0f);
        sprite->Draw(m_pOrb, nullptr, nullptr, &player, 0xFF60C0FF);
    }
    render->EndSprite();
}
