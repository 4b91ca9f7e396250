#include "StageRig.h"

#include "AudioCompare.h"
#include "Signals.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace tandrel::test;
using juce::qorv_dsp::lerp;
using MixCase = Stage::MixCase;

namespace
{
void setControls (Stage& stage, float segs, float microseconds, float mix, float tone)
{
    stage.setNumberOfSegments (segs);
    stage.setSegmentSize (microseconds);
    stage.setSegmentMix (mix);
    stage.setTone (tone);
}

} // namespace

TEST (StageMirror, PairsMoveFromTheOutsideInEverySecondPair)
{
    struct Row { int N; std::vector<float> swapped; };
    const Row rows[] = {
        { 2, { 1, 0 } },
        { 4, { 3, 1, 2, 0 } },
        { 6, { 5, 1, 3, 2, 4, 0 } },
        { 7, { 6, 1, 4, 3, 2, 5, 0 } },
    };
    for (const auto& row : rows)
    {
        std::vector<float> data (8);
        std::iota (data.begin(), data.end(), 0.0f);
        Stage::mirrorGroup (data.data(), 7, 0, row.N, MixCase::swap, 1.0f);
        EXPECT_EQ (std::vector<float> (data.begin(), data.begin() + row.N), row.swapped) << "N = " << row.N;
    }

    // a group may wrap around the end of the ring
    std::vector<float> ring { 2, 3, 9, 9, 9, 9, 0, 1 };
    Stage::mirrorGroup (ring.data(), 7, 6, 4, MixCase::swap, 1.0f);
    EXPECT_EQ (ring, (std::vector<float> { 2, 0, 9, 9, 9, 9, 3, 1 }));
}

TEST (StageMirror, BlendMovesEachMemberTowardsItsPartner)
{
    struct Row { float a, b, o, first, second; };
    const Row rows[] = {
        { 2.0f, 6.0f, 0.5f, 4.0f, 4.0f },                        // both become the average
        { 0.0f, 1.0f, 1.2f, 1.2f, -0.2f },                       // pushed beyond the partner
        { 3.0f, 5.0f, 1.0f, 5.0f, 3.0f },                        // full blend exchanges
        { 3.0f, 5.0f, 0.0f, 3.0f, 5.0f },                        // o <= 0 leaves the group alone
    };
    for (const auto& row : rows)
    {
        float pair[2] { row.a, row.b };
        Stage::mirrorGroup (pair, 1, 0, 2, MixCase::blend, row.o);
        EXPECT_EQ (pair[0], row.first) << row.a << ", " << row.b << " at " << row.o;
        // the second member keeps the pair's sum, up to its one rounding
        EXPECT_NEAR (pair[1], row.second, 1.0e-6f) << row.a << ", " << row.b << " at " << row.o;
    }
}

TEST (Lerp, IsExactAtTheEndsAndMonotonic)
{
    EXPECT_EQ (lerp (0.1f, 0.7f, 0.0f), 0.1f);
    EXPECT_EQ (lerp (0.1f, 0.7f, 1.0f), 0.7f);
    EXPECT_EQ (lerp (-1.0f, 3.0f, 0.25f), 0.0f);
    EXPECT_EQ (lerp (1.0f, 2.0f, 0.3f), std::fma (0.3f, 1.0f, 1.0f));
    float previous = lerp (0.3f, 0.9f, 0.0f);
    for (int k = 1; k <= 1000; ++k)
    {
        const float v = lerp (0.3f, 0.9f, (float) k / 1000.0f);
        ASSERT_GE (v, previous);
        ASSERT_LE (v, 0.9f);
        previous = v;
    }
    EXPECT_TRUE (std::isnan (lerp (1.0f, std::numeric_limits<float>::quiet_NaN(), 0.5f)));
}

TEST (Stage, SwapModeMirrorsEveryGroupOfTheStream)
{
    for (const int N : { 2, 4, 6 })
    {
        StageRig rig (exactRate, 2, 64);
        setControls (rig.stage, (float) N, 1.0f, 100.0f, 100.0f);
        rig.start();
        ASSERT_EQ (rig.stage.getSegmentLength() * (float) exactRate, 1.0f);

        const auto input = makeCountingSignal (2, rig.D + 700);
        auto buffer = input;
        rig.run (buffer, 64);

        const auto origins = exactStageOrigins (blockSequence (buffer.getNumSamples(), 64), N);
        for (int c = 0; c < 2; ++c)
            for (int t = 0; t < buffer.getNumSamples(); ++t)
            {
                const int source = exactSwapSource (origins, t, rig.D, N);
                ASSERT_EQ (buffer.getSample (c, t), source < 0 ? 0.0f : input.getSample (c, source))
                    << "N " << N << " channel " << c << " sample " << t;
            }
    }
}

TEST (Stage, BlendsOfTheStreamFollowTheMix)
{
    struct Row { float mix; std::function<float (float, float)> first, second; };
    const Row rows[] = {
        { 50.0f, [] (float a, float b) { return (a + b) * 0.5f; }, [] (float a, float b) { return (a + b) * 0.5f; } },
        { 120.0f, [] (float a, float b) { return lerp (a, b, 120.0f * 0.01f); }, [] (float a, float b) { return (a - lerp (a, b, 120.0f * 0.01f)) + b; } },
    };
    for (const auto& row : rows)
    {
        StageRig rig (exactRate, 1, 64);
        setControls (rig.stage, 2.0f, 1.0f, row.mix, 100.0f);
        rig.start();

        const auto input = makeCountingSignal (1, rig.D + 300);
        auto buffer = input;
        rig.run (buffer, 64);

        const auto origins = exactStageOrigins (blockSequence (buffer.getNumSamples(), 64), 2);
        for (int t = rig.D; t < buffer.getNumSamples(); ++t)
        {
            const auto& o = origins[(size_t) (t - rig.D)];
            const int pairStart = o.blockStart + o.m - o.m % 2;
            const float a = input.getSample (0, pairStart), b = input.getSample (0, pairStart + 1);
            ASSERT_EQ (buffer.getSample (0, t), o.m % 2 == 0 ? row.first (a, b) : row.second (a, b)) << "mix " << row.mix << " sample " << t;
        }
    }

    // a pair of 0 and 1 at 120 % becomes 1.2 and -0.2
    StageRig rig (exactRate, 1, 64);
    setControls (rig.stage, 2.0f, 1.0f, 120.0f, 100.0f);
    rig.start();
    juce::AudioBuffer<float> pairs (1, rig.D + 64);
    for (int i = 0; i < pairs.getNumSamples(); ++i)
        pairs.setSample (0, i, (float) (i % 2));
    rig.run (pairs, 64);
    const float o = 120.0f * 0.01f; // the converted mix, a hair below 1.2
    EXPECT_EQ (pairs.getSample (0, rig.D), o);
    EXPECT_EQ (pairs.getSample (0, rig.D + 1), (0.0f - o) + 1.0f);
    EXPECT_NEAR (pairs.getSample (0, rig.D + 1), -0.2f, 1.0e-6f);
}

TEST (Stage, MixZeroGivesTheResampledInputLateAndToneFiltered)
{
    const auto input = [] {
        juce::AudioBuffer<float> b (2, 8000);
        for (int i = 0; i < b.getNumSamples(); ++i)
            for (int c = 0; c < 2; ++c)
                b.setSample (c, i, 0.5f * (float) std::sin (0.01 * i + c));
        return b;
    }();

    StageRig plain (44100.0, 2, 512);
    setControls (plain.stage, 31.0f, 11.0f, 0.0f, 100.0f);
    plain.start();
    auto resampled = input;
    plain.run (resampled, 512);

    // a slow sine survives resampling almost unchanged, exactly D late
    for (int t = plain.D; t < input.getNumSamples(); ++t)
        ASSERT_NEAR (resampled.getSample (0, t), input.getSample (0, t - plain.D), 2.0e-4f) << t;

    // with the tone filter on, the same samples come out filtered
    StageRig toned (44100.0, 2, 512);
    setControls (toned.stage, 31.0f, 11.0f, 0.0f, 50.0f);
    toned.start();
    auto filtered = input;
    toned.run (filtered, 512);

    Stage::ToneFilter<float> reference;
    reference.prepareLocked (toned.spec);
    for (int start = 0; start < resampled.getNumSamples(); start += 512)
    {
        auto block = juce::dsp::AudioBlock<float> (resampled).getSubBlock ((size_t) start, (size_t) juce::jmin (512, resampled.getNumSamples() - start));
        reference.process (block, block);
    }
    EXPECT_TRUE (buffersMatch (filtered, resampled));
}

TEST (Stage, OneMicrosecondSegmentsAt44100)
{
    StageRig rig (44100.0, 2, 512);
    setControls (rig.stage, 91.0f, 1.0f, 0.0f, 100.0f);
    rig.start();
    EXPECT_NEAR (rig.stage.getSegmentLength() * 44100.0f, 0.0441f, 1.0e-6f);

    juce::AudioBuffer<float> input (2, 6000);
    for (int i = 0; i < input.getNumSamples(); ++i)
        for (int c = 0; c < 2; ++c)
            input.setSample (c, i, 0.5f * (float) std::sin (0.02 * i + c));
    auto still = input;
    rig.run (still, 512);
    for (int t = rig.D; t < input.getNumSamples(); ++t)
        ASSERT_NEAR (still.getSample (1, t), input.getSample (1, t - rig.D), 1.0e-3f) << t;

    // exchanging segments 4 samples apart changes the sound but keeps it bounded
    StageRig moving (44100.0, 2, 512);
    setControls (moving.stage, 91.0f, 1.0f, 100.0f, 100.0f);
    moving.start();
    auto moved = input;
    moving.run (moved, 512);
    float difference = 0.0f;
    for (int t = rig.D; t < input.getNumSamples(); ++t)
    {
        ASSERT_LT (std::abs (moved.getSample (0, t)), 1.0f) << t;
        difference = std::max (difference, std::abs (moved.getSample (0, t) - still.getSample (0, t)));
    }
    EXPECT_GT (difference, 0.01f);
}

TEST (Stage, ABlockShorterThanAGroupWaitsInTheInputQueue)
{
    StageRig rig (44100.0, 1, 64);
    setControls (rig.stage, 91.0f, 48.0f, 100.0f, 100.0f);
    rig.start(); // a group spans about 192.6 samples

    auto buffer = makeNoise (1, 64 * 4);
    const auto input = buffer;
    for (int k = 0; k < 3; ++k)
    {
        auto block = juce::dsp::AudioBlock<float> (buffer).getSubBlock ((size_t) (k * 64), 64);
        rig.stage.processStage (block, 64, rig.segments, block, 1.0f, juce::qorv_dsp::StageRoute::replace);
        EXPECT_EQ (rig.stage.getInputRing().getFillCount (0), 64 * (k + 1));
        EXPECT_TRUE (rig.stage.isFresh());
        EXPECT_EQ (rig.stage.getOutputRing().getFillCount (0), rig.D - 64 * (k + 1));
    }
    auto block = juce::dsp::AudioBlock<float> (buffer).getSubBlock (192, 64);
    rig.stage.processStage (block, 64, rig.segments, block, 1.0f, juce::qorv_dsp::StageRoute::replace);
    EXPECT_FALSE (rig.stage.isFresh());
    EXPECT_LT (rig.stage.getInputRing().getFillCount (0), 256 - 190);

    // the first D samples handed out (three blocks and 6 samples) came from the primed queue
    ASSERT_LT (rig.D, 256);
    const juce::AudioBuffer<float> primed (buffer.getArrayOfWritePointers(), 1, 0, rig.D);
    juce::AudioBuffer<float> zeros (1, rig.D);
    zeros.clear();
    EXPECT_TRUE (buffersMatch (primed, zeros));
    EXPECT_GT (buffer.getMagnitude (rig.D, 256 - rig.D), 0.0f) << "then the first rebuilt samples";
}

TEST (Stage, TheFirstProducingBlockStartsFromSilence)
{
    // 750 kHz and 1 us: w = 0.75, so segment 1 is interpolated at 0.75
    StageRig rig (750000.0, 1, 64);
    setControls (rig.stage, 2.0f, 1.0f, 0.0f, 100.0f);
    rig.start();
    ASSERT_EQ (rig.stage.getSegmentLength() * 750000.0f, 0.75f);

    juce::AudioBuffer<float> ones (1, 64);
    auto block = juce::dsp::AudioBlock<float> (ones);

    // 63 usable samples cover 84 segments: K = 84, segment 1 is 82 places back
    juce::FloatVectorOperations::fill (ones.getWritePointer (0), 1.0f, 64);
    rig.stage.processStage (block, 64, rig.segments, block, 1.0f, juce::qorv_dsp::StageRoute::replace);
    juce::qorv_dsp::LagrangeState fromSilence;
    fromSilence.load (0.0f, 1.0f, 1.0f, 1.0f);
    EXPECT_EQ (rig.segments.sampleBefore (0, 82), fromSilence.evaluate (0.75f));
    EXPECT_NE (rig.segments.sampleBefore (0, 82), 1.0f);

    // the next block continues from the last sample taken, no longer from silence
    juce::FloatVectorOperations::fill (ones.getWritePointer (0), 1.0f, 64);
    rig.stage.processStage (block, 64, rig.segments, block, 1.0f, juce::qorv_dsp::StageRoute::replace);
    juce::qorv_dsp::LagrangeState continued;
    continued.load (1.0f, 1.0f, 1.0f, 1.0f);
    EXPECT_EQ (rig.segments.sampleBefore (0, 82), continued.evaluate (0.75f));
}

TEST (Stage, DiscardLeavesTheOutputAndTheToneRampsAlone)
{
    StageRig rig (44100.0, 2, 64);
    setControls (rig.stage, 31.0f, 11.0f, 100.0f, 50.0f);
    rig.start();

    auto buffer = makeNoise (2, 64);
    rig.run (buffer, 64);
    rig.stage.setTone (30.0f);
    rig.run (buffer, 64); // starts the gain ramp
    const int remaining = rig.stage.toneFilter.gain.getRamp().remaining;
    ASSERT_EQ (remaining, 3308 - 64);

    juce::AudioBuffer<float> untouched (2, 64);
    for (int c = 0; c < 2; ++c)
        juce::FloatVectorOperations::fill (untouched.getWritePointer (c), 7.0f, 64);
    auto output = untouched;
    rig.run (output, 64, 1.0f, juce::qorv_dsp::StageRoute::discard);
    EXPECT_TRUE (buffersMatch (output, untouched));
    EXPECT_EQ (rig.stage.toneFilter.gain.getRamp().remaining, remaining);
    EXPECT_EQ (rig.stage.getOutputRing().getFillCount (0), rig.stage.getOutputRing().getFillCount (1));
}

TEST (Stage, AddModeWithGainZeroDropsTheOutputButStillFilters)
{
    StageRig rig (44100.0, 2, 64);
    setControls (rig.stage, 31.0f, 11.0f, 100.0f, 50.0f);
    rig.start();

    Stage::ToneFilter<float> reference;
    reference.prepareLocked (rig.spec);

    auto output = makeNoise (2, 640, 7);
    auto expected = output;
    rig.run (output, 64, 0.0f, juce::qorv_dsp::StageRoute::accumulate);
    for (int start = 0; start < 640; start += 64)
    {
        auto block = juce::dsp::AudioBlock<float> (expected).getSubBlock ((size_t) start, 64);
        reference.process (block, block);
    }
    EXPECT_TRUE (buffersMatch (output, expected));
}
