#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace tandrel::test
{
/** Drives any processor as a host does: consecutive blocks of blockSize over
    the buffer, in place, starting at sample from. */
inline void processInBlocks (juce::AudioProcessor& processor, juce::AudioBuffer<float>& audio, int blockSize, int from = 0)
{
    juce::MidiBuffer midi;
    for (int start = from; start < audio.getNumSamples(); start += blockSize)
    {
        juce::AudioBuffer<float> block (audio.getArrayOfWritePointers(), audio.getNumChannels(), start,
                                        juce::jmin (blockSize, audio.getNumSamples() - start));
        processor.processBlock (block, midi);
    }
}

/** Asks for the same channel set on the main input and output. */
inline bool setMainLayout (juce::AudioProcessor& processor, const juce::AudioChannelSet& set)
{
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (set);
    layout.outputBuses.add (set);
    return processor.setBusesLayout (layout);
}
} // namespace tandrel::test
