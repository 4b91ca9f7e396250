#pragma once

#include <qorv_dsp/qorv_dsp.h>

#include <functional>

namespace tandrel::test
{
using Stage = juce::qorv_dsp::TandrelStage<float>;
using Multistage = juce::qorv_dsp::TandrelMultistage<float, 3>;

/** At 1 MHz a 1 us segment is exactly one sample (w == 1), so sampling and
    rebuilding are exact and a stage's output is a known permutation of its
    input: mirroring becomes directly observable. */
constexpr double exactRate = 1000000.0;

/** Position within the stream after mirroring groups of N with every second
    pair (j, N-1-j), j even and below N/2, exchanged. */
inline int mirroredIndex (int m, int N)
{
    const int j = m % N, partner = N - 1 - j;
    const auto moves = [N] (int x) { return x < N / 2 && x % 2 == 0; };
    return moves (j) || moves (partner) ? m - j + partner : m;
}

/** Where each output sample of an exact-rate stage (w == 1) comes from.
    A producing block cuts K = N * trunc((fill - 1) / N) segments starting at
    the oldest queued sample, hands out K - 1 of them (the last one is only
    looked ahead at) and starts the next block's grid there, so the group grid
    restarts with every producing block. */
struct SegmentOrigin
{
    int blockStart; // stream index of the block's segment 0
    int m;          // segment index within the block
};

inline std::vector<SegmentOrigin> exactStageOrigins (const std::vector<int>& blockSizes, int N)
{
    std::vector<SegmentOrigin> origins;
    int fill = 0, next = 0;
    for (const int n : blockSizes)
    {
        fill += n;
        const int K = N * ((fill - 1) / N);
        if (K <= 0)
            continue;
        for (int m = 0; m < K - 1; ++m)
            origins.push_back ({ next, m });
        next += K - 1;
        fill -= K - 1;
    }
    return origins;
}

/** The stream index an exact-rate stage's output sample t (after its delay D)
    is taken from when it swaps groups of N; -1 while the primed zeros last. */
inline int exactSwapSource (const std::vector<SegmentOrigin>& origins, int t, int D, int N)
{
    if (t < D)
        return -1;
    const auto& o = origins.at ((size_t) (t - D));
    return o.blockStart + mirroredIndex (o.m, N);
}

/** Block sizes of a run over length samples with blocks of at most blockSize. */
inline std::vector<int> blockSequence (int length, int blockSize, const std::vector<int>& pattern = {})
{
    std::vector<int> sizes;
    for (int start = 0, k = 0; start < length; ++k)
    {
        const int wanted = pattern.empty() ? blockSize : pattern[(size_t) k % pattern.size()];
        sizes.push_back (juce::jmin (wanted, length - start));
        start += sizes.back();
    }
    return sizes;
}

/** One stage with the segment ring its owner would give it. */
struct StageRig
{
    StageRig (double rate, int channels, int blockSize)
    {
        juce::qorv_dsp::TandrelMultistage<float, 3> sizes;
        sizes.prepareLocked ({ rate, (juce::uint32) blockSize, (juce::uint32) channels });
        L = sizes.getBufferLength();
        D = sizes.getStageDelay();
        S = sizes.getSegmentRingLength();
        spec = { rate, (juce::uint32) blockSize, (juce::uint32) channels };
    }

    /** Prepares and resets after the test has set the controls, so that their
        ramps end at once (the tone reaches its gain ramp through the filter's
        own update, so that is run first). */
    void start()
    {
        stage.toneFilter.updateFromControls();
        stage.prepareStage (spec, S);
        segments.resize ((int) spec.numChannels, S);
        stage.resetStage (L, D);
    }

    /** Runs buffer through the stage in place, in blocks of blockSize. */
    void run (juce::AudioBuffer<float>& buffer, int blockSize, float gain = 1.0f,
              juce::qorv_dsp::StageRoute route = juce::qorv_dsp::StageRoute::replace)
    {
        for (int start = 0; start < buffer.getNumSamples(); start += blockSize)
        {
            const int n = juce::jmin (blockSize, buffer.getNumSamples() - start);
            auto block = juce::dsp::AudioBlock<float> (buffer).getSubBlock ((size_t) start, (size_t) n);
            stage.processStage (block, n, segments, block, gain, route);
        }
    }

    Stage stage;
    juce::qorv_dsp::MultiChannelRing segments;
    juce::dsp::ProcessSpec spec {};
    int L = 0, D = 0, S = 0; // queue capacity, delay, segment ring spacing
};

/** Signal whose samples are distinct small integers (exact in any sum). */
inline juce::AudioBuffer<float> makeCountingSignal (int channels, int length)
{
    juce::AudioBuffer<float> buffer (channels, length);
    for (int c = 0; c < channels; ++c)
        for (int i = 0; i < length; ++i)
            buffer.setSample (c, i, (float) ((i % 1000) + 1) * (c == 0 ? 1.0f : -1.0f));
    return buffer;
}
} // namespace tandrel::test
