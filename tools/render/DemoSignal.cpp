#include "DemoSignal.h"

#include <cmath>

namespace
{
constexpr double twoPi = 6.283185307179586;

// One bar of 8th notes at 120 BPM: kick on 1 and 3, snare on 2 and 4, hats on every 8th.
void addDrums (juce::AudioBuffer<float>& out, double sampleRate)
{
    const int length = out.getNumSamples();
    const int eighth = (int) (sampleRate * 0.25);
    juce::Random noise (42);

    for (int start = 0, step = 0; start < length; start += eighth, ++step)
    {
        const bool kick = step % 4 == 0;
        const bool snare = step % 4 == 2;

        for (int i = 0; i < juce::jmin ((int) (sampleRate * 0.4), length - start); ++i)
        {
            const double t = i / sampleRate;
            float left = 0.0f, right = 0.0f;

            if (kick)
            {
                const double phase = twoPi * (45.0 * t + 90.0 * (1.0 - std::exp (-t * 30.0)) / 30.0);
                const float v = (float) (0.8 * std::sin (phase) * std::exp (-t * 9.0));
                left += v;
                right += v;
            }
            if (snare)
            {
                const float n = noise.nextFloat() * 2.0f - 1.0f;
                const float v = (float) (0.35 * n * std::exp (-t * 22.0) + 0.25 * std::sin (twoPi * 190.0 * t) * std::exp (-t * 30.0));
                left += v;
                right += v;
            }
            if (t < 0.06)
            {
                const float n = noise.nextFloat() * 2.0f - 1.0f;
                const float hat = (float) (0.12 * n * std::exp (-t * 80.0));
                left += hat * (step % 2 == 0 ? 0.7f : 1.0f);
                right += hat * (step % 2 == 0 ? 1.0f : 0.7f);
            }

            out.addSample (0, start + i, left);
            if (out.getNumChannels() > 1)
                out.addSample (1, start + i, right);
        }
    }
}

// A sustained minor-seventh chord of slightly detuned saw-like partials.
void addChord (juce::AudioBuffer<float>& out, double sampleRate)
{
    const double notes[] = { 220.0, 261.63, 329.63, 392.0 };
    const int length = out.getNumSamples();

    for (int i = 0; i < length; ++i)
    {
        const double t = i / sampleRate;
        const double envelope = std::min (1.0, t * 4.0) * std::min (1.0, (length - i) / (sampleRate * 0.3));
        double left = 0.0, right = 0.0;

        for (size_t n = 0; n < std::size (notes); ++n)
            for (int harmonic = 1; harmonic <= 6; ++harmonic)
            {
                const double a = 0.03 / harmonic;
                left += a * std::sin (twoPi * notes[n] * 1.002 * harmonic * t);
                right += a * std::sin (twoPi * notes[n] * 0.998 * harmonic * t + 0.5);
            }

        out.addSample (0, i, (float) (left * envelope));
        if (out.getNumChannels() > 1)
            out.addSample (1, i, (float) (right * envelope));
    }
}
} // namespace

juce::AudioBuffer<float> makeDemoSignal (double sampleRate, double seconds)
{
    juce::AudioBuffer<float> out (2, (int) (sampleRate * seconds));
    out.clear();
    addDrums (out, sampleRate);
    addChord (out, sampleRate);
    return out;
}
