// The engine as the processor runs it: automation from another thread, no
// allocation on the audio path, host blocks longer than announced.

#include "PluginProcessor.h"
#include "ParameterAccess.h"
#include "BlockRunner.h"

#include "AllocationCounter.h"
#include "AudioCompare.h"
#include "ScopedTempDir.h"
#include "Signals.h"

#include <gtest/gtest.h>

#include <thread>

namespace
{
struct Instance
{
    Instance (double rate = 44100.0, int blockSize = 512)
    {
        processor.setRateAndBufferSizeDetails (rate, blockSize);
        processor.prepareToPlay (rate, blockSize);
    }

    tandrel::test::ScopedTempDir presets;
    PluginProcessor processor { presets.get() };
};
} // namespace

TEST (EngineProcessor, SegMixAutomatedFromAnotherThreadChangesTheSound)
{
    const auto input = tandrel::test::makeNoise (2, 44100);

    Instance still;
    auto unchanged = input;
    tandrel::test::processInBlocks (still.processor, unchanged, 256);

    Instance automated;
    auto changed = input;
    std::atomic<bool> done { false };
    std::atomic<int> changes { 0 };
    std::thread automation ([&]
    {
        for (int k = 1; ! done.load(); k = k % 120 + 1)
        {
            tandrel::test::setParameter (automated.processor, "2- Seg Mix", (float) k);
            ++changes;
            std::this_thread::sleep_for (std::chrono::microseconds (100));
        }
        tandrel::test::setParameter (automated.processor, "2- Seg Mix", 42.0f);
    });

    // the blocks run while the values change: each block waits for a new one
    juce::MidiBuffer midi;
    for (int start = 0, seen = 0; start < changed.getNumSamples(); start += 256)
    {
        while (changes.load() <= seen)
            std::this_thread::yield();
        seen = changes.load();
        juce::AudioBuffer<float> block (changed.getArrayOfWritePointers(), 2, start, juce::jmin (256, changed.getNumSamples() - start));
        automated.processor.processBlock (block, midi);
    }
    done.store (true);
    automation.join();

    EXPECT_FALSE (tandrel::test::buffersMatch (changed, unchanged)) << "stage 2 joined in while the blocks ran";
    EXPECT_EQ (automated.processor.getEngine().getStage (1).segmentMix.getRamp().target, 42.0f)
        << "parameter at " << automated.processor.getModelTree().getRawParameterValue ("2- Seg Mix")->load();
    EXPECT_EQ (engineValueText (automated.processor.getEngine(), { ParamKind::segMix, 2 }), "Mix: 42.0%");
}

TEST (EngineProcessor, ProcessingAllocatesNothing)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the allocation counter is off in sanitizer builds";
#else
    for (const float mode : { 0.0f, 1.0f })
    {
        Instance instance (48000.0, 512);
        auto& processor = instance.processor;
        tandrel::test::setParameter (processor, "Mode", mode);
        tandrel::test::setParameter (processor, "3- Seg Mix", 120.0f);
        tandrel::test::setParameter (processor, "1- Seg Size", 1.0f);
        tandrel::test::setParameter (processor, "1- N Segs", 91.0f);
        tandrel::test::setParameter (processor, "Tone", 20.0f);
        processor.prepareToPlay (48000.0, 512);

        auto audio = tandrel::test::makeNoise (2, 48000);
        tandrel::test::setParameter (processor, "2- Seg Mix", 80.0f); // ramps running while the blocks are counted
        tandrel::test::setParameter (processor, "1- Seg Size", 30.0f);

        juce::MidiBuffer midi;
        tandrel::test::ScopedAllocationCounter counter;
        for (int start = 0; start + 512 <= audio.getNumSamples(); start += 512)
        {
            juce::AudioBuffer<float> block (audio.getArrayOfWritePointers(), 2, start, 512);
            processor.processBlock (block, midi);
            if (start == 512 * 40)
            {
                processor.processBlockBypassed (block, midi);
                juce::AudioBuffer<float> longer (audio.getArrayOfWritePointers(), 2, 0, 1500);
                processor.processBlock (longer, midi);
            }
        }
        EXPECT_EQ (counter.allocations(), 0u) << "mode " << mode;
        EXPECT_GT (audio.getMagnitude (0, audio.getNumSamples()), 0.0f);
    }
#endif
}

TEST (EngineProcessor, AHostBlockLongerThanAnnouncedLosesNothing)
{
    const auto input = tandrel::test::makeNoise (2, 6000);

    // what the same host would get with the announced maximum respected:
    // each 1000-sample block as chunks of 256, 256, 256 and 232
    Instance chunked (44100.0, 256);
    auto expected = input;
    juce::MidiBuffer midi;
    for (int start = 0; start < expected.getNumSamples();)
        for (const int chunk : { 256, 256, 256, 232 })
        {
            const int n = juce::jmin (chunk, expected.getNumSamples() - start);
            if (n <= 0)
                break;
            juce::AudioBuffer<float> block (expected.getArrayOfWritePointers(), 2, start, n);
            chunked.processor.processBlock (block, midi);
            start += n;
        }

    Instance oversized (44100.0, 256);
    auto actual = input;
    tandrel::test::processInBlocks (oversized.processor, actual, 1000); // four times the announced maximum

    EXPECT_TRUE (tandrel::test::buffersMatch (actual, expected));
}

TEST (EngineProcessor, ABypassedHostBlockLongerThanAnnouncedIsTheDelayedInput)
{
    // 600-sample bypassed blocks against 512 announced: channel 0's dry line
    // used to run past its room into channel 1's unread samples.
    Instance instance (44100.0, 512);
    const int latency = instance.processor.getLatencySamples();
    auto input = tandrel::test::makeNoise (2, latency + 6000);
    for (int i = 0; i < input.getNumSamples(); ++i)
        input.setSample (1, i, -0.5f * input.getSample (1, i)); // channels tell apart

    auto audio = input;
    juce::MidiBuffer midi;
    for (int start = 0; start < audio.getNumSamples(); start += 600)
    {
        juce::AudioBuffer<float> block (audio.getArrayOfWritePointers(), 2, start, juce::jmin (600, audio.getNumSamples() - start));
        instance.processor.processBlockBypassed (block, midi);
    }

    for (int c = 0; c < 2; ++c)
        for (int t = 0; t < audio.getNumSamples(); ++t)
            ASSERT_EQ (audio.getSample (c, t), t < latency ? 0.0f : input.getSample (c, t - latency)) << "channel " << c << ", sample " << t;
}

TEST (EngineProcessor, ValueTextsComeFromTheEngine)
{
    Instance instance;
    auto& processor = instance.processor;
    tandrel::test::setParameter (processor, "3- Seg Size", 17.5f);
    tandrel::test::setParameter (processor, "2- N Segs", 12.0f);
    tandrel::test::setParameter (processor, "Tone", 33.0f);
    tandrel::test::setParameter (processor, "Mode", 1.0f);

    auto& engine = processor.getEngine();
    struct Row { ParsedParameterId id; juce::String text; };
    const Row rows[] = {
        { { ParamKind::segSize, 3 }, juce::String (juce::CharPointer_UTF8 ("Segment Size: 17.5\xc2\xb5s")) },
        { { ParamKind::nSegs, 2 }, "N: 12" },
        { { ParamKind::segMix, 1 }, "Mix: 100.0%" },
        { { ParamKind::tone, 3 }, "Presence: 33.0%" },
        { { ParamKind::mode, -1 }, "Mode: Parallel" },
        { { ParamKind::none, -1 }, "" },
    };
    for (const auto& row : rows)
        EXPECT_EQ (engineValueText (engine, row.id), row.text) << (int) row.id.kind << "/" << row.id.stage;

    // values the controls cannot produce are clamped where they enter the engine
    applyParameterToEngine (engine, { ParamKind::nSegs, 1 }, 0.0f);
    applyParameterToEngine (engine, { ParamKind::segSize, 1 }, 0.0f);
    applyParameterToEngine (engine, { ParamKind::segMix, 1 }, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ (engineValueText (engine, { ParamKind::nSegs, 1 }), "N: 2");
    EXPECT_EQ (engineValueText (engine, { ParamKind::segSize, 1 }), juce::String (juce::CharPointer_UTF8 ("Segment Size: 1.0\xc2\xb5s")));
    EXPECT_EQ (engineValueText (engine, { ParamKind::segMix, 1 }), "Mix: 100.0%");
}
