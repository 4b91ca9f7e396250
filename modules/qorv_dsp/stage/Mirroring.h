// Mirroring the pairs of every group of segments: mix cases, group mix values, the scalar loop.
#pragma once

namespace juce::qorv_dsp
{

/** Mirroring the pairs inside every group of N segments: the mix cases, the
    mix value each group takes, and the scalar loop over a block's groups. */
struct Mirroring
{
    /** How the pairs of a block's groups are mirrored. */
    enum class MixCase { none, swap, blend };

    /** The mix of a block's groups: the mix buffer's entry at the sample where
        group g starts, clamped to the buffer's last index, or the published
        mix when the buffer was not filled. */
    struct GroupMix
    {
        const float* values;
        int lastIndex;
        float published;
        bool fromBuffer;
        float samplesPerSegment; // i / K of the block
        int N;

        float operator() (int g) const noexcept
        {
            return fromBuffer ? values[juce::jmin ((int) ((float) (g * N) * samplesPerSegment), lastIndex)] : published;
        }
    };

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

    /** Mirrors the G groups of every channel's newest K segments. */
    static void mirror (MultiChannelRing& segments, int channelCount, int K, int G, MixCase mixCase, const GroupMix& mix) noexcept
    {
        if (mixCase == MixCase::none)
            return;

        float* const seg = segments.getData();
        const int segMask = segments.getMask();
        for (int c = 0; c < channelCount; ++c)
        {
            const int first = segments.getWriteIndex (c) - (K - 1);
            for (int g = 0; g < G; ++g)
                mirrorGroup (seg, segMask, first + g * mix.N, mix.N, mixCase, mixCase == MixCase::blend ? mix (g) : 0.0f);
        }
    }
};

} // namespace juce::qorv_dsp
