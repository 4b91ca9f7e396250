#pragma once

namespace juce::qorv_dsp
{

/** A user value that glides linearly to each new target over 75 ms
    (Ramp::glideTime) and hands its values from the parameter thread to the
    audio thread without making the audio thread wait.

    Two flags guard it: the setter lock covers the ramp fields, the buffer lock
    covers the block buffer. A fill takes both, releases the setter lock on
    exit and leaves the buffer lock held for the consumer, who calls
    releaseBuffer() after reading; reserveBuffer() therefore cannot reallocate
    the buffer between fill and use. The audio-side fills only try once and
    fail instead of waiting; the consumer then uses the published value.

    K selects what is published and buffered: 0 the raw ramp value, 1 the value
    passed through convert(). */
template <typename Sample, int K>
class FloatArg_v2
{
    static_assert (K == 0 || K == 1, "K selects raw (0) or converted (1) values");

public:
    explicit FloatArg_v2 (Sample initial = Sample (1))
    {
        ramp.rampTime = -1.0f;
        ramp.rampSampleRate = -1.0f;
        ramp.current = ramp.target = initial;
        ramp.setRate (Ramp::initialSampleRate, Ramp::glideTime);
        ramp.remaining = 0;
        published.store (initial);
        shownTarget.store (initial);
    }

    virtual ~FloatArg_v2() = default;

    //==============================================================================
    /** Display text: "<name>: " when named, the target (user units, fixed
        notation, precision digits), then the unit. */
    virtual juce::String toString (int precision) const
    {
        std::ostringstream number;
        number << std::fixed << std::setprecision (precision) << shownTarget.load (std::memory_order_relaxed);

        juce::String text;
        if (name.isNotEmpty())
            text << name << ": ";
        return text << juce::String (number.str()) << unit;
    }

    /** The internal value for a user value (identity unless a subclass converts units). */
    virtual Sample convert (Sample x) const { return x; }

    /** Called by resetSmoothing after it has published. */
    virtual void onSmoothingReset() {}

    //==============================================================================
    // Parameter-thread and prepare/reset side: these may wait.

    /** Starts a full-length ramp from wherever the value is now. Returns false
        (and changes nothing) when v already is the target. */
    bool setTarget (Sample v)
    {
        setterLock.lockWaiting (setterBackOff);
        if (v == ramp.target)
        {
            setterLock.unlock();
            return false;
        }

        ramp.target = v;
        shownTarget.store (v, std::memory_order_relaxed);
        if (ramp.current == v)
        {
            ramp.remaining = 0;
        }
        else
        {
            ramp.remaining = ramp.rampLength;
            ramp.step = (v - ramp.current) / (Sample) ramp.rampLength;
        }
        setterLock.unlock();
        return true;
    }

    /** Follows a new sample rate and ends a running ramp at its target,
        publishing the target only if a ramp was running. */
    void resetSmoothing (float sampleRate)
    {
        setterLock.lockWaiting (setterBackOff);
        if (ramp.setRate (sampleRate, Ramp::glideTime))
            publish (publishable (ramp.target));
        onSmoothingReset();
        setterLock.unlock();
    }

    /** Grows the block buffer so that fills of up to n values never allocate. */
    void reserveBuffer (int n)
    {
        bufferLock.lockWaiting (bufferBackOff);
        blockBuffer.reserve ((size_t) juce::jmax (1, n));
        bufferLock.unlock();
    }

    /** Sets value, target and published value at once, settled. For owners'
        construction, before any other thread can see the argument. */
    void snapTo (Sample v)
    {
        ramp.current = ramp.target = v;
        ramp.remaining = 0;
        shownTarget.store (v);
        published.store (publishable (v));
    }

    //==============================================================================
    // Audio-thread side: never waits.

    /** Delivers the value of the block's first sample and advances the ramp
        over the whole block. */
    bool rampFromBlockStart (int n)
    {
        if (! enterFill (n))
            return false;

        if (ramp.remaining > 0)
        {
            ramp.advance();
            blockBuffer.push_back (ramp.current);
            lastIndex = 0;
            for (int taken = 1; taken < n && ramp.remaining > 0; ++taken)
                ramp.advance();
            publish (ramp.current);
        }
        else
        {
            blockBuffer.push_back (published.load (std::memory_order_relaxed));
            lastIndex = 0;
        }
        return exitFill();
    }

    /** Delivers the (converted) value after the whole block. */
    bool rampToBlockEnd (int n)
    {
        if (! enterFill (n))
            return false;

        for (int taken = 0; taken < n - 1 && ramp.remaining > 0; ++taken)
            ramp.advance();
        publish (publishable (ramp.current));

        if (ramp.remaining > 0)
        {
            ramp.advance();
            const auto value = publishable (ramp.current);
            blockBuffer.push_back (value);
            publish (value);
        }
        else
        {
            blockBuffer.push_back (published.load (std::memory_order_relaxed));
        }
        lastIndex = 0;
        return exitFill();
    }

    /** Delivers one (converted) value per sample while the ramp runs; a block
        in which the ramp ends holds fewer than n values. */
    bool rampPerSample (int n)
    {
        if (! enterFill (n))
            return false;

        int count = 0;
        while (ramp.remaining > 0 && count < n)
        {
            ramp.advance();
            blockBuffer.push_back (publishable (ramp.current));
            ++count;
        }

        if (count > 0)
        {
            publish (blockBuffer[(size_t) count - 1]);
            lastIndex = count - 1;
        }
        else
        {
            blockBuffer.push_back (published.load (std::memory_order_relaxed));
            lastIndex = 0;
        }
        return exitFill();
    }

    /** Hands the block buffer back after a successful fill. */
    void releaseBuffer() noexcept
    {
        if (! bufferInUse)
            return;
        bufferInUse = false;
        bufferLock.unlock();
    }

    /** With the setter lock free: settled and current == value; with it held:
        published == value (converted for K == 1). Never waits. */
    bool isSettledAt (Sample value)
    {
        if (setterLock.tryLock())
        {
            const bool settled = ramp.remaining <= 0 && ramp.current == value;
            setterLock.unlock();
            return settled;
        }
        return published.load (std::memory_order_relaxed) == publishable (value);
    }

    bool isBufferInUse() const noexcept { return bufferInUse; }
    const Sample* getBuffer() const noexcept { return blockBuffer.data(); }
    int getLastIndex() const noexcept { return lastIndex; }
    Sample getPublished() const noexcept { return published.load (std::memory_order_relaxed); }

    /** A consistent copy of the ramp, taken under the setter lock (may wait). */
    Ramp getRamp()
    {
        setterLock.lockWaiting (setterBackOff);
        const auto copy = ramp;
        setterLock.unlock();
        return copy;
    }

    /** The setter lock itself, for tests and owners that must hold the ramp still. */
    ArgumentLock& getSetterLock() noexcept { return setterLock; }

    juce::String name { "Value" };
    juce::String unit;

protected:
    Sample publishable (Sample x) const { return K == 1 ? convert (x) : x; }
    void publish (Sample x) noexcept { published.exchange (x, std::memory_order_acq_rel); }

private:
    bool enterFill (int n)
    {
        if (n < 1 || ! setterLock.tryLock())
            return false;
        if (! bufferLock.tryLock())
        {
            setterLock.unlock();
            return false;
        }
        bufferInUse = true;
        blockBuffer.clear();
        return true;
    }

    bool exitFill() noexcept
    {
        setterLock.unlock();
        return true;
    }

    ArgumentLock setterLock;
    int setterBackOff = 1;
    bool bufferInUse = false;
    Ramp ramp;
    std::atomic<Sample> published { Sample (0) };
    ArgumentLock bufferLock;
    int bufferBackOff = 1;
    std::vector<Sample> blockBuffer;
    int lastIndex = 0;
    std::atomic<Sample> shownTarget { Sample (0) }; // the target for display texts, readable from any thread

    JUCE_DECLARE_NON_COPYABLE (FloatArg_v2)
};

} // namespace juce::qorv_dsp
