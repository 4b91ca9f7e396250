#pragma once

#include "ModelTree.h"
#include "Engine.h"

#include <qorv_gui/qorv_gui.h>

#include <array>
#include <atomic>

/** The object the host talks to: identity, buses, the audio callback and the
    parameter model. It owns the engine and runs it in place on the host buffer. */
class PluginProcessor : public juce::AudioProcessor,
                        public juce::AudioProcessorValueTreeState::Listener
{
public:
    PluginProcessor();
    ~PluginProcessor() override;

    //==============================================================================
    const juce::String getName() const override { return "Tandrel_v1-1"; }
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    void prepareToPlay (double sampleRate, int maximumBlockSize) override;
    void releaseResources() override {}
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    void processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    using juce::AudioProcessor::processBlock;
    using juce::AudioProcessor::processBlockBypassed;
    void reset() override;

    double getTailLengthSeconds() const override { return 0.0; }
    bool acceptsMidi() const override { return false; }
    bool producesMidi() const override { return false; }

    bool hasEditor() const override { return true; }
    juce::AudioProcessorEditor* createEditor() override;

    int getNumPrograms() override { return 1; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram (int) override {}
    const juce::String getProgramName (int) override { return {}; }
    void changeProgramName (int, const juce::String&) override {}

    void getStateInformation (juce::MemoryBlock& destination) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    //==============================================================================
    void parameterChanged (const juce::String& parameterId, float newValue) override;

    ModelTree& getModelTree() noexcept { return modelTree; }
    Engine& getEngine() noexcept { return engine; }
    bool isEngineResetPending() const noexcept { return engineResetPending.load(); }

private:
    static BusesProperties makeBusesProperties();
    static void listenToAllParameters (ModelTree& tree, juce::AudioProcessorValueTreeState::Listener& listener);
    void resetToDefault();

    ModelTree modelTree;
    std::array<std::atomic<float>, numStages> savedStageMix;
    juce::qorv_gui::LabelUpdater* labelUpdater = nullptr;
    Engine engine;
    std::atomic<bool> engineResetPending { false };
    int preparedBlockSize = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PluginProcessor)
};
