#pragma once

#include "ModelTree.h"
#include "Engine.h"
#include "LabelRefreshQueue.h"
#include "ProductIdentity.h"

#include <qorv_gui/qorv_gui.h>

#include <array>
#include <atomic>

/** The object the host talks to: identity, buses, the audio callback, the
    parameter model and the plug-in state. It owns the engine and runs it in
    place on the host buffer, pushes every parameter change into the engine and
    the editor's labels, and is the preset system's loader. */
class PluginProcessor : public juce::AudioProcessor,
                        public juce::AudioProcessorValueTreeState::Listener,
                        public juce::qorv_gui::PresetManager::PresetLoader,
                        public juce::qorv_gui::UserValueUpdater
{
public:
    PluginProcessor();

    /** For tests and tools: the presets folder to use instead of the one found
        in the user data folder (an empty File means no user folder), and the
        user's settings file (an empty File: settings hold for the session only). */
    explicit PluginProcessor (const juce::File& presetsFolder, const juce::File& settingsFile = {});

    ~PluginProcessor() override;

    //==============================================================================
    const juce::String getName() const override { return ProductIdentity::name(); }
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
    /** The one program carries the plug-in's name: hosts and validators expect
        every program to have one. */
    const juce::String getProgramName (int index) override { return index == 0 ? getName() : juce::String(); }
    void changeProgramName (int, const juce::String&) override {}

    void getStateInformation (juce::MemoryBlock& destination) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    //==============================================================================
    // Plug-in state (the preset loader's operations)
    void getState (juce::MemoryBlock& destination, bool includePresetInfo) override;
    bool setState (const void* data, int size) override;
    void resetToDefault() override;

    //==============================================================================
    // Parameter propagation
    void parameterChanged (const juce::String& parameterId, float newValue) override;

    /** Message thread only, while a label updater is registered. */
    void updateValueLabel (ParamKind kind, int stage);

    /** Message thread only. A non-null updater gets every label at once. */
    void setLabelUpdater (juce::qorv_gui::LabelUpdater* updater);
    juce::qorv_gui::LabelUpdater* getLabelUpdater() const noexcept { return labelUpdater.load(); }

    void setUserValue (const juce::String& parameterId, float value) override;

    /** Switches a stage off (remembering its mix) or back on. True when the
        stage was on and is now off. */
    bool toggleStageActive (int stage);

    /** Sets a normalised value inside a host change gesture. False, and nothing
        happens, when the value equals the current one or is not a number. */
    static bool setParameterAsGesture (juce::RangedAudioParameter& parameter, float normalisedValue);

    //==============================================================================
    ModelTree& getModelTree() noexcept { return modelTree; }
    juce::qorv_gui::PresetManager& getPresetManager() noexcept { return presetManager; }
    Engine& getEngine() noexcept { return engine; }
    /** The user's settings file (SettingsFile), read by the editor. */
    const juce::File& getSettingsFile() const noexcept { return settingsFile; }
    bool isEngineResetPending() const noexcept { return engineResetPending.load(); }
    float getSavedStageMix (int stage) const noexcept;

private:
    static BusesProperties makeBusesProperties();
    static void listenToAllParameters (ModelTree& tree, juce::AudioProcessorValueTreeState::Listener& listener);

    juce::RangedAudioParameter* findParameter (ParamKind kind, int stage) const;

    /** What a listened-to id names, without building strings: parsing an id
        allocates, and automation calls in here on the audio thread. */
    ParsedParameterId lookUpParameterId (const juce::String& parameterId) const noexcept;

    /** Whether parameterChanged may wait for an argument's setter lock: on the
        message thread and inside a state operation of a host thread, never on
        any other thread, which may be the audio thread. */
    juce::qorv_dsp::SetterWaiting setterWaitingHere() const noexcept;
    class HostThreadStateOperation;

    // Declared first, so destroyed last: while the other members go, it holds
    // the message-thread lock taken by the destructor when the host destroys
    // the processor on another thread (JUCE's LV2 wrapper does), so no timer of
    // ours can fire on the message thread half-way through the destruction.
    std::unique_ptr<juce::MessageManagerLock> destructionLock;

    const juce::File settingsFile;
    ModelTree modelTree;
    std::array<std::atomic<float>, numStages> savedStageMix;
    std::array<std::pair<juce::String, ParsedParameterId>, numParameters> parsedIds;
    juce::qorv_gui::PresetManager presetManager;
    std::atomic<juce::qorv_gui::LabelUpdater*> labelUpdater { nullptr };
    LabelRefreshQueue labelRefresh { [this] (ParamKind kind, int stage) { updateValueLabel (kind, stage); } };
    Engine engine;
    std::atomic<bool> engineResetPending { false };
    // The host thread inside construction or setState (serialised by the state lock), if any.
    std::atomic<juce::Thread::ThreadID> stateOperationThread { nullptr };

    JUCE_DECLARE_WEAK_REFERENCEABLE (PluginProcessor)
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PluginProcessor)
};
