#include "BandSpectrum.h"

#include <juce_dsp/juce_dsp.h>

namespace
{
constexpr int fftOrder = 14;
constexpr int fftSize = 1 << fftOrder;
constexpr double lowestCentre = 50.0;
constexpr double highestCentre = 20000.0;
constexpr double bandsPerOctave = 6.0;

double decibels (double power)
{
    return 10.0 * std::log10 (juce::jmax (power, 1.0e-20));
}
} // namespace

BandSpectrum BandSpectrum::of (const juce::AudioBuffer<float>& audio, double sampleRate)
{
    std::vector<double> window ((size_t) fftSize);
    double windowPower = 0.0;
    for (int i = 0; i < fftSize; ++i)
    {
        window[(size_t) i] = 0.5 - 0.5 * std::cos (juce::MathConstants<double>::twoPi * i / fftSize);
        windowPower += window[(size_t) i];
    }

    // Power per bin, averaged over frames and channels.
    juce::dsp::FFT fft (fftOrder);
    std::vector<float> frame ((size_t) (2 * fftSize));
    std::vector<double> power ((size_t) (fftSize / 2 + 1), 0.0);
    int frames = 0;
    double sumOfSquares = 0.0;

    for (int c = 0; c < audio.getNumChannels(); ++c)
    {
        const float* x = audio.getReadPointer (c);
        for (int i = 0; i < audio.getNumSamples(); ++i)
            sumOfSquares += (double) x[i] * x[i];

        for (int start = 0; start + fftSize <= audio.getNumSamples(); start += fftSize / 2)
        {
            std::fill (frame.begin(), frame.end(), 0.0f);
            for (int i = 0; i < fftSize; ++i)
                frame[(size_t) i] = (float) (x[start + i] * window[(size_t) i]);
            fft.performFrequencyOnlyForwardTransform (frame.data(), true);
            for (size_t k = 0; k < power.size(); ++k)
                power[k] += (double) frame[k] * frame[k];
            ++frames;
        }
    }

    BandSpectrum result;
    const int samples = audio.getNumChannels() * audio.getNumSamples();
    result.rmsLevel = rounded (decibels (samples > 0 ? sumOfSquares / samples : 0.0));

    // A full-scale sine on a bin reads (windowPower / 2)^2: that is 0 dB.
    const double fullScale = (windowPower / 2.0) * (windowPower / 2.0);
    const double binWidth = sampleRate / fftSize;
    const double halfBand = std::pow (2.0, 0.5 / bandsPerOctave);

    for (double centre = lowestCentre; centre <= highestCentre * 1.001; centre *= std::pow (2.0, 1.0 / bandsPerOctave))
    {
        const int first = juce::jmax (1, (int) std::ceil (centre / halfBand / binWidth));
        const int last = juce::jmin ((int) power.size() - 1, juce::jmax (first, (int) std::floor (centre * halfBand / binWidth)));
        double sum = 0.0;
        for (int k = first; k <= last; ++k)
            sum += power[(size_t) k];
        const double perFrame = frames > 0 ? sum / frames : 0.0;

        result.bandCentres.push_back (rounded (centre));
        result.bandLevels.push_back (rounded (decibels (perFrame / fullScale)));
    }
    return result;
}
