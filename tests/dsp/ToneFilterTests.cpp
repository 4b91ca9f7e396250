#include <qorv_dsp/qorv_dsp.h>

#include "AudioCompare.h"
#include "Signals.h"

#include <gtest/gtest.h>

#include <complex>

using ToneFilter = juce::qorv_dsp::TandrelStage<float>::ToneFilter<float>;
using juce::qorv_dsp::HighShelfFilter;

namespace
{
juce::dsp::ProcessSpec specFor (double rate, int channels = 2, int block = 512)
{
    return { rate, (juce::uint32) block, (juce::uint32) channels };
}

/** Runs blocks of silence through the filter until its ramps have settled. */
void settle (ToneFilter& filter, int block = 512)
{
    juce::AudioBuffer<float> silence (filter.getChannelCount(), block);
    for (int k = 0; k < 40; ++k)
    {
        silence.clear();
        juce::dsp::AudioBlock<float> b (silence);
        filter.process (b, b);
    }
}

/** The cookbook shelf's magnitude in dB, evaluated in double precision. */
double analyticShelfDb (double f, double rate, double gainDb, double corner = 12300.0, double q = 0.9)
{
    const double A = std::pow (10.0, gainDb / 40.0);
    const double w0 = 2.0 * juce::MathConstants<double>::pi * corner / rate;
    const double cw = std::cos (w0), beta = std::sin (w0) * std::sqrt (A) / q;
    const double b0 = A * ((A + 1) + (A - 1) * cw + beta), b1 = -2 * A * ((A - 1) + (A + 1) * cw),
                 b2 = A * ((A + 1) + (A - 1) * cw - beta), a0 = (A + 1) - (A - 1) * cw + beta,
                 a1 = 2 * ((A - 1) - (A + 1) * cw), a2 = (A + 1) - (A - 1) * cw - beta;
    const auto z = std::polar (1.0, -2.0 * juce::MathConstants<double>::pi * f / rate);
    const auto h = (b0 + b1 * z + b2 * z * z) / (a0 + a1 * z + a2 * z * z);
    return 20.0 * std::log10 (std::abs (h));
}

/** Steady-state gain in dB of a sine at f run through the filter's process(). */
double measuredDb (ToneFilter& filter, double f, double rate)
{
    const int length = (int) rate; // one second, the last half measured
    juce::AudioBuffer<float> buffer (1, length);
    for (int i = 0; i < length; ++i)
        buffer.setSample (0, i, (float) std::sin (2.0 * juce::MathConstants<double>::pi * f * i / rate));
    const auto input = buffer;

    for (int start = 0; start < length; start += 512)
    {
        auto block = juce::dsp::AudioBlock<float> (buffer).getSubBlock ((size_t) start, (size_t) juce::jmin (512, length - start));
        filter.process (block, block);
    }

    double in = 0.0, out = 0.0;
    for (int i = length / 2; i < length; ++i)
    {
        in += juce::square ((double) input.getSample (0, i));
        out += juce::square ((double) buffer.getSample (0, i));
    }
    return 10.0 * std::log10 (out / in);
}

bool coefficientsMatch (const ToneFilter& filter, float f, float q, float gain, float rate)
{
    struct Probe : HighShelfFilter<float>
    {
        explicit Probe (float r) { sampleRate = r; }
    } probe (rate);
    probe.computeCoefficients (f, q, gain);
    return probe.getCoefficients() == filter.getCoefficients();
}
} // namespace

TEST (ToneFilter, ToneHundredPassesInputThroughAndLeavesTheStateAlone)
{
    ToneFilter filter;
    filter.prepareLocked (specFor (44100.0));
    auto noise = tandrel::test::makeNoise (2, 512);
    {
        juce::dsp::AudioBlock<float> b (noise);
        filter.process (b, b); // leaves some state behind at tone 50
    }

    filter.tone.value = 100.0f;
    settle (filter);
    ASSERT_FALSE (filter.isActive());
    const float s1 = filter.getState1 (1), s2 = filter.getState2 (1);

    const auto input = tandrel::test::makeNoise (2, 512, 99);
    juce::AudioBuffer<float> output (2, 512);
    filter.process (juce::dsp::AudioBlock<const float> (input), juce::dsp::AudioBlock<float> (output));
    EXPECT_TRUE (tandrel::test::buffersMatch (output, input));
    EXPECT_EQ (filter.getState1 (1), s1);
    EXPECT_EQ (filter.getState2 (1), s2);
}

TEST (ToneFilter, ARampRecomputesOncePerBlockFromTheBlocksFirstValue)
{
    ToneFilter filter;
    filter.prepareLocked (specFor (44100.0));
    filter.tone.value = 100.0f;
    settle (filter);

    filter.tone.value = 50.0f;
    const float step = (-28.0f - 0.0f) / 3308.0f;
    float current = 0.0f;
    int taken = 0;
    juce::AudioBuffer<float> block (2, 64);

    for (int k = 0; k < 60; ++k)
    {
        const float firstOfBlock = taken < 3308 ? current + step : -28.0f;
        for (int j = 0; j < 64; ++j, ++taken)
            current = taken + 1 >= 3308 ? -28.0f : current + step;

        block.clear();
        juce::dsp::AudioBlock<float> b (block);
        filter.process (b, b);

        ASSERT_EQ (filter.getCachedValues()[2], firstOfBlock) << "block " << k;
        ASSERT_TRUE (coefficientsMatch (filter, 12300.0f, 0.9f, firstOfBlock, 44100.0f)) << "block " << k;
        ASSERT_TRUE (filter.isActive());
    }
    EXPECT_EQ (filter.getCachedValues()[2], -28.0f);
}

TEST (ToneFilter, SettledShelfMatchesTheAnalyticCurve)
{
    for (const double rate : { 44100.0, 96000.0 })
    {
        ToneFilter filter;
        filter.prepareLocked (specFor (rate, 1)); // tone 50: -28 dB
        for (const double f : { 50.0, 1000.0, 6000.0, 12300.0, 16000.0, 20000.0 })
        {
            filter.resetLocked();
            EXPECT_NEAR (measuredDb (filter, f, rate), analyticShelfDb (f, rate, -28.0), 0.05) << f << " Hz at " << rate;
        }
        filter.resetLocked();
        EXPECT_NEAR (measuredDb (filter, 50.0, rate), 0.0, 0.05) << "far below the corner";
    }
    EXPECT_NEAR (analyticShelfDb (22049.0, 44100.0, -28.0), -28.0, 0.01) << "the curve itself ends at the shelf gain";
}

TEST (ToneFilter, ASampleRateChangeReachesSettledCoefficients)
{
    ToneFilter filter;
    filter.prepareLocked (specFor (44100.0, 1));
    settle (filter);
    ASSERT_TRUE (coefficientsMatch (filter, 12300.0f, 0.9f, -28.0f, 44100.0f));

    filter.prepareLocked (specFor (96000.0, 1));
    EXPECT_TRUE (coefficientsMatch (filter, 12300.0f, 0.9f, -28.0f, 96000.0f));
    filter.resetLocked();
    EXPECT_NEAR (measuredDb (filter, 30000.0, 96000.0), analyticShelfDb (30000.0, 96000.0, -28.0), 0.05);
}

TEST (ToneFilter, ZeroChannelsFilterNothing)
{
    ToneFilter filter;
    filter.prepareLocked (specFor (44100.0, 0));
    EXPECT_EQ (filter.getChannelCount(), 0);

    // No audio passes, but the filter keeps time: a tone change ramps the gain
    // block by block, and the coefficients follow it.
    filter.tone.value = 30.0f;
    juce::AudioBuffer<float> none (0, 64);
    juce::dsp::AudioBlock<float> b (none);
    filter.process (b, b);
    EXPECT_EQ (filter.gain.getRamp().remaining, 3308 - 64);
    filter.updateCoefficients (64);
    EXPECT_EQ (filter.gain.getRamp().remaining, 3308 - 128);
    EXPECT_TRUE (filter.isActive());
    EXPECT_TRUE (coefficientsMatch (filter, 12300.0f, 0.9f, filter.getCachedValues()[2], 44100.0f));
}

TEST (ToneFilter, RepeatingTheSameToneDoesNotRestartTheRamp)
{
    ToneFilter filter;
    filter.prepareLocked (specFor (44100.0, 1));
    filter.tone.value = 30.0f;
    filter.updateCoefficients (64);
    const int afterOne = filter.gain.getRamp().remaining;
    ASSERT_EQ (afterOne, 3308 - 64);

    for (int k = 0; k < 3; ++k)
    {
        filter.tone.value = 30.0f;
        filter.updateCoefficients (64);
    }
    EXPECT_EQ (filter.gain.getRamp().remaining, afterOne - 3 * 64);
}

TEST (ToneFilter, AToneSetBeforePlaybackHoldsFromTheFirstBlock)
{
    // Tone 100 is a flat shelf: the very first block must pass unchanged rather
    // than glide there from the construction default.
    ToneFilter filter;
    filter.tone.value.store (100.0f);
    filter.prepareLocked (specFor (44100.0));

    const auto input = tandrel::test::makeNoise (2, 512);
    auto output = input;
    juce::dsp::AudioBlock<float> block (output);
    filter.process (block, block);
    EXPECT_TRUE (tandrel::test::buffersMatch (output, input));
}

TEST (ToneFilter, EverySampleRateAndToneGivesAStableShelf)
{
    // Rates every 50 Hz around the corner's Nyquist (24600 Hz), then in 1 %
    // steps up to 768 kHz; a biquad is stable when |a2| < 1 and |a1| < 1 + a2.
    std::vector<float> rates;
    for (float rate = 8000.0f; rate < 30000.0f; rate += 50.0f)
        rates.push_back (rate);
    for (const float rate : { 24600.5f, 24601.0f, 24601.5f, 24602.0f, 24604.0f })
        rates.push_back (rate);
    for (float rate = 30000.0f; rate <= 768000.0f; rate *= 1.01f)
        rates.push_back (rate);
    rates.push_back (768000.0f);

    for (const float rate : rates)
        for (int tone = 0; tone < 100; ++tone)
        {
            struct Probe : HighShelfFilter<float>
            {
                explicit Probe (float r) { sampleRate = r; }
            } probe (rate);
            probe.computeCoefficients (12300.0f, 0.9f, ToneFilter::toneToGain ((float) tone));
            const auto k = probe.getCoefficients();
            const float a1 = k[3], a2 = k[4];
            ASSERT_TRUE (std::abs (a2) < 1.0f && std::abs (a1) < 1.0f + a2)
                << "unstable at " << rate << " Hz, tone " << tone << ": a1 " << a1 << ", a2 " << a2;
        }
}

TEST (ToneFilter, BelowTheCornersNyquistTheShelfKeepsItsCharacterAtNineTenthsOfNyquist)
{
    // The 12300 Hz corner is at or above Nyquist here; the shelf sits at
    // 0.45 fs instead: flat at the bottom, the full cut at the top.
    for (const double rate : { 8000.0, 11025.0, 22050.0, 24000.0 })
    {
        ToneFilter filter;
        filter.prepareLocked (specFor (rate, 1)); // tone 50: -28 dB
        for (const double f : { 50.0, 0.25 * rate, 0.45 * rate, 0.49 * rate })
        {
            filter.resetLocked();
            EXPECT_NEAR (measuredDb (filter, f, rate), analyticShelfDb (f, rate, -28.0, 0.45 * rate), 0.05) << f << " Hz at " << rate;
        }
        filter.resetLocked();
        EXPECT_NEAR (measuredDb (filter, 50.0, rate), 0.0, 0.05) << "far below the corner at " << rate;
    }
}

TEST (ToneFilter, LowSampleRatesStayFiniteForEveryTone)
{
    // What a user heard at 22.05 kHz with Tone 75: the output ran off to
    // infinity within milliseconds and never came back.
    for (const double rate : { 8000.0, 22050.0, 24000.0, 24601.0 })
        for (const float tone : { 0.0f, 50.0f, 75.0f, 99.0f })
        {
            ToneFilter filter;
            filter.tone.value = tone;
            filter.prepareLocked (specFor (rate));
            auto audio = tandrel::test::makeNoise (2, (int) rate); // one second
            for (int start = 0; start < audio.getNumSamples(); start += 512)
            {
                auto block = juce::dsp::AudioBlock<float> (audio).getSubBlock ((size_t) start,
                                                                                (size_t) juce::jmin (512, audio.getNumSamples() - start));
                filter.process (block, block);
            }
            // a cut shelf with Q 0.9 rises at most a few dB above its input
            EXPECT_LT (audio.getMagnitude (0, audio.getNumSamples()), 2.0f) << rate << " Hz, tone " << tone;
        }
}
