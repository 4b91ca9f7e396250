#include "PluginProcessor.h"
#include "BlockRunner.h"
#include "Signals.h"

#include <gtest/gtest.h>

namespace
{
using Layout = juce::AudioProcessor::BusesLayout;

Layout makeLayout (const juce::AudioChannelSet& in, const juce::AudioChannelSet& out)
{
    Layout layout;
    layout.inputBuses.add (in);
    layout.outputBuses.add (out);
    return layout;
}

struct LatencyListener : juce::AudioProcessorListener
{
    int latencyChanges = 0;
    void audioProcessorParameterChanged (juce::AudioProcessor*, int, float) override {}
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails& details) override
    {
        latencyChanges += details.latencyChanged ? 1 : 0;
    }
};

float peakOf (const juce::AudioBuffer<float>& audio) { return audio.getMagnitude (0, audio.getNumSamples()); }
} // namespace

TEST (ProcessorLifecycle, AcceptsOnlyEqualMonoOrStereoLayouts)
{
    PluginProcessor processor;
    const auto mono = juce::AudioChannelSet::mono();
    const auto stereo = juce::AudioChannelSet::stereo();
    const auto quad = juce::AudioChannelSet::quadraphonic();

    struct Row { juce::AudioChannelSet in, out; bool accepted; };
    const Row rows[] = {
        { mono, mono, true },   { stereo, stereo, true }, { mono, stereo, false },
        { stereo, mono, false }, { quad, quad, false },    { juce::AudioChannelSet::createLCR(), juce::AudioChannelSet::createLCR(), false },
    };
    for (const auto& row : rows)
        EXPECT_EQ (processor.checkBusesLayoutSupported (makeLayout (row.in, row.out)), row.accepted)
            << row.in.getDescription() << " -> " << row.out.getDescription();
}

TEST (ProcessorLifecycle, PresentsTheProductsIdentity)
{
    PluginProcessor processor;
    EXPECT_EQ (processor.getName(), "Tandrel_v1-1");
    EXPECT_EQ (processor.getModelTree().state.getType().toString(), "Td11");
    EXPECT_EQ (processor.getPresetManager().getExtension(), ".td11");
}

TEST (ProcessorLifecycle, FreshInstanceHasDefaultsAndNothingToUndo)
{
    PluginProcessor processor;
    auto& tree = processor.getModelTree();

    struct Row { const char* id; float value; };
    const Row rows[] = {
        { "Mode", 0.0f },       { "Tone", 75.0f },       { "1- N Segs", 31.0f }, { "1- Seg Size", 11.0f },
        { "1- Seg Mix", 100.0f }, { "2- N Segs", 31.0f }, { "2- Seg Size", 11.0f }, { "2- Seg Mix", 0.0f },
        { "3- N Segs", 31.0f }, { "3- Seg Size", 11.0f }, { "3- Seg Mix", 0.0f },
    };
    for (const auto& row : rows)
    {
        auto* value = tree.getRawParameterValue (row.id);
        ASSERT_NE (value, nullptr) << row.id;
        EXPECT_FLOAT_EQ (value->load(), row.value) << row.id;
    }

    EXPECT_EQ (tree.getParameter ("Mode")->getCurrentValueAsText(), "Series");
    EXPECT_FALSE (tree.getUndoManager().canUndo());
    EXPECT_FALSE (tree.getUndoManager().canRedo());
}

TEST (ProcessorLifecycle, HasOneProgramNamedAfterThePlugIn)
{
    PluginProcessor processor;
    ASSERT_EQ (processor.getNumPrograms(), 1);
    EXPECT_EQ (processor.getCurrentProgram(), 0);
    EXPECT_EQ (processor.getProgramName (0), "Tandrel_v1-1");

    // Selecting or renaming the program changes nothing.
    processor.changeProgramName (0, "Renamed");
    processor.setCurrentProgram (0);
    EXPECT_EQ (processor.getProgramName (0), "Tandrel_v1-1");
    EXPECT_EQ (processor.getCurrentProgram(), 0);
    EXPECT_EQ (processor.getProgramName (1), "");
}

TEST (ProcessorLifecycle, ReportsLatencyOnlyWhenItChanges)
{
    PluginProcessor processor;
    LatencyListener listener;
    processor.addListener (&listener);

    processor.prepareToPlay (44100.0, 512);
    const int latency = processor.getLatencySamples();
    EXPECT_EQ (latency, processor.getEngine().getLatencySamples());
    EXPECT_EQ (latency, 594);
    EXPECT_EQ (listener.latencyChanges, 1);

    processor.prepareToPlay (44100.0, 512);
    EXPECT_EQ (listener.latencyChanges, 1) << "an unchanged latency is not re-reported";

    // the latency does not depend on the block size, only on the rate
    processor.prepareToPlay (44100.0, 8192);
    EXPECT_EQ (processor.getLatencySamples(), latency);
    EXPECT_EQ (listener.latencyChanges, 1);

    processor.prepareToPlay (96000.0, 1024);
    EXPECT_EQ (processor.getLatencySamples(), 1275);
    EXPECT_EQ (listener.latencyChanges, 2);

    processor.removeListener (&listener);
}

TEST (ProcessorLifecycle, BlockAfterBypassStartsFromAResetEngine)
{
    PluginProcessor processor;
    processor.prepareToPlay (44100.0, 512);

    auto noise = tandrel::test::makeNoise (2, 4096);
    tandrel::test::processInBlocks (processor, noise, 512);

    // One bypassed block is shorter than the latency, so without a reset the
    // engine would still hold part of the noise.
    juce::AudioBuffer<float> bypassed (2, 512);
    bypassed.clear();
    juce::MidiBuffer midi;
    processor.processBlockBypassed (bypassed, midi);
    EXPECT_TRUE (processor.isEngineResetPending());

    juce::AudioBuffer<float> silence (2, 4096);
    silence.clear();
    tandrel::test::processInBlocks (processor, silence, 512);
    EXPECT_FALSE (processor.isEngineResetPending());
    EXPECT_EQ (peakOf (silence), 0.0f);
}

TEST (ProcessorLifecycle, EmptyBlockLeavesBufferAndEngineUntouched)
{
    PluginProcessor processor;
    processor.getModelTree().getParameter ("1- Seg Mix")->setValueNotifyingHost (0.0f);
    processor.prepareToPlay (44100.0, 512);
    const int latency = processor.getLatencySamples();

    juce::MidiBuffer midi;
    juce::AudioBuffer<float> empty (2, 0);
    processor.processBlock (empty, midi);

    auto impulse = tandrel::test::makeImpulse (2, latency + 2048, 0);
    tandrel::test::processInBlocks (processor, impulse, 512);
    EXPECT_EQ (tandrel::test::firstSampleAbove (impulse, 0.5f), latency);
}

TEST (ProcessorLifecycle, FreshEngineHoldsEveryParameterDefault)
{
    PluginProcessor processor;
    auto& engine = processor.getEngine();
    // The value texts are built from the engine's own arguments.
    for (int stage = 1; stage <= 3; ++stage)
    {
        EXPECT_TRUE (engineValueText (engine, { ParamKind::nSegs, stage }).endsWith ("31")) << stage;
        EXPECT_TRUE (engineValueText (engine, { ParamKind::segSize, stage }).contains ("11.0")) << stage;
    }
    EXPECT_TRUE (engineValueText (engine, { ParamKind::tone, -1 }).contains ("75.0"));
    EXPECT_TRUE (engineValueText (engine, { ParamKind::mode, -1 }).endsWith ("Series"));
}
