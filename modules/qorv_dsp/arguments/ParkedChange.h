#pragma once

namespace juce::qorv_dsp
{

/** A change to a smoothed argument that a caller who may not wait (the audio
    thread) could not apply because another thread held the setter lock: the
    latest target, a smoothing reset, or both, in the order they came.

    It lives in one 64-bit atomic word, so it is seen whole or not at all, and
    take() empties it in the same exchange, so each change reaches exactly one
    holder of the setter lock, who applies it before anything else it does.
    Parking never waits: a compare-and-swap merges the new change with what is
    already parked. A later target replaces an earlier one (the last value
    wins); a reset stays parked whatever follows, and a target that came after
    it is applied after it. A reset following "reset, target" folds into
    "target, reset", which ends in the same settled state. */
class ParkedChange
{
public:
    struct Change
    {
        bool hasTarget = false;
        float target = 0.0f;
        bool reset = false;
        bool targetAfterReset = false;
    };

    void parkTarget (float v) noexcept
    {
        merge ([v] (Change change)
               {
                   change.targetAfterReset = change.reset;
                   change.hasTarget = true;
                   change.target = v;
                   return change;
               });
    }

    void parkReset() noexcept
    {
        merge ([] (Change change)
               {
                   change.reset = true;
                   change.targetAfterReset = false;
                   return change;
               });
    }

    /** Empties the slot and returns what it held: for the holder of the setter lock. */
    Change take() noexcept { return unpack (word.exchange (0, std::memory_order_acq_rel)); }

    bool isEmpty() const noexcept { return word.load (std::memory_order_acquire) == 0; }

    /** The parked target, if any, for display texts on any thread. */
    bool peekTarget (float& target) const noexcept
    {
        const auto change = unpack (word.load (std::memory_order_acquire));
        target = change.target;
        return change.hasTarget;
    }

private:
    static constexpr std::uint64_t hasTargetBit = std::uint64_t (1) << 32;
    static constexpr std::uint64_t resetBit = std::uint64_t (1) << 33;
    static constexpr std::uint64_t afterResetBit = std::uint64_t (1) << 34;

    static std::uint64_t pack (const Change& change) noexcept
    {
        std::uint32_t bits = 0;
        std::memcpy (&bits, &change.target, sizeof (bits));
        return (change.hasTarget ? hasTargetBit | bits : 0)
               | (change.reset ? resetBit : 0)
               | (change.hasTarget && change.targetAfterReset ? afterResetBit : 0);
    }

    static Change unpack (std::uint64_t w) noexcept
    {
        Change change;
        change.hasTarget = (w & hasTargetBit) != 0;
        const auto bits = (std::uint32_t) (w & 0xffffffffu);
        std::memcpy (&change.target, &bits, sizeof (bits));
        change.reset = (w & resetBit) != 0;
        change.targetAfterReset = (w & afterResetBit) != 0;
        return change;
    }

    template <typename Merge>
    void merge (Merge&& merged) noexcept
    {
        auto expected = word.load (std::memory_order_relaxed);
        while (! word.compare_exchange_weak (expected, pack (merged (unpack (expected))),
                                             std::memory_order_acq_rel, std::memory_order_relaxed))
        {
        }
    }

    std::atomic<std::uint64_t> word { 0 };
    static_assert (std::atomic<std::uint64_t>::is_always_lock_free, "parking must never take a lock");
};

} // namespace juce::qorv_dsp
