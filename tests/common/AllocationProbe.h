// Counts operator new requests, and the largest one, made while an AllocationProbe exists, so
// tests can show a bad header is refused before the pixel buffer is allocated and benchmarks
// can show a hot path allocates nothing. Linking it replaces the executable's operator new.
#pragma once

#include <cstddef>

class AllocationProbe {
  public:
    AllocationProbe();
    ~AllocationProbe();
    AllocationProbe(const AllocationProbe&) = delete;
    AllocationProbe& operator=(const AllocationProbe&) = delete;
    std::size_t Largest() const;
    long long Count() const;
};

// The largest allocation made while `run` runs.
template <class Run> std::size_t LargestAllocation(Run run)
{
    AllocationProbe probe;
    run();
    return probe.Largest();
}
