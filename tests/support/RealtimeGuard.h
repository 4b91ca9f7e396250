#pragma once

#include <cstddef>
#include <string>

namespace juce
{
class AudioProcessorParameter;
}

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

/** A call that can block or sleep (a lock, a wait, a sleep, a yield), made on a
    thread marked as an audio callback. */
struct BlockingCall
{
    static constexpr int maxFrames = 32;

    const char* function = nullptr;
    void* frames[maxFrames] {};
    int depth = 0;
};

namespace detail
{
// Implemented beside the replaced global operator new/delete.
void setHeapForbidden (bool shouldForbid) noexcept;
bool isHeapForbidden() noexcept;
HeapOffence takeHeapOffence() noexcept;

// Implemented beside the replaced blocking calls (BlockingCallTrap.cpp): the
// distinct call stacks noted on this thread since the last take.
int takeBlockingCalls (BlockingCall* destination, int capacity, bool& overflowed) noexcept;
// Sleeps and yields noted on any marked thread so far.
int sleepingCallsNoted() noexcept;
} // namespace detail

/** Marks the calling thread as an audio callback for its lifetime: any
    operator new or delete there is recorded, the first one with its call
    stack, and so is every call that can block or sleep: sleeps, yields, mutex,
    read-write and spin locks, condition and semaphore waits, joins and futex
    waits.

    Blocking calls that the framework makes while it delivers a host's
    parameter change (deliverHostAutomation) before any code of ours runs,
    such as its own listener-list locks, are not ours to avoid and are let
    pass; the same call reached through any code of the plug-in is reported.

    Sanitizer builds replace the allocator themselves, so heap calls are not
    seen there (watchesHeap()); ThreadSanitizer also intercepts the blocking
    calls, so they are not seen in its builds, nor on other platforms than
    Linux (watchesBlockingCalls()). */
class RealtimeGuard
{
public:
    RealtimeGuard() noexcept;
    ~RealtimeGuard();

    /** Ends the guarded section early and describes its first heap call, or
        else its first blocking call of ours; empty when there was none.
        Formatting allocates, so the guard lifts first. */
    std::string finish();

    static constexpr bool watchesHeap()
    {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
        return false;
#else
        return true;
#endif
    }

    static constexpr bool watchesBlockingCalls()
    {
#if defined(__linux__) && ! defined(__SANITIZE_THREAD__)
        return true;
#else
        return false;
#endif
    }

    RealtimeGuard (const RealtimeGuard&) = delete;
    RealtimeGuard& operator= (const RealtimeGuard&) = delete;

private:
    bool wasForbidden;
};

/** Runs fn as an audio callback; returns the description of its first heap
    call or blocking call, or an empty string. */
template <typename Fn>
std::string runAsAudioCallback (Fn&& fn)
{
    RealtimeGuard guard;
    fn();
    return guard.finish();
}

/** A host's parameter change as JUCE's VST3 wrapper applies it on the audio
    thread: set the normalised value, then notify the parameter's listeners
    (which lead to the processor's parameterChanged). */
void deliverHostAutomation (juce::AudioProcessorParameter& parameter, float normalisedValue);
} // namespace tandrel::test
