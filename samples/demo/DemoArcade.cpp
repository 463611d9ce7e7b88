// Runs and shows the demo's round (see DemoArcade.h). Explosions, popups and sounds are
// effects of the round's events only; they never feed back into the game state.
#include "DemoArcade.h"

#include <vireo/support.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr int kExplosions = 12;   // effects at once; more are dropped
constexpr int kSparkleFrames = 6; // pictures of effects.pak
constexpr int kPopupTicks = 40;
constexpr DWORD kStarTint = 0xFFE040;
constexpr DWORD kMineTint = 0xFF3020;
constexpr DWORD kHudColor = 0xFFF8F0C0;
constexpr DWORD kComboColor = 0xFF80FFA0;
constexpr DWORD kWarnColor = 0xFFFF6040;
constexpr wchar_t kRecordFile[] = L"DemoScores.ini";
constexpr int kHudX = 16;
constexpr int kHudY = 168;
constexpr int kHintTicks = 4 * CDemoRound::kTicksPerSecond; // how to play, at a round's start

} // namespace

void CDemoArcade::Load(CRenderSystem* render, const std::wstring& dataFolder)
{
    m_pEffects = render->CreateResource((dataFolder + L"/effects.pak").c_str());
    m_pExplosions = std::make_unique<CAnimationCtrl>();
    m_pExplosions->Create(render, (dataFolder + L"/explosion.pak").c_str(), kExplosions);
    m_pHudFont = render->CreateEngineFont(L"Tahoma", 22, 0, 700);
    m_pBigFont = render->CreateEngineFont(L"Tahoma", 40, 0, 700);
    LoadRecord();
}

void CDemoArcade::LoadRecord()
{
    CIniFile ini;
    if (!ini.Load(kRecordFile, nullptr))
        return; // no record yet
    // A hand-edited or damaged value counts as no record.
    m_nRecord = std::max(0, ini.GetInt(L"Scores", L"Record", 0, FALSE));
}

void CDemoArcade::SaveRecord(int score)
{
    if (score <= m_nRecord)
        return;
    m_nRecord = score;
    CIniFile ini;
    ini.Load(kRecordFile, nullptr);
    ini.SetString(L"Scores", L"Record", std::to_wstring(score).c_str());
    if (!ini.Save(0, kRecordFile))
        WriteLog(2, L"Demo: the record could not be saved to %s", kRecordFile);
}

void CDemoArcade::Update(const CInputSystem* input, SIZE scene, POINT player, CDemoSounds& sounds)
{
    m_ptPlayer = player;
    m_Round.Update(scene.cx, scene.cy, player.x, player.y, input->CheckKeyState(DIK_RETURN) == KS_DOWN);
    for (SPopup& popup : m_Popups)
        ++popup.age;
    std::erase_if(m_Popups, [](const SPopup& popup) { return popup.age > kPopupTicks; });
    for (const CDemoRound::SEvent& event : m_Round.Events()) {
        if (!m_pExplosions) // not loaded, or released already: the rules still run
            break;
        switch (event.type) {
        case CDemoRound::SEvent::CAUGHT:
            m_pExplosions->PlayCenter(event.x, event.y);
            m_Popups.push_back(SPopup{event.x, event.y, event.points, 0});
            sounds.Play(CDemoSounds::COIN);
            break;
        case CDemoRound::SEvent::MINE_HIT:
            // Three bursts a little apart read as a bigger bang than one.
            m_pExplosions->PlayCenter(event.x - 14, event.y + 4);
            m_pExplosions->PlayCenter(event.x + 12, event.y - 10);
            m_pExplosions->PlayCenter(event.x, event.y);
            sounds.Play(CDemoSounds::HIT);
            break;
        case CDemoRound::SEvent::ROUND_OVER:
            sounds.Play(CDemoSounds::BELL);
            SaveRecord(event.points);
            WriteLog(1, L"Demo: round %d over, score %d, best %d", m_Round.Round(), event.points, m_Round.BestScore());
            break;
        default:
            break;
        }
    }
    if (m_nCheckpointEvery > 0 && m_Round.Ticks() % m_nCheckpointEvery == 0) {
        std::printf("demo checkpoint: update=%u round=%d score=%d best=%d left=%d targets=%zu x=%ld y=%ld "
                    "hash=%08x\n",
                    m_Round.Ticks(), m_Round.Round(), m_Round.Score(), m_Round.BestScore(), m_Round.TicksLeft(),
                    m_Round.Targets().size(), static_cast<long>(player.x), static_cast<long>(player.y), m_Round.Hash());
    }
}

void CDemoArcade::Draw(CRenderSystem* render, bool paused) const
{
    render->BeginSprite();
    DrawTargets();
    if (m_pExplosions)
        m_pExplosions->Draw(0, 0);
    DrawHud(render, paused);
    render->EndSprite();
}

void CDemoArcade::DrawTargets() const
{
    if (!m_pEffects)
        return;
    const int tick = static_cast<int>(m_Round.Ticks());
    // Scaled and turned about the picture's middle, which lands on the target's position.
    const auto draw = [](const CPicture* picture, int x, int y, float scale, float angle, DWORD tint) {
        if (!picture)
            return;
        const D3DXVECTOR2 scaling(scale, scale);
        const D3DXVECTOR2 centre(picture->Width() * scale / 2.0f, picture->Height() * scale / 2.0f);
        const D3DXVECTOR2 at(static_cast<float>(x) - centre.x, static_cast<float>(y) - centre.y);
        D3DXMATRIX transform;
        D3DXMatrixTransformation2D(&transform, nullptr, 0.0f, &scaling, &centre, angle, &at);
        picture->DrawTransform(0, 0, &transform, nullptr, nullptr, &tint);
    };
    // A turning white star marks the player's orb among the scenery.
    if (!m_Round.IsOver())
        draw(m_pEffects->GetPicture(0), m_ptPlayer.x, m_ptPlayer.y, 2.4f, tick * -0.05f, 0xFFFFFF);
    for (const CDemoRound::STarget& target : m_Round.Targets()) {
        const int x = target.x / CDemoRound::kSub, y = target.y / CDemoRound::kSub;
        // Stars twinkle through the package's frames; mines are larger, red and spin.
        if (target.kind == CDemoRound::Kind::STAR)
            draw(m_pEffects->GetPicture(tick / 4 % kSparkleFrames), x, y, 1.5f, 0.0f, kStarTint);
        else
            draw(m_pEffects->GetPicture(0), x, y, 1.8f, tick * 0.08f, kMineTint);
    }
}

void CDemoArcade::DrawHud(CRenderSystem* render, bool paused) const
{
    const SIZE scene = render->GetSceneSize();
    wchar_t line[96];
    for (const SPopup& popup : m_Popups) {
        if (!m_pHudFont)
            break;
        std::swprintf(line, sizeof line / sizeof line[0], L"+%d", popup.points);
        const BYTE alpha = static_cast<BYTE>(255 - 200 * popup.age / kPopupTicks);
        m_pHudFont->Draw(line, popup.x - 30, popup.y - 30 - popup.age, 60, 24,
                         (static_cast<DWORD>(alpha) << 24) | (kHudColor & 0xFFFFFF), DT_CENTER | DT_SINGLELINE);
    }
    if (!m_pHudFont)
        return;
    const int seconds = (m_Round.TicksLeft() + CDemoRound::kTicksPerSecond - 1) / CDemoRound::kTicksPerSecond;
    std::swprintf(line, sizeof line / sizeof line[0], L"SCORE %d", m_Round.Score());
    m_pHudFont->Draw(line, kHudX, kHudY, 0, 0, kHudColor, DT_LEFT | DT_SINGLELINE | DT_NOCLIP);
    std::swprintf(line, sizeof line / sizeof line[0], L"BEST  %d   RECORD %d", m_Round.BestScore(),
                  std::max(m_nRecord, m_Round.BestScore()));
    m_pHudFont->Draw(line, kHudX, kHudY + 26, 0, 0, kHudColor, DT_LEFT | DT_SINGLELINE | DT_NOCLIP);
    std::swprintf(line, sizeof line / sizeof line[0], L"TIME  %d", seconds);
    m_pHudFont->Draw(line, kHudX, kHudY + 52, 0, 0, seconds <= 10 ? kWarnColor : kHudColor,
                     DT_LEFT | DT_SINGLELINE | DT_NOCLIP);
    if (m_Round.Combo() > 1) {
        std::swprintf(line, sizeof line / sizeof line[0], L"COMBO x%d", m_Round.Combo());
        m_pHudFont->Draw(line, kHudX, kHudY + 78, 0, 0, kComboColor, DT_LEFT | DT_SINGLELINE | DT_NOCLIP);
    }
    const int centreY = scene.cy / 2;
    if (paused && m_pBigFont) {
        m_pBigFont->Draw(L"PAUSED", 0, centreY - 60, scene.cx, 50, kHudColor, DT_CENTER | DT_SINGLELINE);
        m_pHudFont->Draw(L"P resumes", 0, centreY, scene.cx, 30, kHudColor, DT_CENTER | DT_SINGLELINE);
    } else if (!m_Round.IsOver() && CDemoRound::kRoundTicks - m_Round.TicksLeft() < kHintTicks) {
        m_pHudFont->Draw(L"Catch the gold stars, dodge the red mines!", 0, centreY - 70, scene.cx, 30, kHudColor,
                         DT_CENTER | DT_SINGLELINE);
        m_pHudFont->Draw(L"Arrow keys or drag with the mouse; Shift is faster", 0, centreY - 40, scene.cx, 30,
                         kHudColor, DT_CENTER | DT_SINGLELINE);
    }
    if (m_Round.IsOver() && m_pBigFont && !paused) {
        std::swprintf(line, sizeof line / sizeof line[0], L"TIME'S UP!  SCORE %d", m_Round.Score());
        m_pBigFont->Draw(line, 0, centreY - 60, scene.cx, 50, kHudColor, DT_CENTER | DT_SINGLELINE);
        m_pHudFont->Draw(L"Press Return to play again", 0, centreY, scene.cx, 30, kHudColor, DT_CENTER | DT_SINGLELINE);
    }
}

void CDemoArcade::Release(CRenderSystem* render)
{
    m_pExplosions.reset();
    if (m_pEffects)
        render->ReleaseResource(m_pEffects);
    m_pEffects = nullptr;
    render->ReleaseEngineFont(&m_pHudFont);
    render->ReleaseEngineFont(&m_pBigFont);
}
