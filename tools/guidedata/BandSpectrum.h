#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <vector>

/** The averaged spectrum of a render in sixth-octave bands, and its level:
    what the guide's spectrum figures plot. Values are in dB, rounded to
    hundredths, so that a last-bit difference in the maths library does not
    change the numbers the figures are compared by. */
struct BandSpectrum
{
    std::vector<double> bandCentres; // Hz
    std::vector<double> bandLevels;  // dB relative to a full-scale sine
    double rmsLevel = 0.0;           // dB relative to full scale, all channels

    /** Welch average (Hann windows of 16384 samples, half overlapping) of every channel. */
    static BandSpectrum of (const juce::AudioBuffer<float>& audio, double sampleRate);

    static double rounded (double value) { return std::round (value * 100.0) / 100.0; }
};
