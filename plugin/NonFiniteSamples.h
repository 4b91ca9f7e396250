#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <cstdint>
#include <cstring>

/** Replaces NaN and ±Inf samples with silence, in place, and leaves every
    finite sample bit for bit as it was. One NaN reaching the engine would stay
    in its filter states and rings for the rest of the session; cleaning the
    host buffer on entry costs one flat pass that needs no scratch memory.

    A float is non-finite exactly when its exponent bits are all set. The store
    is unconditional so that the loop vectorises. */
inline void silenceNonFiniteSamples (juce::AudioBuffer<float>& buffer, int numChannels) noexcept
{
    constexpr std::uint32_t exponentBits = 0x7f800000u;
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
            samples[i] = (bits & exponentBits) == exponentBits ? 0.0f : samples[i];
        }
    }
}
