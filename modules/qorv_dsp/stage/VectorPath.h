// The stage's vector path: the kernels a block runs on and their scratch.
#pragma once

namespace juce::qorv_dsp
{

/** The stage's vector path: the same values as the scalar loops, computed by
    the widest kernels the processor runs (SegmentKernels.h). It decides per
    block whether the kernels cover it and holds their scratch, sized at
    prepare; a block it does not cover takes the scalar loops. */
class VectorPath
{
public:
    void prepare (int S, float sampleRate)
    {
        kernels = SegmentKernels::choose();
        // The input ring holds at most L samples, and S - 3 segments of the
        // shortest length span L: a block consumes fewer samples than this.
        const int samplesBound = (int) std::ceil ((double) S * (double) sampleRate * SegmentLimits::secondsPerMicrosecond) + 16;
        inputWindow.assign ((size_t) samplesBound + 4, 0.0f);
        windowCubics.assign (4 * ((size_t) samplesBound + 4 + 8), 0.0f);
        rebuilt.assign ((size_t) samplesBound, 0.0f);
        groupMix.assign ((size_t) juce::jmax (1, S), 0.0f);
        for (auto* line : { &pairA, &pairB, &pairMix })
            line->assign ((size_t) pairBatch + 8, 0.0f);
        heldStart.assign ((size_t) pairBatch, 0);
        heldMix.assign ((size_t) pairBatch, 0.0f);
    }

    /** The kernels for this block, or nullptr when it takes the scalar loops:
        no vector kernels, fewer than 3 segments, scratch too small, an input
        ring that runs short (the scalar loops then repeat its last sample) or
        channels whose segments would overlap in the ring. */
    const SegmentKernels* kernelsFor (const MultiChannelRing& input, int channelCount, const MultiChannelRing& segments,
                                      int K, int G, float w) const noexcept
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
            if (consumed > input.getFillCount (c))
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

    /** The sampling loop's work; interpolators[c] samples channel c. */
    int sample (const SegmentKernels& vector, MultiChannelRing& input, LagrangeState* interpolators, int channelCount,
                bool fresh, MultiChannelRing& segments, int K, float w)
    {
        const int consumed = samplesConsumed (K, w);
        const int windows = (int) ((float) (K - 1) * w) + 1;
        float* const window = inputWindow.data() + 1;

        for (int c = 0; c < channelCount; ++c)
        {
            // The input from the first unread sample on, in a line; before it
            // the last sample the previous block popped.
            const int head = input.getWriteIndex (c);
            const int fill = input.getFillCount (c);
            auto& I = interpolators[c];
            window[-1] = fresh ? 0.0f : I.x0;
            input.copyOut (head - (fill - 1), windows + 2, window);

            const int first = segments.getWriteIndex (c) + 1;
            vector.sample ({ window, windowCubics.data(), windows, K, w, segments.getData(), segments.getMask(), first });

            segments.setWriteIndex (c, first + K - 1);
            input.setFillCount (c, fill - consumed);
            I.load (window[consumed - 2], window[consumed - 1], window[consumed], window[consumed + 1]);
        }
        return consumed;
    }

    /** The blend case of the mirroring loop. */
    void blend (const SegmentKernels& vector, MultiChannelRing& segments, int channelCount, int K, int G, const Mirroring::GroupMix& mix)
    {
        for (int g = 0; g < G; ++g)
            groupMix[(size_t) g] = mix (g);

        for (int c = 0; c < channelCount; ++c)
            vector.blendPairs ({ segments.getData(), segments.getMask(), segments.getWriteIndex (c) - (K - 1), mix.N, G, groupMix.data(),
                                 pairA.data(), pairB.data(), pairMix.data(), heldStart.data(), heldMix.data(), pairBatch });
    }

    /** The rebuilding loop's work; interpolators[c] rebuilds channel c. */
    void rebuild (const SegmentKernels& vector, MultiChannelRing& segments, MultiChannelRing& output, LagrangeState* interpolators,
                  int channelCount, bool fresh, int K, int i, float w)
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
            kFinal = M >= 1.0f ? juce::jmin (K - 2, StageArithmetic::floorToInt (M)) : 1;
        }

        for (int c = 0; c < channelCount; ++c)
        {
            const int newest = segments.getWriteIndex (c);
            const auto back = [&] (int d) { return seg[(newest - d) & segMask]; };
            auto& J = interpolators[c];
            const float previous = fresh ? 0.0f : J.x0;

            vector.rebuild ({ seg, segMask, newest, K, i, segmentsPerSample, previous, rebuilt.data() });
            // The output ring's offer: appended while there is room.
            output.push (c, rebuilt.data(), juce::jlimit (0, i, output.getCapacity() - output.getFillCount (c)));

            if (kFinal == K - 2)
                J.load (previous, back (K - 1), back (K - 2), back (K - 3));
            else
                J.load (back (kFinal + 2), back (kFinal + 1), back (kFinal), back (kFinal - 1));
        }
    }

private:
    /** Samples consumed by a block of K segments: the first, and one for every
        whole sample the last segment lies beyond it. */
    static int samplesConsumed (int K, float w) noexcept
    {
        const float P = (float) (K - 1) * w;
        const int whole = (int) P;
        return juce::jmax (1, (float) whole < P ? whole + 1 : whole);
    }

    static constexpr int pairBatch = 256;

    const SegmentKernels* kernels = nullptr;
    std::vector<float> inputWindow, windowCubics, rebuilt, groupMix, pairA, pairB, pairMix, heldMix;
    std::vector<int> heldStart;
};

} // namespace juce::qorv_dsp
