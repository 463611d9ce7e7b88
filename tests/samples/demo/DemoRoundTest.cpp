// The demo's round rules: the same inputs give the same game, catching builds a capped combo,
// a mine costs time and the combo, the clock ends the round exactly, and only a fresh press
// of Return after the grace period starts the next one.
#include "DemoRound.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int kW = 800, kH = 600;
constexpr int kFar = -10000; // a player position that touches nothing

using Event = CDemoRound::SEvent;

// Updates with the player far away until a target of `kind` is on screen; its next position.
bool WaitForTarget(CDemoRound& round, CDemoRound::Kind kind, int& x, int& y, int limit = 2000)
{
    for (int i = 0; i < limit; ++i) {
        for (const CDemoRound::STarget& t : round.Targets())
            if (t.kind == kind && t.x > 0 && t.y > 0) {
                x = (t.x + t.vx) / CDemoRound::kSub;
                y = (t.y + t.vy) / CDemoRound::kSub;
                return true;
            }
        round.Update(kW, kH, kFar, kFar, false);
    }
    return false;
}

int CountEvents(const CDemoRound& round, Event::Type type)
{
    int n = 0;
    for (const Event& e : round.Events())
        n += e.type == type;
    return n;
}

TEST(DemoRoundTest, SameInputsGiveTheSameGameAndAnotherSeedAnother)
{
    CDemoRound a, b, other(12345);
    std::vector<std::uint32_t> hashes;
    for (int i = 0; i < 1500; ++i) {
        // A player sweeping across, so catches and hits happen along the way.
        const int x = (i * 7) % kW, y = 150 + (i * 3) % 300;
        a.Update(kW, kH, x, y, false);
        b.Update(kW, kH, x, y, false);
        other.Update(kW, kH, x, y, false);
        ASSERT_EQ(a.Hash(), b.Hash()) << "update " << i;
        hashes.push_back(other.Hash());
    }
    EXPECT_EQ(a.Score(), b.Score());
    const int penalties = CDemoRound::kRoundTicks - 1500 - a.TicksLeft();
    EXPECT_GT(a.Score() + penalties, 0); // the path met stars or mines
    EXPECT_NE(a.Hash(), hashes.back());
    // A different player path gives a different game.
    CDemoRound c;
    for (int i = 0; i < 1500; ++i)
        c.Update(kW, kH, kFar, kFar, false);
    EXPECT_NE(a.Hash(), c.Hash());
    EXPECT_EQ(c.Score(), 0);
}

TEST(DemoRoundTest, QuickCatchesBuildACappedComboAndAMineCostsTimeAndCombo)
{
    CDemoRound round;
    std::vector<int> points;
    for (int catches = 0; catches < 7; ++catches) {
        int x = 0, y = 0;
        ASSERT_TRUE(WaitForTarget(round, CDemoRound::Kind::STAR, x, y));
        round.Update(kW, kH, x, y, false);
        ASSERT_EQ(CountEvents(round, Event::CAUGHT), 1);
        points.push_back(round.Events().back().points);
    }
    // Whether a catch continues the combo depends on the wait; every step is +1 or a restart.
    int expected = 0, total = 0;
    for (int p : points) {
        ASSERT_EQ(p % CDemoRound::kStarPoints, 0);
        const int combo = p / CDemoRound::kStarPoints;
        EXPECT_TRUE(combo == 1 || combo == std::min(expected + 1, CDemoRound::kMaxCombo)) << combo;
        expected = combo;
        total += p;
    }
    EXPECT_EQ(round.Score(), total);

    int x = 0, y = 0;
    ASSERT_TRUE(WaitForTarget(round, CDemoRound::Kind::MINE, x, y));
    const int before = round.TicksLeft();
    round.Update(kW, kH, x, y, false);
    EXPECT_EQ(CountEvents(round, Event::MINE_HIT), 1);
    EXPECT_EQ(round.TicksLeft(), before - CDemoRound::kMinePenaltyTicks - 1);
    EXPECT_EQ(round.Combo(), 0);
    EXPECT_EQ(round.Score(), total);
}

TEST(DemoRoundTest, ComboRisesOnCatchesInsideItsWindowUpToTheCap)
{
    // Catch every star the moment it is on screen: most catches fall inside the window.
    CDemoRound round;
    int best = 0;
    for (int i = 0; i < 3000 && !round.IsOver(); ++i) {
        int x = kFar, y = kFar;
        for (const CDemoRound::STarget& t : round.Targets())
            if (t.kind == CDemoRound::Kind::STAR) {
                x = (t.x + t.vx) / CDemoRound::kSub;
                y = (t.y + t.vy) / CDemoRound::kSub;
                break;
            }
        round.Update(kW, kH, x, y, false);
        best = std::max(best, round.Combo());
        ASSERT_LE(static_cast<int>(round.Targets().size()), CDemoRound::kMaxTargets);
    }
    EXPECT_EQ(best, CDemoRound::kMaxCombo);
}

TEST(DemoRoundTest, TheClockEndsTheRoundAndOnlyAFreshReturnAfterTheGraceStartsTheNext)
{
    CDemoRound round;
    int overAt = 0;
    for (int i = 1; i <= CDemoRound::kRoundTicks + 5 && overAt == 0; ++i) {
        round.Update(kW, kH, kFar, kFar, true); // Return held all round long
        if (CountEvents(round, Event::ROUND_OVER) == 1)
            overAt = i;
    }
    EXPECT_EQ(overAt, CDemoRound::kRoundTicks);
    EXPECT_TRUE(round.IsOver());
    EXPECT_TRUE(round.Targets().empty());
    EXPECT_EQ(round.TicksLeft(), 0);

    struct Step {
        int updates;
        bool held;
        bool overAfter;
    } steps[] = {
        {CDemoRound::kRestartDelayTicks + 10, true, true}, // still held from the round: no press
        {1, false, true},
        {1, true, false}, // a fresh press after the grace period
        {5, true, false}, // held on: the new round runs
    };
    for (const Step& step : steps)
        for (int i = 0; i < step.updates; ++i)
            round.Update(kW, kH, kFar, kFar, step.held);
    EXPECT_FALSE(round.IsOver());
    EXPECT_EQ(round.Round(), 2);
    EXPECT_EQ(round.TicksLeft(), CDemoRound::kRoundTicks - 5);

    // A press inside the grace period is ignored.
    CDemoRound quick;
    for (int i = 0; i < CDemoRound::kRoundTicks; ++i)
        quick.Update(kW, kH, kFar, kFar, false);
    ASSERT_TRUE(quick.IsOver());
    quick.Update(kW, kH, kFar, kFar, true);
    EXPECT_TRUE(quick.IsOver());
}

TEST(DemoRoundTest, BestScoreKeepsTheHighestRound)
{
    CDemoRound round;
    const auto playRound = [&round](bool chase) {
        while (!round.IsOver()) {
            int x = kFar, y = kFar;
            for (const CDemoRound::STarget& t : round.Targets())
                if (chase && t.kind == CDemoRound::Kind::STAR) {
                    x = (t.x + t.vx) / CDemoRound::kSub;
                    y = (t.y + t.vy) / CDemoRound::kSub;
                    break;
                }
            round.Update(kW, kH, x, y, false);
        }
        const int score = round.Score();
        for (int i = 0; i <= CDemoRound::kRestartDelayTicks; ++i)
            round.Update(kW, kH, kFar, kFar, false);
        round.Update(kW, kH, kFar, kFar, true);
        return score;
    };
    const int first = playRound(true);
    EXPECT_GT(first, 0);
    EXPECT_EQ(round.Score(), 0); // the new round starts from nothing
    const int second = playRound(false);
    EXPECT_EQ(second, 0);
    EXPECT_EQ(round.BestScore(), first);
}

} // namespace
