#pragma once

#include <gtest/gtest.h>
#include <juce_audio_basics/juce_audio_basics.h>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace tandrel::test
{
/** Compares two sample runs exactly (tolerance 0) or within a tolerance and
    reports the first differing index instead of a bare boolean. */
inline ::testing::AssertionResult samplesMatch (const float* actual, const float* expected, int count, float tolerance = 0.0f)
{
    for (int i = 0; i < count; ++i)
    {
        const bool same = tolerance == 0.0f ? (actual[i] == expected[i] || (std::isnan (actual[i]) && std::isnan (expected[i])))
                                            : std::abs (actual[i] - expected[i]) <= tolerance;
        if (! same)
            return ::testing::AssertionFailure() << "first difference at sample " << i << ": got " << actual[i]
                                                 << ", expected " << expected[i] << " (of " << count << " samples)";
    }
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult buffersMatch (const juce::AudioBuffer<float>& actual, const juce::AudioBuffer<float>& expected,
                                                float tolerance = 0.0f)
{
    if (actual.getNumChannels() != expected.getNumChannels() || actual.getNumSamples() != expected.getNumSamples())
        return ::testing::AssertionFailure() << "shape " << actual.getNumChannels() << "x" << actual.getNumSamples()
                                             << " differs from " << expected.getNumChannels() << "x" << expected.getNumSamples();

    for (int c = 0; c < actual.getNumChannels(); ++c)
    {
        auto result = samplesMatch (actual.getReadPointer (c), expected.getReadPointer (c), actual.getNumSamples(), tolerance);
        if (! result)
            return result << " in channel " << c;
    }
    return ::testing::AssertionSuccess();
}

/** Exact equality of the stored bits, so that -0 differs from +0 and one NaN
    from another; reports the first differing sample. */
inline ::testing::AssertionResult bitsMatch (const juce::AudioBuffer<float>& actual, const juce::AudioBuffer<float>& expected)
{
    if (actual.getNumChannels() != expected.getNumChannels() || actual.getNumSamples() != expected.getNumSamples())
        return ::testing::AssertionFailure() << "shape " << actual.getNumChannels() << "x" << actual.getNumSamples()
                                             << " differs from " << expected.getNumChannels() << "x" << expected.getNumSamples();

    for (int c = 0; c < actual.getNumChannels(); ++c)
        for (int i = 0; i < actual.getNumSamples(); ++i)
        {
            const float a = actual.getSample (c, i), e = expected.getSample (c, i);
            std::uint32_t aBits, eBits;
            std::memcpy (&aBits, &a, sizeof (a));
            std::memcpy (&eBits, &e, sizeof (e));
            if (aBits != eBits)
                return ::testing::AssertionFailure() << "first difference at sample " << i << " of channel " << c << ": got " << a
                                                     << " (0x" << juce::String::toHexString ((juce::int64) aBits) << "), expected " << e
                                                     << " (0x" << juce::String::toHexString ((juce::int64) eBits) << ")";
        }
    return ::testing::AssertionSuccess();
}
} // namespace tandrel::test
