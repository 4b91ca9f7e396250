#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace
{
thread_local bool counting = false;
thread_local std::size_t allocationCount = 0;
thread_local std::size_t deallocationCount = 0;

void* allocate (std::size_t size)
{
    if (counting)
        ++allocationCount;
    if (size == 0)
        size = 1;
    if (void* p = std::malloc (size))
        return p;
    throw std::bad_alloc();
}

void* allocateAligned (std::size_t size, std::align_val_t alignment)
{
    if (counting)
        ++allocationCount;
    const auto align = static_cast<std::size_t> (alignment);
    size = (size + align - 1) / align * align;
    if (void* p = std::aligned_alloc (align, size == 0 ? align : size))
        return p;
    throw std::bad_alloc();
}

void release (void* p) noexcept
{
    if (p == nullptr)
        return;
    if (counting)
        ++deallocationCount;
    std::free (p);
}
} // namespace

namespace tandrel::test
{
ScopedAllocationCounter::ScopedAllocationCounter()
    : allocationsAtStart (allocationCount), deallocationsAtStart (deallocationCount), wasCounting (counting)
{
    counting = true;
}

ScopedAllocationCounter::~ScopedAllocationCounter() { counting = wasCounting; }

std::size_t ScopedAllocationCounter::allocations() const noexcept { return allocationCount - allocationsAtStart; }
std::size_t ScopedAllocationCounter::deallocations() const noexcept { return deallocationCount - deallocationsAtStart; }
} // namespace tandrel::test

#if ! defined(__SANITIZE_ADDRESS__) && ! defined(__SANITIZE_THREAD__)
void* operator new (std::size_t size) { return allocate (size); }
void* operator new[] (std::size_t size) { return allocate (size); }
void* operator new (std::size_t size, const std::nothrow_t&) noexcept
{
    try { return allocate (size); } catch (...) { return nullptr; }
}
void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept
{
    try { return allocate (size); } catch (...) { return nullptr; }
}
void* operator new (std::size_t size, std::align_val_t a) { return allocateAligned (size, a); }
void* operator new[] (std::size_t size, std::align_val_t a) { return allocateAligned (size, a); }
void operator delete (void* p) noexcept { release (p); }
void operator delete[] (void* p) noexcept { release (p); }
void operator delete (void* p, std::size_t) noexcept { release (p); }
void operator delete[] (void* p, std::size_t) noexcept { release (p); }
void operator delete (void* p, std::align_val_t) noexcept { release (p); }
void operator delete[] (void* p, std::align_val_t) noexcept { release (p); }
void operator delete (void* p, std::size_t, std::align_val_t) noexcept { release (p); }
void operator delete[] (void* p, std::size_t, std::align_val_t) noexcept { release (p); }
#endif
