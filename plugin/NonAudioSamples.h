#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <cstdint>
#include <cstring>

/** The largest sample magnitude the engine takes as audio. Inside the engine
    a sample grows at most a few thousand times (interpolation overshoot 1.25
    twice, the 120 % mix 1.4, the shelf's impulse response under 2.7 in sum, in
    three stages, and the intermediate terms of each step), so 1e30 keeps every
    value far below the float maximum of 3.4e38. */
constexpr float largestAudioSample = 1e30f;

/** Replaces NaN, ±Inf and samples beyond ±largestAudioSample with silence, in
    place, and leaves every other sample bit for bit as it was. One such sample
    reaching the engine would overflow into its filter states and rings and
    stay there for the rest of the session; cleaning the host buffer on entry
    costs one flat pass that needs no scratch memory.

    With the sign bit cleared, a float's bits order like its magnitude, and
    NaN and Inf order above every finite value: one comparison finds them all.
    The store is unconditional so that the loop vectorises. */
inline void silenceNonAudioSamples (juce::AudioBuffer<float>& buffer, int numChannels) noexcept
{
    std::uint32_t limitBits;
    std::memcpy (&limitBits, &largestAudioSample, sizeof (limitBits));
    constexpr std::uint32_t magnitudeBits = 0x7fffffffu;

    const int n = buffer.getNumSamples();
    if (buffer.hasBeenCleared())
        return;

    for (int c = 0; c < juce::jmin (numChannels, buffer.getNumChannels()); ++c)
    {
        auto* samples = buffer.getWritePointer (c);
        for (int i = 0; i < n; ++i)
        {
            std::uint32_t bits;
            std::memcpy (&bits, samples + i, sizeof (bits));
            samples[i] = (bits & magnitudeBits) > limitBits ? 0.0f : samples[i];
        }
    }
}
