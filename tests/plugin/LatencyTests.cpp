// The latency the plug-in reports must be the delay the host actually gets, in
// every route: hosts that compensate latency line the output up by it.

#include "PluginProcessor.h"

#include "ScopedTempDir.h"
#include "Signals.h"

#include <gtest/gtest.h>

namespace
{
enum class Route { series, parallel, allIdle, bypass };

const char* nameOf (Route route)
{
    switch (route)
    {
        case Route::series: return "Series";
        case Route::parallel: return "Parallel";
        case Route::allIdle: return "all idle";
        case Route::bypass: return "bypass";
    }
    return "";
}

void set (PluginProcessor& processor, const juce::String& id, float value)
{
    auto* parameter = processor.getModelTree().getParameter (id);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}

/** Where an impulse comes out, as the host sees it. The impulse comes after
    the first 75 ms, in which the tone filters glide from their initial gain to
    the tone set here (0 dB: no filtering). */
int measuredDelay (Route route, double rate, int blockSize, int& reported)
{
    tandrel::test::ScopedTempDir presets;
    PluginProcessor processor (presets.get());

    // A light blend keeps the impulse where it is, so its peak marks the delay.
    set (processor, "Tone", 100.0f);
    for (int s = 1; s <= 3; ++s)
        set (processor, juce::String (s) + "- Seg Mix", route == Route::allIdle ? 0.0f : 1.0f);
    set (processor, "Mode", route == Route::parallel ? 1.0f : 0.0f);

    processor.setRateAndBufferSizeDetails (rate, blockSize);
    processor.prepareToPlay (rate, blockSize);
    reported = processor.getLatencySamples();

    const int position = (int) (rate * 0.1);
    auto audio = tandrel::test::makeImpulse (2, reported + position + 4 * blockSize, position);
    juce::MidiBuffer midi;
    for (int start = 0; start < audio.getNumSamples(); start += blockSize)
    {
        juce::AudioBuffer<float> block (audio.getArrayOfWritePointers(), 2, start, juce::jmin (blockSize, audio.getNumSamples() - start));
        if (route == Route::bypass)
            processor.processBlockBypassed (block, midi);
        else
            processor.processBlock (block, midi);
    }

    int peak = 0;
    for (int i = 0; i < audio.getNumSamples(); ++i)
        if (std::abs (audio.getSample (1, i)) > std::abs (audio.getSample (1, peak)))
            peak = i;
    return peak - position;
}
} // namespace

TEST (Latency, ReportedLatencyIsTheMeasuredDelayInEveryRoute)
{
    struct Setup { double rate; int block; int latency; };
    const Setup setups[] = { { 44100.0, 512, 2130 }, { 48000.0, 64, 3 * (64 + 6 + 209) }, { 96000.0, 1024, 3 * 1449 }, { 44100.0, 100, 3 * (100 + 6 + 192) } };

    for (const auto& setup : setups)
        for (const auto route : { Route::series, Route::parallel, Route::allIdle, Route::bypass })
        {
            int reported = 0;
            const int delay = measuredDelay (route, setup.rate, setup.block, reported);
            EXPECT_EQ (reported, setup.latency) << setup.rate << " Hz, " << setup.block << " samples";
            EXPECT_EQ (delay, reported) << nameOf (route) << " at " << setup.rate << " Hz, " << setup.block << " samples";
        }
}
