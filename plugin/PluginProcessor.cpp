#include "PluginProcessor.h"
#include "PluginEditor.h"

PluginProcessor::BusesProperties PluginProcessor::makeBusesProperties()
{
    return BusesProperties()
        .withInput ("Input", juce::AudioChannelSet::stereo(), true)
        .withOutput ("Output", juce::AudioChannelSet::stereo(), true);
}

PluginProcessor::PluginProcessor()
    : juce::AudioProcessor (makeBusesProperties()),
      modelTree (*this, createParameterLayout())
{
    listenToAllParameters (modelTree, *this);

    for (auto& mix : savedStageMix)
        mix.store (0.75f);

    resetToDefault();
    modelTree.getUndoManager().clearUndoHistory();
}

PluginProcessor::~PluginProcessor()
{
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
    preparedBlockSize = (int) spec.maximumBlockSize;

    const int latency = engine.getLatencySamples();
    if (latency != getLatencySamples())
        setLatencySamples (latency);
}

void PluginProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    juce::ScopedNoDenormals noDenormals;

    for (int channel = getTotalNumInputChannels(); channel < getTotalNumOutputChannels(); ++channel)
        buffer.clear (channel, 0, buffer.getNumSamples());

    const juce::dsp::AudioBlock<float> block (buffer);

    if (engineResetPending.load())
        reset();

    if (block.getNumSamples() == 0 || block.getNumChannels() == 0 || preparedBlockSize <= 0)
        return;

    // A host may pass more samples than it announced; the engine's queues are
    // sized for the prepared maximum, so longer blocks run as several chunks.
    for (size_t start = 0; start < block.getNumSamples(); start += (size_t) preparedBlockSize)
    {
        const auto chunk = block.getSubBlock (start, juce::jmin ((size_t) preparedBlockSize, block.getNumSamples() - start));
        const juce::SpinLock::ScopedLockType hold (engine.getLock());
        engine.process (chunk, chunk);
    }
}

void PluginProcessor::processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    const juce::dsp::AudioBlock<float> block (buffer);

    if (block.getNumSamples() > 0 && block.getNumChannels() > 0 && preparedBlockSize > 0)
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

void PluginProcessor::getStateInformation (juce::MemoryBlock& destination)
{
    if (auto xml = modelTree.copyState().createXml())
        copyXmlToBinary (*xml, destination);
}

void PluginProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    if (auto xml = getXmlFromBinary (data, sizeInBytes))
        if (xml->hasTagName (modelTree.state.getType()))
            modelTree.replaceState (juce::ValueTree::fromXml (*xml));
}

void PluginProcessor::parameterChanged (const juce::String& parameterId, float newValue)
{
    const auto parameter = parseParameterId (parameterId);
    if (parameter.kind == ParamKind::none)
        return;

    applyParameterToEngine (engine, parameter, newValue);
}

void PluginProcessor::resetToDefault()
{
    for (const auto& id : getParameterIdsInOrder())
        if (auto* parameter = modelTree.getParameter (id))
        {
            const float value = getDefaultNormalisedValue (id);
            parameter->setValueNotifyingHost (value);
        }
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new PluginProcessor();
}
