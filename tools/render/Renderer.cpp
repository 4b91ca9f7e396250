#include "Renderer.h"

bool Renderer::configureLayout (juce::AudioProcessor& processor, int channels)
{
    const auto set = channels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (set);
    layout.outputBuses.add (set);
    return processor.setBusesLayout (layout);
}

juce::AudioBuffer<float> Renderer::render (juce::AudioProcessor& processor, const juce::AudioBuffer<float>& input, double sampleRate) const
{
    const int channels = input.getNumChannels();
    const int length = input.getNumSamples();

    processor.setRateAndBufferSizeDetails (sampleRate, blockSize);
    processor.prepareToPlay (sampleRate, blockSize);

    const int latency = raw ? 0 : processor.getLatencySamples();
    const int total = length + latency;

    juce::AudioBuffer<float> processed (channels, total);
    processed.clear();
    for (int c = 0; c < channels; ++c)
        processed.copyFrom (c, 0, input, c, 0, length);

    juce::MidiBuffer midi;
    for (int start = 0; start < total; start += blockSize)
    {
        const int n = juce::jmin (blockSize, total - start);
        juce::AudioBuffer<float> block (processed.getArrayOfWritePointers(), channels, start, n);
        processor.processBlock (block, midi);

        if (onProgress)
            onProgress ((double) (start + n) / total);
    }

    processor.releaseResources();

    juce::AudioBuffer<float> output (channels, length);
    for (int c = 0; c < channels; ++c)
        output.copyFrom (c, 0, processed, c, latency, length);
    return output;
}
