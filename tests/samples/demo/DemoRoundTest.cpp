// The demo's round rules: the same inputs give the same game, chasing stars builds a capped
// combo, a mine costs time and the combo, the clock ends the round exactly, the best score
// outlives it, and only a fresh press of Return after the grace period starts the next.
#include "DemoRound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace {

constexpr int kW = 800, kH = 600;
constexpr int kFar = -10000; // a player position that touches nothing

int CountEvents(const CDemoRound& round, CDemoRound::SEvent::Type type)
{
    return static_cast<int>(std::count_if(round.Events().begin(), round.Events().end(),
                                          [type](const CDemoRound::SEvent& e) { return e.type == type; }));
}

// One update with the player on the next position of the first target of `kind` (or far
// away); true when there was one.
bool Chase(CDemoRound& round, CDemoRound::Kind kind)
{
    for (const CDemoRound::STarget& t : round.Targets())
        if (t.kind == kind) {
            round.Update(kW, kH, (t.x + t.vx) / CDemoRound::kSub, (t.y + t.vy) / CDemoRound::kSub, false);
            return true;
        }
    round.Update(kW, kH, kFar, kFar, false);
    return false;
}

TEST(DemoRoundTest, SameInputsGiveTheSameGameAndOtherInputsAnother)
{
    CDemoRound a, b, seeded(12345), idle;
    for (int i = 0; i < 1500; ++i) {
        // A player sweeping across, so catches and hits happen along the way.
        const int x = (i * 7) % kW, y = 150 + (i * 3) % 300;
        a.Update(kW, kH, x, y, false);
        b.Update(kW, kH, x, y, false);
        seeded.Update(kW, kH, x, y, false);
        idle.Update(kW, kH, kFar, kFar, false);
        ASSERT_EQ(a.Hash(), b.Hash()) << "update " << i;
    }
    const int penalties = CDemoRound::kRoundTicks - 1500 - a.TicksLeft();
    EXPECT_GT(a.Score() + penalties, 0); // the path met stars or mines
    EXPECT_NE(a.Hash(), seeded.Hash());
    EXPECT_NE(a.Hash(), idle.Hash());
    EXPECT_EQ(idle.Score(), 0);
}

TEST(DemoRoundTest, ChasingStarsBuildsACappedComboAndAMineCostsTimeAndCombo)
{
    CDemoRound round;
    int best = 0, expected = 0;
    for (int i = 0; i < 1200; ++i) {
        const int before = round.Score();
        Chase(round, CDemoRound::Kind::STAR);
        if (CountEvents(round, CDemoRound::SEvent::CAUGHT) == 1) {
            // Points are 10 x the combo, which restarts at 1 or grows by one up to the cap.
            const int combo = round.Combo();
            EXPECT_TRUE(combo == 1 || combo == std::min(expected + 1, CDemoRound::kMaxCombo)) << combo;
            EXPECT_EQ(round.Score() - before, CDemoRound::kStarPoints * combo);
            expected = combo;
        }
        best = std::max(best, round.Combo());
        ASSERT_LE(static_cast<int>(round.Targets().size()), CDemoRound::kMaxTargets);
    }
    EXPECT_EQ(best, CDemoRound::kMaxCombo);

    const int score = round.Score();
    int left = round.TicksLeft();
    while (!Chase(round, CDemoRound::Kind::MINE))
        left = round.TicksLeft();
    EXPECT_EQ(CountEvents(round, CDemoRound::SEvent::MINE_HIT), 1);
    EXPECT_EQ(round.TicksLeft(), left - CDemoRound::kMinePenaltyTicks - 1);
    EXPECT_EQ(round.Combo(), 0);
    EXPECT_GE(round.Score(), score);
}

TEST(DemoRoundTest, TheClockEndsTheRoundAndOnlyAFreshReturnAfterTheGraceStartsTheNext)
{
    // Nothing touched: the round ends on its last tick, with the targets cleared.
    CDemoRound idle;
    int overAt = 0;
    for (int i = 1; i <= CDemoRound::kRoundTicks + 5 && overAt == 0; ++i) {
        idle.Update(kW, kH, kFar, kFar, true);
        if (CountEvents(idle, CDemoRound::SEvent::ROUND_OVER) == 1)
            overAt = i;
    }
    EXPECT_EQ(overAt, CDemoRound::kRoundTicks);
    EXPECT_TRUE(idle.IsOver() && idle.Targets().empty());

    // A chased round (mines cut it short) sets the best score.
    CDemoRound round;
    while (!round.IsOver())
        Chase(round, CDemoRound::Kind::STAR);
    const int first = round.Score();
    EXPECT_GT(first, 0);
    EXPECT_EQ(round.BestScore(), first);

    // Updates with Return held or not, and whether the round is over after them: a press
    // inside the grace period is ignored, and so is the same press held past it; a fresh
    // press after it starts the new round, which runs on while Return stays held.
    const std::tuple<int, bool, bool> steps[] = {
        {1, false, true}, {1, true, true},  {CDemoRound::kRestartDelayTicks, true, true},
        {1, false, true}, {1, true, false}, {5, true, false}};
    for (auto [updates, held, overAfter] : steps) {
        for (int i = 0; i < updates; ++i)
            round.Update(kW, kH, kFar, kFar, held);
        ASSERT_EQ(round.IsOver(), overAfter) << updates << " " << held;
    }
    EXPECT_EQ(round.Round(), 2);
    EXPECT_EQ(round.TicksLeft(), CDemoRound::kRoundTicks - 5);
    EXPECT_EQ(round.Score(), 0);
    EXPECT_EQ(round.BestScore(), first); // a poorer round keeps the best
    while (!round.IsOver())
        round.Update(kW, kH, kFar, kFar, false);
    EXPECT_EQ(round.BestScore(), first);
}

} // namespace
