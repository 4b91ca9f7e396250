// Host automation and resets on the audio thread while another thread holds a
// smoothed argument's setter lock (as a preset load or a state restore on
// another thread does for a moment): the audio calls return without waiting,
// and once the lock is free the change lands within one block, after which the
// sound and the ramp are exactly what they are without contention.

#include "PluginProcessor.h"

#include "ArgumentCompare.h"
#include "AudioCompare.h"
#include "RealtimeGuard.h"
#include "Signals.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{
constexpr double rate = 48000.0;
constexpr int blockSize = 64;
constexpr int numBlocks = 40;

using Argument = juce::qorv_dsp::FloatArg_v2<float, 1>;

/** A prepared processor fed block by block from one noise signal; its output
    is kept block by block. */
struct Rig
{
    Rig()
    {
        processor.setRateAndBufferSizeDetails (rate, blockSize);
        processor.prepareToPlay (rate, blockSize);
    }

    void process (int k, bool bypassed = false)
    {
        for (int c = 0; c < 2; ++c)
            block.copyFrom (c, 0, input, c, k * blockSize, blockSize);
        if (bypassed)
            processor.processBlockBypassed (block, midi);
        else
            processor.processBlock (block, midi);
        for (int c = 0; c < 2; ++c)
            output.copyFrom (c, k * blockSize, block, c, 0, blockSize);
    }

    void automate (const juce::String& id, float normalised)
    {
        tandrel::test::deliverHostAutomation (*processor.getModelTree().getParameter (id), normalised);
    }

    Argument& argument (ParsedParameterId parameter)
    {
        auto& stage = processor.getEngine().getStage (parameter.stage - 1);
        if (parameter.kind == ParamKind::segSize)
            return stage.segmentSize;
        return stage.segmentMix;
    }

    PluginProcessor processor { juce::File {} };
    juce::AudioBuffer<float> input = tandrel::test::makeNoise (2, numBlocks * blockSize);
    juce::AudioBuffer<float> output { 2, numBlocks * blockSize };
    juce::AudioBuffer<float> block { 2, blockSize };
    juce::MidiBuffer midi;
};

/** Holds lock on this thread while an audio thread runs audioWork as a guarded
    callback; returns the guard's verdict. The lock is let go when the work is
    done, or as soon as the audio thread sleeps (a setter that waits), so that
    a waiting setter fails the test instead of hanging it. */
template <typename Work>
std::string runWhileHeld (juce::qorv_dsp::ArgumentLock& lock, Work&& audioWork)
{
    if (! lock.tryLock())
        return "the setter lock was not free";

    const int sleepsBefore = tandrel::test::detail::sleepingCallsNoted();
    std::atomic<bool> done { false };
    std::string offence;
    std::thread audio ([&]
                       {
                           offence = tandrel::test::runAsAudioCallback (audioWork);
                           done = true;
                       });
    while (! done.load() && tandrel::test::detail::sleepingCallsNoted() == sleepsBefore)
        std::this_thread::yield();
    lock.unlock();
    audio.join();
    return offence;
}
} // namespace

TEST (SetterContention, AutomationOfABusyArgumentLandsInTheNextBlockAndRampsAsWithoutContention)
{
    for (const auto& id : getParameterIdsInOrder())
    {
        const auto parameter = parseParameterId (id);
        if (parameter.kind != ParamKind::segSize && parameter.kind != ParamKind::segMix)
            continue;
        SCOPED_TRACE (id.toStdString());

        Rig contended, reference;
        constexpr int held = 4;
        for (int k = 0; k < held; ++k)
        {
            contended.process (k);
            reference.process (k);
        }

        // Automation and the block arrive while another thread holds the lock.
        const auto offence = runWhileHeld (contended.argument (parameter).getSetterLock(), [&]
                                           {
                                               contended.automate (id, 0.3f);
                                               contended.process (held);
                                           });
        EXPECT_EQ (offence, "");

        // Without contention the same value is set just before the next block.
        reference.process (held);
        reference.automate (id, 0.3f);

        for (int k = held + 1; k < numBlocks; ++k)
        {
            contended.process (k);
            reference.process (k);
            tandrel::test::expectSameArgument (contended.argument (parameter), reference.argument (parameter));
            if (k == held + 1)
            {
                const auto expected = contended.processor.getModelTree().getParameter (id)->convertFrom0to1 (0.3f);
                EXPECT_EQ (contended.argument (parameter).getRamp().target, expected) << "the value landed";
            }
        }
        EXPECT_TRUE (tandrel::test::bitsMatch (contended.output, reference.output));
    }
}

// A host's reset on the audio thread, and the reset after a bypassed block,
// while a ramp runs and its setter lock is taken elsewhere.
TEST (SetterContention, ResetsOfABusyArgumentLandInTheNextBlock)
{
    const juce::String id = "1- Seg Size";
    const auto parameter = parseParameterId (id);

    for (const bool afterBypass : { false, true })
    {
        SCOPED_TRACE (afterBypass ? "reset after bypass" : "host reset");
        Rig contended, reference;
        for (auto* rig : { &contended, &reference })
        {
            rig->process (0);
            rig->automate (id, 0.8f); // a 75 ms ramp starts
            rig->process (1);
            rig->process (2);
        }

        const auto offence = runWhileHeld (contended.argument (parameter).getSetterLock(), [&]
                                           {
                                               if (afterBypass)
                                               {
                                                   contended.automate (id, 0.1f);
                                                   contended.process (3, true);
                                               }
                                               else
                                               {
                                                   contended.processor.reset();
                                               }
                                           });
        EXPECT_EQ (offence, "");

        if (afterBypass)
        {
            reference.automate (id, 0.1f);
            reference.process (3, true);
        }
        else
        {
            reference.processor.reset();
        }

        // The first block after the lock is free lands the reset (and the
        // bypassed block's reset before it), then processes as the reference does.
        for (int k = afterBypass ? 4 : 3; k < numBlocks; ++k)
        {
            contended.process (k);
            reference.process (k);
            tandrel::test::expectSameArgument (contended.argument (parameter), reference.argument (parameter));
        }
        EXPECT_TRUE (tandrel::test::bitsMatch (contended.output, reference.output));
        EXPECT_EQ (contended.argument (parameter).getRamp().remaining, 0) << "the reset ended the ramp";
    }
}
