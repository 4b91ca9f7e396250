#pragma once

namespace juce::qorv_dsp
{

/** One stage of the effect. It samples its input once per segment of
    segmentLength seconds (w = segmentLength * sampleRate samples, often far
    below one sample), groups the segment values in runs of N, mirrors every
    second pair from the outside in (exchanging or blending by the mix),
    interpolates the modified sequence back to the audio rate and hands the
    result out D samples late, then runs its tone filter over the output block.

    Only whole groups are processed; the remainder of the input waits in the
    input ring. Reset primes the output ring with D zeros and empties the input
    ring, and each block moves exactly the samples it consumes from one to the
    other, so the two rings together hold D samples after every block and the
    stage's delay stays D. The output ring never runs short as long as no block
    leaves more than D samples unconsumed (TandrelMultistage::stageDelayFor). */
template <typename Sample>
class TandrelStage
{
public:
    template <typename FilterSample> class ToneFilter;
    template <typename ArgSample> class SecondsTrackingMicrosecondsArg_v2;

    using InputBlock = juce::dsp::AudioBlock<const Sample>;
    using OutputBlock = juce::dsp::AudioBlock<Sample>;

    /** How the pairs of a block's groups are mirrored. */
    using MixCase = Mirroring::MixCase;

    using Limits = SegmentLimits;

    TandrelStage()
    {
        segmentSize.name = "Segment Size";
        segmentSize.unit = "<microseconds>";
        segmentSize.snapTo ((Sample) 50.0f);

        segmentMix.name = "Mix";
        segmentMix.unit = "%";
        segmentMix.snapTo ((Sample) 100.0f);

        segmentLength = segmentSize.getPublished();
    }

    //==============================================================================
    /** Sizes everything for spec; S is the segment ring's spacing, which also
        bounds the values a block can ask of the argument buffers. */
    void prepareStage (const juce::dsp::ProcessSpec& spec, int S)
    {
        sampleRate = (float) spec.sampleRate;
        channelCount = (int) spec.numChannels;
        segmentSize.reserveBuffer (S);
        segmentMix.reserveBuffer (S);
        toneFilter.prepareLocked (spec);
        interpolators.assign ((size_t) (2 * channelCount), LagrangeState {});
        vectorPath.prepare (S, sampleRate);
    }

    /** Clears running state: an empty input ring of capacity L and an output
        ring of capacity 2L primed with D zeros, which is the stage's delay.
        L must take the samples a block leaves unconsumed plus a whole block. */
    void resetStage (int L, int D)
    {
        segmentSize.resetSmoothing (sampleRate);
        segmentMix.resetSmoothing (sampleRate);
        segmentLength = segmentSize.getPublished();
        inputRing.prime (channelCount, L, 0);
        outputRing.prime (channelCount, 2 * L, D);
        fresh = true;
        toneFilter.resetLocked();
    }

    //==============================================================================
    // Parameter thread, which may be the audio thread (host automation): there
    // the smoothed arguments are set with SetterWaiting::never. Values outside
    // the controls' ranges cannot come from the controls; they are clamped here
    // because a count below 1 would divide by zero and a length below 1 us
    // would overrun the segment ring. A value that is not a number is ignored.

    void setNumberOfSegments (float v) noexcept
    {
        if (std::isfinite (v))
            numberOfSegments.value.store (juce::jlimit (Limits::minimumSegments, Limits::maximumSegments, (int) v));
    }

    void setSegmentSize (float microseconds, SetterWaiting waiting = SetterWaiting::allowed)
    {
        if (std::isfinite (microseconds))
            setSmoothed (segmentSize, (Sample) juce::jlimit (Limits::minimumMicroseconds, Limits::maximumMicroseconds, microseconds), waiting);
    }

    void setSegmentMix (float percent, SetterWaiting waiting = SetterWaiting::allowed)
    {
        if (std::isfinite (percent))
            setSmoothed (segmentMix, (Sample) percent, waiting);
    }

    /** Audio thread, before each block: lands what setters that could not wait
        left parked. A reset that lands here takes the segment length along, as
        resetStage() would have. */
    void applyParkedChanges() noexcept
    {
        if (segmentSize.applyParkedChange().reset)
            segmentLength = segmentSize.getPublished();
        segmentMix.applyParkedChange();
    }

    void setTone (float tone) noexcept
    {
        if (std::isfinite (tone))
            toneFilter.tone.value.store (tone);
    }

    //==============================================================================
    /** One block: queue the input, cut whole groups of segments, mirror their
        pairs, rebuild audio into the output ring, then hand out n samples by
        route (StageRoute.h) and run the tone filter over the output block. */
    void processStage (const InputBlock& input, int n, MultiChannelRing& segments, const OutputBlock& output,
                       Sample gain, StageRoute route)
    {
        const int Nc = channelCount;

        for (int c = 0; c < Nc; ++c)
            inputRing.push (c, input.getChannelPointer ((size_t) c), n);

        const int N = juce::jmax (1, numberOfSegments.value.load (std::memory_order_relaxed));
        const float w = segmentLength * sampleRate;
        const int G = Nc > 0 ? groupCount (inputRing.getFillCount (0), w, N) : 0;

        if (G > 0)
        {
            const int K = N * G;
            const auto* vector = vectorPath.kernelsFor (inputRing, Nc, segments, K, G, w);
            lastBlockPath = vector != nullptr ? vector->path : SegmentPath::scalar;
            const int i = vector != nullptr ? vectorPath.sample (*vector, inputRing, samplers(), Nc, fresh, segments, K, w)
                                            : SamplingLoop { inputRing, samplers(), Nc, fresh } (segments, K, w);
            const auto mix = advanceControls (i);
            const Mirroring::GroupMix groupMix { segmentMix.getBuffer(), segmentMix.getLastIndex(), segmentMix.getPublished(),
                                                 mix.fromBuffer, (float) i / (float) K, N };
            if (vector != nullptr && mix.mixCase == MixCase::blend)
                vectorPath.blend (*vector, segments, Nc, K, G, groupMix);
            else
                Mirroring::mirror (segments, Nc, K, G, mix.mixCase, groupMix);
            if (mix.fromBuffer)
                segmentMix.releaseBuffer();
            if (vector != nullptr)
                vectorPath.rebuild (*vector, segments, outputRing, rebuilders(), Nc, fresh, K, i, w);
            else
                RebuildingLoop { outputRing, rebuilders(), Nc, fresh } (segments, K, i, w);
            fresh = false;
        }

        handOutBlock (outputRing, toneFilter, Nc, n, output, gain, route);
    }

    /** Mirrors one group of N values (Mirroring.h). */
    static void mirrorGroup (float* data, int mask, int first, int N, MixCase mixCase, float o) noexcept
    {
        Mirroring::mirrorGroup (data, mask, first, N, mixCase, o);
    }

    //==============================================================================
    ToneFilter<Sample> toneFilter;
    SecondsTrackingMicrosecondsArg_v2<Sample> segmentSize;
    IntArg numberOfSegments { 2, "N" };
    PercentArg_v2<Sample> segmentMix;

    // Read access for the owner and for tests.
    const MultiChannelRing& getInputRing() const noexcept { return inputRing; }
    const MultiChannelRing& getOutputRing() const noexcept { return outputRing; }
    float getSegmentLength() const noexcept { return segmentLength; }
    bool isFresh() const noexcept { return fresh; }
    int getChannelCount() const noexcept { return channelCount; }
    /** The instruction set the last block that produced segments ran on. */
    SegmentPath getLastBlockPath() const noexcept { return lastBlockPath; }

private:
    template <typename Argument>
    static void setSmoothed (Argument& argument, Sample v, SetterWaiting waiting)
    {
        if (waiting == SetterWaiting::allowed)
            argument.setTarget (v);
        else
            argument.setTargetWithoutWaiting (v);
    }

    /** Whole groups covered by the queued input: trunc((fill - 1) / w) / N. */
    static int groupCount (int fill, float w, int N) noexcept
    {
        if (! (w > 0.0f))
            return 0;
        const float segmentsCovered = (float) (fill - 1) / w;
        if (! (segmentsCovered >= 1.0f))
            return 0;
        return (int) juce::jmin (segmentsCovered, (float) std::numeric_limits<int>::max() / 2.0f) / N;
    }

    // Entry c samples the input of channel c, entry channelCount + c rebuilds
    // the output of channel c.
    LagrangeState* samplers() noexcept { return interpolators.data(); }
    LagrangeState* rebuilders() noexcept { return interpolators.data() + channelCount; }

    struct MixPlan
    {
        MixCase mixCase = MixCase::blend;
        bool fromBuffer = false;
    };

    /** Advances the mix per sample and the segment size to the block end by
        the i consumed samples. A blend keeps the mix buffer held until the
        pairs are mirrored. A fill that fails (another thread holds the mix's
        setter lock) leaves the published value, which is planned like a
        single buffered value, so the block sounds as a settled fill would. */
    MixPlan advanceControls (int i)
    {
        MixPlan plan;
        segmentMix.rampPerSample (i);
        const bool single = ! segmentMix.isBufferInUse() || segmentMix.getLastIndex() <= 0;
        const float first = segmentMix.isBufferInUse() ? segmentMix.getBuffer()[0] : segmentMix.getPublished();
        if (single && (first == 0.0f || first == 1.0f))
        {
            plan.mixCase = first == 0.0f ? MixCase::none : MixCase::swap;
            segmentMix.releaseBuffer();
        }
        else if (segmentMix.isBufferInUse())
        {
            plan.fromBuffer = true;
        }

        segmentSize.rampToBlockEnd (i);
        if (segmentSize.isBufferInUse())
        {
            segmentLength = segmentSize.getBuffer()[segmentSize.getLastIndex()];
            segmentSize.releaseBuffer();
        }
        else
        {
            segmentLength = segmentSize.getPublished();
        }
        return plan;
    }

    int channelCount = 0;
    float sampleRate = 44100.0f;
    float segmentLength = 0.00005f;
    MultiChannelRing inputRing, outputRing;
    std::vector<LagrangeState> interpolators;
    bool fresh = true;

    VectorPath vectorPath;
    SegmentPath lastBlockPath = SegmentPath::scalar;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TandrelStage)
};

} // namespace juce::qorv_dsp
