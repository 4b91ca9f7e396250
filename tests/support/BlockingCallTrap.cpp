// Replaces the C library's calls that can block or sleep with ones that first
// note the call, with its call stack, when the calling thread is marked as an
// audio callback (RealtimeGuard), and then do what the library does. Calls on
// unmarked threads pass straight through.
//
// Linux only. ThreadSanitizer intercepts these calls itself and must see every
// one of them first: its builds leave the trap out, as do other platforms
// (RealtimeGuard::watchesBlockingCalls).

#include "RealtimeGuard.h"
#include "CallStack.h"

#if defined(__linux__) && ! defined(__SANITIZE_THREAD__)

#include <dlfcn.h>
#include <linux/futex.h>
#include <pthread.h>
#include <sched.h>
#include <semaphore.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstdarg>
#include <cstring>

namespace tandrel::test::detail
{
namespace
{
constexpr int maxRecorded = 64;

// Raw addresses only: symbols are looked up after the guarded section.
thread_local BlockingCall recorded[maxRecorded];
thread_local int recordedCount = 0;
thread_local bool recordsOverflowed = false;
thread_local bool noting = false;

std::atomic<int> sleepsNoted { 0 };

bool sameStack (const BlockingCall& a, const BlockingCall& b) noexcept
{
    return a.function == b.function && a.depth == b.depth
           && std::memcmp (a.frames, b.frames, sizeof (void*) * (size_t) a.depth) == 0;
}
} // namespace

// Not static and not inlined: the guard recognises its own frames by name.
__attribute__ ((noinline)) void noteBlockingCall (const char* function, bool sleeps) noexcept
{
    if (noting || ! isHeapForbidden())
        return;

    noting = true; // the unwinder may lock and allocate while it loads
    setHeapForbidden (false);
    BlockingCall call;
    call.function = function;
    call.depth = captureCallStack (call.frames, BlockingCall::maxFrames);
    setHeapForbidden (true);

    bool known = false;
    for (int i = 0; i < recordedCount && ! known; ++i)
        known = sameStack (recorded[i], call);
    if (! known)
    {
        if (recordedCount < maxRecorded)
            recorded[recordedCount++] = call;
        else
            recordsOverflowed = true;
    }

    if (sleeps)
        sleepsNoted.fetch_add (1);
    noting = false;
}

int takeBlockingCalls (BlockingCall* destination, int capacity, bool& overflowed) noexcept
{
    const int count = recordedCount < capacity ? recordedCount : capacity;
    for (int i = 0; i < count; ++i)
        destination[i] = recorded[i];
    overflowed = recordsOverflowed || recordedCount > capacity;
    recordedCount = 0;
    recordsOverflowed = false;
    return count;
}

int sleepingCallsNoted() noexcept { return sleepsNoted.load(); }
} // namespace tandrel::test::detail

namespace
{
/** The library's own function: looked up once, without a function-local
    static, whose guard could itself wait on a futex. */
template <typename Fn>
Fn next (std::atomic<void*>& cache, const char* name) noexcept
{
    auto* fn = cache.load (std::memory_order_acquire);
    if (fn == nullptr)
    {
        fn = dlsym (RTLD_NEXT, name);
        cache.store (fn, std::memory_order_release);
    }
    return reinterpret_cast<Fn> (fn);
}

bool isFutexWait (long number, long op) noexcept
{
    if (number != SYS_futex)
        return false;
    switch (op & FUTEX_CMD_MASK)
    {
        case FUTEX_WAIT:
        case FUTEX_WAIT_BITSET:
        case FUTEX_LOCK_PI:
        case FUTEX_WAIT_REQUEUE_PI:
            return true;
        default:
            return false;
    }
}
} // namespace

#define TANDREL_TRAP(returnType, name, sleeps, parameters, arguments, throws)                  \
    extern "C" __attribute__ ((no_sanitize_address)) returnType name parameters noexcept (! throws) \
    {                                                                                           \
        static std::atomic<void*> cache { nullptr };                                           \
        tandrel::test::detail::noteBlockingCall (#name, sleeps);                                \
        return next<returnType (*) parameters> (cache, #name) arguments;                        \
    }

TANDREL_TRAP (int, nanosleep, true, (const struct timespec* request, struct timespec* remaining), (request, remaining), true)
TANDREL_TRAP (int, clock_nanosleep, true, (clockid_t clock, int flags, const struct timespec* request, struct timespec* remaining),
              (clock, flags, request, remaining), true)
TANDREL_TRAP (int, usleep, true, (useconds_t microseconds), (microseconds), true)
TANDREL_TRAP (unsigned int, sleep, true, (unsigned int seconds), (seconds), true)
TANDREL_TRAP (int, sched_yield, true, (void), (), false)
TANDREL_TRAP (int, pthread_mutex_lock, false, (pthread_mutex_t* mutex), (mutex), false)
TANDREL_TRAP (int, pthread_mutex_timedlock, false, (pthread_mutex_t* mutex, const struct timespec* until), (mutex, until), false)
TANDREL_TRAP (int, pthread_rwlock_rdlock, false, (pthread_rwlock_t* lock), (lock), false)
TANDREL_TRAP (int, pthread_rwlock_wrlock, false, (pthread_rwlock_t* lock), (lock), false)
TANDREL_TRAP (int, pthread_spin_lock, false, (pthread_spinlock_t* lock), (lock), false)
TANDREL_TRAP (int, pthread_cond_wait, false, (pthread_cond_t* condition, pthread_mutex_t* mutex), (condition, mutex), true)
TANDREL_TRAP (int, pthread_cond_timedwait, false, (pthread_cond_t* condition, pthread_mutex_t* mutex, const struct timespec* until),
              (condition, mutex, until), true)
TANDREL_TRAP (int, pthread_join, false, (pthread_t thread, void** result), (thread, result), true)
TANDREL_TRAP (int, sem_wait, false, (sem_t* semaphore), (semaphore), true)
TANDREL_TRAP (int, sem_timedwait, false, (sem_t* semaphore, const struct timespec* until), (semaphore, until), true)

// Futex waits made through syscall(), as std::atomic waits and call_once do.
extern "C" __attribute__ ((no_sanitize_address)) long syscall (long number, ...) noexcept
{
    static std::atomic<void*> cache { nullptr };
    va_list list;
    va_start (list, number);
    long a[6];
    for (auto& argument : a)
        argument = va_arg (list, long);
    va_end (list);

    if (isFutexWait (number, a[1]))
        tandrel::test::detail::noteBlockingCall ("futex wait", false);
    return next<long (*) (long, ...)> (cache, "syscall") (number, a[0], a[1], a[2], a[3], a[4], a[5]);
}

#undef TANDREL_TRAP

#else

namespace tandrel::test::detail
{
int takeBlockingCalls (BlockingCall*, int, bool& overflowed) noexcept
{
    overflowed = false;
    return 0;
}

int sleepingCallsNoted() noexcept { return 0; }
} // namespace tandrel::test::detail

#endif
