// The demo's round: spawning, drifting, catching and the clock, all in integers (positions in
// 1/16 pixel) and one seeded generator, so a replayed session reaches the same state at every
// update. Nothing here reads a clock, the keyboard or the engine.
#include "DemoRound.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kEdgeMargin = 40; // pixels outside the scene where targets appear and vanish
constexpr int kFirstSpawnTicks = 30;
constexpr int kSpawnSlowest = 40;   // ticks between spawns at the start of a round
constexpr int kSpawnFastest = 14;   // ... and at its end
constexpr int kMineShareStart = 20; // per cent of spawns that are mines, rising to
constexpr int kMineShareEnd = 40;

} // namespace

CDemoRound::CDemoRound(std::uint32_t seed) : m_nRng(seed ? seed : 1u) {}

int CDemoRound::Random(int n)
{
    m_nRng ^= m_nRng << 13;
    m_nRng ^= m_nRng >> 17;
    m_nRng ^= m_nRng << 5;
    return static_cast<int>(m_nRng % static_cast<std::uint32_t>(n));
}

void CDemoRound::StartRound()
{
    ++m_nRound;
    m_bOver = false;
    m_nScore = 0;
    m_nCombo = 0;
    m_nSinceCatch = 0;
    m_nTicksLeft = kRoundTicks;
    m_nUntilSpawn = kFirstSpawnTicks;
    m_Targets.clear();
    m_Events.push_back(SEvent{SEvent::ROUND_START, 0, 0, 0});
}

void CDemoRound::Update(int sceneWidth, int sceneHeight, int playerX, int playerY, bool restartHeld)
{
    m_Events.clear();
    ++m_nTicks;
    const bool restartPressed = restartHeld && !m_bRestartWasHeld;
    m_bRestartWasHeld = restartHeld;
    if (m_nRound == 0)
        StartRound();
    if (m_bOver) {
        // A short grace period, so the key that was held when the time ran out does not
        // start the next round at once.
        if (++m_nOverTicks > kRestartDelayTicks && restartPressed)
            StartRound();
        return;
    }
    ++m_nSinceCatch;
    if (--m_nUntilSpawn <= 0)
        Spawn(sceneWidth, sceneHeight);
    MoveAndCollide(sceneWidth, sceneHeight, playerX, playerY);
    if (--m_nTicksLeft <= 0) {
        m_nTicksLeft = 0;
        m_bOver = true;
        m_nOverTicks = 0;
        m_nBest = std::max(m_nBest, m_nScore);
        m_Targets.clear();
        m_Events.push_back(SEvent{SEvent::ROUND_OVER, 0, 0, m_nScore});
    }
}

void CDemoRound::Spawn(int sceneWidth, int sceneHeight)
{
    // Later in the round targets come more often, faster, and more of them are mines.
    const int elapsed = std::clamp(kRoundTicks - m_nTicksLeft, 0, kRoundTicks);
    m_nUntilSpawn = kSpawnSlowest - (kSpawnSlowest - kSpawnFastest) * elapsed / kRoundTicks;
    if (static_cast<int>(m_Targets.size()) >= kMaxTargets || sceneWidth < 4 || sceneHeight < 4)
        return;

    STarget target{};
    const int mineShare = kMineShareStart + (kMineShareEnd - kMineShareStart) * elapsed / kRoundTicks;
    target.kind = Random(100) < mineShare ? Kind::MINE : Kind::STAR;
    int x = 0, y = 0;
    switch (Random(3)) {
    case 0: // left
        x = -kEdgeMargin / 2;
        y = sceneHeight / 5 + Random(sceneHeight * 3 / 5);
        break;
    case 1: // right
        x = sceneWidth + kEdgeMargin / 2;
        y = sceneHeight / 5 + Random(sceneHeight * 3 / 5);
        break;
    default: // top
        x = sceneWidth / 10 + Random(sceneWidth * 4 / 5);
        y = -kEdgeMargin / 2;
        break;
    }
    // Aimed at a point of the middle half of the scene, so every target crosses the field.
    const int aimX = sceneWidth / 4 + Random(sceneWidth / 2);
    const int aimY = sceneHeight / 4 + Random(sceneHeight / 2);
    // 1.5 ... 3 pixels a tick at first, up to 2 more by the end.
    const int speed = kSub * 3 / 2 + Random(kSub * 3 / 2) + 2 * kSub * elapsed / kRoundTicks;
    const double dx = aimX - x, dy = aimY - y;
    const double length = std::max(1.0, std::sqrt(dx * dx + dy * dy));
    target.vx = static_cast<int>(dx * speed / length);
    target.vy = static_cast<int>(dy * speed / length);
    target.x = x * kSub;
    target.y = y * kSub;
    m_Targets.push_back(target);
}

void CDemoRound::MoveAndCollide(int sceneWidth, int sceneHeight, int playerX, int playerY)
{
    std::vector<STarget> kept;
    kept.reserve(m_Targets.size());
    for (STarget target : m_Targets) {
        target.x += target.vx;
        target.y += target.vy;
        const int x = target.x / kSub, y = target.y / kSub;
        const long long dx = x - playerX, dy = y - playerY;
        if (dx * dx + dy * dy < static_cast<long long>(kCatchRadius) * kCatchRadius) {
            if (target.kind == Kind::STAR) {
                m_nCombo = m_nCombo > 0 && m_nSinceCatch <= kComboWindowTicks ? std::min(m_nCombo + 1, kMaxCombo) : 1;
                m_nSinceCatch = 0;
                const int points = kStarPoints * m_nCombo;
                m_nScore += points;
                m_Events.push_back(SEvent{SEvent::CAUGHT, x, y, points});
            } else {
                m_nCombo = 0;
                m_nTicksLeft = std::max(1, m_nTicksLeft - kMinePenaltyTicks);
                m_Events.push_back(SEvent{SEvent::MINE_HIT, x, y, 0});
            }
            continue;
        }
        if (x < -kEdgeMargin || x > sceneWidth + kEdgeMargin || y < -kEdgeMargin || y > sceneHeight + kEdgeMargin) {
            // A star that gets away breaks the combo.
            if (target.kind == Kind::STAR) {
                m_nCombo = 0;
                m_Events.push_back(SEvent{SEvent::ESCAPED, x, y, 0});
            }
            continue;
        }
        kept.push_back(target);
    }
    m_Targets.swap(kept);
}

std::uint32_t CDemoRound::Hash() const
{
    std::uint32_t hash = 2166136261u;
    const auto mix = [&hash](std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            hash ^= (value >> (8 * i)) & 0xFFu;
            hash *= 16777619u;
        }
    };
    for (const int value : {m_nScore, m_nBest, m_nCombo, m_nSinceCatch, m_nTicksLeft, m_nUntilSpawn, m_nOverTicks,
                            m_nRound, static_cast<int>(m_bOver), static_cast<int>(m_bRestartWasHeld)})
        mix(static_cast<std::uint32_t>(value));
    mix(m_nRng);
    mix(m_nTicks);
    for (const STarget& target : m_Targets)
        for (const int value : {static_cast<int>(target.kind), target.x, target.y, target.vx, target.vy})
            mix(static_cast<std::uint32_t>(value));
    return hash;
}
