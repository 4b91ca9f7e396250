#include <qorv_dsp/qorv_dsp.h>

#include <gtest/gtest.h>

using namespace juce::qorv_dsp;

namespace
{
/** A converted argument like the stage's: user units in, user units x 0.01 out. */
using Percent = PercentArg_v2<float>;

std::vector<float> bufferOf (const FloatArg_v2<float, 1>& arg)
{
    return { arg.getBuffer(), arg.getBuffer() + arg.getLastIndex() + 1 };
}
} // namespace

TEST (Ramp, LengthFollowsSampleRate)
{
    struct Row { float rate; int length; };
    for (const auto row : { Row { 44100.0f, 3308 }, Row { 48000.0f, 3601 }, Row { 96000.0f, 7201 } })
    {
        FloatArg_v2<float, 0> arg (0.0f);
        arg.resetSmoothing (row.rate);
        EXPECT_EQ (arg.getRamp().rampLength, row.length) << row.rate;
    }
}

TEST (Ramp, ReachesTargetExactlyAfterItsLength)
{
    FloatArg_v2<float, 0> arg (0.0f);
    arg.setTarget (0.7f); // 0.7 / 3308 does not sum back to 0.7 in float
    const int length = arg.getRamp().rampLength;

    for (int taken = 0; taken < length - 1; ++taken)
    {
        ASSERT_TRUE (arg.rampFromBlockStart (1));
        arg.releaseBuffer();
    }
    EXPECT_EQ (arg.getRamp().remaining, 1);
    EXPECT_NE (arg.getRamp().current, 0.7f);

    ASSERT_TRUE (arg.rampFromBlockStart (1));
    arg.releaseBuffer();
    const auto ramp = arg.getRamp();
    EXPECT_EQ (ramp.remaining, 0);
    EXPECT_EQ (ramp.current, 0.7f);
    EXPECT_EQ (arg.getPublished(), 0.7f);
}

TEST (Ramp, TargetAtTheValueReachedSettles)
{
    Percent arg;
    arg.snapTo (0.0f);
    arg.setTarget (100.0f);
    ASSERT_TRUE (arg.rampPerSample (100));
    arg.releaseBuffer();

    const float reached = arg.getRamp().current;
    EXPECT_TRUE (arg.setTarget (reached));
    const auto ramp = arg.getRamp();
    EXPECT_EQ (ramp.remaining, 0);
    EXPECT_EQ (ramp.current, reached);
    EXPECT_FALSE (arg.setTarget (reached)) << "an unchanged target is a no-op";
}

TEST (Ramp, NewTargetRestartsAFullLengthRamp)
{
    Percent arg;
    arg.snapTo (0.0f);
    arg.setTarget (100.0f);
    ASSERT_TRUE (arg.rampPerSample (1000));
    arg.releaseBuffer();
    const float from = arg.getRamp().current;

    arg.setTarget (50.0f);
    const auto ramp = arg.getRamp();
    EXPECT_EQ (ramp.remaining, 3308);
    EXPECT_EQ (ramp.step, (50.0f - from) / 3308.0f);
}

TEST (Fills, RampFromBlockStartDeliversTheFirstSampleAndAdvancesTheBlock)
{
    FloatArg_v2<float, 0> arg (0.0f);
    arg.setTarget (3308.0f); // step 1 per sample

    ASSERT_TRUE (arg.rampFromBlockStart (64));
    EXPECT_TRUE (arg.isBufferInUse());
    EXPECT_EQ (arg.getLastIndex(), 0);
    EXPECT_EQ (arg.getBuffer()[0], 1.0f);
    EXPECT_EQ (arg.getPublished(), 64.0f);
    arg.releaseBuffer();
    EXPECT_FALSE (arg.isBufferInUse());

    // settled: the published value, nothing advances
    FloatArg_v2<float, 0> settled (5.0f);
    ASSERT_TRUE (settled.rampFromBlockStart (64));
    EXPECT_EQ (settled.getBuffer()[0], 5.0f);
    EXPECT_EQ (settled.getLastIndex(), 0);
    settled.releaseBuffer();
}

TEST (Fills, RampToBlockEndDeliversTheConvertedValueAfterTheBlock)
{
    Percent arg;
    arg.snapTo (0.0f);
    arg.setTarget (3308.0f);

    ASSERT_TRUE (arg.rampToBlockEnd (64));
    EXPECT_EQ (arg.getLastIndex(), 0);
    EXPECT_EQ (arg.getBuffer()[0], 64.0f * 0.01f);
    EXPECT_EQ (arg.getPublished(), 64.0f * 0.01f);
    EXPECT_EQ (arg.getRamp().remaining, 3308 - 64);
    arg.releaseBuffer();

    // a block longer than the rest of the ramp ends on the converted target
    ASSERT_TRUE (arg.rampToBlockEnd (4000));
    EXPECT_EQ (arg.getBuffer()[0], 3308.0f * 0.01f);
    EXPECT_EQ (arg.getRamp().remaining, 0);
    arg.releaseBuffer();
}

TEST (Fills, RampPerSampleInTheLastTenSamplesOfARamp)
{
    Percent arg;
    arg.snapTo (0.0f);
    arg.setTarget (120.0f);
    const int length = arg.getRamp().rampLength;

    ASSERT_TRUE (arg.rampPerSample (length - 10));
    EXPECT_EQ (arg.getLastIndex(), length - 11);
    arg.releaseBuffer();

    ASSERT_TRUE (arg.rampPerSample (64));
    const auto values = bufferOf (arg);
    ASSERT_EQ (values.size(), 10u);
    EXPECT_EQ (arg.getLastIndex(), 9);
    EXPECT_EQ (values.back(), 120.0f * 0.01f);
    EXPECT_EQ (arg.getPublished(), 120.0f * 0.01f);
    for (size_t j = 1; j < values.size(); ++j)
        EXPECT_GT (values[j], values[j - 1]);
    arg.releaseBuffer();

    // settled: one entry, the published value
    ASSERT_TRUE (arg.rampPerSample (64));
    EXPECT_EQ (bufferOf (arg), std::vector<float> { 120.0f * 0.01f });
    arg.releaseBuffer();
}

TEST (Fills, FailAndChangeNothingWhileTheSetterLockIsHeld)
{
    Percent arg;
    arg.snapTo (0.0f);
    arg.setTarget (100.0f);
    const float publishedBefore = arg.getPublished();

    ASSERT_TRUE (arg.getSetterLock().tryLock());
    EXPECT_FALSE (arg.rampPerSample (64));
    EXPECT_FALSE (arg.rampToBlockEnd (64));
    EXPECT_FALSE (arg.rampFromBlockStart (64));
    EXPECT_FALSE (arg.isBufferInUse());
    EXPECT_EQ (arg.getPublished(), publishedBefore);
    arg.getSetterLock().unlock();

    const auto ramp = arg.getRamp();
    EXPECT_EQ (ramp.remaining, ramp.rampLength);
    EXPECT_EQ (ramp.current, 0.0f);

    EXPECT_FALSE (arg.rampPerSample (0)) << "an empty request fails too";
}

TEST (Fills, FailWhileTheBufferIsStillHeldByItsConsumer)
{
    Percent arg;
    ASSERT_TRUE (arg.rampPerSample (8));
    EXPECT_FALSE (arg.rampPerSample (8));
    arg.releaseBuffer();
    EXPECT_TRUE (arg.rampPerSample (8));
    arg.releaseBuffer();
}

TEST (ResetSmoothing, PublishesOnlyWhenARampWasRunning)
{
    Percent arg;
    arg.snapTo (50.0f);
    arg.setTarget (100.0f);
    EXPECT_EQ (arg.getPublished(), 0.5f);

    arg.resetSmoothing (48000.0f);
    EXPECT_EQ (arg.getPublished(), 1.0f);
    const auto ramp = arg.getRamp();
    EXPECT_EQ (ramp.remaining, 0);
    EXPECT_EQ (ramp.current, 100.0f);
    EXPECT_EQ (ramp.rampLength, 3601);

    // settled: nothing is converted or published
    struct CountingArg : FloatArg_v2<float, 1>
    {
        mutable int conversions = 0;
        float convert (float x) const override { ++conversions; return x; }
    } counting;
    counting.resetSmoothing (44100.0f);
    EXPECT_EQ (counting.conversions, 0);
    counting.setTarget (3.0f);
    counting.resetSmoothing (44100.0f);
    EXPECT_EQ (counting.conversions, 1);
    EXPECT_EQ (counting.getPublished(), 3.0f);
}

TEST (ArgumentText, RendersNameNumberAndUnit)
{
    juce::qorv_dsp::TandrelStage<float> stage;
    stage.setSegmentSize (11.0f);
    stage.setNumberOfSegments (31.0f);
    stage.setSegmentMix (37.25f);

    EXPECT_EQ (stage.segmentSize.toString (1), "Segment Size: 11.0<microseconds>");
    EXPECT_EQ (stage.segmentSize.toString (3), "Segment Size: 11.000<microseconds>");
    EXPECT_EQ (stage.numberOfSegments.toString(), "N: 31");
    EXPECT_EQ (stage.segmentMix.toString (1), "Mix: 37.2%");
    EXPECT_EQ (stage.toneFilter.tone.toString(), "Presence: 50.0%");

    ChoiceArg mode { getModeNames(), "Mode" };
    EXPECT_EQ (mode.toString(), "Mode: Series");
    mode.index = 1;
    EXPECT_EQ (mode.toString(), "Mode: Parallel");

    FloatArg_v2<float, 0> unnamed (1.5f);
    unnamed.name = {};
    EXPECT_EQ (unnamed.toString (2), "1.50");
}
