#pragma once

namespace juce::qorv_dsp
{

/** One stage of the effect. It samples its input once per segment of
    segmentLength seconds (w = segmentLength * sampleRate samples, often far
    below one sample), groups the segment values in runs of N, mirrors every
    second pair from the outside in (exchanging or blending by the mix),
    interpolates the modified sequence back to the audio rate and hands the
    result out L samples late, then runs its tone filter over the output block.

    Only whole groups are processed; the remainder of the input waits in the
    input ring. Reset primes the output ring with L zeros and empties the input
    ring, and each block moves exactly the samples it consumes from one to the
    other, so the stage's delay stays L. */
template <typename Sample>
class TandrelStage
{
public:
    template <typename FilterSample> class ToneFilter;
    template <typename ArgSample> class SecondsTrackingMicrosecondsArg_v2;

    using InputBlock = juce::dsp::AudioBlock<const Sample>;
    using OutputBlock = juce::dsp::AudioBlock<Sample>;

    /** How the pairs of a block's groups are mirrored. */
    enum class MixCase { none, swap, blend };

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
    }

    /** Clears running state: an empty input ring of capacity L and an output
        ring primed with L zeros, which is the stage's delay. */
    void resetStage (int L)
    {
        segmentSize.resetSmoothing (sampleRate);
        segmentMix.resetSmoothing (sampleRate);
        segmentLength = segmentSize.getPublished();
        inputRing.prime (channelCount, L, 0);
        outputRing.prime (channelCount, 2 * L, L);
        fresh = true;
        toneFilter.resetLocked();
    }

    //==============================================================================
    // Parameter thread. Values outside the controls' ranges cannot come from
    // the controls; they are clamped here because a count below 1 would divide
    // by zero and a length below 1 us would overrun the segment ring. A value
    // that is not a number is ignored.

    void setNumberOfSegments (float v) noexcept
    {
        if (std::isfinite (v))
            numberOfSegments.value.store (juce::jlimit (Limits::minimumSegments, Limits::maximumSegments, (int) v));
    }

    void setSegmentSize (float microseconds)
    {
        if (std::isfinite (microseconds))
            segmentSize.setTarget ((Sample) juce::jlimit (Limits::minimumMicroseconds, Limits::maximumMicroseconds, microseconds));
    }

    void setSegmentMix (float percent)
    {
        if (std::isfinite (percent))
            segmentMix.setTarget ((Sample) percent);
    }

    void setTone (float tone) noexcept
    {
        if (std::isfinite (tone))
            toneFilter.tone.value.store (tone);
    }

    //==============================================================================
    /** One block: queue the input, cut whole groups of segments, mirror their
        pairs, rebuild audio into the output ring, then hand out n samples.
        Routing: discard drops the block's output (output and tone filter
        untouched); without accumulate, or with replace, the output is
        overwritten (gain, or 1 when gain is 0); otherwise it is added with
        gain, or dropped when gain is 0. The tone filter then runs over
        whatever the output block holds. */
    void processStage (const InputBlock& input, int n, MultiChannelRing& segments, const OutputBlock& output,
                       Sample gain, bool accumulate, bool replace, bool discard)
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
            const int i = sampleSegments (segments, K, w);
            const auto mix = advanceControls (i);
            mirror (segments, K, G, N, i, mix);
            rebuild (segments, K, i, w);
            fresh = false;
        }

        handOut (n, output, gain, accumulate, replace, discard);
    }

    //==============================================================================
    /** Mirrors one group of N values starting at ring position first:
        pairs (j, N-1-j) for j = 0, 2, 4, ... below N/2. Swap exchanges them;
        blend with o > 0 moves the first to lerp(a, b, o) and the second to
        (a - a') + b, so the pair's sum is kept. */
    static void mirrorGroup (float* data, int mask, int first, int N, MixCase mixCase, float o) noexcept
    {
        if (mixCase == MixCase::none || (mixCase == MixCase::blend && ! (o > 0.0f)))
            return;

        const int half = N / 2;
        for (int j = 0; j < half; j += 2)
        {
            float& x = data[(first + j) & mask];
            float& y = data[(first + N - 1 - j) & mask];
            const float a = x, b = y;

            if (mixCase == MixCase::swap)
            {
                x = b;
                y = a;
            }
            else
            {
                const float moved = lerp (a, b, o);
                x = moved;
                y = (a - moved) + b;
            }
        }
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

private:
    /** trunc(x) for 0 <= x < 2^31, exactly, without a library call. */
    static float truncated (float x) noexcept { return (float) (int) x; }

    /** The largest integer not above x, for |x| < 2^31. */
    static int floorToInt (float x) noexcept
    {
        const int t = (int) x;
        return (float) t > x ? t - 1 : t;
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

    /** Writes K segment values per channel into the segment ring: segment k is
        the input interpolated k*w samples after the first popped sample.
        Returns the number of input samples consumed per channel. Every channel
        takes the same steps, so channels run side by side in pairs. */
    int sampleSegments (MultiChannelRing& segments, int K, float w)
    {
        int consumed = 1;
        for (int c = 0; c < channelCount;)
        {
            const int taken = channelCount - c >= 2 ? sampleSegmentsOf<2> (segments, c, K, w) : sampleSegmentsOf<1> (segments, c, K, w);
            if (c == 0)
                consumed = taken;
            c += channelCount - c >= 2 ? 2 : 1;
        }
        return consumed;
    }

    template <int C>
    int sampleSegmentsOf (MultiChannelRing& segments, int firstChannel, int K, float w)
    {
        const float* const in = inputRing.getData();
        const int inMask = inputRing.getMask();
        float* const seg = segments.getData();
        const int segMask = segments.getMask();

        LagrangeState I[(size_t) C];
        LagrangeState::Coefficients coefficients[(size_t) C];
        int head[(size_t) C], fill[(size_t) C], sw[(size_t) C];

        for (int ch = 0; ch < C; ++ch)
        {
            const int c = firstChannel + ch;
            I[ch] = interpolators[(size_t) c];
            head[ch] = inputRing.getWriteIndex (c);
            fill[ch] = inputRing.getFillCount (c);

            float u = 0.0f;
            if (fill[ch] > 0)
            {
                --fill[ch];
                u = in[(head[ch] - fill[ch]) & inMask];
            }
            const float r = in[(head[ch] - (fill[ch] - 1)) & inMask];
            const float s = in[(head[ch] - (fill[ch] - 2)) & inMask];
            I[ch].load (fresh ? 0.0f : I[ch].x0, u, r, s);
            coefficients[ch] = I[ch].coefficients();

            sw[ch] = (segments.getWriteIndex (c) + 1) & segMask;
            seg[sw[ch]] = u;
        }

        // The window moves far less often than it is evaluated at short
        // segments, so its coefficients are rebuilt only after it moved.
        int l = 1;
        for (int k = 1; k < K; ++k)
        {
            const float P = (float) k * w;
            if ((float) l < P)
            {
                do
                {
                    ++l;
                    for (int ch = 0; ch < C; ++ch)
                    {
                        if (fill[ch] > 0)
                            --fill[ch];
                        I[ch].advance (in[(head[ch] - (fill[ch] - 2)) & inMask]);
                    }
                } while ((float) l < P);

                for (int ch = 0; ch < C; ++ch)
                    coefficients[ch] = I[ch].coefficients();
            }

            const bool onSample = (float) l == P;
            const float f = P - truncated (P);
            for (int ch = 0; ch < C; ++ch)
            {
                sw[ch] = (sw[ch] + 1) & segMask;
                seg[sw[ch]] = onSample ? I[ch].x1 : coefficients[ch].evaluate (f);
            }
        }

        for (int ch = 0; ch < C; ++ch)
        {
            const int c = firstChannel + ch;
            interpolators[(size_t) c] = I[ch];
            segments.setWriteIndex (c, sw[ch]);
            inputRing.setFillCount (c, fill[ch]);
        }
        return l;
    }

    struct MixPlan
    {
        MixCase mixCase = MixCase::blend;
        bool fromBuffer = false;
    };

    /** Advances the mix per sample and the segment size to the block end by
        the i consumed samples. A blend keeps the mix buffer held until the
        pairs are mirrored. */
    MixPlan advanceControls (int i)
    {
        MixPlan plan;
        segmentMix.rampPerSample (i);
        if (segmentMix.isBufferInUse())
        {
            const float first = segmentMix.getBuffer()[0];
            if (segmentMix.getLastIndex() <= 0 && (first == 0.0f || first == 1.0f))
            {
                plan.mixCase = first == 0.0f ? MixCase::none : MixCase::swap;
                segmentMix.releaseBuffer();
            }
            else
            {
                plan.fromBuffer = true;
            }
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

    void mirror (MultiChannelRing& segments, int K, int G, int N, int i, const MixPlan& plan)
    {
        float* const seg = segments.getData();
        const int segMask = segments.getMask();
        const float* const mixValues = segmentMix.getBuffer();
        const int lastIndex = segmentMix.getLastIndex();
        const float published = segmentMix.getPublished();
        const float samplesPerSegment = (float) i / (float) K;

        if (plan.mixCase != MixCase::none)
        {
            for (int c = 0; c < channelCount; ++c)
            {
                const int first = segments.getWriteIndex (c) - (K - 1);
                for (int g = 0; g < G; ++g)
                {
                    float o = 0.0f;
                    if (plan.mixCase == MixCase::blend)
                        o = plan.fromBuffer ? mixValues[juce::jmin ((int) ((float) (g * N) * samplesPerSegment), lastIndex)]
                                            : published;
                    mirrorGroup (seg, segMask, first + g * N, N, plan.mixCase, o);
                }
            }
        }

        if (plan.fromBuffer)
            segmentMix.releaseBuffer();
    }

    /** Interpolates the K segments back to i output samples per channel:
        output sample l sits l / w segments after segment 0. Channels run side
        by side in pairs, as they take the same steps. */
    void rebuild (MultiChannelRing& segments, int K, int i, float w)
    {
        for (int c = 0; c < channelCount;)
        {
            if (channelCount - c >= 2)
            {
                rebuildOf<2> (segments, c, K, i, w);
                c += 2;
            }
            else
            {
                rebuildOf<1> (segments, c, K, i, w);
                c += 1;
            }
        }
    }

    template <int C>
    void rebuildOf (MultiChannelRing& segments, int firstChannel, int K, int i, float w)
    {
        const float* const seg = segments.getData();
        const int segMask = segments.getMask();
        const float segmentsPerSample = 1.0f / w;

        LagrangeState J[(size_t) C];
        LagrangeState::Coefficients coefficients[(size_t) C];
        int newest[(size_t) C];

        // The output ring's offers, kept in registers: append while the
        // channel has room, drop the rest.
        float* const out = outputRing.getData();
        const int outMask = outputRing.getMask();
        const int capacity = outputRing.getCapacity();
        int outWrite[(size_t) C], outFill[(size_t) C];
        const auto offer = [&] (int ch, float v)
        {
            if (outFill[ch] < capacity)
            {
                outWrite[ch] = (outWrite[ch] + 1) & outMask;
                out[outWrite[ch]] = v;
                ++outFill[ch];
            }
        };

        // seg[m] of channel ch is K - 1 - m places before its newest segment
        const auto back = [&] (int ch, int d) { return seg[(newest[ch] - d) & segMask]; };
        const auto segAt = [&] (int ch, int m) { return back (ch, K - 1 - m); };

        for (int ch = 0; ch < C; ++ch)
        {
            const int c = firstChannel + ch;
            newest[ch] = segments.getWriteIndex (c);
            J[ch] = interpolators[(size_t) (channelCount + c)];
            J[ch].load (fresh ? 0.0f : J[ch].x0, segAt (ch, 0), segAt (ch, 1), segAt (ch, 2));
            coefficients[ch] = J[ch].coefficients();
            outWrite[ch] = outputRing.getWriteIndex (c);
            outFill[ch] = outputRing.getFillCount (c);
            offer (ch, segAt (ch, 0));
        }

        // x(+1) of the window is the segment k places before the newest.
        // Moving the window back to a smaller k is the same as advancing it
        // segment by segment: after one step it holds the segments k + 2,
        // k + 1, k and k - 1 places back. At short segments it moves many
        // places per output sample, so it is loaded once at its destination.
        int k = K - 2;
        bool fallback = false;
        for (int l = 1; l < i; ++l)
        {
            const float M = (float) (K - 1) - (float) l * segmentsPerSample;
            float value[(size_t) C];

            if (! fallback)
            {
                if ((float) k > M)
                {
                    const int below = floorToInt (M); // where the step-by-step walk would stop
                    const int destination = juce::jmax (below, 1);
                    if (destination < k)
                    {
                        if (k - destination <= 2)
                        {
                            for (int d = k - 1; d >= destination; --d) // a short move: step by step
                                for (int ch = 0; ch < C; ++ch)
                                    J[ch].advance (back (ch, d - 1));
                        }
                        else
                        {
                            for (int ch = 0; ch < C; ++ch)
                                J[ch].load (back (ch, destination + 2), back (ch, destination + 1), back (ch, destination),
                                            back (ch, destination - 1));
                        }
                        for (int ch = 0; ch < C; ++ch)
                            coefficients[ch] = J[ch].coefficients();
                    }
                    fallback = below < 1;
                    k = fallback ? juce::jmin (k - 1, 0) : below;
                }

                if (! fallback)
                {
                    const bool onSegment = (float) k == M;
                    const float f = (float) (k + 1) - M;
                    for (int ch = 0; ch < C; ++ch)
                        value[ch] = onSegment ? J[ch].x1 : coefficients[ch].evaluate (f);
                }
            }

            if (fallback)
            {
                const int d = (int) M;
                const float phi = M - (float) d;
                for (int ch = 0; ch < C; ++ch)
                    value[ch] = phi == 0.0f ? segAt (ch, K - 1 - d) : lerp (segAt (ch, K - 1 - d), segAt (ch, K - 2 - d), phi);
            }

            for (int ch = 0; ch < C; ++ch)
                offer (ch, value[ch]);
        }

        for (int ch = 0; ch < C; ++ch)
        {
            interpolators[(size_t) (channelCount + firstChannel + ch)] = J[ch];
            outputRing.setWriteIndex (firstChannel + ch, outWrite[ch]);
            outputRing.setFillCount (firstChannel + ch, outFill[ch]);
        }
    }

    void handOut (int n, const OutputBlock& output, Sample gain, bool accumulate, bool replace, bool discard)
    {
        const int Nc = channelCount;

        if (discard)
        {
            for (int c = 0; c < Nc; ++c)
                outputRing.discard (c, n);
            return;
        }

        if (! accumulate || replace)
        {
            const Sample g = gain > Sample (0) ? gain : Sample (1);
            for (int c = 0; c < Nc; ++c)
                outputRing.read (c, output.getChannelPointer ((size_t) c), n, g, false);
        }
        else if (gain > Sample (0))
        {
            for (int c = 0; c < Nc; ++c)
                outputRing.read (c, output.getChannelPointer ((size_t) c), n, gain, true);
        }
        else
        {
            for (int c = 0; c < Nc; ++c)
                outputRing.discard (c, n);
        }

        toneFilter.updateCoefficients (n);
        if (toneFilter.isActive())
        {
            int c = 0;
            for (; c + 1 < Nc; c += 2)
                toneFilter.processChannelPair (c, output.getChannelPointer ((size_t) c), output.getChannelPointer ((size_t) c + 1), n);
            if (c < Nc)
                toneFilter.processChannel (c, output.getChannelPointer ((size_t) c), n);
        }
    }

    int channelCount = 0;
    float sampleRate = 44100.0f;
    float segmentLength = 0.00005f;
    MultiChannelRing inputRing, outputRing;
    std::vector<LagrangeState> interpolators;
    bool fresh = true;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TandrelStage)
};

} // namespace juce::qorv_dsp
