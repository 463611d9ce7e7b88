// What the base MessageProc gives a game that passes messages on: the GUI and the status
// overlay drawn over the game's scene, the debug hot keys, and the camera steered by the arrow
// keys and the mouse. Not here: the routing and the Win32 cases (GameEngineMessages.cpp).
#include <vireo/engine.h>

#include "support/WideFormat.h"

namespace {

// Modifier sets as CInputSystem::CheckKeyCombo takes them.
constexpr BYTE kNoModifier = 0;
constexpr BYTE kAlt = 1;
constexpr BYTE kCtrl = 2;

constexpr DWORD kStatusYellow = 0xFFFFFF00;
constexpr DWORD kStatusRed = 0xFFFF2020;
constexpr DWORD kCursorWhite = 0xFFFFFFFF;
constexpr DWORD kStatusFormat = DT_SINGLELINE | DT_WORDBREAK;
// The overlay's box: this wide, its right edge on the scene's, its first line at this top.
constexpr int kStatusWidth = 202;
constexpr int kStatusTop = 100;
constexpr int kStatusLineStep = 16;

constexpr float kKeyStep = 0.1f;     // world units per arrow-key press
constexpr float kMouseTurn = 0.01f;  // radians per scene pixel of cursor movement
constexpr float kWheelStep = 0.001f; // world units per wheel unit (120 a notch)

} // namespace

void CGameEngine::DrawDefaultLayers()
{
    m_RenderSystem.BeginSprite();
    // The GUI's pictures are tinted by adding their colour: black leaves them as drawn. The
    // sprite batch puts the stage state back when it ends, so later batches draw as usual.
    m_RenderSystem.SetPictureColorOP(D3DTOP_ADDSMOOTH);
    if (m_pMainGWnd)
        m_pMainGWnd->DoRender();
    m_RenderSystem.EndSprite();
    DrawStatusOverlay();
}

void CGameEngine::DrawStatusOverlay()
{
    m_RenderSystem.BeginSprite();
    CEngineFont* font = m_RenderSystem.GetEngineFont();
    // Red when debug mode is on and the last full second fell short of the cap (the first
    // second, which has no measure yet, is left out).
    const bool slow = m_Param.bDebugMode && m_Status.wFPS < m_Param.wFPS && m_Status.nUIUpdateCount > m_Param.wFPS;
    const DWORD color = slow ? kStatusRed : kStatusYellow;
    wchar_t text[64];
    if (font && (m_Status.bShowStatus || slow)) {
        const int x = m_RenderSystem.GetSceneSize().cx - kStatusWidth + 4;
        vireo::FormatWide(text, 64, L"Game Update Count: %d", static_cast<int>(m_Status.nGameUpdateCount));
        font->Draw(text, x, kStatusTop, 0, 0, color, kStatusFormat);
        vireo::FormatWide(text, 64, L"UI Update Count: %d", static_cast<int>(m_Status.nUIUpdateCount));
        font->Draw(text, x, kStatusTop + kStatusLineStep, 0, 0, color, kStatusFormat);
        vireo::FormatWide(text, 64, L"FPS: %d [%d]", m_Status.wFPS, m_Param.wFPS);
        font->Draw(text, x, kStatusTop + 2 * kStatusLineStep, 0, 0, color, kStatusFormat);
    }
    if (font && m_Param.bDebugMode) {
        const POINT cursor = m_InputSystem.GetCursorPos();
        vireo::FormatWide(text, 64, L"(%ld,%ld)", static_cast<long>(cursor.x), static_cast<long>(cursor.y));
        font->Draw(text, cursor.x + 20, cursor.y + 3, 0, 0, kCursorWhite, kStatusFormat);
    }
    m_RenderSystem.EndSprite();
}

int CGameEngine::HandleHotKeys()
{
    // Tested in this order; the first key released with exactly its modifiers held wins.
    struct SHotKey {
        BYTE key;
        BYTE modifiers;
        void (*action)(CGameEngine& engine);
    };
    static constexpr SHotKey kHotKeys[] = {
        {DIK_F7, kCtrl, [](CGameEngine& e) { e.m_SoundSystem.MuteEffect(!e.m_SoundSystem.IsMuteEffect()); }},
        {DIK_F8, kCtrl, [](CGameEngine& e) { e.m_SoundSystem.MuteMusic(!e.m_SoundSystem.IsMuteMusic()); }},
        {DIK_F9, kCtrl, [](CGameEngine& e) { e.m_Status.bShowStatus = !e.m_Status.bShowStatus; }},
        // Frame cap off, and back to the game's own cap.
        {DIK_F9, kAlt, [](CGameEngine& e) { e.m_Param.wFPS = e.m_Param.wFPS == 0 ? e.m_ParamInit.wFPS : 0; }},
        // Slow motion at one frame a second, and back.
        {DIK_F10, kAlt, [](CGameEngine& e) { e.m_Param.wFPS = e.m_Param.wFPS == 1 ? e.m_ParamInit.wFPS : 1; }},
        {DIK_F11, kCtrl, [](CGameEngine& e) { e.m_Status.bWireframe = !e.m_Status.bWireframe; }},
        {DIK_SYSRQ, kNoModifier,
         [](CGameEngine& e) { e.m_RenderSystem.SaveSceneToFile(L"ScreenCapture.bmp", nullptr); }},
        {DIK_GRAVE, kCtrl, [](CGameEngine& e) { e.m_Param.bDebugMode = !e.m_Param.bDebugMode; }},
        {DIK_ESCAPE, kNoModifier, [](CGameEngine& e) { e.EngineDestroy(); }},
        {DIK_F4, kAlt, [](CGameEngine& e) { e.EngineDestroy(); }},
    };
    for (const SHotKey& hotKey : kHotKeys) {
        if (m_InputSystem.CheckKeyCombo(hotKey.key, hotKey.modifiers) == KS_UP) {
            hotKey.action(*this);
            return 1;
        }
    }
    return 0;
}

void CGameEngine::SteerCameraByKeys()
{
    CCamera* camera = m_RenderSystem.GetCamera();
    if (!camera)
        return;
    // One step per press: the first arrow pressed this frame decides.
    struct SStep {
        BYTE key;
        int walk;
        int strafe;
    };
    static constexpr SStep kSteps[] = {{DIK_UP, 1, 0}, {DIK_DOWN, -1, 0}, {DIK_LEFT, 0, -1}, {DIK_RIGHT, 0, 1}};
    int walk = 0;
    int strafe = 0;
    for (const SStep& step : kSteps) {
        if (m_InputSystem.CheckKeyCombo(step.key, kNoModifier) == KS_DOWN) {
            walk = step.walk;
            strafe = step.strafe;
            break;
        }
    }
    camera->DoStrafe(static_cast<float>(strafe) * kKeyStep);
    camera->DoWalk(static_cast<float>(walk) * kKeyStep);
}

void CGameEngine::SteerCameraByMouse()
{
    CCamera* camera = m_RenderSystem.GetCamera();
    if (!camera)
        return;
    const D3DXVECTOR3 move = m_InputSystem.GetCursorMove();
    // The view turns only on the frame the left button goes down; the wheel always flies.
    if (m_InputSystem.CheckKeyEvent(MOUSE_LBUTTON) == KS_DOWN) {
        camera->DoYaw(move.x * kMouseTurn);
        camera->DoPitch(move.y * kMouseTurn);
    }
    camera->DoFly(move.z * kWheelStep);
}
