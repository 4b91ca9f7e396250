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

} // namespace juce::qorv_dsp
