#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace tandrel::test
{
/** The render as the tool did it before it streamed: the whole input followed
    by latency samples of silence, processed in consecutive blocks from its
    start, the first latency samples dropped. The reference the streaming
    render must match bit for bit. */
inline juce::AudioBuffer<float> renderWholeBuffer (juce::AudioProcessor& processor, const juce::AudioBuffer<float>& input, double rate,
                                                   int blockSize, bool raw)
{
    processor.setRateAndBufferSizeDetails (rate, blockSize);
    processor.prepareToPlay (rate, blockSize);
    const int latency = raw ? 0 : processor.getLatencySamples();
    const int length = input.getNumSamples(), total = length + latency;

    juce::AudioBuffer<float> processed (input.getNumChannels(), total);
    processed.clear();
    for (int c = 0; c < input.getNumChannels(); ++c)
        processed.copyFrom (c, 0, input, c, 0, length);

    juce::MidiBuffer midi;
    for (int start = 0; start < total; start += blockSize)
    {
        juce::AudioBuffer<float> block (processed.getArrayOfWritePointers(), input.getNumChannels(), start, juce::jmin (blockSize, total - start));
        processor.processBlock (block, midi);
    }

    juce::AudioBuffer<float> output (input.getNumChannels(), length);
    for (int c = 0; c < input.getNumChannels(); ++c)
        output.copyFrom (c, 0, processed, c, latency, length);
    return output;
}
} // namespace tandrel::test
