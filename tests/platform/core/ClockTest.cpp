// The virtual clock: Sleep advances it at once, the counters agree, the local date runs
// on across day and month ends; the real clock never runs backwards.
#include <vireo/platform/Testing.h>
#include <vireo/platform/Win32.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

class VirtualClock : public ::testing::Test {
  protected:
    void SetUp() override { vireo::testing::InstallVirtualClock(); }
    void TearDown() override { vireo::testing::UninstallVirtualClock(); }
};

// Year, month, day, weekday, hour, minute, second, millisecond of the local time now.
std::vector<int> LocalNow()
{
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wDayOfWeek, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

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
    EXPECT_EQ(LocalNow(), (std::vector<int>{2026, 1, 1, 4, 12, 0, 0, 0}));
    // Into a leap day, over a year end and back again; the weekday follows.
    vireo::testing::SetLocalDateTime({2024, 2, 0, 28, 23, 59, 59, 500});
    Sleep(600);
    EXPECT_EQ(LocalNow(), (std::vector<int>{2024, 2, 29, 4, 0, 0, 0, 100}));
    vireo::testing::SetLocalDateTime({2025, 12, 0, 31, 23, 0, 0, 0});
    vireo::testing::AdvanceClock(2LL * 3600 * 1000);
    EXPECT_EQ(LocalNow(), (std::vector<int>{2026, 1, 1, 4, 1, 0, 0, 0}));
    vireo::testing::AdvanceClock(-2LL * 3600 * 1000 - 1);
    EXPECT_EQ(LocalNow(), (std::vector<int>{2025, 12, 31, 3, 22, 59, 59, 999}));
}

TEST(RealClock, RunsForwardAndComInitialisationNests)
{
    const LONGLONG first = Counter();
    const DWORD tick = GetTickCount();
    Sleep(2);
    EXPECT_GT(Counter(), first);
    EXPECT_GE(GetTickCount(), tick);
    EXPECT_GE(LocalNow()[0], 2024);
    EXPECT_NE(GetCurrentThreadId(), 0u);

    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    CoUninitialize();
}

} // namespace
