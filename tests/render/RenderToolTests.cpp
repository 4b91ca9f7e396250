// tandrel-render end to end: the built tool run as a child process.

#include "RenderToolRunner.h"
#include "ScopedTempDir.h"

#include <gtest/gtest.h>
#include <juce_audio_formats/juce_audio_formats.h>

namespace
{
std::unique_ptr<juce::AudioFormatReader> openWav (const juce::File& file)
{
    juce::WavAudioFormat wav;
    return std::unique_ptr<juce::AudioFormatReader> (wav.createReaderFor (file.createInputStream().release(), true));
}
} // namespace

TEST (RenderTool, DemoProducesAnAudibleFloatFileOfTheDemoLength)
{
    tandrel::test::ScopedTempDir temp;
    const auto output = temp["demo.wav"];

    const auto result = tandrel::test::runRenderTool ({ "--demo", output.getFullPathName() });
    ASSERT_EQ (result.exitCode, 0) << result.output;

    auto reader = openWav (output);
    ASSERT_NE (reader, nullptr);
    EXPECT_EQ (reader->numChannels, 2u);
    EXPECT_EQ (reader->sampleRate, 44100.0);
    EXPECT_TRUE (reader->usesFloatingPointData);
    EXPECT_EQ (reader->lengthInSamples, 6 * 44100);

    juce::Range<float> levels[2];
    reader->readMaxLevels (0, reader->lengthInSamples, levels, 2);
    EXPECT_GT (levels[0].getLength(), 0.1f);
    EXPECT_GT (levels[1].getLength(), 0.1f);
}

TEST (RenderTool, CompensatedOutputLinesUpWithTheInputAndRawDoesNot)
{
    tandrel::test::ScopedTempDir temp;
    const auto input = temp["impulse.wav"];
    {
        juce::AudioBuffer<float> impulse (1, 8000);
        impulse.clear();
        impulse.setSample (0, 100, 1.0f);
        juce::WavAudioFormat wav;
        std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (input.createOutputStream().release(), 44100.0, 1, 24, {}, 0));
        ASSERT_NE (writer, nullptr);
        writer->writeFromAudioSampleBuffer (impulse, 0, impulse.getNumSamples());
    }

    auto peakIndex = [] (const juce::File& file)
    {
        auto reader = openWav (file);
        juce::AudioBuffer<float> audio (1, (int) reader->lengthInSamples);
        reader->read (&audio, 0, audio.getNumSamples(), 0, true, false);
        for (int i = 0; i < audio.getNumSamples(); ++i)
            if (std::abs (audio.getSample (0, i)) > 0.5f)
                return i;
        return -1;
    };

    // Stage 1 muted: the output is the dry path, a pure delay.
    ASSERT_EQ (tandrel::test::runRenderTool ({ "--set", "1- Seg Mix=0", input.getFullPathName(), temp["compensated.wav"].getFullPathName() }).exitCode, 0);
    ASSERT_EQ (tandrel::test::runRenderTool ({ "--raw", "--set", "1- Seg Mix=0", input.getFullPathName(), temp["raw.wav"].getFullPathName() }).exitCode, 0);

    EXPECT_EQ (peakIndex (temp["compensated.wav"]), 100);
    EXPECT_GT (peakIndex (temp["raw.wav"]), 100);
    EXPECT_EQ (openWav (temp["raw.wav"])->lengthInSamples, 8000);
}

TEST (RenderTool, BadArgumentsExitWithCode2AndWriteNothing)
{
    tandrel::test::ScopedTempDir temp;
    temp["not-audio.wav"].replaceWithText ("this is not a WAV file");
    const auto output = temp["out.wav"];

    struct Row { juce::StringArray arguments; const char* mentions; };
    const Row rows[] = {
        { { "--demo", "--set", "9- Seg Mix=10" }, "9- Seg Mix" },
        { { "--demo", "--set", "1- Seg Mix=121" }, "0 to 120" },
        { { "--demo", "--set", "1- N Segs=abc" }, "1- N Segs" },
        // A value parses whole or not at all.
        { { "--demo", "--set", "1- Seg Mix=1-2" }, "\"1-2\" is out of range" },
        { { "--demo", "--set", "1- Seg Mix=e" }, "\"e\" is out of range" },
        { { "--demo", "--set", "1- Seg Mix=1.2.3" }, "\"1.2.3\" is out of range" },
        { { "--demo", "--set", "Tone=inf" }, "\"inf\" is out of range" },
        { { "--demo", "--set", "Tone=0x10" }, "\"0x10\" is out of range" },
        { { "--demo", "--set", "1- N Segs=2.5" }, "expected whole numbers 2 to 91" },
        { { "--demo", "--set", "Mode=Diagonal" }, "Mode" },
        { { "--demo", "--block", "0" }, "--block" },
        { { "--demo", "--frobnicate" }, "--frobnicate" },
        { { temp["missing.wav"].getFullPathName() }, "missing.wav" },
        { { temp["not-audio.wav"].getFullPathName() }, "not-audio.wav" },
    };

    for (const auto& row : rows)
    {
        auto arguments = row.arguments;
        arguments.add (output.getFullPathName());
        const auto result = tandrel::test::runRenderTool (arguments);
        EXPECT_EQ (result.exitCode, 2) << arguments.joinIntoString (" ");
        EXPECT_TRUE (result.output.contains (row.mentions)) << result.output;
        EXPECT_FALSE (output.exists()) << arguments.joinIntoString (" ");
    }
}

TEST (RenderTool, SetsParametersByNameOrIndex)
{
    tandrel::test::ScopedTempDir temp;
    for (const auto* mode : { "Mode=Parallel", "Mode=1", "Mode=Series" })
        EXPECT_EQ (tandrel::test::runRenderTool ({ "--demo", "--set", mode, temp["out.wav"].getFullPathName() }).exitCode, 0) << mode;

    // Every way of writing a number a user may type.
    for (const auto* value : { "Tone=40", "Tone=+40", "Tone=40.", "Tone=.5", "Tone=4e1", "Tone= 40 ", "1- N Segs=7.0" })
        EXPECT_EQ (tandrel::test::runRenderTool ({ "--demo", "--set", value, temp["out.wav"].getFullPathName() }).exitCode, 0) << value;
}
