// tandrel-render on pipes, end to end: WAV streams on standard input and
// output, a 30-minute stream in flat memory, formats, interrupts.

#include "AudioCompare.h"
#include "DecodedWav.h"
#include "PipedProcess.h"
#include "PresetOption.h"
#include "Renderer.h"
#include "RenderToolRunner.h"
#include "ScopedTempDir.h"
#include "Signals.h"
#include "WavStreamReader.h"
#include "WholeBufferRender.h"

#include "PluginProcessor.h"

#include <gtest/gtest.h>
#include <juce_audio_formats/juce_audio_formats.h>

namespace
{
const juce::String tool = tandrel::test::renderToolPath();

/** A stereo 16-bit stream made up as it is sent: a few tones and a ramp, never
    held whole. The header's lengths say "unknown", as a pipe's do. */
class GeneratedStream
{
public:
    static constexpr double rate = 44100.0;

    static juce::MemoryBlock header()
    {
        juce::MemoryOutputStream out;
        out.write ("RIFF", 4);
        out.writeInt (-1);
        out.write ("WAVEfmt ", 8);
        out.writeInt (16);
        out.writeShort (1);
        out.writeShort (2);
        out.writeInt ((int) rate);
        out.writeInt ((int) rate * 4);
        out.writeShort (4);
        out.writeShort (16);
        out.write ("data", 4);
        out.writeInt (-1);
        return out.getMemoryBlock();
    }

    /** Frame i's two samples. */
    static void frame (juce::int64 i, juce::int16& left, juce::int16& right)
    {
        left = (juce::int16) (((i * 7919) % 20000) - 10000);
        right = (juce::int16) (8000.0 * std::sin ((double) i * 0.031) + (double) ((i / 37) % 64));
    }

    /** Sends frames [0, count) to the process in chunks. */
    static bool send (tandrel::test::PipedProcess& process, juce::int64 count)
    {
        const auto head = header();
        if (! process.write (head.getData(), head.getSize()))
            return false;
        std::vector<juce::int16> chunk;
        for (juce::int64 at = 0; at < count;)
        {
            const auto n = juce::jmin ((juce::int64) 65536, count - at);
            chunk.resize ((size_t) n * 2);
            for (juce::int64 k = 0; k < n; ++k)
                frame (at + k, chunk[(size_t) k * 2], chunk[(size_t) k * 2 + 1]);
            if (! process.write (chunk.data(), chunk.size() * sizeof (juce::int16)))
                return false;
            at += n;
        }
        return true;
    }

    static juce::AudioBuffer<float> asBuffer (int count)
    {
        juce::AudioBuffer<float> audio (2, count);
        for (int i = 0; i < count; ++i)
        {
            juce::int16 l, r;
            frame (i, l, r);
            audio.setSample (0, i, l / 32768.0f);
            audio.setSample (1, i, r / 32768.0f);
        }
        return audio;
    }
};

tandrel::test::DecodedWav decode (const std::string& bytes) { return tandrel::test::decodeWav (juce::MemoryBlock (bytes.data(), bytes.size())); }
tandrel::test::DecodedWav decode (const juce::File& file) { return tandrel::test::decodeWav (file.createInputStream()); }

/** Runs the tool with the given arguments, the generated stream of count frames
    on its standard input, and collects its standard output. */
struct PipeRun
{
    tandrel::test::PipedProcess::Result result;
    std::string output;
    juce::int64 outputBytes = 0;
};

PipeRun renderGenerated (juce::StringArray arguments, juce::int64 count, bool keepOutput)
{
    PipeRun run;
    arguments.insert (0, tool);
    tandrel::test::PipedProcess process (arguments, [&] (const char* data, size_t n)
                                         {
                                             run.outputBytes += (juce::int64) n;
                                             if (keepOutput)
                                                 run.output.append (data, n);
                                         });
    EXPECT_TRUE (process.started());
    EXPECT_TRUE (GeneratedStream::send (process, count));
    run.result = process.wait();
    return run;
}

juce::File writeInputFile (const juce::File& file, const juce::AudioBuffer<float>& audio, int bits)
{
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (file.createOutputStream().release(), 44100.0,
                                                                           (unsigned int) audio.getNumChannels(), bits, {}, 0));
    EXPECT_NE (writer, nullptr);
    writer->writeFromAudioSampleBuffer (audio, 0, audio.getNumSamples());
    return file;
}
} // namespace

TEST (RenderPipes, ThirtyMinuteStreamRendersInFlatMemory)
{
    // Peak resident memory of the whole tool process (plug-in, JUCE and
    // buffers). Holding a 30-minute stereo input as floats alone would take
    // 635 MB; the streaming render measured about 10 MB here.
    constexpr long boundKb = 64 * 1024;
    const auto minutes30 = (juce::int64) (30 * 60 * GeneratedStream::rate);
    const auto seconds10 = (juce::int64) (10 * GeneratedStream::rate);

    const auto longRun = renderGenerated ({ "-", "-" }, minutes30, false);
    ASSERT_EQ (longRun.result.exitCode, 0) << longRun.result.errors;
    EXPECT_EQ (longRun.outputBytes, 80 + minutes30 * 4); // s16 like the input, header then data

    const auto shortRun = renderGenerated ({ "-", "-" }, seconds10, false);
    ASSERT_EQ (shortRun.result.exitCode, 0) << shortRun.result.errors;

    // Memory does not grow with the length: 180 times the audio, the same peak.
    EXPECT_LT (longRun.result.peakRssKb - shortRun.result.peakRssKb, 4 * 1024)
        << "30 minutes: " << longRun.result.peakRssKb << " KB, 10 seconds: " << shortRun.result.peakRssKb << " KB";
#if ! defined(__SANITIZE_ADDRESS__) && ! defined(__SANITIZE_THREAD__)
    EXPECT_LT (longRun.result.peakRssKb, boundKb) << "peak " << longRun.result.peakRssKb << " KB";
#else
    juce::ignoreUnused (boundKb); // sanitizers add their own shadow memory
#endif
    std::cout << "[ peak RSS ] 30 minutes: " << longRun.result.peakRssKb << " KB, 10 seconds: " << shortRun.result.peakRssKb << " KB\n";
}

TEST (RenderPipes, StreamedOutputEqualsTheInMemoryRenderBitForBit)
{
    const int frames = (int) (20 * GeneratedStream::rate) + 123;
    const struct
    {
        juce::StringArray arguments;
        const char* preset;
        int blockSize;
    } rows[] = {
        { { "--format", "f32", "-", "-" }, "", 512 },
        { { "--format", "f32", "--preset", "Twinkle", "--block", "1000", "-", "-" }, "Twinkle", 1000 },
    };

    const auto input = GeneratedStream::asBuffer (frames);
    for (const auto& row : rows)
    {
        const auto run = renderGenerated (row.arguments, frames, true);
        ASSERT_EQ (run.result.exitCode, 0) << run.result.errors;

        const auto streamed = decode (run.output);
        ASSERT_TRUE (streamed.ok) << streamed.error;
        EXPECT_EQ (streamed.format.sample, SampleFormat::f32);
        // Standard output carries the WAV stream and nothing else: the
        // input's length was unknown, so the header says so too.
        EXPECT_FALSE (streamed.declared.has_value());
        EXPECT_EQ ((juce::int64) run.output.size(), 82 + (juce::int64) frames * 8);

        PluginProcessor processor { juce::File() };
        ASSERT_TRUE (Renderer::configureLayout (processor, 2));
        if (juce::String (row.preset).isNotEmpty())
        {
            ASSERT_EQ (applyPresetOption (processor, row.preset), "");
        }
        const auto expected = tandrel::test::renderWholeBuffer (processor, input, GeneratedStream::rate, row.blockSize, false);
        EXPECT_TRUE (tandrel::test::bitsMatch (streamed.audio, expected)) << row.arguments.joinIntoString (" ");
    }
}

TEST (RenderPipes, FileAndPipeGiveTheSameAudioAndTheFormatFollowsTheInput)
{
    tandrel::test::ScopedTempDir temp;
    const auto audio = tandrel::test::makeNoise (2, 30000, 5);

    const struct
    {
        int inputBits;
        juce::StringArray options;
        SampleFormat expected;
    } rows[] = {
        { 16, {}, SampleFormat::s16 },
        { 24, {}, SampleFormat::s24 },
        { 32, {}, SampleFormat::f32 },
        { 24, { "--format", "s16", "--no-dither" }, SampleFormat::s16 },
        { 16, { "--format", "f32" }, SampleFormat::f32 },
        { 32, { "--format", "s24" }, SampleFormat::s24 },
    };

    for (const auto& row : rows)
    {
        const auto label = juce::String (row.inputBits) + " bits " + row.options.joinIntoString (" ");
        const auto input = writeInputFile (temp["in" + juce::String (row.inputBits) + ".wav"], audio, row.inputBits);
        const auto output = temp["out.wav"];

        auto arguments = row.options;
        arguments.add (input.getFullPathName());
        arguments.add (output.getFullPathName());
        const auto toFile = tandrel::test::runRenderTool (arguments);
        ASSERT_EQ (toFile.exitCode, 0) << toFile.output;

        // The same render with the file on standard input and the WAV on standard output.
        std::string piped;
        auto pipedArguments = row.options;
        pipedArguments.insert (0, tool);
        pipedArguments.add ("-");
        pipedArguments.add ("-");
        tandrel::test::PipedProcess process (pipedArguments, [&] (const char* data, size_t n) { piped.append (data, n); });
        juce::MemoryBlock bytes;
        ASSERT_TRUE (input.loadFileAsData (bytes));
        // The tool stops reading at the end of the audio data; chunks after it may stay unread.
        process.write (bytes.getData(), bytes.getSize());
        const auto result = process.wait();
        ASSERT_EQ (result.exitCode, 0) << result.errors;

        const auto fromFile = decode (output);
        const auto fromPipe = decode (piped);
        ASSERT_TRUE (fromFile.ok && fromPipe.ok) << label;
        EXPECT_EQ (fromFile.format.sample, row.expected) << label;
        EXPECT_EQ (fromPipe.format.sample, row.expected) << label;
        EXPECT_EQ (fromFile.declared, 30000) << label;
        EXPECT_TRUE (tandrel::test::bitsMatch (fromPipe.audio, fromFile.audio)) << label;

        // An independent reader agrees on what the file holds.
        juce::WavAudioFormat wav;
        std::unique_ptr<juce::AudioFormatReader> reader (wav.createReaderFor (output.createInputStream().release(), true));
        ASSERT_NE (reader, nullptr) << label;
        EXPECT_EQ (reader->bitsPerSample, (unsigned int) (8 * bytesPerSample (row.expected))) << label;
        EXPECT_EQ (reader->lengthInSamples, 30000) << label;
        juce::AudioBuffer<float> juceRead (2, 30000);
        reader->read (&juceRead, 0, 30000, 0, true, true);
        EXPECT_TRUE (tandrel::test::bitsMatch (juceRead, fromFile.audio)) << label;
    }
}

TEST (RenderPipes, SixteenBitOutputIsDitheredUnlessAskedNotAndClippingIsReported)
{
    tandrel::test::ScopedTempDir temp;
    // A quiet sine: without dither it keeps to the 16-bit grid the same way each time.
    juce::AudioBuffer<float> quiet (1, 20000);
    for (int i = 0; i < 20000; ++i)
        quiet.setSample (0, i, 0.001f * std::sin (0.01f * (float) i));
    const auto input = writeInputFile (temp["quiet.wav"], quiet, 32);

    auto render = [&] (juce::StringArray options, const juce::String& name)
    {
        options.addArray (juce::StringArray { "--set", "1- Seg Mix=0", input.getFullPathName(), temp[name].getFullPathName() });
        const auto result = tandrel::test::runRenderTool (options);
        EXPECT_EQ (result.exitCode, 0) << result.output;
        return std::make_pair (decode (temp[name]), result.output);
    };

    const auto [f32, f32Text] = render ({}, "f32.wav");
    const auto [dithered, ditheredText] = render ({ "--format", "s16" }, "dithered.wav");
    const auto [plain, plainText] = render ({ "--format", "s16", "--no-dither" }, "plain.wav");

    int differing = 0;
    for (int i = 0; i < 20000; ++i)
    {
        const float exact = f32.audio.getSample (0, i) * 32768;
        EXPECT_EQ (plain.audio.getSample (0, i) * 32768, std::floor (exact + 0.5f)) << i;
        EXPECT_LE (std::abs (dithered.audio.getSample (0, i) * 32768 - exact), 1.5f) << i;
        differing += dithered.audio.getSample (0, i) != plain.audio.getSample (0, i);
    }
    EXPECT_GT (differing, 2000);
    EXPECT_TRUE (ditheredText.contains ("s16 dithered")) << ditheredText;
    EXPECT_FALSE (plainText.contains ("dithered")) << plainText;

    // Full-scale noise at +6 dB does not fit 16 bits: the tool says how much was clipped.
    auto loud = tandrel::test::makeNoise (1, 5000, 9);
    loud.applyGain (2.0f);
    const auto loudInput = writeInputFile (temp["loud.wav"], loud, 32);
    const auto clipped = tandrel::test::runRenderTool (juce::StringArray { "--format", "s16", "--set", "1- Seg Mix=0", loudInput.getFullPathName(),
                                                         temp["clipped.wav"].getFullPathName() });
    EXPECT_EQ (clipped.exitCode, 0) << clipped.output;
    EXPECT_TRUE (clipped.output.contains ("samples clipped at s16")) << clipped.output;
    const auto kept = tandrel::test::runRenderTool (juce::StringArray { "--set", "1- Seg Mix=0", loudInput.getFullPathName(), temp["kept.wav"].getFullPathName() });
    EXPECT_FALSE (kept.output.contains ("clipped")) << kept.output;
}

TEST (RenderPipes, AnInterruptedRenderLeavesNoFileBehind)
{
    for (int signalNumber : { SIGINT, SIGTERM })
    {
        tandrel::test::ScopedTempDir temp;
        const auto output = temp["out.wav"];
        tandrel::test::PipedProcess process ({ tool, "-", output.getFullPathName() });
        const auto head = GeneratedStream::header();
        ASSERT_TRUE (process.write (head.getData(), head.getSize()));
        std::vector<char> silence (44100 * 4);
        ASSERT_TRUE (process.write (silence.data(), silence.size()));

        // The render is under way, waiting for more input, when the signal comes.
        auto files = [&] { return temp.get().findChildFiles (juce::File::findFiles, false, "*"); };
        for (int i = 0; i < 500 && files().isEmpty(); ++i)
            juce::Thread::sleep (10);
        ASSERT_EQ (files().size(), 1);
        EXPECT_TRUE (files()[0].getFileName().endsWith (".part")) << files()[0].getFileName();

        kill (process.getPid(), signalNumber);
        const auto result = process.waitWithInputOpen();
        EXPECT_EQ (result.signal, signalNumber) << result.errors;
        EXPECT_TRUE (juce::String (result.errors).contains ("interrupted")) << result.errors;
        EXPECT_TRUE (files().isEmpty()) << files()[0].getFullPathName();
    }
}

TEST (RenderPipes, RefusedRendersWriteNothing)
{
    tandrel::test::ScopedTempDir temp;
    const auto input = writeInputFile (temp["in.wav"], tandrel::test::makeNoise (2, 1000), 24);
    juce::MemoryBlock wav;
    ASSERT_TRUE (input.loadFileAsData (wav));

    const struct
    {
        juce::StringArray arguments;
        juce::MemoryBlock standardInput;
        const char* mentions;
    } rows[] = {
        { { "--format", "s8", input.getFullPathName(), "OUT" }, {}, "--format" },
        { { "--jobs", "2", input.getFullPathName(), "OUT" }, {}, "--jobs" },
        { { "--user-presets", input.getFullPathName(), "OUT" }, {}, "--user-presets" },
        { { "-", "OUT" }, juce::MemoryBlock ("RIFF....WAVEjunk", 16), "standard input" },
        { { "-", "OUT" }, juce::MemoryBlock (wav.getData(), 30), "standard input" },
        { { "--set", "Tone=500", "-", "OUT" }, wav, "Tone" },
        { { input.getFullPathName(), temp["no/such/folder/out.wav"].getFullPathName() }, {}, "no/such/folder" },
    };

    for (const auto& row : rows)
    {
        auto arguments = row.arguments;
        for (auto& argument : arguments)
            if (argument == "OUT")
                argument = temp["out.wav"].getFullPathName();
        arguments.insert (0, tool);
        tandrel::test::PipedProcess process (arguments);
        process.write (row.standardInput.getData(), row.standardInput.getSize());
        const auto result = process.wait();
        const auto label = arguments.joinIntoString (" ");
        EXPECT_EQ (result.exitCode, 2) << label;
        EXPECT_TRUE (juce::String (result.errors).contains (row.mentions)) << result.errors;
        EXPECT_EQ (temp.get().getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1) << label; // in.wav alone
    }
}
