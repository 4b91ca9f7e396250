#include <qorv_dsp/qorv_dsp.h>

#include <gtest/gtest.h>

#include <numeric>

using juce::qorv_dsp::MultiChannelRing;

namespace
{
std::vector<float> ramp (int n, float start = 1.0f)
{
    std::vector<float> v ((size_t) n);
    std::iota (v.begin(), v.end(), start);
    return v;
}
} // namespace

TEST (MultiChannelRing, DataLengthIsAPowerOfTwoCoveringAllChannels)
{
    struct Row { int channels, spacing, length; };
    for (const auto row : { Row { 1, 1, 2 }, Row { 1, 2, 2 }, Row { 2, 3, 8 }, Row { 3, 100, 512 }, Row { 2, 16102, 32768 } })
    {
        MultiChannelRing ring;
        ring.resize (row.channels, row.spacing);
        EXPECT_EQ (ring.getDataLength(), row.length) << row.channels << "x" << row.spacing;
        for (int c = 0; c < row.channels; ++c)
            EXPECT_EQ (ring.getWriteIndex (c), c * row.spacing);
    }
}

TEST (MultiChannelRing, ReadTakesWhatThereIsOldestFirst)
{
    for (const bool add : { false, true })
    {
        MultiChannelRing ring;
        ring.prime (1, 100, 0);
        const auto in = ramp (10);
        ring.push (0, in.data(), 10);

        std::vector<float> out (64, 5.0f);
        ring.read (0, out.data(), 64, 1.0f, add);
        EXPECT_EQ (ring.getFillCount (0), 0);
        for (int j = 0; j < 10; ++j)
            EXPECT_EQ (out[(size_t) j], add ? in[(size_t) j] + 5.0f : in[(size_t) j]) << j;
        for (int j = 10; j < 64; ++j)
            EXPECT_EQ (out[(size_t) j], add ? 5.0f : 0.0f) << j;
    }

    MultiChannelRing scaled;
    scaled.prime (1, 8, 0);
    const float in[] { 1.0f, -2.0f };
    scaled.push (0, in, 2);
    float out[2] {};
    scaled.read (0, out, 2, 0.5f, false);
    EXPECT_EQ (out[0], 0.5f);
    EXPECT_EQ (out[1], -1.0f);
}

TEST (MultiChannelRing, PushPastCapacityCapsTheCountButAdvancesTheWriter)
{
    MultiChannelRing ring;
    ring.prime (2, 10, 0);
    const auto in = ramp (15);
    ring.push (1, in.data(), 15);
    EXPECT_EQ (ring.getFillCount (1), 10);
    EXPECT_EQ (ring.getWriteIndex (1), (10 + 15) & ring.getMask());
    EXPECT_EQ (ring.sampleBefore (1, 0), 15.0f);

    std::vector<float> out (10);
    ring.read (1, out.data(), 10, 1.0f, false);
    EXPECT_EQ (out.front(), 6.0f) << "the ten newest samples remain";
    EXPECT_EQ (out.back(), 15.0f);
}

TEST (MultiChannelRing, OfferToAFullChannelChangesNothing)
{
    MultiChannelRing ring;
    ring.prime (1, 4, 4);
    const int writer = ring.getWriteIndex (0);
    ring.offer (0, 9.0f);
    EXPECT_EQ (ring.getFillCount (0), 4);
    EXPECT_EQ (ring.getWriteIndex (0), writer);
    EXPECT_EQ (ring.sampleBefore (0, 0), 0.0f);

    ring.discard (0, 1);
    ring.offer (0, 9.0f);
    EXPECT_EQ (ring.getFillCount (0), 4);
    EXPECT_EQ (ring.sampleBefore (0, 0), 9.0f);

    ring.discard (0, 100);
    EXPECT_EQ (ring.getFillCount (0), 0);
}

TEST (MultiChannelRing, PrimedChannelsReadSilenceBeforeThePushedSamples)
{
    MultiChannelRing ring;
    ring.prime (2, 100, 40);
    for (int c = 0; c < 2; ++c)
    {
        const auto in = ramp (5, (float) (c * 10 + 1));
        ring.push (c, in.data(), 5);
    }
    for (int c = 0; c < 2; ++c)
    {
        std::vector<float> out (45);
        ring.read (c, out.data(), 45, 1.0f, false);
        for (int j = 0; j < 40; ++j)
            ASSERT_EQ (out[(size_t) j], 0.0f) << "channel " << c << " sample " << j;
        EXPECT_EQ (out[40], (float) (c * 10 + 1));
        EXPECT_EQ (out[44], (float) (c * 10 + 5));
    }
}

TEST (MultiChannelRing, PassThroughDelaysByTheFillCountAcrossCallsAndInPlace)
{
    MultiChannelRing ring;
    ring.prime (2, 5 + 16, 5);
    const auto in = ramp (48);

    std::vector<float> copied (48), inPlace = in;
    for (int start = 0; start < 48; start += 16) // three calls; channels advance together
    {
        ring.passThrough (0, in.data() + start, copied.data() + start, 16);
        ring.passThrough (1, inPlace.data() + start, inPlace.data() + start, 16);
    }

    for (int j = 0; j < 48; ++j)
    {
        const float expected = j < 5 ? 0.0f : in[(size_t) j - 5];
        EXPECT_EQ (copied[(size_t) j], expected) << "sample " << j;
        EXPECT_EQ (inPlace[(size_t) j], expected) << "in place, sample " << j;
    }
    EXPECT_EQ (ring.getFillCount (0), 5);
    EXPECT_EQ (ring.getFillCount (1), 5);

    MultiChannelRing empty;
    empty.prime (1, 4, 0);
    std::vector<float> out (3);
    empty.passThrough (0, in.data(), out.data(), 3);
    EXPECT_EQ (out, std::vector<float> (in.begin(), in.begin() + 3));
}
