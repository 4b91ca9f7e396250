#pragma once

#include <cstddef>

namespace tandrel::test
{
/** Counts heap allocations and deallocations made by the calling thread while
    it lives. The global operator new/delete of the test executables report to it. */
class ScopedAllocationCounter
{
public:
    ScopedAllocationCounter();
    ~ScopedAllocationCounter();

    std::size_t allocations() const noexcept;
    std::size_t deallocations() const noexcept;

    ScopedAllocationCounter (const ScopedAllocationCounter&) = delete;
    ScopedAllocationCounter& operator= (const ScopedAllocationCounter&) = delete;

private:
    std::size_t allocationsAtStart, deallocationsAtStart;
    bool wasCounting;
};
} // namespace tandrel::test
