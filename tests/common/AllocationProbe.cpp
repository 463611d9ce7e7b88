// Replaces the global operator new of this test executable (and so of libvireo, whose calls
// bind to it) to count requests and record the largest while a probe is armed.
#include "common/AllocationProbe.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> g_armed{false};
std::atomic<std::size_t> g_largest{0};
std::atomic<long long> g_count{0};
} // namespace

AllocationProbe::AllocationProbe()
{
    g_largest = 0;
    g_count = 0;
    g_armed = true;
}
AllocationProbe::~AllocationProbe()
{
    g_armed = false;
}
std::size_t AllocationProbe::Largest() const
{
    return g_largest;
}
long long AllocationProbe::Count() const
{
    return g_count;
}

void* operator new(std::size_t size)
{
    if (g_armed) {
        ++g_count;
        if (size > g_largest)
            g_largest = size;
    }
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
