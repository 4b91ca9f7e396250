#pragma once

namespace juce::qorv_dsp
{

/** A multichannel biquad in transposed direct form II whose frequency, Q and
    gain are smoothed arguments. Per sample x, in this order:
        y  = x*b0 + s1
        s1 = (x*b1 - y*a1) + s2
        s2 = x*b2 - y*a2
    Coefficients are divided by a0 and follow each block's first ramp value.
    While the gain sits at exactly 0 dB the filter is inactive and passes audio
    through untouched. */
template <typename Sample>
class IIRFilter_OrderTwo : public Processor<Sample>
{
public:
    using typename Processor<Sample>::InputBlock;
    using typename Processor<Sample>::OutputBlock;

    void processBypassed (const InputBlock& input, const OutputBlock& output) override
    {
        copyBlock (input, output);
    }

    void process (const InputBlock& input, const OutputBlock& output) override
    {
        const int n = (int) output.getNumSamples();
        updateCoefficients (n);

        if (! active)
        {
            copyBlock (input, output);
            return;
        }

        const int channels = juce::jmin (channelCount, (int) input.getNumChannels(), (int) output.getNumChannels());
        for (int c = 0; c < channels; ++c)
            filter (c, input.getChannelPointer ((size_t) c), output.getChannelPointer ((size_t) c), n);
    }

    void prepare (const juce::dsp::ProcessSpec& spec) override
    {
        channelCount = (int) spec.numChannels;
        state1.resize ((size_t) channelCount, Sample (0));
        state2.resize ((size_t) channelCount, Sample (0));
        frequency.reserveBuffer ((int) spec.maximumBlockSize);
        q.reserveBuffer ((int) spec.maximumBlockSize);
        gain.reserveBuffer ((int) spec.maximumBlockSize);
        computeCoefficients (cachedFrequency, cachedQ, cachedGain);
    }

    /** Takes the controls' current values, ends running ramps, clears the
        state and recomputes the coefficients from the cached values for the
        current sample rate: a filter whose arguments stay settled must not keep
        the old rate's coefficients. Reading the controls first means a value
        set before playback starts is in force from the first block instead of
        being glided to from the construction default. */
    void reset() override
    {
        updateFromControls();
        frequency.resetSmoothing (this->sampleRate);
        q.resetSmoothing (this->sampleRate);
        gain.resetSmoothing (this->sampleRate);
        clearState();
        computeCoefficients (cachedFrequency, cachedQ, cachedGain);
    }

    virtual void computeCoefficients (Sample f, Sample quality, Sample gainDb) = 0;
    virtual void updateFromControls() {}

    /** Advances the three ramps by one block of n samples and recomputes the
        coefficients from the block's first values if any of them moved. */
    void updateCoefficients (int n)
    {
        updateFromControls();

        bool changed = false;
        changed |= follow (frequency, cachedFrequency, n);
        changed |= follow (q, cachedQ, n);
        changed |= follow (gain, cachedGain, n);

        if (changed)
            computeCoefficients (cachedFrequency, cachedQ, cachedGain);

        const bool nonZero = ! gain.isSettledAt (Sample (0));
        if (! changed && ! active && nonZero)
            clearState();
        active = nonZero;
    }

    /** Filters n samples of channel c in place. */
    void processChannel (int c, Sample* samples, int n) noexcept { filter (c, samples, samples, n); }

    /** Filters channels c and c + 1 in place, side by side: each channel's
        recurrence is one long dependency chain, so two of them interleave. */
    void processChannelPair (int c, Sample* first, Sample* second, int n) noexcept
    {
        Sample s1a = state1[(size_t) c], s2a = state2[(size_t) c];
        Sample s1b = state1[(size_t) c + 1], s2b = state2[(size_t) c + 1];
        const Sample k0 = b0, k1 = b1, k2 = b2, m1 = a1, m2 = a2;
        for (int j = 0; j < n; ++j)
        {
            const Sample xa = first[j], xb = second[j];
            const Sample ya = xa * k0 + s1a;
            const Sample yb = xb * k0 + s1b;
            s1a = (xa * k1 - ya * m1) + s2a;
            s1b = (xb * k1 - yb * m1) + s2b;
            s2a = xa * k2 - ya * m2;
            s2b = xb * k2 - yb * m2;
            first[j] = ya;
            second[j] = yb;
        }
        state1[(size_t) c] = s1a;
        state2[(size_t) c] = s2a;
        state1[(size_t) c + 1] = s1b;
        state2[(size_t) c + 1] = s2b;
    }

    void clearState() noexcept
    {
        std::fill (state1.begin(), state1.end(), Sample (0));
        std::fill (state2.begin(), state2.end(), Sample (0));
    }

    bool isActive() const noexcept { return active; }
    int getChannelCount() const noexcept { return channelCount; }
    Sample getState1 (int c) const noexcept { return state1[(size_t) c]; }
    Sample getState2 (int c) const noexcept { return state2[(size_t) c]; }
    std::array<Sample, 5> getCoefficients() const noexcept { return { b0, b1, b2, a1, a2 }; }
    std::array<Sample, 3> getCachedValues() const noexcept { return { cachedFrequency, cachedQ, cachedGain }; }

    FloatArg_v2<Sample, 0> frequency { Sample (1000) };
    FloatArg_v2<Sample, 0> q { Sample (1) };
    FloatArg_v2<Sample, 0> gain { Sample (0) };

protected:
    void filter (int c, const Sample* in, Sample* out, int n) noexcept
    {
        Sample s1 = state1[(size_t) c], s2 = state2[(size_t) c];
        const Sample k0 = b0, k1 = b1, k2 = b2, m1 = a1, m2 = a2;
        for (int j = 0; j < n; ++j)
        {
            const Sample x = in[j];
            const Sample y = x * k0 + s1;
            s1 = (x * k1 - y * m1) + s2;
            s2 = x * k2 - y * m2;
            out[j] = y;
        }
        state1[(size_t) c] = s1;
        state2[(size_t) c] = s2;
    }

    int channelCount = 0;
    Sample b0 = Sample (1), b1 = Sample (0), b2 = Sample (0), a1 = Sample (0), a2 = Sample (0);
    Sample cachedFrequency = Sample (1000), cachedQ = Sample (1), cachedGain = Sample (0);
    std::vector<Sample> state1, state2;
    bool active = true;

private:
    /** Moves cached towards the argument's block-start value if the argument
        is not settled at it; true if the cached value was refreshed. */
    static bool follow (FloatArg_v2<Sample, 0>& argument, Sample& cached, int n)
    {
        if (argument.isSettledAt (cached) || ! argument.rampFromBlockStart (n))
            return false;

        cached = argument.isBufferInUse() ? argument.getBuffer()[0] : argument.getPublished();
        argument.releaseBuffer();
        return true;
    }

    static void copyBlock (const InputBlock& input, const OutputBlock& output)
    {
        const auto channels = juce::jmin (input.getNumChannels(), output.getNumChannels());
        const auto n = juce::jmin (input.getNumSamples(), output.getNumSamples());
        for (size_t c = 0; c < channels; ++c)
            if (input.getChannelPointer (c) != output.getChannelPointer (c))
                std::copy (input.getChannelPointer (c), input.getChannelPointer (c) + n, output.getChannelPointer (c));
    }
};

} // namespace juce::qorv_dsp
