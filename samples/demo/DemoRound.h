// The demo's game rules as pure state: stars and mines drift in from the edges, the player's
// orb catches stars for points (quick catches build a combo) and loses time on mines; a round
// lasts a minute of game updates, then Return starts the next. No engine calls, no clock and
// no drawing: the same player positions and key states always give the same game.
#pragma once

#include <cstdint>
#include <vector>

class CDemoRound {
  public:
    enum class Kind : std::uint8_t { STAR, MINE };

    // Positions and speeds in 1/16 pixel, so the state is exact and hashes the same everywhere.
    struct STarget {
        Kind kind;
        int x, y;
        int vx, vy;
    };

    // What one update did, for the game's sounds and explosions (scene pixels).
    struct SEvent {
        enum Type : std::uint8_t { CAUGHT, MINE_HIT, ESCAPED, ROUND_OVER, ROUND_START } type;
        int x, y;
        int points; // CAUGHT: points won
    };

    static constexpr int kSub = 16;            // fixed-point steps per pixel
    static constexpr int kTicksPerSecond = 60; // the demo's frame rate
    static constexpr int kRoundTicks = 60 * kTicksPerSecond;
    static constexpr int kMinePenaltyTicks = 5 * kTicksPerSecond;
    static constexpr int kComboWindowTicks = 90; // a catch within this of the last one builds the combo
    static constexpr int kMaxCombo = 5;
    static constexpr int kStarPoints = 10;  // times the combo
    static constexpr int kCatchRadius = 36; // pixels between the orb's centre and a target's
    static constexpr int kMaxTargets = 24;
    static constexpr int kRestartDelayTicks = 60; // after a round ends, before Return counts

    explicit CDemoRound(std::uint32_t seed = 0x2545F491u);

    // One game update: the scene's size, the player's orb centre and whether Return is held.
    // The events of this update replace those of the last.
    void Update(int sceneWidth, int sceneHeight, int playerX, int playerY, bool restartHeld);

    const std::vector<SEvent>& Events() const { return m_Events; }
    const std::vector<STarget>& Targets() const { return m_Targets; }
    int Score() const { return m_nScore; }
    int BestScore() const { return m_nBest; }
    int Combo() const { return m_nCombo; }
    int TicksLeft() const { return m_nTicksLeft; }
    int Round() const { return m_nRound; }
    bool IsOver() const { return m_bOver; }
    std::uint32_t Ticks() const { return m_nTicks; }
    // FNV-1a over everything above and the generator: equal hashes, equal games.
    std::uint32_t Hash() const;

  private:
    void StartRound();
    void Spawn(int sceneWidth, int sceneHeight);
    void MoveAndCollide(int sceneWidth, int sceneHeight, int playerX, int playerY);
    // Uniform in 0 ... n - 1 (n > 0), from a xorshift generator advanced only here.
    int Random(int n);

    std::uint32_t m_nRng;
    std::uint32_t m_nTicks = 0;
    std::vector<STarget> m_Targets;
    std::vector<SEvent> m_Events;
    int m_nScore = 0;
    int m_nBest = 0;
    int m_nCombo = 0;
    int m_nSinceCatch = 0;
    int m_nTicksLeft = 0;
    int m_nUntilSpawn = 0;
    int m_nOverTicks = 0;
    int m_nRound = 0;
    bool m_bOver = false; // round 0 until the first update starts round 1
    bool m_bRestartWasHeld = false;
};
