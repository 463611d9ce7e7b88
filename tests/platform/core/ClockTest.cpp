// The virtual clock: Sleep advances it at once, the counters agree, the local date runs
// on across day and month ends; the real clock never runs backwards.
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

TEST_F(VirtualClock, LocalTimeRunsOnWithVirtualTime)
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    EXPECT_EQ(now.wYear, 2026);
    EXPECT_EQ(now.wMonth, 1);
    EXPECT_EQ(now.wDay, 1);
    EXPECT_EQ(now.wDayOfWeek, 4);
    EXPECT_EQ(now.wHour, 12);

    // Into a leap day, then over a year end.
    vireo::testing::SetLocalDateTime({2024, 2, 0, 28, 23, 59, 59, 500});
    Sleep(600);
    GetLocalTime(&now);
    EXPECT_EQ(now.wMonth, 2);
    EXPECT_EQ(now.wDay, 29);
    EXPECT_EQ(now.wDayOfWeek, 4);
    EXPECT_EQ(now.wHour, 0);
    EXPECT_EQ(now.wSecond, 0);
    EXPECT_EQ(now.wMilliseconds, 100);

    vireo::testing::SetLocalDateTime({2025, 12, 0, 31, 23, 0, 0, 0});
    vireo::testing::AdvanceClock(2LL * 3600 * 1000);
    GetLocalTime(&now);
    EXPECT_EQ(now.wYear, 2026);
    EXPECT_EQ(now.wMonth, 1);
    EXPECT_EQ(now.wDay, 1);
    EXPECT_EQ(now.wHour, 1);
    vireo::testing::AdvanceClock(-2LL * 3600 * 1000 - 1);
    GetLocalTime(&now);
    EXPECT_EQ(now.wYear, 2025);
    EXPECT_EQ(now.wHour, 22);
    EXPECT_EQ(now.wMinute, 59);
    EXPECT_EQ(now.wMilliseconds, 999);
}

TEST(RealClock, RunsForwardAndComInitialisationNests)
{
    const LONGLONG first = Counter();
    const DWORD tick = GetTickCount();
    Sleep(2);
    EXPECT_GT(Counter(), first);
    EXPECT_GE(GetTickCount(), tick);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    EXPECT_GE(now.wYear, 2024);
    EXPECT_NE(GetCurrentThreadId(), 0u);

    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    CoUninitialize();
}

} // namespace
