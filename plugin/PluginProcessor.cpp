#include "PluginProcessor.h"
#include "PluginEditor.h"
#include "FactoryBank.h"
#include "NonAudioSamples.h"
#include "SettingsFile.h"
#include "StateBlob.h"

namespace
{
const juce::Identifier companyNameProperty { "CompanyName" };
const juce::Identifier productNameProperty { "ProductNameWithoutVersion" };
const juce::Identifier productVersionProperty { "ProductVersion" };
const juce::Identifier parameterValueProperty { "value" };
} // namespace

/** Marks a state operation running on a thread other than the message thread,
    which is then known not to be the audio thread: its setters may wait. */
class PluginProcessor::HostThreadStateOperation
{
public:
    explicit HostThreadStateOperation (PluginProcessor& processorToMark)
        : processor (processorToMark),
          previous (processor.stateOperationThread.load()),
          marks (! juce::qorv_gui::isMessageThread())
    {
        if (marks)
            processor.stateOperationThread.store (juce::Thread::getCurrentThreadId());
    }

    ~HostThreadStateOperation()
    {
        if (marks)
            processor.stateOperationThread.store (previous);
    }

private:
    PluginProcessor& processor;
    const juce::Thread::ThreadID previous;
    const bool marks;

    JUCE_DECLARE_NON_COPYABLE (HostThreadStateOperation)
};

PluginProcessor::BusesProperties PluginProcessor::makeBusesProperties()
{
    return BusesProperties()
        .withInput ("Input", juce::AudioChannelSet::stereo(), true)
        .withOutput ("Output", juce::AudioChannelSet::stereo(), true);
}

PluginProcessor::PluginProcessor()
    : PluginProcessor (juce::qorv_gui::DataFolder::findPresetsFolder (ProductIdentity::vendor(), ProductIdentity::name()),
                       SettingsFile::defaultLocation())
{
}

PluginProcessor::PluginProcessor (const juce::File& presetsFolder, const juce::File& settingsFileToUse)
    : juce::AudioProcessor (makeBusesProperties()),
      juce::qorv_gui::PresetManager::PresetLoader(),
      settingsFile (settingsFileToUse),
      modelTree (*this, createParameterLayout()),
      presetManager (*this, ProductIdentity::code, presetsFolder)
{
    // The loader base is built before the model tree exists; it records preset
    // loads in the tree's own history.
    undoManager = &modelTree.getUndoManager();

    const HostThreadStateOperation constructing (*this);

    // Create the weak-reference master here, on the constructing thread: a
    // host thread applying a state later only copies it.
    const juce::WeakReference<PluginProcessor> self (this);
    juce::ignoreUnused (self);

    for (int i = 0; i < numParameters; ++i)
    {
        const auto& id = getParameterIdsInOrder()[i];
        parsedIds[(size_t) i] = { id, parseParameterId (id) };
    }

    listenToAllParameters (modelTree, *this);

    for (auto& mix : savedStageMix)
        mix.store (0.75f);

    registerFactoryBank (presetManager);
    if (presetsFolder.isDirectory())
        presetManager.setUserFolder (presetsFolder); // finds the record of the first scan

    resetToDefault();

    // The state object only notifies a value that differs from the last one it
    // saw, and it saw every default while it was being built, before this
    // processor listened. Values that land exactly on their default (N Segs 31,
    // Tone 75) would then never reach the engine, which starts from its own
    // defaults: push every current value once.
    for (const auto& id : getParameterIdsInOrder())
        if (const auto* value = modelTree.getRawParameterValue (id))
            applyParameterToEngine (engine, parseParameterId (id), value->load());

    modelTree.getUndoManager().clearUndoHistory();
}

PluginProcessor::~PluginProcessor()
{
    if (auto* messageManager = juce::MessageManager::getInstanceWithoutCreating())
        if (! messageManager->isThisTheMessageThread())
            destructionLock = std::make_unique<juce::MessageManagerLock>();

    // Refreshes still queued for the message thread find no processor.
    masterReference.clear();
    labelRefresh.stop();

    for (const auto& id : getParameterIdsInOrder())
        modelTree.removeParameterListener (id, this);
}

void PluginProcessor::listenToAllParameters (ModelTree& tree, juce::AudioProcessorValueTreeState::Listener& listener)
{
    for (const auto& id : getParameterIdsInOrder())
        tree.addParameterListener (id, &listener);
}

bool PluginProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto& output = layouts.getMainOutputChannelSet();
    if (output != juce::AudioChannelSet::mono() && output != juce::AudioChannelSet::stereo())
        return false;
    return layouts.getMainInputChannelSet() == output;
}

void PluginProcessor::prepareToPlay (double sampleRate, int maximumBlockSize)
{
    const juce::dsp::ProcessSpec spec { sampleRate, (juce::uint32) juce::jmax (1, maximumBlockSize),
                                        (juce::uint32) getTotalNumInputChannels() };
    engine.prepareLocked (spec);

    const int latency = engine.getLatencySamples();
    if (latency != getLatencySamples())
        setLatencySamples (latency);
}

void PluginProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    juce::ScopedNoDenormals noDenormals;

    for (int channel = getTotalNumInputChannels(); channel < getTotalNumOutputChannels(); ++channel)
        buffer.clear (channel, 0, buffer.getNumSamples());

    silenceNonAudioSamples (buffer, getTotalNumInputChannels());

    const juce::dsp::AudioBlock<float> block (buffer);

    if (engineResetPending.load())
        reset();

    if (block.getNumSamples() == 0 || block.getNumChannels() == 0)
        return;

    // A host may pass more samples than it announced: the engine runs such a
    // block as several of the prepared size, in this path and the bypassed one.
    const juce::SpinLock::ScopedLockType hold (engine.getLock());
    engine.process (block, block);
}

void PluginProcessor::processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    silenceNonAudioSamples (buffer, getTotalNumInputChannels());

    const juce::dsp::AudioBlock<float> block (buffer);

    if (block.getNumSamples() > 0 && block.getNumChannels() > 0)
    {
        const juce::SpinLock::ScopedLockType hold (engine.getLock());
        engine.processBypassed (block, block);
    }

    engineResetPending.store (true);
}

void PluginProcessor::reset()
{
    engine.resetLocked();
    engineResetPending.store (false);
}

juce::AudioProcessorEditor* PluginProcessor::createEditor()
{
    return new PluginEditor (*this);
}

//==============================================================================
void PluginProcessor::getStateInformation (juce::MemoryBlock& destination)
{
    // Host threads: never in the middle of a preset operation on the message thread.
    const juce::ScopedLock hold (getStateLock());
    getState (destination, true);
}

void PluginProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    const juce::ScopedLock hold (getStateLock());
    setState (data, sizeInBytes);
}

void PluginProcessor::getState (juce::MemoryBlock& destination, bool includePresetInfo)
{
    auto copy = modelTree.copyState();

    copy.setProperty (companyNameProperty, ProductIdentity::vendor(), nullptr);
    copy.setProperty (productNameProperty, ProductIdentity::nameWithoutVersion(), nullptr);
    copy.setProperty (productVersionProperty, ProductIdentity::version(), nullptr);

    if (includePresetInfo)
    {
        presetManager.writePresetInfo (copy);
    }
    else
    {
        // The live tree may still carry the reference of an earlier blob; a
        // preset file must not inherit it.
        copy.removeProperty (juce::qorv_gui::PresetManager::loadedPresetProperty, nullptr);
        copy.removeProperty (juce::qorv_gui::PresetManager::loadedPresetModifiedProperty, nullptr);
    }

    destination.reset();
    if (auto xml = copy.createXml())
        copyXmlToBinary (*xml, destination);
}

bool PluginProcessor::setState (const void* data, int size)
{
    const HostThreadStateOperation restoring (*this);
    auto xml = StateBlob::parse (data, size);
    if (xml == nullptr || ! xml->getTagName().equalsIgnoreCase (ModelTree::treeType.toString()))
        return false;

    // Accepted in any letter case, kept under the tree's own type so that the
    // next blob is written canonically.
    xml->setTagName (ModelTree::treeType);
    const auto newTree = juce::ValueTree::fromXml (*xml);
    if (! newTree.isValid())
        return false;

    // "nan" parses as a number and would slip past the parameters' range
    // clamping into the engine; no state of ours stores such a value.
    for (const auto& child : newTree)
        if (child.hasProperty (parameterValueProperty) && ! std::isfinite ((double) child.getProperty (parameterValueProperty)))
            return false;

    if (juce::MessageManager::existsAndIsCurrentThread() || juce::MessageManager::getInstanceWithoutCreating() == nullptr)
    {
        replaceModelState (modelTree, newTree);
    }
    else
    {
        // A host thread. Every message-thread step that runs inside the undo
        // history (undo, redo, preset loads) holds the state lock, so none can be
        // running while this thread holds it, and the value-tree state's own lock
        // keeps its flush timer out while the tree is swapped and the history cleared.
        const juce::ScopedLock sl (getStateLock());
        modelTree.replaceState (newTree);
    }

    const auto reference = newTree.getProperty (juce::qorv_gui::PresetManager::loadedPresetProperty).toString();
    if (reference.isNotEmpty())
        presetManager.restorePresetInfo (reference, (bool) newTree.getProperty (juce::qorv_gui::PresetManager::loadedPresetModifiedProperty, false));

    return true;
}

void PluginProcessor::resetToDefault()
{
    const HostThreadStateOperation resetting (*this);
    for (const auto& id : getParameterIdsInOrder())
        if (auto* parameter = modelTree.getParameter (id))
            parameter->setValueNotifyingHost (getDefaultNormalisedValue (id));

    clearModified();
}

//==============================================================================
ParsedParameterId PluginProcessor::lookUpParameterId (const juce::String& parameterId) const noexcept
{
    for (const auto& [id, parsed] : parsedIds)
        if (id == parameterId)
            return parsed;
    return {};
}

void PluginProcessor::parameterChanged (const juce::String& parameterId, float newValue)
{
    const auto parameter = lookUpParameterId (parameterId);
    if (parameter.kind == ParamKind::none)
        return;

    applyParameterToEngine (engine, parameter, newValue, setterWaitingHere());
    markModified();

    if (labelUpdater.load() == nullptr)
        return;

    if (juce::qorv_gui::isMessageThread())
    {
        updateValueLabel (parameter.kind, parameter.stage);
        return;
    }

    // Any other thread (automation on the audio thread): no text is built and
    // nothing is posted here, as both allocate; the message thread's refresh
    // timer picks the label up, and stops with the editor or the processor.
    labelRefresh.request (parameter);
}

juce::qorv_dsp::SetterWaiting PluginProcessor::setterWaitingHere() const noexcept
{
    // Host automation arrives on the audio thread; nothing marks it as such,
    // so every thread not known to be another one is treated as it.
    if (juce::qorv_gui::isMessageThread() || stateOperationThread.load() == juce::Thread::getCurrentThreadId())
        return juce::qorv_dsp::SetterWaiting::allowed;
    return juce::qorv_dsp::SetterWaiting::never;
}

void PluginProcessor::updateValueLabel (ParamKind kind, int stage)
{
    auto* updater = labelUpdater.load();
    if (updater == nullptr)
        return;

    juce::String text;
    switch (kind)
    {
        case ParamKind::nSegs:
        case ParamKind::segSize:
        case ParamKind::segMix:
        case ParamKind::mode:
            text = engineValueText (engine, { kind, stage });
            break;
        case ParamKind::tone:
            // All three tone filters hold the same value; stage 1 speaks for them.
            text = engineValueText (engine, { kind, 1 });
            break;
        case ParamKind::none:
            break;
    }

    updater->updateLabel (text, (int) kind, stage);
}

void PluginProcessor::setLabelUpdater (juce::qorv_gui::LabelUpdater* updater)
{
    labelUpdater.store (updater);
    if (updater == nullptr)
    {
        labelRefresh.stop();
        return;
    }

    labelRefresh.start();

    // The mode, then each stage's own parameters and the tone, in table order.
    updateValueLabel (ParamKind::mode, -1);
    for (int stage = 1; stage <= numStages; ++stage)
    {
        for (const auto& row : parameterTable)
            if (row.perStage)
                updateValueLabel (row.kind, stage);
        updateValueLabel (ParamKind::tone, stage);
    }
}

void PluginProcessor::setUserValue (const juce::String& parameterId, float x)
{
    const auto parsed = parseParameterId (parameterId);
    auto* parameter = modelTree.getParameter (parameterId);

    if (parsed.kind == ParamKind::none || parameter == nullptr)
    {
        updateValueLabel (parsed.kind, parsed.stage);
        return;
    }

    // The parameter's own conversion (after its snapping to the step) decides
    // whether anything changes: a value that maps onto the normalised value the
    // parameter already holds is no edit, so the host sees no gesture and no
    // write. A formula of our own can differ from it by an ulp.
    if (parsed.kind == ParamKind::mode)
    {
        // The toggle passes 0 or 1; anything else is kept inside the choices.
        if (! std::isnan (x))
            if (const auto position = parameter->convertTo0to1 (std::trunc (x)); position != parameter->getValue())
                parameter->setValueNotifyingHost (position);
        return;
    }

    // A NaN fails both comparisons and counts as outside the range.
    if (getParameterRow (parsed.kind).accepts (x) && setParameterAsGesture (*parameter, parameter->convertTo0to1 (x)))
        return; // parameterChanged refreshes the label

    // Rejected, or the same step as now: show the current value again instead
    // of what was typed.
    updateValueLabel (parsed.kind, parsed.stage);
}

bool PluginProcessor::toggleStageActive (int stage)
{
    if (stage < 1 || stage > numStages)
        return false;

    auto* parameter = findParameter (ParamKind::segMix, stage);
    if (parameter == nullptr)
        return false;

    auto& saved = savedStageMix[(size_t) (stage - 1)];
    const float mix = parameter->getValue();

    if (mix > 0.0f)
    {
        saved.store (mix);
        setParameterAsGesture (*parameter, 0.0f);
        return true;
    }

    setParameterAsGesture (*parameter, saved.load());
    return false;
}

bool PluginProcessor::setParameterAsGesture (juce::RangedAudioParameter& parameter, float normalisedValue)
{
    if (std::isnan (normalisedValue) || normalisedValue == parameter.getValue())
        return false;

    parameter.beginChangeGesture();
    parameter.setValueNotifyingHost (normalisedValue);
    parameter.endChangeGesture();
    return true;
}

float PluginProcessor::getSavedStageMix (int stage) const noexcept
{
    return stage >= 1 && stage <= numStages ? savedStageMix[(size_t) (stage - 1)].load() : 0.0f;
}

juce::RangedAudioParameter* PluginProcessor::findParameter (ParamKind kind, int stage) const
{
    return modelTree.getParameter (makeParameterId (kind, stage));
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new PluginProcessor();
}
