// A stage hands its input out D samples later, and the engine reports 3D as
// its latency at every block size. Each block moves the samples a stage
// consumes from its input queue to its output queue and hands out n, so the
// two queues together hold D after every block as long as the output queue
// never runs short (a shortfall would zero-fill the block and leave more
// held back) and neither queue overflows (which would leave less). These
// tests hold that count at D with the longest groups, where a block leaves
// the most input unconsumed, and measure the delay itself.

#include "StageRig.h"

#include "BlockSchedule.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace tandrel::test;

namespace
{
constexpr double sampleRates[] = { 8000.0, 11025.0, 22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0 };

/** What a stage holds back on channel c: queued input and rebuilt output not yet handed out. */
int heldBack (const Stage& stage, int c)
{
    return stage.getInputRing().getFillCount (c) + stage.getOutputRing().getFillCount (c);
}

using tandrel::test::BlockSchedule;

// The irregular sequences reach queue fills just short of two longest groups
// at 192 kHz (1678 samples), where a block leaves the most unconsumed.
const BlockSchedule schedules[] = {
    { "blocks of 1", 1, { 1 } },
    { "blocks of 7", 7, { 7 } },
    { "blocks of 512", 512, { 512 } },
    { "blocks of 4096", 4096, { 4096 } },
    { "blocks of 8192", 8192, { 8192 } },
    { "irregular blocks (8192 prepared)", 8192, { 1678, 8192, 17, 1, 4095, 839, 3, 2500, 7, 1542, 64, 8191, 1000 } },
    { "irregular blocks (512 prepared)", 512, { 512, 1, 300, 7, 511, 64, 2, 129 } },
};

/** Every stage active with the longest groups (91 segments of 48 us) and a
    blend so light (0.01 %) that the output is the input, only late. */
void applyLongestGroups (Multistage& engine, int mode)
{
    for (int s = 0; s < 3; ++s)
    {
        auto& stage = engine.getStage (s);
        stage.setNumberOfSegments (91.0f);
        stage.setSegmentSize (48.0f);
        stage.setSegmentMix (0.01f);
        stage.setTone (100.0f);
        stage.toneFilter.updateFromControls();
    }
    engine.setModeIndex ((float) mode);
}

/** A sine slow enough for the segments to sample it closely (at least 40
    segments and 64 samples a period), fast enough to tell lags one sample
    apart, and with no lag within 3 samples of another that fits it as well. */
double periodFor (double rate)
{
    return std::max (64.0, 40.0 * 0.000048 * rate);
}

/** The lag within 3 samples of expected at which output (from sample from on)
    is closest to the input times gain: the largest difference is smallest. */
int bestLag (const juce::AudioBuffer<float>& input, const juce::AudioBuffer<float>& output, float gain, int from, int expected)
{
    int best = -1;
    float smallest = std::numeric_limits<float>::max();
    for (int lag = expected - 3; lag <= expected + 3; ++lag)
    {
        float largest = 0.0f;
        for (int c = 0; c < output.getNumChannels(); ++c)
            for (int t = from; t < output.getNumSamples(); ++t)
                largest = std::max (largest, std::abs (output.getSample (c, t) - gain * input.getSample (c, t - lag)));
        if (largest < smallest)
        {
            smallest = largest;
            best = lag;
        }
    }
    return best;
}
} // namespace

TEST (StageDelay, TheQueuesNeverRunShortAndTheDelayIsTheLatencyWithTheLongestGroups)
{
    for (const double rate : sampleRates)
        for (const auto& schedule : schedules)
            for (const int mode : { 0, 1 })
            {
                SCOPED_TRACE (juce::String (rate).toStdString() + " Hz, " + schedule.name + (mode == 0 ? ", Series" : ", Parallel"));
                Multistage engine;
                applyLongestGroups (engine, mode);
                engine.prepareLocked ({ rate, (juce::uint32) schedule.prepared, 2 });
                const int D = engine.getStageDelay();
                const int latency = engine.getLatencySamples();
                ASSERT_EQ (latency, 3 * D);

                const double period = periodFor (rate);
                const int length = latency + D + juce::jmax (8 * (int) period, 12 * schedule.prepared);
                juce::AudioBuffer<float> input (2, length);
                for (int c = 0; c < 2; ++c)
                    for (int t = 0; t < length; ++t)
                        input.setSample (c, t, 0.5f * (float) std::sin (juce::MathConstants<double>::twoPi * t / period + c));

                auto output = input;
                juce::dsp::AudioBlock<float> all (output);
                for (int start = 0, k = 0; start < length; ++k)
                {
                    const int n = juce::jmin (schedule.lengthOf (k), length - start);
                    auto block = all.getSubBlock ((size_t) start, (size_t) n);
                    engine.process (block, block);
                    start += n;

                    for (int s = 0; s < 3; ++s)
                        for (int c = 0; c < 2; ++c)
                            ASSERT_EQ (heldBack (engine.getStage (s), c), D)
                                << "stage " << s << ", channel " << c << " after the block ending at " << start;
                }
                for (int s = 0; s < 3; ++s)
                    ASSERT_FALSE (engine.isIdle (s));

                // The output is the input (three times over in Parallel), late
                // by the lag at which it follows the input most closely.
                EXPECT_EQ (bestLag (input, output, mode == 0 ? 1.0f : 3.0f, latency + D, latency), latency);
            }
}

// What a block leaves unconsumed depends only on how much input is queued.
// Every queue fill up to two longest groups and a stage delay, from a fresh
// stage, covers the fills where the most is left (just short of a whole
// number of groups, the last group then ending one segment before the grid
// restarts).
TEST (StageDelay, NoQueueFillLeavesMoreThanTheDelayUnconsumed)
{
    for (const double rate : sampleRates)
    {
        const int span = (int) std::ceil (91.0 * 0.000048 * rate);
        StageRig sizes (rate, 1, 1);
        const int largestFill = 2 * span + sizes.D;

        StageRig rig (rate, 1, largestFill);
        rig.stage.setNumberOfSegments (91.0f);
        rig.stage.setSegmentSize (48.0f);
        rig.stage.setSegmentMix (100.0f);
        rig.start();

        juce::AudioBuffer<float> buffer (1, largestFill);
        int mostLeft = 0;
        for (int fill = 1; fill <= largestFill; ++fill)
        {
            rig.stage.resetStage (rig.L, rig.D);
            buffer.clear();
            auto block = juce::dsp::AudioBlock<float> (buffer).getSubBlock (0, (size_t) fill);
            rig.stage.processStage (block, fill, rig.segments, block, 1.0f, juce::qorv_dsp::StageRoute::replace);
            ASSERT_EQ (heldBack (rig.stage, 0), rig.D) << rate << " Hz, a first block of " << fill;
            mostLeft = std::max (mostLeft, rig.stage.getInputRing().getFillCount (0));
        }
        // the scan comes within a sample of the bound: one sample and one
        // segment beyond the longest group (more than the group and 6 samples
        // from about 100 kHz on)
        EXPECT_GE (mostLeft, (int) (92.0f * (0.000048f * (float) rate))) << rate << " Hz";
    }
}
