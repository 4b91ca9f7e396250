#pragma once

namespace juce::qorv_dsp
{

/** Base of every engine object: a sample rate, a spin lock that serialises
    prepare/reset against processing, and the four processing operations.
    Input and output blocks may share memory. */
template <typename Sample>
class Processor
{
public:
    using InputBlock = juce::dsp::AudioBlock<const Sample>;
    using OutputBlock = juce::dsp::AudioBlock<Sample>;

    virtual ~Processor() = default;

    virtual void processBypassed (const InputBlock& input, const OutputBlock& output) = 0;
    virtual void process (const InputBlock& input, const OutputBlock& output) = 0;
    virtual void prepare (const juce::dsp::ProcessSpec& spec) = 0;
    virtual void reset() = 0;

    void prepareLocked (const juce::dsp::ProcessSpec& spec)
    {
        const juce::SpinLock::ScopedLockType hold (lock);
        sampleRate = (float) spec.sampleRate;
        prepare (spec);
        reset();
    }

    void resetLocked()
    {
        const juce::SpinLock::ScopedLockType hold (lock);
        reset();
    }

    juce::SpinLock& getLock() noexcept { return lock; }
    float getSampleRate() const noexcept { return sampleRate; }

protected:
    float sampleRate = 44100.0f;
    juce::SpinLock lock;
};

} // namespace juce::qorv_dsp
