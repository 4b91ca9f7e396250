// The stage's scalar rebuilding loop: segment values back to output samples.
#pragma once

namespace juce::qorv_dsp
{

/** The stage's scalar rebuilding loop over one block: K segments of each
    channel become i output samples offered to the output ring, read through
    interpolators[c] (whose x(0) links the blocks, from silence when fresh). */
struct RebuildingLoop
{
    MultiChannelRing& output;
    LagrangeState* interpolators; // one per channel
    int channelCount;
    bool fresh;


    /** Interpolates the K segments back to i output samples per channel:
        output sample l sits l / w segments after segment 0. Channels run side
        by side in pairs, as they take the same steps. */
    void operator() (MultiChannelRing& segments, int K, int i, float w) const
    {
        for (int c = 0; c < channelCount;)
        {
            if (channelCount - c >= 2)
            {
                ofChannels<2> (segments, c, K, i, w);
                c += 2;
            }
            else
            {
                ofChannels<1> (segments, c, K, i, w);
                c += 1;
            }
        }
    }

private:
    template <int C>
    void ofChannels (MultiChannelRing& segments, int firstChannel, int K, int i, float w) const
    {
        const float* const seg = segments.getData();
        const int segMask = segments.getMask();
        const float segmentsPerSample = 1.0f / w;

        LagrangeState J[(size_t) C];
        LagrangeState::Coefficients coefficients[(size_t) C];
        int newest[(size_t) C];

        // The output ring's offers, kept in registers: append while the
        // channel has room, drop the rest.
        float* const out = output.getData();
        const int outMask = output.getMask();
        const int capacity = output.getCapacity();
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
            J[ch] = interpolators[c];
            J[ch].load (fresh ? 0.0f : J[ch].x0, segAt (ch, 0), segAt (ch, 1), segAt (ch, 2));
            coefficients[ch] = J[ch].coefficients();
            outWrite[ch] = output.getWriteIndex (c);
            outFill[ch] = output.getFillCount (c);
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
                    const int below = StageArithmetic::floorToInt (M); // where the step-by-step walk would stop
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
            interpolators[firstChannel + ch] = J[ch];
            output.setWriteIndex (firstChannel + ch, outWrite[ch]);
            output.setFillCount (firstChannel + ch, outFill[ch]);
        }
    }
};

} // namespace juce::qorv_dsp
