#pragma once

#include "SampleFormat.h"

#include <juce_core/juce_core.h>

/** Turns float samples into the little-endian bytes of a WAV sample format.
    Float is stored bit for bit. PCM is scaled by 2^(bits-1), rounded and
    clipped to its range; at 16 bits triangular (TPDF) dither of ±1 LSB is
    added first unless switched off. The dither comes from a fixed seed and is
    drawn sample by sample in stream order, so the same audio always encodes to
    the same bytes however it is cut into blocks. */
class SampleEncoder
{
public:
    SampleEncoder (SampleFormat format, bool dither);

    /** Encodes one sample at destination and returns the byte after it. */
    unsigned char* encode (float sample, unsigned char* destination) noexcept;

    /** Samples that did not fit the format's range and were clipped. */
    juce::int64 getClippedSamples() const noexcept { return clipped; }
    /** The largest magnitude seen, before any clipping. */
    float getPeak() const noexcept { return peak; }

    bool dithers() const noexcept { return ditherOn; }

private:
    int quantise (float sample, double scale, int lowest, int highest) noexcept;

    const SampleFormat format;
    const bool ditherOn;
    juce::Random noise;
    juce::int64 clipped = 0;
    float peak = 0.0f;
};
