// Re-renders the committed golden files (made with tandrel-render --raw, see
// tests/fixtures/golden/regenerate.sh) through the processor, driven the way
// the tool drives it, and compares every sample bit for bit: any change of the
// engine's arithmetic shows up here. Every instruction-set path of the stage
// (scalar, SSE2, AVX2) is held to the same files.

#include "PluginProcessor.h"
#include "ParameterAccess.h"

#include "AudioCompare.h"
#include "ScopedTempDir.h"
#include "SegmentPaths.h"

#include <gtest/gtest.h>

namespace
{
const juce::File goldenFolder = juce::File (TANDREL_SOURCE_DIR).getChildFile ("tests/fixtures/golden");

struct Wav
{
    juce::AudioBuffer<float> audio;
    double sampleRate = 0.0;
};

Wav readWav (const juce::File& file)
{
    Wav wav;
    juce::WavAudioFormat format;
    std::unique_ptr<juce::AudioFormatReader> reader (format.createReaderFor (file.createInputStream().release(), true));
    if (reader == nullptr)
        return wav;
    wav.sampleRate = reader->sampleRate;
    wav.audio.setSize ((int) reader->numChannels, (int) reader->lengthInSamples);
    reader->read (&wav.audio, 0, (int) reader->lengthInSamples, 0, true, true);
    return wav;
}

/** What a host receives, block by block, without latency compensation. */
juce::AudioBuffer<float> renderRaw (PluginProcessor& processor, const Wav& input, int blockSize)
{
    const auto set = input.audio.getNumChannels() == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (set);
    layout.outputBuses.add (set);
    processor.setBusesLayout (layout);

    processor.setRateAndBufferSizeDetails (input.sampleRate, blockSize);
    processor.prepareToPlay (input.sampleRate, blockSize);

    auto audio = input.audio;
    juce::MidiBuffer midi;
    for (int start = 0; start < audio.getNumSamples(); start += blockSize)
    {
        juce::AudioBuffer<float> block (audio.getArrayOfWritePointers(), audio.getNumChannels(), start,
                                        juce::jmin (blockSize, audio.getNumSamples() - start));
        processor.processBlock (block, midi);
    }
    return audio;
}
} // namespace

TEST (EngineGolden, RendersMatchTheCommittedFilesBitForBit)
{
    struct Setting { const char* id; float value; };
    struct Case { const char* input; const char* golden; int block; std::vector<Setting> settings; };
    const Case cases[] = {
        { "input_mono.wav", "mono_defaults.wav", 512, {} },
        { "input_stereo.wav", "stereo_defaults.wav", 512, {} },
        { "input_stereo.wav", "stereo_parallel.wav", 300,
          { { "Mode", 1.0f }, { "2- Seg Mix", 60.0f }, { "3- Seg Mix", 120.0f }, { "3- N Segs", 7.0f } } },
        { "input_stereo.wav", "stereo_extreme.wav", 128,
          { { "1- Seg Size", 1.0f }, { "1- N Segs", 91.0f }, { "1- Seg Mix", 120.0f }, { "2- Seg Mix", 35.0f },
            { "2- Seg Size", 48.0f }, { "3- Seg Mix", 100.0f }, { "3- N Segs", 2.0f }, { "Tone", 0.0f } } },
    };

    for (const auto path : tandrel::test::availableSegmentPaths())
    {
        const tandrel::test::ScopedSegmentPath forced (path);
        for (const auto& c : cases)
        {
            const auto input = readWav (goldenFolder.getChildFile (c.input));
            const auto golden = readWav (goldenFolder.getChildFile (c.golden));
            ASSERT_GT (input.audio.getNumSamples(), 0) << c.input;
            ASSERT_GT (golden.audio.getNumSamples(), 0) << c.golden;

            tandrel::test::ScopedTempDir presets;
            PluginProcessor processor (presets.get());
            for (const auto& setting : c.settings)
                tandrel::test::setParameter (processor, setting.id, setting.value);

            const auto rendered = renderRaw (processor, input, c.block);
            EXPECT_TRUE (tandrel::test::bitsMatch (rendered, golden.audio)) << c.golden << " on " << tandrel::test::nameOf (path);
            EXPECT_GT (rendered.getMagnitude (0, rendered.getNumSamples()), 0.01f) << c.golden << " is not silent";
        }
    }
}
