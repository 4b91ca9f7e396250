// tandrel-render --all-presets: the whole bank rendered offline, end to end.

#include "BankRender.h"
#include "PresetOption.h"
#include "RenderToolRunner.h"
#include "ScopedDataDir.h"

#include "PluginProcessor.h"

#include <gtest/gtest.h>
#include <juce_audio_formats/juce_audio_formats.h>


namespace
{
const juce::File factoryPresetFiles { TANDREL_SOURCE_DIR "/resources/presets" };

/** Each test gets its own data folder, so user presets are the test's own. */
class RenderBankTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Half a second of noise, 16-bit: the bank renders it in s16 with dither.
        juce::AudioBuffer<float> noise (2, 22050);
        juce::Random random (3);
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < noise.getNumSamples(); ++i)
                noise.setSample (c, i, (random.nextFloat() * 2.0f - 1.0f) * 0.3f);
        juce::WavAudioFormat wav;
        std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (input.createOutputStream().release(), 44100.0, 2, 16, {}, 0));
        ASSERT_NE (writer, nullptr);
        writer->writeFromAudioSampleBuffer (noise, 0, noise.getNumSamples());
    }

    static juce::StringArray fileNames (const juce::File& folder)
    {
        juce::StringArray names;
        for (const auto& file : folder.findChildFiles (juce::File::findFilesAndDirectories, false, "*"))
            names.add (file.getFileName());
        names.sort (false);
        return names;
    }

    static juce::StringArray factoryNames()
    {
        PluginProcessor processor { juce::File() };
        juce::StringArray names;
        for (const auto& entry : listBank (processor, false))
            names.add (entry.name);
        return names;
    }

    static juce::MemoryBlock bytesOf (const juce::File& file)
    {
        juce::MemoryBlock block;
        file.loadFileAsData (block);
        return block;
    }

    tandrel::test::ScopedDataDir dataDir;
    tandrel::test::ScopedTempDir work;
    const juce::File input = work["input.wav"];
};
} // namespace

TEST_F (RenderBankTest, BankOrderNamesSingleRendersAndJobCountsAllAgree)
{
    const auto names = factoryNames();
    ASSERT_EQ (names.size(), 35);
    EXPECT_EQ (names[0], "Black pepper");
    EXPECT_EQ (names[34], "Kelmorathen called");

    // A user preset: a copy of a factory file under a name of its own.
    const auto presets = dataDir["Presets"];
    ASSERT_TRUE (presets.createDirectory());
    ASSERT_TRUE (factoryPresetFiles.getChildFile ("Twinkle.td11").copyFileTo (presets.getChildFile ("My_own_sound.td11")));

    const struct
    {
        const char* name;
        juce::StringArray options;
        bool user;
    } rows[] = {
        { "default jobs", {}, false },
        { "one job", { "--jobs", "1" }, false },
        { "three jobs with user presets", { "--jobs", "3", "--user-presets" }, true },
    };

    std::map<juce::String, juce::MemoryBlock> firstRun;
    for (const auto& row : rows)
    {
        const auto folder = work[juce::String ("bank ") + row.name];
        auto arguments = row.options;
        arguments.addArray ({ "--all-presets", input.getFullPathName(), folder.getFullPathName() });
        const auto result = tandrel::test::runRenderTool (arguments);
        ASSERT_EQ (result.exitCode, 0) << result.output;
        EXPECT_TRUE (result.output.contains ("rendered " + juce::String (row.user ? 36 : 35) + " of " + juce::String (row.user ? 36 : 35) + " presets"))
            << result.output;

        // NN Name.wav in bank order, the user presets after the factory bank, nothing else.
        juce::StringArray expected;
        for (int i = 0; i < names.size(); ++i)
            expected.add (juce::String (i + 1).paddedLeft ('0', 2) + " " + names[i] + ".wav");
        if (row.user)
            expected.add ("36 My own sound.wav");
        EXPECT_EQ (fileNames (folder), expected) << row.name;

        // The same files whatever the number of jobs.
        for (const auto& name : expected)
        {
            const auto bytes = bytesOf (folder.getChildFile (name));
            if (firstRun.count (name) == 0)
                firstRun[name] = bytes;
            else
                EXPECT_TRUE (bytes == firstRun[name]) << name << " differs in " << row.name;
        }
    }

    // Each file is, byte for byte, what rendering that preset alone writes.
    const auto bank = work["bank three jobs with user presets"];
    for (int i = 0; i <= names.size(); ++i)
    {
        const bool user = i == names.size();
        const auto preset = user ? presets.getChildFile ("My_own_sound.td11").getFullPathName() : names[i];
        const auto single = work["single.wav"];
        const auto result = tandrel::test::runRenderTool ({ "--preset", preset, input.getFullPathName(), single.getFullPathName() });
        ASSERT_EQ (result.exitCode, 0) << result.output;
        const auto fileName = user ? juce::String ("36 My own sound.wav") : juce::String (i + 1).paddedLeft ('0', 2) + " " + names[i] + ".wav";
        EXPECT_TRUE (bytesOf (single) == bytesOf (bank.getChildFile (fileName))) << fileName;
    }
}

TEST_F (RenderBankTest, RefusedBanksWriteNothing)
{
    const auto aFile = work["a-file"];
    ASSERT_TRUE (aFile.replaceWithText ("not a folder"));
    const auto folder = work["bank"];

    const struct
    {
        juce::StringArray arguments;
        const char* mentions;
    } rows[] = {
        { { "--all-presets", input.getFullPathName(), aFile.getFullPathName() }, "is a file" },
        { { "--all-presets", work["missing.wav"].getFullPathName(), folder.getFullPathName() }, "missing.wav" },
        { { "--all-presets", "--set", "Tone=500", input.getFullPathName(), folder.getFullPathName() }, "Tone" },
        { { "--all-presets", "--preset", "Twinkle", input.getFullPathName(), folder.getFullPathName() }, "--preset" },
        { { "--all-presets", "-", folder.getFullPathName() }, "give a file" },
        { { "--all-presets", "--jobs", "0", input.getFullPathName(), folder.getFullPathName() }, "--jobs" },
    };

    for (const auto& row : rows)
    {
        const auto result = tandrel::test::runRenderTool (row.arguments);
        EXPECT_EQ (result.exitCode, 2) << row.arguments.joinIntoString (" ");
        EXPECT_TRUE (result.output.contains (row.mentions)) << result.output;
        EXPECT_EQ (aFile.loadFileAsString(), "not a folder");
        EXPECT_FALSE (folder.exists()) << row.arguments.joinIntoString (" ");
    }
}

// A user preset that crashed the parser took the whole bank with it: no
// summary, and temporary files left behind.
TEST_F (RenderBankTest, AUserPresetThatFailsFailsAloneAndIsReported)
{
    const auto presets = dataDir["Presets"];
    ASSERT_TRUE (presets.createDirectory());
    const juce::File hostile { TANDREL_SOURCE_DIR "/tests/fuzz/corpus/preset_file/overlong_markup_nesting.td11" };
    ASSERT_TRUE (hostile.copyFileTo (presets.getChildFile ("Crafted.td11")));
    ASSERT_TRUE (factoryPresetFiles.getChildFile ("Twinkle.td11").copyFileTo (presets.getChildFile ("Fine.td11")));

    const auto folder = work["bank"];
    const auto result = tandrel::test::runRenderTool ({ "--all-presets", "--user-presets", "--jobs", "2", input.getFullPathName(), folder.getFullPathName() });
    EXPECT_EQ (result.exitCode, 2) << result.output;
    EXPECT_TRUE (result.output.contains ("rendered 36 of 37 presets")) << result.output;
    EXPECT_TRUE (result.output.contains ("Crafted.wav: preset file " + presets.getChildFile ("Crafted.td11").getFullPathName() + " is not a valid Tandrel preset"))
        << result.output;

    const auto names = fileNames (folder);
    EXPECT_EQ (names.size(), 36) << names.joinIntoString (", ");
    EXPECT_TRUE (names.contains ("37 Fine.wav") || names.contains ("36 Fine.wav")) << names.joinIntoString (", ");
    for (const auto& name : names)
        EXPECT_FALSE (name.startsWithChar ('.')) << name;
}

// With INPUT in OUTDIR under the first preset's name, the first render
// replaced it and every later preset rendered that output instead.
TEST_F (RenderBankTest, AnOutdirWhereARenderWouldReplaceTheInputIsRefused)
{
    const auto folder = work["bank"];
    ASSERT_TRUE (folder.createDirectory());
    const auto names = factoryNames();
    for (const auto& [index, spelling] : { std::pair<int, const char*> { 0, "" }, { 34, "./" } })
    {
        const auto inFolder = folder.getChildFile (juce::String (index + 1).paddedLeft ('0', 2) + " " + names[index] + ".wav");
        ASSERT_TRUE (input.copyFileTo (inFolder));
        const auto before = bytesOf (inFolder);

        const auto result = tandrel::test::runRenderTool ({ "--all-presets", "--jobs", "1", inFolder.getFullPathName(),
                                                            folder.getFullPathName() + "/" + spelling });
        EXPECT_EQ (result.exitCode, 2) << result.output;
        EXPECT_TRUE (result.output.contains ("would be overwritten")) << result.output;
        EXPECT_TRUE (bytesOf (inFolder) == before);
        EXPECT_EQ (fileNames (folder), juce::StringArray (inFolder.getFileName()));
        inFolder.deleteFile();
    }
}

TEST (BankFileName, NumbersInBankOrderWithAtLeastTwoDigits)
{
    const struct
    {
        int index, size;
        const char* name;
        const char* expected;
    } rows[] = {
        { 0, 35, "Black pepper", "01 Black pepper.wav" },
        { 34, 35, "Kelmorathen called", "35 Kelmorathen called.wav" },
        { 99, 120, "Late", "100 Late.wav" },
        { 4, 120, "Early", "005 Early.wav" },
        { 2, 5, "In/Out", "03 In-Out.wav" },
    };
    for (const auto& row : rows)
        EXPECT_EQ (bankFileName (row.index, row.size, row.name), row.expected);
}
