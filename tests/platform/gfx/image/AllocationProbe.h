// Measures the largest single operator new request made while an AllocationProbe exists, so
// tests can show a bad header is refused before the pixel buffer is allocated.
#pragma once

#include <atomic>
#include <cstddef>

class AllocationProbe {
  public:
    AllocationProbe();
    ~AllocationProbe();
    AllocationProbe(const AllocationProbe&) = delete;
    AllocationProbe& operator=(const AllocationProbe&) = delete;
    std::size_t Largest() const;
};
