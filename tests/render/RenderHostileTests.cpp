// tandrel-render against careless and hostile use, end to end: outputs that
// are devices or FIFOs, a full disk, closed standard streams, state targets
// that cannot be written, output names at the length limit, folders given as
// files, a relative data folder and an interrupted bank. The harness is
// POSIX's (a shell, file size limits, FIFOs, signals).

#include "PipedProcess.h"
#include "RenderToolRunner.h"
#include "ScopedDataDir.h"
#include "ScopedTempDir.h"

#include <gtest/gtest.h>
#include <juce_audio_formats/juce_audio_formats.h>

#include <cmath>
#include <csignal>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <thread>

namespace
{
const juce::String tool = TANDREL_BINARY_DIR "/tools/tandrel-render";

/** Runs a shell script with the tool as $0 and the arguments as $1...,
    within a time limit, so a tool that waits for ever fails the test. */
tandrel::test::RenderToolResult runInShell (const juce::String& script, const juce::StringArray& arguments = {})
{
    juce::StringArray command { "timeout", "50", "/bin/sh", "-c", script, tool };
    command.addArray (arguments);
    return tandrel::test::runCommand (command);
}

mode_t fileType (const juce::File& file, bool followLinks = true)
{
    struct stat info {};
    const auto path = file.getFullPathName().toRawUTF8();
    if ((followLinks ? ::stat (path, &info) : ::lstat (path, &info)) != 0)
        return 0;
    return info.st_mode & S_IFMT;
}

juce::StringArray namesIn (const juce::File& folder)
{
    juce::StringArray names;
    for (const auto& file : folder.findChildFiles (juce::File::findFilesAndDirectories, false, "*"))
        names.add (file.getFileName());
    names.sort (false);
    return names;
}
} // namespace

// A rename over a device or FIFO would replace it with a plain file (as root,
// /dev/null itself). The links keep the test from touching the real devices
// even where the tool misbehaves: a rename replaces the link, not the device.
TEST (RenderHostile, DevicesAndFifosAsOutputAreWrittenAsStreams)
{
    tandrel::test::ScopedTempDir temp;
    const auto null = temp["null.wav"], full = temp["full.wav"];
    ASSERT_TRUE (juce::File ("/dev/null").createSymbolicLink (null, true));
    ASSERT_TRUE (juce::File ("/dev/full").createSymbolicLink (full, true));

    const auto toNull = tandrel::test::runRenderTool ({ "--demo", null.getFullPathName() });
    EXPECT_EQ (toNull.exitCode, 0) << toNull.output;
    const auto toFull = tandrel::test::runRenderTool ({ "--demo", full.getFullPathName() });
    EXPECT_EQ (toFull.exitCode, 2) << toFull.output;
    EXPECT_TRUE (toFull.output.contains (full.getFullPathName())) << toFull.output;
    for (const auto& link : { null, full })
    {
        EXPECT_EQ (fileType (link, false), (mode_t) S_IFLNK) << link.getFileName();
        EXPECT_EQ (fileType (link), (mode_t) S_IFCHR) << link.getFileName();
    }

    // The reader holds a writing end of its own, so it sees the end of the
    // stream only after the tool is gone, whatever the tool did.
    const auto fifo = temp["fifo.wav"];
    ASSERT_EQ (::mkfifo (fifo.getFullPathName().toRawUTF8(), 0600), 0);
    const int readEnd = ::open (fifo.getFullPathName().toRawUTF8(), O_RDONLY | O_NONBLOCK);
    const int ownWriteEnd = ::open (fifo.getFullPathName().toRawUTF8(), O_WRONLY);
    ASSERT_GE (readEnd, 0);
    ASSERT_GE (ownWriteEnd, 0);
    ::fcntl (readEnd, F_SETFL, 0);
    juce::MemoryOutputStream received;
    std::thread reader ([&]
    {
        char buffer[65536];
        for (ssize_t n; (n = ::read (readEnd, buffer, sizeof (buffer))) > 0;)
            received.write (buffer, (size_t) n);
    });
    const auto toFifo = tandrel::test::runRenderTool ({ "--demo", fifo.getFullPathName() });
    ::close (ownWriteEnd);
    reader.join();
    ::close (readEnd);
    EXPECT_EQ (toFifo.exitCode, 0) << toFifo.output;
    EXPECT_EQ (fileType (fifo), (mode_t) S_IFIFO);

    const auto regular = temp["regular.wav"];
    ASSERT_EQ (tandrel::test::runRenderTool ({ "--demo", regular.getFullPathName() }).exitCode, 0);
    juce::MemoryBlock expected;
    ASSERT_TRUE (regular.loadFileAsData (expected));
    EXPECT_TRUE (received.getMemoryBlock() == expected) << received.getDataSize() << " bytes came through the FIFO";
    regular.deleteFile();
    EXPECT_EQ (namesIn (temp.get()), juce::StringArray ({ "fifo.wav", "full.wav", "null.wav" }));
}

// The last buffered write of a file is the one the stream does not check: with
// a file size limit just short of the whole render it comes up short.
TEST (RenderHostile, AFullDiskFailsTheRenderAndKeepsTheStateFileThatWasThere)
{
    tandrel::test::ScopedTempDir temp;
    const auto complete = temp["complete.wav"];
    ASSERT_EQ (tandrel::test::runRenderTool ({ "--demo", complete.getFullPathName() }).exitCode, 0);
    const auto size = complete.getSize();

    const auto limited = "trap '' XFSZ; exec prlimit --fsize=" + juce::String (size - 100) + " \"$0\" \"$@\"";
    const auto output = temp["out.wav"];
    const auto render = runInShell (limited, { "--demo", output.getFullPathName() });
    EXPECT_EQ (render.exitCode, 2) << render.output;
    EXPECT_TRUE (render.output.contains ("cannot write " + output.getFullPathName())) << render.output;
    EXPECT_FALSE (output.exists());

    const auto state = temp["kept.state"];
    ASSERT_TRUE (state.replaceWithText ("the state that was there"));
    const auto save = runInShell ("trap '' XFSZ; exec prlimit --fsize=100 \"$0\" \"$@\" > /dev/null",
                                  { "--save-state", state.getFullPathName(), "--demo", "-" });
    EXPECT_EQ (save.exitCode, 2) << save.output;
    EXPECT_TRUE (save.output.contains ("cannot write state file")) << save.output;
    EXPECT_EQ (state.loadFileAsString(), "the state that was there");
    EXPECT_EQ (namesIn (temp.get()), juce::StringArray ({ "complete.wav", "kept.state" }));
}

// A closed descriptor's number went to the framework's internal socket, and
// "standard input" then waited on that socket for ever.
TEST (RenderHostile, ClosedStandardStreamsAreRefused)
{
    tandrel::test::ScopedTempDir temp;
    const auto input = temp["in.wav"];
    ASSERT_EQ (tandrel::test::runRenderTool ({ "--demo", input.getFullPathName() }).exitCode, 0);

    const struct
    {
        const char* script;
        juce::StringArray arguments;
        const char* says;
    } rows[] = {
        { "exec \"$0\" \"$@\" <&-", { "-", temp["out.wav"].getFullPathName() }, "standard input is closed" },
        { "exec \"$0\" \"$@\" >&-", { input.getFullPathName(), "-" }, "standard output is closed" },
        { "exec \"$0\" \"$@\" >&- <&-", { "-", "-" }, "standard input is closed" },
    };
    for (const auto& row : rows)
    {
        const auto result = runInShell (row.script, row.arguments);
        EXPECT_EQ (result.exitCode, 2) << row.script << "\n" << result.output;
        EXPECT_TRUE (result.output.contains (row.says)) << result.output;
    }
    EXPECT_FALSE (temp["out.wav"].exists());

    // A closed standard input does not matter when INPUT is a file.
    const auto fromFile = runInShell ("exec \"$0\" \"$@\" <&-", { input.getFullPathName(), temp["file.wav"].getFullPathName() });
    EXPECT_EQ (fromFile.exitCode, 0) << fromFile.output;
}

// The render used to be written first and the state after it, so a state
// that could not be written left the render behind.
TEST (RenderHostile, AStateTargetThatCannotBeWrittenIsRefusedBeforeTheRender)
{
    tandrel::test::ScopedTempDir temp;
    ASSERT_TRUE (temp["folder.state"].createDirectory());
    const struct
    {
        juce::File state;
        const char* says;
    } rows[] = {
        { temp["missing/s.bin"], "does not exist" },
        { temp["folder.state"], "it is a folder" },
    };
    for (const auto& row : rows)
    {
        const auto output = temp["out.wav"];
        const auto result = tandrel::test::runRenderTool ({ "--save-state", row.state.getFullPathName(), "--demo", output.getFullPathName() });
        EXPECT_EQ (result.exitCode, 2) << result.output;
        EXPECT_TRUE (result.output.contains ("cannot write state file " + row.state.getFullPathName())) << result.output;
        EXPECT_TRUE (result.output.contains (row.says)) << result.output;
        EXPECT_FALSE (output.exists());
    }
}

// The hidden temporary file's name used to repeat the output's name, and went
// over the 255-byte limit for names that were valid themselves.
TEST (RenderHostile, OutputNamesUpToTheLimitAreWritten)
{
    tandrel::test::ScopedTempDir temp;
    for (int length : { 200, 233, 255 })
    {
        const auto output = temp[juce::String::repeatedString ("n", length - 4) + ".wav"];
        const auto result = tandrel::test::runRenderTool ({ "--demo", output.getFullPathName() });
        EXPECT_EQ (result.exitCode, 0) << length << "\n" << result.output;
        EXPECT_TRUE (output.existsAsFile()) << length;
        output.deleteFile();
    }
    EXPECT_TRUE (namesIn (temp.get()).isEmpty());
}

TEST (RenderHostile, FoldersAndRelativeDataFoldersAreNamedForWhatTheyAre)
{
    tandrel::test::ScopedTempDir temp;
    const auto folder = temp["input.wav"];
    ASSERT_TRUE (folder.createDirectory());
    const auto asInput = tandrel::test::runRenderTool ({ folder.getFullPathName(), temp["out.wav"].getFullPathName() });
    EXPECT_EQ (asInput.exitCode, 2);
    EXPECT_TRUE (asInput.output.contains (folder.getFullPathName() + ": it is a folder")) << asInput.output;

    // A relative data folder would move with the working folder; the tool
    // used to fall back to the user's real one without a word.
    const auto relative = runInShell ("cd \"$1\" && shift && TANDREL_DATA_DIR=data exec \"$0\" \"$@\"",
                                      { temp.get().getFullPathName(), "--list-presets" });
    EXPECT_EQ (relative.exitCode, 2);
    EXPECT_TRUE (relative.output.contains ("TANDREL_DATA_DIR must be an absolute path, got \"data\"")) << relative.output;
    EXPECT_FALSE (temp["data"].exists());
    EXPECT_FALSE (temp["out.wav"].exists());
}

// Interrupted, the bank leaves nothing of its own: in a folder it created,
// the renders already finished go with the folder; a folder that was there
// keeps what it had.
TEST (RenderHostile, AnInterruptedBankRemovesTheFolderItCreated)
{
    tandrel::test::ScopedDataDir dataDir;
    tandrel::test::ScopedTempDir work;
    const juce::String firstBankFile ("01 Black pepper.wav");
    // Long enough that the bank is still running when the interrupt comes.
    juce::AudioBuffer<float> tone (2, 44100 * 20);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < tone.getNumSamples(); ++i)
            tone.setSample (c, i, 0.2f * std::sin ((float) i * 0.01f));
    const auto longInput = work["long.wav"];
    {
        juce::WavAudioFormat wav;
        std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (longInput.createOutputStream().release(), 44100.0, 2, 16, {}, 0));
        ASSERT_NE (writer, nullptr);
        writer->writeFromAudioSampleBuffer (tone, 0, tone.getNumSamples());
    }

    const auto existing = work["existing"];
    ASSERT_TRUE (existing.createDirectory());
    ASSERT_TRUE (existing.getChildFile ("notes.txt").replaceWithText ("mine"));

    for (const auto& folder : { work["new bank"], existing })
    {
        tandrel::test::PipedProcess process ({ TANDREL_BINARY_DIR "/tools/tandrel-render", "--all-presets", "--jobs", "1",
                                               longInput.getFullPathName(), folder.getFullPathName() });
        // The first preset finished and the second under way.
        auto rendered = [&] { return folder.getChildFile (firstBankFile).existsAsFile(); };
        for (int i = 0; i < 3000 && ! rendered(); ++i)
            juce::Thread::sleep (10);
        ASSERT_TRUE (rendered());
        ::kill (process.getPid(), SIGINT);
        EXPECT_EQ (process.wait().signal, SIGINT);

        if (folder == existing)
        {
            juce::StringArray kept;
            kept.add (firstBankFile);
            kept.add ("notes.txt");
            EXPECT_EQ (namesIn (folder), kept);
        }
        else
            EXPECT_FALSE (folder.exists()) << namesIn (folder).joinIntoString (", ");
    }
}
