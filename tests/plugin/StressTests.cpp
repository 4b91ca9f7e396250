// Everything a host and a user can do at once, for a bounded time: audio
// processing, automation from two threads, host state calls with good and bad
// blobs, and on the message thread the editor opening and closing, presets
// loading through the browser, undo and redo. The run lasts
// TANDREL_STRESS_SECONDS (default 3) seconds.

#include "PluginEditor.h"
#include "PluginProcessor.h"
#include "Signals.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{
double stressSeconds()
{
    const auto text = juce::SystemStats::getEnvironmentVariable ("TANDREL_STRESS_SECONDS", {});
    return text.isNotEmpty() ? juce::jmax (0.1, text.getDoubleValue()) : 3.0;
}

juce::MemoryBlock hostState (PluginProcessor& processor)
{
    juce::MemoryBlock blob;
    processor.getStateInformation (blob);
    return blob;
}

/** The normalised value of every parameter as a blob stores it. */
std::map<juce::String, float> parametersIn (const juce::MemoryBlock& blob, PluginProcessor& processor)
{
    std::map<juce::String, float> values;
    if (auto xml = juce::AudioProcessor::getXmlFromBinary (blob.getData(), (int) blob.getSize()))
        for (auto* child : xml->getChildIterator())
            if (auto* parameter = processor.getModelTree().getParameter (child->getStringAttribute ("id")))
                values[parameter->getParameterID()] = parameter->convertTo0to1 ((float) child->getDoubleAttribute ("value"));
    return values;
}

std::map<juce::String, float> parametersOf (PluginProcessor& processor)
{
    std::map<juce::String, float> values;
    for (const auto& id : getParameterIdsInOrder())
        values[id] = processor.getModelTree().getParameter (id)->getValue();
    return values;
}

/** Blobs a host might hand over: earlier states of ours, and damaged ones. */
std::vector<juce::MemoryBlock> makeBlobs (PluginProcessor& processor, std::vector<juce::MemoryBlock>& valid)
{
    std::vector<juce::MemoryBlock> blobs = valid;
    auto truncated = valid[0];
    truncated.setSize (truncated.getSize() / 2);
    blobs.push_back (truncated);

    juce::Random random (7);
    juce::MemoryBlock noise (300);
    random.fillBitsRandomly (noise.getData(), noise.getSize());
    blobs.push_back (noise);
    blobs.emplace_back();

    if (auto xml = juce::AudioProcessor::getXmlFromBinary (valid[0].getData(), (int) valid[0].getSize()))
    {
        if (auto* first = xml->getFirstChildElement())
            first->setAttribute ("value", "nan");
        juce::MemoryBlock withNaN;
        juce::AudioProcessor::copyXmlToBinary (*xml, withNaN);
        blobs.push_back (withNaN);

        xml->setTagName ("SomethingElse");
        juce::MemoryBlock foreign;
        juce::AudioProcessor::copyXmlToBinary (*xml, foreign);
        blobs.push_back (foreign);
    }
    juce::ignoreUnused (processor);
    return blobs;
}

void pump (int milliseconds) { juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds); }
} // namespace

TEST (Stress, HostUserAndAudioThreadsTogetherEndInTheStateTheLastOperationsImply)
{
    PluginProcessor processor (juce::File {});
    processor.setRateAndBufferSizeDetails (48000.0, 256);
    processor.prepareToPlay (48000.0, 256);

    auto& manager = processor.getPresetManager();
    std::vector<int> factoryIds;
    for (const auto& entry : manager.getFactoryPresets())
        factoryIds.push_back (entry.first);
    ASSERT_GE (factoryIds.size(), 3u);

    // Valid blobs: the states after three different factory presets.
    std::vector<juce::MemoryBlock> valid;
    for (int i = 0; i < 3; ++i)
    {
        auto bytes = manager.findFactoryPreset (factoryIds[(size_t) i * 5 % factoryIds.size()])->data;
        ASSERT_TRUE (processor.loadStateUndoable (bytes));
        valid.push_back (hostState (processor));
    }
    const auto blobs = makeBlobs (processor, valid);

    std::atomic<bool> stop { false };
    std::atomic<int> blocksProcessed { 0 }, stateCalls { 0 };
    std::vector<std::thread> threads;

    threads.emplace_back ([&]
                          {
                              auto audio = tandrel::test::makeNoise (2, 256);
                              juce::MidiBuffer midi;
                              while (! stop)
                              {
                                  processor.processBlock (audio, midi);
                                  ++blocksProcessed;
                              }
                          });

    // Host state calls run on a thread of their own, as many hosts make them:
    // there they flush automated values into the value tree (recording undo
    // steps) and swap the tree while the message thread undoes, redoes and
    // clears the same history, all of which the state lock keeps apart.
    // TANDREL_STRESS_HOST_THREAD=0 makes them on the message thread instead.
    const bool hostStateThread = juce::SystemStats::getEnvironmentVariable ("TANDREL_STRESS_HOST_THREAD", "1") != "0";
    juce::Random stateRandom (3);
    auto hostStateCall = [&]
    {
        if (stateRandom.nextBool())
            hostState (processor);
        else
        {
            const auto& blob = blobs[(size_t) stateRandom.nextInt ((int) blobs.size())];
            processor.setStateInformation (blob.getData(), (int) blob.getSize());
        }
        ++stateCalls;
    };

    for (int seed : { 1, 2 })
        threads.emplace_back ([&, seed]
                              {
                                  juce::Random random (seed);
                                  const auto& ids = getParameterIdsInOrder();
                                  while (! stop)
                                  {
                                      auto* parameter = processor.getModelTree().getParameter (ids[random.nextInt (ids.size())]);
                                      parameter->setValueNotifyingHost (random.nextFloat());
                                      std::this_thread::yield();
                                  }
                              });

    if (hostStateThread)
        threads.emplace_back ([&]
                              {
                                  while (! stop)
                                      hostStateCall();
                              });

    // The message thread: the editor comes and goes, presets load through the
    // browser, steps are undone and redone.
    juce::Random random (4);
    int presetLoads = 0, editorsOpened = 0;
    const auto end = juce::Time::getMillisecondCounterHiRes() + stressSeconds() * 1000.0;
    while (juce::Time::getMillisecondCounterHiRes() < end)
    {
        std::unique_ptr<PluginEditor> editor (static_cast<PluginEditor*> (processor.createEditor()));
        ++editorsOpened;
        for (int i = 0; i < 4; ++i)
        {
            const auto id = factoryIds[(size_t) random.nextInt ((int) factoryIds.size())];
            editor->getControlBar().presetComponent.selectPresetId (id, juce::sendNotificationSync);
            ++presetLoads;
            pump (2);
            // The editor's undo and redo buttons, which hold the state lock while they run.
            if (random.nextBool())
                editor->getControlBar().undoButton.triggerClick();
            if (random.nextBool())
                editor->getControlBar().redoButton.triggerClick();
            if (! hostStateThread)
                for (int k = 0; k < 3; ++k)
                    hostStateCall();
            pump (2);
        }
        editor.reset();
        pump (2);
    }

    stop = true;
    for (auto& thread : threads)
        thread.join();
    pump (50); // history clearings posted by host-thread state calls

    EXPECT_GT (blocksProcessed.load(), 0);
    EXPECT_GT (stateCalls.load(), 0);
    EXPECT_GT (presetLoads, 0);
    EXPECT_GT (editorsOpened, 0);

    // The last operations decide the state: a host state, then a refused blob.
    processor.setStateInformation (valid[1].getData(), (int) valid[1].getSize());
    processor.setStateInformation (blobs.back().getData(), (int) blobs.back().getSize()); // foreign: refused
    pump (50);
    EXPECT_EQ (parametersOf (processor), parametersIn (valid[1], processor));
    EXPECT_EQ (parametersIn (hostState (processor), processor), parametersIn (valid[1], processor));

    {
        // A last preset chosen in the browser replaces it.
        std::unique_ptr<PluginEditor> editor (static_cast<PluginEditor*> (processor.createEditor()));
        editor->getControlBar().presetComponent.selectPresetId (factoryIds[0], juce::sendNotificationSync);
        pump (50);
        EXPECT_EQ (parametersIn (hostState (processor), processor), parametersIn (valid[0], processor));
        EXPECT_EQ (parametersOf (processor), parametersIn (valid[0], processor));
    }
}
