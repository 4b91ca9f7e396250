// A host that hands over NaN, infinite or absurdly large samples once (a
// misbehaving plug-in earlier in the chain) must not silence or poison the
// plug-in for the rest of the session: such samples count as silence.

#include "NonAudioSamples.h"
#include "PluginProcessor.h"
#include "ParameterAccess.h"

#include "AudioCompare.h"
#include "BlockRunner.h"
#include "ScopedTempDir.h"
#include "Signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
constexpr int blockSize = 256;
constexpr int poisonedBlock = 1; // the engine has run one block before

/** Runs the input through a fresh instance with every stage active; the
    poisoned block and the ones after it go through the bypassed path when
    asked, long enough for the dry delay to hand the poisoned block back. */
juce::AudioBuffer<float> render (juce::AudioBuffer<float> audio, float mode, int bypassedBlocks)
{
    tandrel::test::ScopedTempDir presets;
    PluginProcessor processor (presets.get());
    processor.setRateAndBufferSizeDetails (44100.0, blockSize);
    tandrel::test::setParameter (processor, "Mode", mode);
    tandrel::test::setParameter (processor, "1- Seg Mix", 100.0f);
    tandrel::test::setParameter (processor, "2- Seg Mix", 60.0f);
    tandrel::test::setParameter (processor, "3- Seg Mix", 120.0f);
    processor.prepareToPlay (44100.0, blockSize);

    juce::MidiBuffer midi;
    for (int start = 0, index = 0; start < audio.getNumSamples(); start += blockSize, ++index)
    {
        juce::AudioBuffer<float> block (audio.getArrayOfWritePointers(), audio.getNumChannels(), start,
                                        juce::jmin (blockSize, audio.getNumSamples() - start));
        if (index >= poisonedBlock && index < poisonedBlock + bypassedBlocks)
            processor.processBlockBypassed (block, midi);
        else
            processor.processBlock (block, midi);
    }
    return audio;
}

/** The same samples in both channels of the poisoned block: single ones and a run. */
void overwrite (juce::AudioBuffer<float>& audio, float value)
{
    const int base = poisonedBlock * blockSize;
    for (int c = 0; c < audio.getNumChannels(); ++c)
    {
        for (const int i : { 0, 17 + c, 255 })
            audio.setSample (c, base + i, value);
        for (int i = 100; i < 140; ++i)
            audio.setSample (c, base + i, value);
    }
}

int firstNonFinite (const juce::AudioBuffer<float>& audio)
{
    for (int c = 0; c < audio.getNumChannels(); ++c)
        for (int i = 0; i < audio.getNumSamples(); ++i)
            if (! std::isfinite (audio.getSample (c, i)))
                return i;
    return -1;
}
} // namespace

TEST (NonAudioInput, CountsAsSilenceAndLeavesTheRestOfTheSessionIntact)
{
    struct Route { const char* name; float mode; int bypassedBlocks; };
    const Route routes[] = { { "Series", 0.0f, 0 }, { "Parallel", 1.0f, 0 }, { "bypassed", 0.0f, 8 } };
    const struct { const char* name; float value; } poisons[] = {
        { "NaN", std::numeric_limits<float>::quiet_NaN() },
        { "+Inf", std::numeric_limits<float>::infinity() },
        { "-Inf", -std::numeric_limits<float>::infinity() },
        { "3e38", 3e38f }, // overflowed inside the engine and left a filter at NaN for good
        { "-3e38", -3e38f },
        { "just beyond the largest audio sample", std::nextafter (largestAudioSample, 1e38f) },
    };

    const auto input = tandrel::test::makeNoise (2, 16 * blockSize);

    for (const auto& route : routes)
    {
        auto silenced = input;
        overwrite (silenced, 0.0f);
        const auto expected = render (silenced, route.mode, route.bypassedBlocks);
        ASSERT_GT (expected.getMagnitude (0, expected.getNumSamples() - blockSize, blockSize), 0.01f) << route.name;

        for (const auto& poison : poisons)
        {
            auto poisoned = input;
            overwrite (poisoned, poison.value);
            const auto output = render (poisoned, route.mode, route.bypassedBlocks);

            EXPECT_EQ (firstNonFinite (output), -1) << route.name << ", " << poison.name;
            EXPECT_TRUE (tandrel::test::buffersMatch (output, expected)) << route.name << ", " << poison.name;
        }
    }
}

TEST (NonAudioInput, TheLargestAudioSampleOverflowsNowhereInTheEngine)
{
    // The accepted extreme, alternating in sign (the interpolators' worst
    // case), through the settings that grow a signal most: the widest mix,
    // the shortest segments, the deepest cut, every stage active.
    for (const double rate : { 8000.0, 44100.0 })
        for (const float mode : { 0.0f, 1.0f })
        {
            tandrel::test::ScopedTempDir presets;
            PluginProcessor processor (presets.get());
            processor.setRateAndBufferSizeDetails (rate, blockSize);
            tandrel::test::setParameter (processor, "Mode", mode);
            tandrel::test::setParameter (processor, "Tone", 0.0f);
            for (int s = 1; s <= 3; ++s)
            {
                tandrel::test::setParameter (processor, juce::String (s) + "- Seg Mix", 120.0f);
                tandrel::test::setParameter (processor, juce::String (s) + "- Seg Size", 1.0f + 20.0f * (float) (s - 1));
                tandrel::test::setParameter (processor, juce::String (s) + "- N Segs", s == 2 ? 2.0f : 91.0f);
            }
            processor.prepareToPlay (rate, blockSize);

            auto audio = tandrel::test::makeNoise (2, processor.getLatencySamples() + 8 * blockSize);
            for (int c = 0; c < 2; ++c)
                for (int i = blockSize; i < 3 * blockSize; ++i)
                    audio.setSample (c, i, (i % 2 == 0 ? 1.0f : -1.0f) * largestAudioSample);

            tandrel::test::processInBlocks (processor, audio, blockSize);
            EXPECT_EQ (firstNonFinite (audio), -1) << rate << " Hz, mode " << mode;
            EXPECT_GT (audio.getMagnitude (0, audio.getNumSamples()), 1e20f) << "the extreme went through as audio";
        }
}
