#pragma once

namespace juce::qorv_dsp
{

/** A one-byte exclusive flag taken by atomic test-and-set. The audio side only
    ever tries once (tryLock); setters and prepare/reset wait with a sleep
    between attempts, so the audio thread never waits on them. */
class ArgumentLock
{
public:
    bool tryLock() noexcept { return ! flag.test_and_set (std::memory_order_acquire); }

    void lockWaiting (int backOffMilliseconds) noexcept
    {
        while (! tryLock())
            juce::Thread::sleep (backOffMilliseconds);
    }

    void unlock() noexcept { flag.clear (std::memory_order_release); }

private:
    std::atomic_flag flag = ATOMIC_FLAG_INIT;
};

/** Whether a setter may wait for an argument's setter lock: the message thread
    and the host's other threads may; the audio thread never does (it parks
    the value for its next block instead, FloatArg_v2). */
enum class SetterWaiting { allowed, never };

} // namespace juce::qorv_dsp
