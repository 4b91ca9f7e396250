// The stage's scalar sampling loop: input samples to segment values.
#pragma once

namespace juce::qorv_dsp
{

/** The stage's scalar sampling loop over one block: the input ring of each
    channel, read through interpolators[c] (whose x(0) links the blocks, from
    silence when fresh), becomes K segment values in the segment ring. */
struct SamplingLoop
{
    MultiChannelRing& input;
    LagrangeState* interpolators; // one per channel
    int channelCount;
    bool fresh;

    /** Writes K segment values per channel into the segment ring: segment k is
        the input interpolated k*w samples after the first popped sample.
        Returns the number of input samples consumed per channel. Every channel
        takes the same steps, so channels run side by side in pairs. */
    int operator() (MultiChannelRing& segments, int K, float w) const
    {
        int consumed = 1;
        for (int c = 0; c < channelCount;)
        {
            const int taken = channelCount - c >= 2 ? ofChannels<2> (segments, c, K, w) : ofChannels<1> (segments, c, K, w);
            if (c == 0)
                consumed = taken;
            c += channelCount - c >= 2 ? 2 : 1;
        }
        return consumed;
    }

private:
    template <int C>
    int ofChannels (MultiChannelRing& segments, int firstChannel, int K, float w) const
    {
        const float* const in = input.getData();
        const int inMask = input.getMask();
        float* const seg = segments.getData();
        const int segMask = segments.getMask();

        LagrangeState I[(size_t) C];
        LagrangeState::Coefficients coefficients[(size_t) C];
        int head[(size_t) C], fill[(size_t) C], sw[(size_t) C];

        for (int ch = 0; ch < C; ++ch)
        {
            const int c = firstChannel + ch;
            I[ch] = interpolators[(size_t) c];
            head[ch] = input.getWriteIndex (c);
            fill[ch] = input.getFillCount (c);

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
            const float f = P - StageArithmetic::truncated (P);
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
            input.setFillCount (c, fill[ch]);
        }
        return l;
    }
};

} // namespace juce::qorv_dsp
