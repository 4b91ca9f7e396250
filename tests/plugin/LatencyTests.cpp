// The latency the plug-in reports must be the delay the host actually gets, in
// every route: hosts that compensate latency line the output up by it.

#include "PluginProcessor.h"
#include "ParameterAccess.h"

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

/** Where an impulse comes out, as the host sees it. The impulse comes after
    the first 75 ms, in which the tone filters glide from their initial gain to
    the tone set here (0 dB: no filtering). */
int measuredDelay (Route route, double rate, int blockSize, int& reported)
{
    tandrel::test::ScopedTempDir presets;
    PluginProcessor processor (presets.get());

    // A light blend of segments shorter than a sample at every rate keeps the
    // impulse where it is, so its peak marks the delay.
    tandrel::test::setParameter (processor, "Tone", 100.0f);
    for (int s = 1; s <= 3; ++s)
    {
        tandrel::test::setParameter (processor, juce::String (s) + "- Seg Mix", route == Route::allIdle ? 0.0f : 1.0f);
        tandrel::test::setParameter (processor, juce::String (s) + "- Seg Size", 1.0f);
    }
    tandrel::test::setParameter (processor, "Mode", route == Route::parallel ? 1.0f : 0.0f);

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

// The latency is three stage delays: the longest group (91 segments of 48 us)
// and 6 samples each, and one sample more than a block can leave unconsumed
// where that is more (192 kHz). It does not depend on the block size.
TEST (Latency, ReportedLatencyIsTheMeasuredDelayInEveryRouteAtEveryBlockSize)
{
    struct Rate { double rate; int latency; };
    const Rate rates[] = { { 44100.0, 594 }, { 48000.0, 645 }, { 96000.0, 1275 }, { 192000.0, 2547 } };
    const int blockSizes[] = { 1, 7, 100, 512, 4096, 8192 };

    for (const auto& r : rates)
        for (const int block : blockSizes)
            for (const auto route : { Route::series, Route::parallel, Route::allIdle, Route::bypass })
            {
                int reported = 0;
                const int delay = measuredDelay (route, r.rate, block, reported);
                EXPECT_EQ (reported, r.latency) << r.rate << " Hz, " << block << " samples";
                EXPECT_EQ (delay, reported) << nameOf (route) << " at " << r.rate << " Hz, " << block << " samples";
            }
}
