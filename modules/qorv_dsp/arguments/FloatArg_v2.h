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

    Setters come in two kinds. setTarget() waits for the setter lock with its
    back-off, for the message thread and the host's other threads.
    setTargetWithoutWaiting() and resetSmoothing() try the lock once and, when
    another thread holds it, park the change (ParkedChange) instead: whoever
    takes the setter lock next applies it first, at the latest the audio
    thread's next block (applyParkedChange() and the fills). Without
    contention both kinds do exactly the same to the ramp.

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
        float parkedTarget = 0.0f;
        const Sample target = parked.peekTarget (parkedTarget) ? (Sample) parkedTarget
                                                               : shownTarget.load (std::memory_order_relaxed);
        number << std::fixed << std::setprecision (precision) << target;

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
    // Message-thread and host-thread setters: these may wait.

    /** Starts a full-length ramp from wherever the value is now. Returns false
        (and changes nothing) when v already is the target. */
    bool setTarget (Sample v)
    {
        lockSetterWaiting();
        const bool changed = applyTarget (v);
        setterLock.unlock();
        return changed;
    }

    //==============================================================================
    // Setters that never wait: the audio thread's (host automation, the tone
    // filter's gain) and prepare/reset, which run under the engine's lock.

    /** setTarget() for a caller who may not wait. If another thread holds the
        setter lock, v is parked and lands when the lock is next taken; a later
        value parked before then replaces it. */
    void setTargetWithoutWaiting (Sample v) noexcept
    {
        if (! tryLockSetter())
        {
            parked.parkTarget ((float) v);
            return;
        }
        applyTarget (v);
        setterLock.unlock();
    }

    /** Follows a new sample rate and ends a running ramp at its target,
        publishing the target only if a ramp was running. Called from the
        owners' prepare and reset, which may run on the audio thread: with the
        setter lock taken elsewhere the reset is parked like a target. */
    void resetSmoothing (float sampleRate)
    {
        if (! tryLockSetter())
        {
            parkedResetRate.store (sampleRate, std::memory_order_relaxed);
            parked.parkReset();
            return;
        }
        applyReset (sampleRate);
        setterLock.unlock();
    }

    /** Applies a parked change now if the setter lock is free; never waits. The
        owner calls it once per block. Returns what was applied. */
    ParkedChange::Change applyParkedChange() noexcept
    {
        if (parked.isEmpty() || ! setterLock.tryLock())
            return {};
        const auto applied = applyParked();
        setterLock.unlock();
        return applied;
    }

    bool hasParkedChange() const noexcept { return ! parked.isEmpty(); }

    //==============================================================================
    // Prepare side.

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
        if (tryLockSetter())
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
        lockSetterWaiting();
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
    /** Every holder of the setter lock first applies what was parked, so a
        parked change is ordered before whatever the holder does. */
    bool tryLockSetter() noexcept
    {
        if (! setterLock.tryLock())
            return false;
        applyParked();
        return true;
    }

    void lockSetterWaiting()
    {
        setterLock.lockWaiting (setterBackOff);
        applyParked();
    }

    /** Setter lock held. */
    bool applyTarget (Sample v) noexcept
    {
        if (v == ramp.target)
            return false;

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
        return true;
    }

    /** Setter lock held. */
    void applyReset (float sampleRate)
    {
        if (ramp.setRate (sampleRate, Ramp::glideTime))
            publish (publishable (ramp.target));
        onSmoothingReset();
    }

    /** Setter lock held. */
    ParkedChange::Change applyParked()
    {
        if (parked.isEmpty())
            return {};

        const auto change = parked.take();
        if (change.hasTarget && ! change.targetAfterReset)
            applyTarget ((Sample) change.target);
        if (change.reset)
            applyReset (parkedResetRate.load (std::memory_order_relaxed));
        if (change.hasTarget && change.targetAfterReset)
            applyTarget ((Sample) change.target);
        return change;
    }

    bool enterFill (int n)
    {
        if (n < 1 || ! tryLockSetter())
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
    ParkedChange parked;
    std::atomic<float> parkedResetRate { Ramp::initialSampleRate };

    JUCE_DECLARE_NON_COPYABLE (FloatArg_v2)
};

} // namespace juce::qorv_dsp
