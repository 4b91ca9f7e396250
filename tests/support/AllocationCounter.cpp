#include "AllocationCounter.h"
#include "CallStack.h"
#include "RealtimeGuard.h"

#include <cstdlib>
#include <new>

#if defined(_WIN32)
 #include <malloc.h>
#endif

namespace
{
thread_local bool counting = false;
thread_local std::size_t allocationCount = 0;
thread_local std::size_t deallocationCount = 0;

// Real-time mode: the first heap call on a marked thread is kept with its
// call stack. Only raw addresses are stored here; symbols are looked up after
// the guarded section, where allocating is allowed again.
thread_local bool forbidden = false;
thread_local tandrel::test::HeapOffence offence;
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

namespace detail
{
void setHeapForbidden (bool shouldForbid) noexcept { forbidden = shouldForbid; }
bool isHeapForbidden() noexcept { return forbidden; }
HeapOffence takeHeapOffence() noexcept
{
    const auto first = offence;
    offence = {};
    return first;
}
} // namespace detail
} // namespace tandrel::test

#if ! defined(__SANITIZE_ADDRESS__) && ! defined(__SANITIZE_THREAD__)
// A sanitizer brings its own operator new: the counting ones below, and the
// helpers they use, are left out of such a build.
namespace
{
void noteHeapCall (bool isAllocation, std::size_t size) noexcept
{
    if (counting)
        ++(isAllocation ? allocationCount : deallocationCount);

    if (forbidden && offence.kind == tandrel::test::HeapOffence::Kind::none)
    {
        forbidden = false; // the unwinder may allocate on first use
        offence.kind = isAllocation ? tandrel::test::HeapOffence::Kind::allocation
                                    : tandrel::test::HeapOffence::Kind::deallocation;
        offence.size = size;
        offence.depth = tandrel::test::captureCallStack (offence.frames, tandrel::test::HeapOffence::maxFrames);
        forbidden = true;
    }
}

void* allocate (std::size_t size)
{
    noteHeapCall (true, size);
    if (size == 0)
        size = 1;
    if (void* p = std::malloc (size))
        return p;
    throw std::bad_alloc();
}

// The C runtime's aligned blocks: Windows' own must go back through _aligned_free.
void* alignedBlock (std::size_t align, std::size_t size) noexcept
{
#if defined(_WIN32)
    return _aligned_malloc (size, align);
#else
    return std::aligned_alloc (align, size);
#endif
}

void freeAlignedBlock (void* p) noexcept
{
#if defined(_WIN32)
    _aligned_free (p);
#else
    std::free (p);
#endif
}

void* allocateAligned (std::size_t size, std::align_val_t alignment)
{
    noteHeapCall (true, size);
    const auto align = static_cast<std::size_t> (alignment);
    size = (size + align - 1) / align * align;
    if (void* p = alignedBlock (align, size == 0 ? align : size))
        return p;
    throw std::bad_alloc();
}

void release (void* p) noexcept
{
    if (p == nullptr)
        return;
    noteHeapCall (false, 0);
    std::free (p);
}

void releaseAligned (void* p) noexcept
{
    if (p == nullptr)
        return;
    noteHeapCall (false, 0);
    freeAlignedBlock (p);
}
} // namespace

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
void operator delete (void* p, std::align_val_t) noexcept { releaseAligned (p); }
void operator delete[] (void* p, std::align_val_t) noexcept { releaseAligned (p); }
void operator delete (void* p, std::size_t, std::align_val_t) noexcept { releaseAligned (p); }
void operator delete[] (void* p, std::size_t, std::align_val_t) noexcept { releaseAligned (p); }
#endif
