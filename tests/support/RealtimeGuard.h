#pragma once

#include <cstddef>
#include <string>

namespace tandrel::test
{
/** The first heap call made on a thread while the heap was forbidden there. */
struct HeapOffence
{
    enum class Kind { none, allocation, deallocation };
    static constexpr int maxFrames = 24;

    Kind kind = Kind::none;
    std::size_t size = 0;
    void* frames[maxFrames] {};
    int depth = 0;
};

namespace detail
{
// Implemented beside the replaced global operator new/delete.
void setHeapForbidden (bool shouldForbid) noexcept;
bool isHeapForbidden() noexcept;
HeapOffence takeHeapOffence() noexcept;
} // namespace detail

/** Marks the calling thread as an audio callback for its lifetime: any
    operator new or delete there is recorded, the first one with its call stack.
    Sanitizer builds replace the allocator themselves, so nothing is recorded
    there (isEffective() says whether the guard can see the heap). */
class RealtimeGuard
{
public:
    RealtimeGuard() noexcept : wasForbidden (detail::isHeapForbidden()) { detail::setHeapForbidden (true); }
    ~RealtimeGuard() { detail::setHeapForbidden (wasForbidden); }

    /** Ends the guarded section early and describes its first heap call; empty
        when there was none. Formatting allocates, so the guard lifts first. */
    std::string finish();

    static constexpr bool isEffective()
    {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
        return false;
#else
        return true;
#endif
    }

    RealtimeGuard (const RealtimeGuard&) = delete;
    RealtimeGuard& operator= (const RealtimeGuard&) = delete;

private:
    bool wasForbidden;
};

/** Runs fn as an audio callback; returns the description of its first heap call
    or an empty string. */
template <typename Fn>
std::string runAsAudioCallback (Fn&& fn)
{
    RealtimeGuard guard;
    fn();
    return guard.finish();
}
} // namespace tandrel::test
