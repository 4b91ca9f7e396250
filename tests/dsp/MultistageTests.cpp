#include "StageRig.h"

#include "AudioCompare.h"
#include "Signals.h"

#include <gtest/gtest.h>

using namespace tandrel::test;

namespace
{
struct Settings
{
    float mix[3] { 0.0f, 0.0f, 0.0f };
    float segs[3] { 2.0f, 2.0f, 2.0f };
    float microseconds = 1.0f;
    float tone = 100.0f;
    int mode = 0;
};

void apply (Multistage& engine, const Settings& settings)
{
    for (int s = 0; s < 3; ++s)
    {
        auto& stage = engine.getStage (s);
        stage.setSegmentMix (settings.mix[s]);
        stage.setNumberOfSegments (settings.segs[s]);
        stage.setSegmentSize (settings.microseconds);
        stage.setTone (settings.tone);
    }
    engine.setModeIndex ((float) settings.mode);
}

/** Prepares after the controls are set, with every ramp (the tone's gain ramp
    included) ended by the reset. */
void prepareSettled (Multistage& engine, const juce::dsp::ProcessSpec& spec)
{
    for (int s = 0; s < 3; ++s)
        engine.getStage (s).toneFilter.updateFromControls();
    engine.prepareLocked (spec);
}

/** Block sizes up to blockSize that vary, to cross block boundaries at odd places. */
std::vector<int> varyingBlocks (int length, int blockSize)
{
    return blockSequence (length, blockSize, { blockSize, blockSize / 3 + 1, blockSize, 7, blockSize - 1 });
}

void runInPlace (Multistage& engine, juce::AudioBuffer<float>& buffer, int blockSize)
{
    int start = 0;
    for (const int n : varyingBlocks (buffer.getNumSamples(), blockSize))
    {
        auto block = juce::dsp::AudioBlock<float> (buffer).getSubBlock ((size_t) start, (size_t) n);
        engine.process (block, block);
        start += n;
    }
}

/** x[index], or 0 before the stream starts. */
float at (const juce::AudioBuffer<float>& x, int c, int index) { return index < 0 ? 0.0f : x.getSample (c, index); }

juce::dsp::ProcessSpec specFor (double rate, int block, int channels = 2)
{
    return { rate, (juce::uint32) block, (juce::uint32) channels };
}
} // namespace

// The queues grow with the block size; the delay does not. Above about 100 kHz
// a segment outgrows the 6 samples of margin and the delay follows the most a
// block can leave unconsumed (one sample and one segment beyond the longest group).
TEST (Multistage, QueuesFollowTheBlockSizeAndTheDelayOnlyTheSampleRate)
{
    struct Row { double rate; int block, L, S, D; };
    const Row rows[] = {
        { 44100.0, 512, 710, 16102, 198 },   { 44100.0, 8192, 8390, 190252, 198 }, { 48000.0, 512, 727, 15148, 215 },
        { 48000.0, 1, 216, 4503, 215 },      { 96000.0, 1024, 1449, 15096, 425 },  { 88200.0, 64, 455, 5161, 391 },
        { 176400.0, 512, 1292, 7327, 780 },  { 192000.0, 512, 1361, 7091, 849 },  { 8000.0, 4096, 4136, 517002, 40 },
    };
    for (const auto& row : rows)
    {
        Multistage engine;
        engine.prepareLocked (specFor (row.rate, row.block));
        EXPECT_EQ (engine.getBufferLength(), row.L) << row.rate << " Hz, " << row.block;
        EXPECT_EQ (engine.getSegmentRingLength(), row.S) << row.rate << " Hz, " << row.block;
        EXPECT_EQ (engine.getStageDelay(), row.D) << row.rate << " Hz, " << row.block;
        EXPECT_EQ (engine.getLatencySamples(), 3 * row.D) << row.rate << " Hz, " << row.block;
    }
}

TEST (Multistage, AllMixesAtZeroDelayTheInputByTheLatencyInBothModes)
{
    for (const int mode : { 0, 1 })
    {
        Multistage engine;
        Settings settings;
        settings.mode = mode;
        settings.microseconds = 11.0f;
        settings.tone = 50.0f;
        apply (engine, settings);
        engine.prepareLocked (specFor (44100.0, 512));

        const auto input = makeNoise (2, 6000);
        auto buffer = input;
        runInPlace (engine, buffer, 512);

        const int latency = engine.getLatencySamples();
        ASSERT_EQ (latency, 594);
        for (int c = 0; c < 2; ++c)
            for (int t = 0; t < buffer.getNumSamples(); ++t)
                ASSERT_EQ (buffer.getSample (c, t), t < latency ? 0.0f : input.getSample (c, t - latency))
                    << "mode " << mode << " channel " << c << " sample " << t;
    }
}

TEST (Multistage, SeriesWithOneActiveStageRunsThroughAllThree)
{
    Multistage engine;
    Settings settings;
    settings.mix[1] = 100.0f; // only the middle stage mirrors; the others resample exactly
    apply (engine, settings);
    prepareSettled (engine, specFor (exactRate, 512));
    const int D = engine.getStageDelay();

    const auto input = makeCountingSignal (2, 3 * D + 1500);
    auto buffer = input;
    runInPlace (engine, buffer, 512);

    // the middle stage sees the input D late and mirrors pairs of its own
    // stream; the outer stages resample exactly and delay by D each
    const auto origins = exactStageOrigins (varyingBlocks (buffer.getNumSamples(), 512), 2);
    for (int c = 0; c < 2; ++c)
        for (int t = 0; t < buffer.getNumSamples(); ++t)
        {
            const int middle = t < D ? -1 : exactSwapSource (origins, t - D, D, 2);
            const float expected = middle < 0 ? 0.0f : at (input, c, middle - D);
            ASSERT_EQ (buffer.getSample (c, t), expected) << "channel " << c << " sample " << t;
        }
}

TEST (Multistage, ParallelStagesReadTheDelayedInputAndSum)
{
    Multistage engine;
    Settings settings;
    settings.mode = 1;
    settings.mix[0] = 100.0f;
    settings.mix[2] = 100.0f;
    settings.segs[2] = 4.0f;
    apply (engine, settings);
    prepareSettled (engine, specFor (exactRate, 512));
    const int D = engine.getStageDelay();

    const auto input = makeCountingSignal (2, 3 * D + 1500);
    auto buffer = input;
    runInPlace (engine, buffer, 512);

    const auto blocks = varyingBlocks (buffer.getNumSamples(), 512);
    const auto pairs = exactStageOrigins (blocks, 2), fours = exactStageOrigins (blocks, 4);
    const auto delayed = [&] (int c, int m) { return m < 0 ? 0.0f : at (input, c, m - 2 * D); };
    for (int c = 0; c < 2; ++c)
        for (int t = 0; t < buffer.getNumSamples(); ++t)
        {
            const float expected = delayed (c, exactSwapSource (pairs, t, D, 2)) + delayed (c, exactSwapSource (fours, t, D, 4));
            ASSERT_EQ (buffer.getSample (c, t), expected) << "channel " << c << " sample " << t;
        }
    EXPECT_FALSE (engine.isIdle (0));
    EXPECT_TRUE (engine.isIdle (1));
    EXPECT_FALSE (engine.isIdle (2));
}

TEST (Multistage, AnyModeTextButSeriesRoutesInParallel)
{
    struct Row { int modeIndex; bool series; };
    for (const auto row : { Row { 0, true }, Row { 1, false }, Row { 5, false }, Row { -1, false } })
    {
        Multistage engine;
        Settings settings;
        settings.mix[0] = settings.mix[1] = 100.0f; // two swaps in series cancel out
        apply (engine, settings);
        engine.mode.index = row.modeIndex;
        prepareSettled (engine, specFor (exactRate, 256, 1));
        const int D = engine.getStageDelay();

        const auto input = makeCountingSignal (1, 3 * D + 600);
        auto buffer = input;
        runInPlace (engine, buffer, 256);

        const auto origins = exactStageOrigins (varyingBlocks (buffer.getNumSamples(), 256), 2);
        const auto source = [&] (int t) { return t < 0 ? -1 : exactSwapSource (origins, t, D, 2); };
        for (int t = 0; t < buffer.getNumSamples(); ++t)
        {
            float expected = 0.0f;
            if (row.series)
            {
                const int first = source (t - D) < 0 ? -1 : source (source (t - D)); // two swaps, then a plain delay
                expected = first < 0 ? 0.0f : at (input, 0, first);
            }
            else
            {
                const int s = source (t);
                expected = s < 0 ? 0.0f : 2.0f * at (input, 0, s - 2 * D);
            }
            ASSERT_EQ (buffer.getSample (0, t), expected) << "mode index " << row.modeIndex << " sample " << t;
        }
    }
}

TEST (Multistage, AStageThatBecomesActiveResetsItsToneFilter)
{
    Multistage engine;
    Settings settings;
    settings.mode = 1;
    settings.microseconds = 11.0f;
    settings.tone = 50.0f;
    apply (engine, settings);
    engine.prepareLocked (specFor (44100.0, 512));

    auto buffer = makeNoise (2, 512);
    runInPlace (engine, buffer, 512);
    engine.getStage (1).setTone (20.0f);
    runInPlace (engine, buffer, 512);
    // nobody is active, so no tone filter has run or noticed the new tone
    ASSERT_EQ (engine.getStage (1).toneFilter.lastTone, 50.0f);

    engine.getStage (1).setSegmentMix (80.0f);
    juce::dsp::AudioBlock<float> block (buffer);
    engine.process (block.getSubBlock (0, 64), block.getSubBlock (0, 64));
    EXPECT_FALSE (engine.isIdle (1));
    // the reset took the new tone at once: no glide from the stale gain
    EXPECT_EQ (engine.getStage (1).toneFilter.lastTone, 20.0f);
    EXPECT_EQ (engine.getStage (1).toneFilter.gain.getRamp().remaining, 0);
    EXPECT_EQ (engine.getStage (1).toneFilter.gain.getRamp().current, 20.0f * 0.56f - 56.0f);

    // while stage 1 stays active the filter is not reset again: the ramp goes on
    engine.getStage (1).setTone (10.0f);
    engine.process (block.getSubBlock (0, 64), block.getSubBlock (0, 64));
    engine.process (block.getSubBlock (0, 64), block.getSubBlock (0, 64));
    EXPECT_EQ (engine.getStage (1).toneFilter.gain.getRamp().remaining, 3308 - 128);
}

TEST (Multistage, BypassPassesTheDrySignalInPlaceWithTheSameLatency)
{
    Multistage engine;
    engine.prepareLocked (specFor (48000.0, 256));
    const auto input = makeNoise (2, 3000);
    auto buffer = input;
    for (int start = 0; start < buffer.getNumSamples(); start += 256)
    {
        const auto n = (size_t) juce::jmin (256, buffer.getNumSamples() - start);
        auto block = juce::dsp::AudioBlock<float> (buffer).getSubBlock ((size_t) start, n);
        engine.processBypassed (block, block);
    }
    const int latency = engine.getLatencySamples();
    for (int t = 0; t < buffer.getNumSamples(); ++t)
        ASSERT_EQ (buffer.getSample (1, t), t < latency ? 0.0f : input.getSample (1, t - latency)) << t;
}

TEST (Multistage, TheDryLineKeepsItsDelayWhileStagesAreActive)
{
    Multistage engine;
    Settings settings;
    settings.mix[0] = 100.0f;
    settings.microseconds = 11.0f;
    apply (engine, settings);
    engine.prepareLocked (specFor (44100.0, 512));

    const auto input = makeNoise (2, 512 * 30);
    auto buffer = input;
    juce::dsp::AudioBlock<float> all (buffer);
    for (int k = 0; k < 30; ++k)
    {
        if (k == 12)
            engine.getStage (0).setSegmentMix (0.0f); // a 75 ms ramp, over by block 19
        auto block = all.getSubBlock ((size_t) k * 512, 512);
        engine.process (block, block);
    }
    ASSERT_TRUE (engine.isIdle (0));

    const int latency = engine.getLatencySamples();
    for (int t = 20 * 512; t < buffer.getNumSamples(); ++t)
        ASSERT_EQ (buffer.getSample (0, t), input.getSample (0, t - latency)) << t;
}
