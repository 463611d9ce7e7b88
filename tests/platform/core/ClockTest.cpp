// The virtual clock: Sleep advances it at once and every counter agrees; the real clock
// never runs backwards.
#include <vireo/platform/Testing.h>
#include <vireo/platform/Win32.h>

#include <gtest/gtest.h>

namespace {

class VirtualClock : public ::testing::Test {
  protected:
    void SetUp() override { vireo::testing::InstallVirtualClock(); }
    void TearDown() override { vireo::testing::UninstallVirtualClock(); }
};

LONGLONG Counter()
{
    LARGE_INTEGER value;
    EXPECT_TRUE(QueryPerformanceCounter(&value));
    return value.QuadPart;
}

TEST_F(VirtualClock, SleepAndAdvanceMoveEveryCounterTogether)
{
    LARGE_INTEGER frequency;
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    ASSERT_GT(frequency.QuadPart, 0);
    EXPECT_EQ(GetTickCount(), 10000u);
    const LONGLONG start = Counter();
    EXPECT_EQ(Counter(), start); // standing still between calls

    Sleep(1500);
    EXPECT_EQ(GetTickCount(), 11500u);
    EXPECT_EQ(Counter() - start, 1500 * frequency.QuadPart / 1000);

    vireo::testing::AdvanceClock(250);
    Sleep(0);
    EXPECT_EQ(GetTickCount(), 11750u);
    vireo::testing::AdvanceClock(-1000); // a clock that jumps back
    EXPECT_EQ(GetTickCount(), 10750u);
    vireo::testing::AdvanceClock(-1'000'000);
    EXPECT_EQ(GetTickCount(), 0u);
    EXPECT_EQ(Counter(), 0);

    vireo::testing::InstallVirtualClock(); // installing again starts over
    EXPECT_EQ(GetTickCount(), 10000u);
}

} // namespace
