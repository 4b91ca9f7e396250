#include "Renderer.h"

bool Renderer::configureLayout (juce::AudioProcessor& processor, int channels)
{
    const auto set = channels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (set);
    layout.outputBuses.add (set);
    return processor.setBusesLayout (layout);
}

bool Renderer::render (juce::AudioProcessor& processor, AudioBlockSource& input, AudioBlockSink& output, juce::String& error) const
{
    const int channels = input.getNumChannels();
    const double sampleRate = input.getSampleRate();

    processor.setRateAndBufferSizeDetails (sampleRate, blockSize);
    processor.prepareToPlay (sampleRate, blockSize);

    const juce::int64 latency = raw ? 0 : processor.getLatencySamples();

    juce::AudioBuffer<float> block (channels, blockSize);
    juce::MidiBuffer midi;
    std::optional<juce::int64> inputLength; // known once the source has ended
    juce::int64 consumed = 0, start = 0, written = 0;
    bool ok = true;

    for (;;)
    {
        int got = 0;
        if (! inputLength)
        {
            got = input.read (block, blockSize, error);
            if (got < 0)
            {
                ok = false;
                break;
            }
            consumed += got;
            if (got < blockSize)
                inputLength = consumed;
        }
        block.clear (got, blockSize - got);

        // While input keeps coming the block is full; after its end the last
        // block stops where the silence after it does.
        int n = blockSize;
        if (inputLength)
        {
            const auto total = *inputLength + latency;
            if (start >= total)
                break;
            n = (int) juce::jmin ((juce::int64) blockSize, total - start);
        }

        juce::AudioBuffer<float> view (block.getArrayOfWritePointers(), channels, 0, n);
        processor.processBlock (view, midi);

        const int skip = (int) juce::jlimit ((juce::int64) 0, (juce::int64) n, latency - start);
        if (n > skip)
        {
            if (! output.write (view, skip, n - skip, error))
            {
                ok = false;
                break;
            }
            written += n - skip;
            if (onProgress)
                onProgress (written);
        }
        start += n;
    }

    processor.releaseResources();
    return ok;
}

juce::AudioBuffer<float> Renderer::render (juce::AudioProcessor& processor, const juce::AudioBuffer<float>& input, double sampleRate) const
{
    BufferSource source (input, sampleRate);
    BufferSink sink (input.getNumChannels());
    juce::String error;
    render (processor, source, sink, error);
    return sink.getAudio();
}
