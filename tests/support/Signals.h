#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

namespace tandrel::test
{
/** Deterministic test signals. */
inline juce::AudioBuffer<float> makeImpulse (int channels, int length, int position)
{
    juce::AudioBuffer<float> buffer (channels, length);
    buffer.clear();
    for (int c = 0; c < channels; ++c)
        buffer.setSample (c, position, 1.0f);
    return buffer;
}

inline juce::AudioBuffer<float> makeNoise (int channels, int length, juce::int64 seed = 1234)
{
    juce::Random random (seed);
    juce::AudioBuffer<float> buffer (channels, length);
    for (int c = 0; c < channels; ++c)
        for (int i = 0; i < length; ++i)
            buffer.setSample (c, i, random.nextFloat() * 1.6f - 0.8f);
    return buffer;
}

/** Index of the first sample whose magnitude exceeds threshold in channel 0, or -1. */
inline int firstSampleAbove (const juce::AudioBuffer<float>& buffer, float threshold, int channel = 0)
{
    for (int i = 0; i < buffer.getNumSamples(); ++i)
        if (std::abs (buffer.getSample (channel, i)) > threshold)
            return i;
    return -1;
}
} // namespace tandrel::test
