// CAnimationCtrl in a running engine: a full pool drops effects, a finished effect frees its
// slot after exactly one pass, draws land at start position plus offset, centred starts
// halve the picture, and bad creation input. The pause rule is the animations' own.
#include "resource/PackageTest.h"

#include <memory>
#include <tuple>

namespace vireo::test {
namespace {

using ::testing::ElementsAre;

// Three 21 x 11 frames, red, green, blue, each shown for 2 ticks: a pass lasts 6 ticks.
constexpr std::uint32_t kBlack = 0xFF000000, kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;
constexpr int kPassTicks = 6;

class AnimationCtrlTest : public PackageTest {
  protected:
    void SetUp() override
    {
        PackageTest::SetUp();
        MakeFolder("boom", "[Picture]\r\nPictureCount=3\r\n[Animation]\r\nFrameDelay=1\r\n",
                   {{"000.png", SolidPng(21, 11, kRed)},
                    {"001.png", SolidPng(21, 11, kGreen)},
                    {"002.png", SolidPng(21, 11, kBlue)}});
        DrawEachFrame([this] {
            if (m_pool)
                m_pool->Draw(m_offset.x, m_offset.y);
        });
    }
    void TearDown() override
    {
        m_pool.reset();
        PackageTest::TearDown();
    }
    CAnimationCtrl& MakePool(int count, const wchar_t* path = L"boom")
    {
        m_pool = std::make_unique<CAnimationCtrl>();
        m_pool->Create(Render(), path, count);
        return *m_pool;
    }
    // One frame, then the colours at each x along y = 100.
    std::vector<std::uint32_t> RunAndRead(std::initializer_list<int> xs)
    {
        m_game->Run();
        std::vector<std::uint32_t> out;
        for (int x : xs)
            out.push_back(Pixel(x, 100));
        return out;
    }

    std::unique_ptr<CAnimationCtrl> m_pool;
    POINT m_offset{0, 0};
};

TEST_F(AnimationCtrlTest, FullPoolDropsThePlayAndAFinishedSlotIsReusedAfterOnePass)
{
    CAnimationCtrl& pool = MakePool(2);
    pool.Play(100, 100);
    pool.Play(200, 100);
    pool.Play(300, 100); // dropped: both slots run
    EXPECT_THAT(RunAndRead({100, 200, 300}), ElementsAre(kRed, kRed, kBlack));

    // One pass, then the effect vanishes: tick 1 was above, ticks 2 ... 6 follow, each one frame.
    std::vector<std::uint32_t> colours;
    for (int tick = 2; tick <= kPassTicks; ++tick, colours.push_back(Pixel(100, 100)))
        m_game->Run();
    EXPECT_THAT(colours, ElementsAre(kGreen, kGreen, kBlue, kBlue, kBlack));
    pool.Play(300, 100); // the first free slot again
    pool.Play(400, 100);
    pool.Play(500, 100); // dropped; and a slot draws only at its latest start, not at 100
    EXPECT_THAT(RunAndRead({300, 400, 500, 100}), ElementsAre(kRed, kRed, kBlack, kBlack));
}

TEST_F(AnimationCtrlTest, DrawAddsItsOffsetAndPlayCenterStartsAtHalfThePictureSize)
{
    CAnimationCtrl& pool = MakePool(2);
    EXPECT_EQ(std::pair(pool.GetPictureSize().cx, pool.GetPictureSize().cy), std::pair(21, 11));
    pool.Play(100, 100);
    pool.PlayCenter(50, 50); // 21 / 2 = 10, 11 / 2 = 5: from (40, 45)
    m_offset = POINT{10, 20};
    m_game->Run();
    // 21 x 11 at (110, 120), and at (40, 45) + offset: inside corners red, outside black.
    for (auto [x, y] : {std::pair{110, 120}, {50, 65}}) {
        EXPECT_EQ(Pixel(x, y), kRed) << x;
        EXPECT_EQ(Pixel(x + 20, y + 10), kRed) << x;
        EXPECT_EQ(Pixel(x - 1, y - 1), kBlack) << x;
        EXPECT_EQ(Pixel(x + 21, y + 11), kBlack) << x;
    }
}

TEST_F(AnimationCtrlTest, SecondCreateShowsItsBoxCutsAnOversizedCountAndPlaysFromTheNewPool)
{
    CAnimationCtrl& pool = MakePool(1);
    MarkLeveledLog();
    pool.Create(Render(), L"boom", CAnimationCtrl::kMaxAnimations + 1);
    EXPECT_THAT(TakeBoxes(), ElementsAre("CAnimationCtrl::Create 函数被调用了两次  FileName=boom, AniCount=4097"));
    EXPECT_THAT(LeveledLogSinceMark(),
                ::testing::Contains("3:CAnimationCtrl::Create  AniCount=4097 out of range, 4096 used"));
    pool.Play(100, 100);
    pool.Play(200, 100);
    EXPECT_THAT(RunAndRead({100, 200}), ElementsAre(kRed, kRed));
    // Destroying the pool hands back only the new pool's animations.
    MarkLeveledLog();
    m_pool.reset();
    EXPECT_EQ(CountPrefix(LeveledLogSinceMark(), "1:ReleaseAnimation  p=0x"), CAnimationCtrl::kMaxAnimations);
    EXPECT_EQ(CountPrefix(LeveledLogSinceMark(), "2:"), 0);
}

TEST_F(AnimationCtrlTest, BadCreationInputLeavesAPoolThatPlaysNothing)
{
    // line: the level-3 line expected, or null
    std::tuple<const wchar_t*, int, const char*, std::size_t> rows[] = {
        {L"missing", 3, nullptr, 3}, // every entry fails with the package's own box
        {L"boom", -4, "3:CAnimationCtrl::Create  AniCount=-4 out of range, 0 used", 0},
        {L"boom", 0, nullptr, 0},
        {nullptr, 2, nullptr, 0},
    };
    for (const auto& [path, count, line, boxes] : rows) {
        MarkLeveledLog();
        CAnimationCtrl& pool = MakePool(count, path);
        EXPECT_EQ(TakeBoxes().size(), boxes) << count;
        if (line) {
            EXPECT_THAT(LeveledLogSinceMark(), ::testing::Contains(std::string(line)));
        }
        pool.Play(100, 100);
        pool.PlayCenter(200, 100);
        EXPECT_EQ(pool.GetPictureSize().cx, 0);
        EXPECT_THAT(RunAndRead({100, 190}), ElementsAre(kBlack, kBlack)) << count;
        m_pool.reset(); // nothing to hand back: no release lines, no crash
    }
}

} // namespace
} // namespace vireo::test
