// CAnimation through the render system: the tick arithmetic of counted and endless plays,
// backwards sequences, the two clocks with the game paused, sequence changes while playing,
// drawing with a per-call rectangle, and the animation registry.
#include "resource/PackageTest.h"

#include <vireo/platform/D3D9Testing.h>

#include <cstdio>
#include <tuple>

namespace vireo::test {
namespace {

using ::testing::ElementsAre;

// Picture i is (i + 1) pixels wide, so a frame's picture number reads off its width.
const char* const kDesc = "[Picture]\r\nPictureCount=6\r\n[Animation]\r\nFrameDelay=2\r\nSeqCount=4\r\n"
                          "Seq001=0,2,1\r\nSeq002=5,2,1\r\nSeq003=1,3,2\r\nSeq004=4,4,1\r\n";

class AnimationTest : public PackageTest {
  protected:
    void SetUp() override
    {
        PackageTest::SetUp();
        std::vector<std::pair<std::string, std::vector<std::uint8_t>>> pictures;
        for (int i = 0; i < 6; ++i)
            pictures.push_back({"00" + std::to_string(i) + ".png", SolidPng(i + 1, 4, 0xFFFF0000)});
        MakeFolder("pk", kDesc, pictures);
    }
    CAnimation* Make(int sequence)
    {
        CAnimation* animation = Render()->CreateAnimation(L"pk", sequence);
        EXPECT_NE(animation, nullptr);
        return animation;
    }
    // The picture number the current frame shows (-1 for none).
    static int ShownPicture(const CAnimation* animation)
    {
        const CPicture* picture = animation->GetFramePicture();
        return picture ? picture->Width() - 1 : -1;
    }
    void Ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            Render()->UpdateAnimations(0);
    }
    void RunFrames(int count)
    {
        for (int i = 0; i < count; ++i)
            m_game->Run();
    }
    // Game-clock ticks until the play ends, at most `limit`.
    int TicksUntilStopped(CAnimation* animation, int limit = 1000)
    {
        for (int tick = 1; tick <= limit; ++tick) {
            Render()->UpdateAnimations(0);
            if (!animation->IsPlaying())
                return tick;
        }
        return -1;
    }
};

TEST_F(AnimationTest, CountedPlaysLastLoopCountTimesPassesAndEndlessPlaysNeverStop)
{
    // A pass of n frames at delay 2 lasts 3n ticks.
    std::tuple<int, int, int> rows[] = {
        {0, 3, 18}, // sequence 0 has no loop count: one pass whatever the count
        {1, 3, 27}, // written with 1 loop: three passes
        {1, -2, 9}, // a negative count still plays one pass
        {3, 2, 36}, // two loops per unit
    };
    for (const auto& [sequence, times, ticks] : rows) {
        CAnimation* animation = Make(sequence);
        animation->Play(times);
        EXPECT_EQ(TicksUntilStopped(animation), ticks) << sequence << " x" << times;
        EXPECT_EQ(animation->GetCurrentFrame(), 0);
        Render()->ReleaseAnimation(animation);
    }
    CAnimation* endless = Make(1);
    endless->Play(0);
    EXPECT_EQ(TicksUntilStopped(endless, 500), -1);
}

TEST_F(AnimationTest, PausedGameFreezesOnlyGameClockAnimations)
{
    CAnimation *game = Make(1), *ui = Make(1), *other = Make(1);
    ui->SetUsage(1);
    other->SetUsage(2);
    for (CAnimation* a : {game, ui, other})
        a->Play(0);
    m_game->Run();
    EXPECT_EQ(game->GetCurrentFrame(), 0);

    m_game->PauseGame(TRUE);
    m_game->Run();
    const int gameFrame = game->GetCurrentFrame();
    const int uiFrame = ui->GetCurrentFrame();
    RunFrames(3);
    EXPECT_EQ(game->GetCurrentFrame(), gameFrame);
    EXPECT_EQ(ui->GetCurrentFrame(), (uiFrame + 1) % 3);
    EXPECT_EQ(other->GetCurrentFrame(), 0);

    m_game->PauseGame(FALSE);
    RunFrames(4);
    EXPECT_NE(game->GetCurrentFrame(), gameFrame);
    EXPECT_EQ(other->GetCurrentFrame(), 0);

    // StopAllAnimation: nothing moves on later updates until played again.
    Render()->StopAllAnimation();
    const int frames[2] = {game->GetCurrentFrame(), ui->GetCurrentFrame()};
    RunFrames(6);
    EXPECT_FALSE(game->IsPlaying() || ui->IsPlaying() || other->IsPlaying());
    EXPECT_EQ(std::pair(game->GetCurrentFrame(), ui->GetCurrentFrame()), std::pair(frames[0], frames[1]));
}

TEST_F(AnimationTest, ChangeSequenceRestartsOnlyEndlessPlays)
{
    // Endless: a different sequence starts over at frame 0 with a full delay.
    CAnimation* endless = Make(1);
    endless->Play(0);
    Ticks(4);
    EXPECT_EQ(endless->GetCurrentFrame(), 1);
    endless->ChangeSequence(1); // the same index: nothing restarts
    EXPECT_EQ(endless->GetCurrentFrame(), 1);
    endless->ChangeSequence(2);
    EXPECT_EQ(endless->GetCurrentFrame(), 0);
    EXPECT_EQ(ShownPicture(endless), 5);
    Ticks(2);
    EXPECT_EQ(endless->GetCurrentFrame(), 0);
    Render()->UpdateAnimations(0); // a backwards sequence counts down from its start picture
    EXPECT_EQ(std::pair(endless->GetCurrentFrame(), ShownPicture(endless)), std::pair(1, 4));

    // Counted: the frame index stays, even past the new sequence's end, until the pass ends.
    CAnimation* counted = Make(1);
    counted->Play(1);
    Ticks(6);
    EXPECT_EQ(counted->GetCurrentFrame(), 2);
    counted->ChangeSequence(4);
    EXPECT_EQ(counted->GetCurrentFrame(), 2);
    MarkLeveledLog();
    EXPECT_EQ(counted->GetFramePicture(), nullptr);
    EXPECT_THAT(LeveledLogSinceMark(),
                ElementsAre("3:CAnimation::GetFramePicture return NULL. m_nCurrentFrame=2, m_AniData.nFrameCount=1"));
    EXPECT_EQ(TicksUntilStopped(counted), 3);

    // An index beyond the table plays sequence 0.
    counted->ChangeSequence(99);
    EXPECT_EQ(std::pair(counted->GetAniData().nSequence, counted->GetAniData().nFrameCount), std::pair(0, 6));
}

TEST_F(AnimationTest, DrawUsesARectangleForOneCallAndDrawsNothingWhileStopped)
{
    MakeFolder("one", "[Picture]\r\nPictureCount=1\r\n", {{"000.png", SolidPng(4, 4, 0xFF00FF00)}});
    CAnimation* animation = Render()->CreateAnimation(L"one", 0);
    ASSERT_NE(animation, nullptr);
    SDrawParam param{};
    param.dwColor = 0xFFFFFFFF;
    animation->SetDrawParam(&param);
    const RECT corner{0, 0, 1, 1};
    DrawEachFrame([&] {
        animation->Draw(20, 20, &corner);
        animation->DrawCenter(50, 50);
        animation->Draw(80, 80);
    });

    m_game->Run(); // stopped: nothing drawn
    EXPECT_EQ(std::pair(Pixel(20, 20), Pixel(50, 50)), std::pair(0xFF000000u, 0xFF000000u));

    animation->Play(0);
    m_game->Run();
    EXPECT_EQ(Pixel(20, 20), 0xFF00FF00u);
    EXPECT_EQ(Pixel(21, 21), 0xFF000000u); // only the 1 x 1 corner
    EXPECT_EQ(Pixel(48, 48), 0xFF00FF00u); // centred: 48 ... 51
    EXPECT_EQ(Pixel(47, 47), 0xFF000000u);
    EXPECT_EQ(Pixel(83, 83), 0xFF00FF00u); // the stored parameters still draw all of it
}

TEST_F(AnimationTest, ReleasingAnUnknownAnimationLogsOneWarningAndChangesNothing)
{
    CAnimation* animation = Make(1);
    CAnimation* other = Make(1);
    char address[32];
    std::snprintf(address, sizeof address, "%08llx",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(animation)));
    MarkLeveledLog();
    Render()->ReleaseAnimation(animation);
    Render()->ReleaseAnimation(animation);
    Render()->ReleaseAnimation(nullptr);
    EXPECT_THAT(LeveledLogSinceMark(), ElementsAre(std::string("1:ReleaseAnimation  p=0x") + address,
                                                   std::string("2:ReleaseAnimation  can't find p=0x") + address,
                                                   "2:ReleaseAnimation  can't find p=0x00000000"));
    // The other animation and its package are untouched.
    other->Play(1);
    EXPECT_EQ(TicksUntilStopped(other), 9);
    EXPECT_EQ(ShownPicture(other), 0);
}

TEST_F(AnimationTest, CreateCalledTwiceShowsItsBoxAndRebinds)
{
    CAnimation* animation = Make(1);
    CResource* res = Render()->CreateResource(L"pk");
    animation->Create(Render(), res, 3);
    EXPECT_THAT(TakeBoxes(), ElementsAre("CAnimation::Create 函数被调用了两次  FileName=pk, Sequence=3"));
    EXPECT_EQ(animation->GetAniData().nSequence, 3);
    Render()->ReleaseResource(res);
}

} // namespace
} // namespace vireo::test
