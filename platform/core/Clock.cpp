// Real and virtual time for the Win32 time functions, and the thread id. The virtual
// local time is kept as calendar arithmetic on a UTC scale so no time zone or daylight
// saving rule of the test machine can shift it.
#include "platform/core/Clock.h"

#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

namespace vireo::platform {
namespace {

SYSTEMTIME FromBrokenDown(const struct tm& t, int milliseconds)
{
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(t.tm_year + 1900);
    st.wMonth = static_cast<WORD>(t.tm_mon + 1);
    st.wDayOfWeek = static_cast<WORD>(t.tm_wday);
    st.wDay = static_cast<WORD>(t.tm_mday);
    st.wHour = static_cast<WORD>(t.tm_hour);
    st.wMinute = static_cast<WORD>(t.tm_min);
    st.wSecond = static_cast<WORD>(t.tm_sec);
    st.wMilliseconds = static_cast<WORD>(milliseconds);
    return st;
}

std::int64_t CalendarSeconds(const SYSTEMTIME& st)
{
    struct tm t {};
    t.tm_year = st.wYear - 1900;
    t.tm_mon = st.wMonth - 1;
    t.tm_mday = st.wDay;
    t.tm_hour = st.wHour;
    t.tm_min = st.wMinute;
    t.tm_sec = st.wSecond;
    return static_cast<std::int64_t>(timegm(&t));
}

// The date virtual time starts from: Thursday 2026-01-01 12:00:00.
constexpr SYSTEMTIME kDefaultVirtualDate = {2026, 1, 4, 1, 12, 0, 0, 0};

} // namespace

CClock& CClock::Instance()
{
    static CClock clock;
    return clock;
}

void CClock::InstallVirtual()
{
    m_virtual = true;
    m_virtualNs = kVirtualStartNs;
    m_localBaseNs = kVirtualStartNs;
    m_localBaseSeconds = CalendarSeconds(kDefaultVirtualDate);
}

void CClock::UninstallVirtual()
{
    m_virtual = false;
}

void CClock::AdvanceMs(std::int64_t milliseconds)
{
    if (!m_virtual)
        return;
    m_virtualNs += milliseconds * 1'000'000;
    if (m_virtualNs < 0)
        m_virtualNs = 0;
}

void CClock::SetVirtualLocalTime(const SYSTEMTIME& now)
{
    m_localBaseSeconds = CalendarSeconds(now);
    m_localBaseNs = m_virtualNs - static_cast<std::int64_t>(now.wMilliseconds) * 1'000'000;
}

std::int64_t CClock::NowNs() const
{
    if (m_virtual)
        return m_virtualNs;
    struct timespec ts {};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

void CClock::SleepMs(DWORD milliseconds)
{
    if (m_virtual) {
        AdvanceMs(milliseconds);
        return;
    }
    struct timespec left {
        static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1'000'000
    };
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

SYSTEMTIME CClock::LocalTime() const
{
    if (m_virtual) {
        std::int64_t elapsedNs = m_virtualNs - m_localBaseNs;
        std::int64_t seconds = elapsedNs / 1'000'000'000;
        std::int64_t remainderNs = elapsedNs % 1'000'000'000;
        if (remainderNs < 0) {
            remainderNs += 1'000'000'000;
            --seconds;
        }
        const time_t when = static_cast<time_t>(m_localBaseSeconds + seconds);
        struct tm t {};
        gmtime_r(&when, &t);
        return FromBrokenDown(t, static_cast<int>(remainderNs / 1'000'000));
    }
    struct timespec ts {};
    clock_gettime(CLOCK_REALTIME, &ts);
    struct tm t {};
    localtime_r(&ts.tv_sec, &t);
    return FromBrokenDown(t, static_cast<int>(ts.tv_nsec / 1'000'000));
}

} // namespace vireo::platform

using vireo::platform::CClock;

BOOL QueryPerformanceCounter(LARGE_INTEGER* count)
{
    if (!count)
        return FALSE;
    count->QuadPart = CClock::Instance().NowNs() / (1'000'000'000 / CClock::kCounterFrequency);
    return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency)
{
    if (!frequency)
        return FALSE;
    frequency->QuadPart = CClock::kCounterFrequency;
    return TRUE;
}

DWORD GetTickCount()
{
    return static_cast<DWORD>(CClock::Instance().NowNs() / 1'000'000);
}

void Sleep(DWORD milliseconds)
{
    CClock::Instance().SleepMs(milliseconds);
}

void GetLocalTime(SYSTEMTIME* time)
{
    if (time)
        *time = CClock::Instance().LocalTime();
}

DWORD GetCurrentThreadId()
{
    return static_cast<DWORD>(syscall(SYS_gettid));
}
