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
        prepareVectorPath (S);
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
            const auto* vector = vectorKernelsFor (segments, K, G, w);
            lastBlockPath = vector != nullptr ? vector->path : SegmentPath::scalar;
            const int i = vector != nullptr ? sampleSegments (*vector, segments, K, w) : sampleSegments (segments, K, w);
            const auto mix = advanceControls (i);
            if (vector != nullptr && mix.mixCase == MixCase::blend)
                blend (*vector, segments, K, G, N, i, mix);
            else
                mirror (segments, K, G, N, i, mix);
            if (vector != nullptr)
                rebuild (*vector, segments, K, i, w);
            else
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

    //==============================================================================
    // The vector path: the same values as the loops above, computed by the
    // widest kernels the processor runs (SegmentKernels.h). Its scratch is
    // sized at prepare; a block it does not cover takes the loops above.

    static constexpr int pairBatch = 256;

    void prepareVectorPath (int S)
    {
        kernels = SegmentKernels::choose();
        // The input ring holds at most L samples, and S - 3 segments of the
        // shortest length span L: a block consumes fewer samples than this.
        const int samplesBound = (int) std::ceil ((double) S * (double) sampleRate * 1.0e-6) + 16;
        inputWindow.assign ((size_t) samplesBound + 4, 0.0f);
        windowCubics.assign (4 * ((size_t) samplesBound + 4 + 8), 0.0f);
        rebuilt.assign ((size_t) samplesBound, 0.0f);
        groupMix.assign ((size_t) juce::jmax (1, S), 0.0f);
        for (auto* line : { &pairA, &pairB, &pairMix })
            line->assign ((size_t) pairBatch + 8, 0.0f);
        heldStart.assign ((size_t) pairBatch, 0);
        heldMix.assign ((size_t) pairBatch, 0.0f);
    }

    /** Samples consumed by a block of K segments: the first, and one for every
        whole sample the last segment lies beyond it. */
    static int samplesConsumed (int K, float w) noexcept
    {
        const float P = (float) (K - 1) * w;
        const int whole = (int) P;
        return juce::jmax (1, (float) whole < P ? whole + 1 : whole);
    }

    /** The kernels for this block, or nullptr when it takes the scalar loops:
        no vector kernels, fewer than 3 segments, scratch too small, an input
        ring that runs short (the scalar loops then repeat its last sample) or
        channels whose segments would overlap in the ring. */
    const SegmentKernels* vectorKernelsFor (const MultiChannelRing& segments, int K, int G, float w) const noexcept
    {
        if (kernels == nullptr || K < 3 || G > (int) groupMix.size() || K > segments.getMask() + 1)
            return nullptr;

        const int consumed = samplesConsumed (K, w);
        const int windows = (int) ((float) (K - 1) * w) + 1;
        if (windows + 2 >= (int) inputWindow.size() || consumed > (int) rebuilt.size())
            return nullptr;

        const int ringSize = segments.getMask() + 1;
        for (int c = 0; c < channelCount; ++c)
        {
            if (consumed > inputRing.getFillCount (c))
                return nullptr;
            for (int other = c + 1; other < channelCount; ++other)
            {
                const int apart = (segments.getWriteIndex (other) - segments.getWriteIndex (c)) & segments.getMask();
                if (apart < K || ringSize - apart < K)
                    return nullptr;
            }
        }
        return kernels;
    }

    int sampleSegments (const SegmentKernels& vector, MultiChannelRing& segments, int K, float w)
    {
        const int consumed = samplesConsumed (K, w);
        const int windows = (int) ((float) (K - 1) * w) + 1;
        float* const window = inputWindow.data() + 1;

        for (int c = 0; c < channelCount; ++c)
        {
            // The input from the first unread sample on, in a line; before it
            // the last sample the previous block popped.
            const int head = inputRing.getWriteIndex (c);
            const int fill = inputRing.getFillCount (c);
            auto& I = interpolators[(size_t) c];
            window[-1] = fresh ? 0.0f : I.x0;
            inputRing.copyOut (head - (fill - 1), windows + 2, window);

            const int first = segments.getWriteIndex (c) + 1;
            vector.sample ({ window, windowCubics.data(), windows, K, w, segments.getData(), segments.getMask(), first });

            segments.setWriteIndex (c, first + K - 1);
            inputRing.setFillCount (c, fill - consumed);
            I.load (window[consumed - 2], window[consumed - 1], window[consumed], window[consumed + 1]);
        }
        return consumed;
    }

    void blend (const SegmentKernels& vector, MultiChannelRing& segments, int K, int G, int N, int i, const MixPlan& plan)
    {
        const float* const mixValues = segmentMix.getBuffer();
        const int lastIndex = segmentMix.getLastIndex();
        const float published = segmentMix.getPublished();
        const float samplesPerSegment = (float) i / (float) K;
        for (int g = 0; g < G; ++g)
            groupMix[(size_t) g] = plan.fromBuffer ? mixValues[juce::jmin ((int) ((float) (g * N) * samplesPerSegment), lastIndex)]
                                                   : published;

        for (int c = 0; c < channelCount; ++c)
            vector.blendPairs ({ segments.getData(), segments.getMask(), segments.getWriteIndex (c) - (K - 1), N, G, groupMix.data(),
                                 pairA.data(), pairB.data(), pairMix.data(), heldStart.data(), heldMix.data(), pairBatch });

        if (plan.fromBuffer)
            segmentMix.releaseBuffer();
    }

    void rebuild (const SegmentKernels& vector, MultiChannelRing& segments, int K, int i, float w)
    {
        const float* const seg = segments.getData();
        const int segMask = segments.getMask();
        const float segmentsPerSample = 1.0f / w;

        // Where the scalar loops leave the window: at the last output
        // sample's floor, never past the first or before the second segment.
        int kFinal = K - 2;
        if (i > 1)
        {
            const float M = (float) (K - 1) - (float) (i - 1) * segmentsPerSample;
            kFinal = M >= 1.0f ? juce::jmin (K - 2, floorToInt (M)) : 1;
        }

        for (int c = 0; c < channelCount; ++c)
        {
            const int newest = segments.getWriteIndex (c);
            const auto back = [&] (int d) { return seg[(newest - d) & segMask]; };
            auto& J = interpolators[(size_t) (channelCount + c)];
            const float previous = fresh ? 0.0f : J.x0;

            vector.rebuild ({ seg, segMask, newest, K, i, segmentsPerSample, previous, rebuilt.data() });
            appendToOutput (c, rebuilt.data(), i);

            if (kFinal == K - 2)
                J.load (previous, back (K - 1), back (K - 2), back (K - 3));
            else
                J.load (back (kFinal + 2), back (kFinal + 1), back (kFinal), back (kFinal - 1));
        }
    }

    /** The output ring's offer for count values: appended while there is room. */
    void appendToOutput (int c, const float* values, int count) noexcept
    {
        outputRing.push (c, values, juce::jlimit (0, count, outputRing.getCapacity() - outputRing.getFillCount (c)));
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

    const SegmentKernels* kernels = nullptr;
    SegmentPath lastBlockPath = SegmentPath::scalar;
    std::vector<float> inputWindow, windowCubics, rebuilt, groupMix, pairA, pairB, pairMix, heldMix;
    std::vector<int> heldStart;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TandrelStage)
};

} // namespace juce::qorv_dsp
