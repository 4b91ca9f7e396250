// tandrel-render's state and preset options, end to end: the built tool run
// as a child process with its own data folder.

#include "PluginProcessor.h"
#include "PresetOption.h"
#include "RenderToolRunner.h"
#include "ScopedDataDir.h"

#include <gtest/gtest.h>


namespace
{
const juce::File factoryPresetFiles { TANDREL_SOURCE_DIR "/resources/presets" };

/** Runs the tool with TANDREL_DATA_DIR pointing at a fresh folder of the test. */
class RenderPresetTest : public ::testing::Test
{
protected:
    tandrel::test::RenderToolResult run (const juce::StringArray& arguments) { return tandrel::test::runRenderTool (arguments); }

    std::unique_ptr<juce::XmlElement> stateXml (const juce::File& file)
    {
        juce::MemoryBlock blob;
        if (! file.loadFileAsData (blob))
            return nullptr;
        return juce::AudioProcessor::getXmlFromBinary (blob.getData(), (int) blob.getSize());
    }

    static double paramValue (const juce::XmlElement& xml, const juce::String& id)
    {
        if (auto* node = xml.getChildByAttribute ("id", id))
            return node->getDoubleAttribute ("value");
        return -1.0;
    }

    tandrel::test::ScopedDataDir dataDir;
    tandrel::test::ScopedTempDir work;
};
} // namespace

TEST_F (RenderPresetTest, SaveStateWritesExactlyTheHostBlobAfterAllOptions)
{
    const auto saved = work["saved.state"];
    const auto result = run ({ "--set", "Tone=40", "--set", "2- Seg Mix=60", "--save-state", saved.getFullPathName(),
                               "--demo", work["out.wav"].getFullPathName() });
    ASSERT_EQ (result.exitCode, 0) << result.output;

    // The same settings in an instance of our own, with an equally empty user folder.
    PluginProcessor processor (dataDir["Presets"]);
    for (const auto& [id, value] : { std::pair<const char*, float> { "Tone", 40.0f }, { "2- Seg Mix", 60.0f } })
    {
        auto* p = processor.getModelTree().getParameter (id);
        p->setValueNotifyingHost (p->convertTo0to1 (value));
    }
    juce::MemoryBlock expected, written;
    processor.getStateInformation (expected);
    ASSERT_TRUE (saved.loadFileAsData (written));
    EXPECT_EQ (written, expected);
}

TEST_F (RenderPresetTest, StateIsAppliedFirstAndRefusedStatesWriteNothing)
{
    const auto first = work["first.state"];
    ASSERT_EQ (run ({ "--set", "Mode=Parallel", "--set", "3- N Segs=7", "--save-state", first.getFullPathName(),
                      "--demo", work["a.wav"].getFullPathName() }).exitCode, 0);

    // Applied state, then a --set over it.
    const auto second = work["second.state"];
    const auto applied = run ({ "--state", first.getFullPathName(), "--set", "Tone=5", "--save-state", second.getFullPathName(),
                                "--demo", work["b.wav"].getFullPathName() });
    ASSERT_EQ (applied.exitCode, 0) << applied.output;
    const auto xml = stateXml (second);
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (paramValue (*xml, "Mode"), 1.0);
    EXPECT_EQ (paramValue (*xml, "3- N Segs"), 7.0);
    EXPECT_EQ (paramValue (*xml, "Tone"), 5.0);

    const auto garbage = work["garbage.state"];
    ASSERT_TRUE (garbage.replaceWithText ("VC2! but not really a state"));
    for (const auto& stateFile : { garbage, work["missing.state"] })
    {
        const auto output = work["refused.wav"];
        const auto refusedState = work["refused.state"];
        const auto refused = run ({ "--state", stateFile.getFullPathName(), "--save-state", refusedState.getFullPathName(),
                                    "--demo", output.getFullPathName() });
        EXPECT_EQ (refused.exitCode, 2) << stateFile.getFileName();
        EXPECT_TRUE (refused.output.contains (stateFile.getFullPathName())) << refused.output;
        EXPECT_FALSE (output.exists());
        EXPECT_FALSE (refusedState.exists());
    }
}

// Inputs built to crash or stall the parser (they are also fuzz seeds), and a
// device that never ends: each is refused with code 2 and nothing is written.
TEST_F (RenderPresetTest, HostileStatesAndPresetsAreRefused)
{
    const juce::File corpus { TANDREL_SOURCE_DIR "/tests/fuzz/corpus" };
    struct Row { const char* option; juce::File file; const char* says; };
    const Row rows[] = {
        { "--state", corpus.getChildFile ("state/overlong_markup_nesting.state"), "is not a Tandrel plug-in state" },
        { "--state", corpus.getChildFile ("state/entity_copy_square.state"), "is not a Tandrel plug-in state" },
        { "--preset", corpus.getChildFile ("preset_file/overlong_markup_nesting.td11"), "is not a valid Tandrel preset" },
        { "--preset", corpus.getChildFile ("preset_file/entity_copy_square.td11"), "is not a valid Tandrel preset" },
#if ! JUCE_WINDOWS // Windows has no device at a path that reads without end
        { "--state", juce::File ("/dev/zero"), "is too large" },
#endif
    };

    for (const auto& row : rows)
    {
        ASSERT_TRUE (row.file.existsAsFile()) << row.file.getFullPathName();
        const auto output = work["refused.wav"];
        const auto result = run ({ row.option, row.file.getFullPathName(), "--demo", output.getFullPathName() });
        EXPECT_EQ (result.exitCode, 2) << row.file.getFileName() << "\n" << result.output;
        EXPECT_TRUE (result.output.contains (row.says)) << row.file.getFileName() << "\n" << result.output;
        EXPECT_FALSE (output.exists());
    }
}

TEST_F (RenderPresetTest, FactoryPresetIsLoadedThenTweakedBySet)
{
    const auto saved = work["preset.state"];
    const auto result = run ({ "--preset", "Twinkle", "--set", "Tone=10", "--save-state", saved.getFullPathName(),
                               "--demo", work["out.wav"].getFullPathName() });
    ASSERT_EQ (result.exitCode, 0) << result.output;

    const auto xml = stateXml (saved);
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getStringAttribute ("LoadedPreset"), "FactoryPreset:Twinkle");
    EXPECT_EQ (xml->getStringAttribute ("LoadedPresetModified"), "1");
    EXPECT_EQ (paramValue (*xml, "Tone"), 10.0);

    // Everything but the tweak comes from the preset.
    PluginProcessor processor (dataDir["Presets"]);
    auto& manager = processor.getPresetManager();
    auto bytes = std::as_const (manager).findFactoryPreset ("Twinkle")->data;
    ASSERT_TRUE (processor.loadStateUndoable (bytes));
    for (const auto& id : getParameterIdsInOrder())
        if (id != "Tone")
        {
            auto* p = processor.getModelTree().getParameter (id);
            EXPECT_FLOAT_EQ ((float) paramValue (*xml, id), p->convertFrom0to1 (p->getValue())) << id;
        }
}

TEST_F (RenderPresetTest, PresetFileIsLoadedByPath)
{
    const auto presetFile = factoryPresetFiles.getChildFile ("Black_saint.td11");
    ASSERT_TRUE (presetFile.existsAsFile());
    const auto saved = work["file.state"];

    const auto result = run ({ "--preset", presetFile.getFullPathName(), "--save-state", saved.getFullPathName(),
                               "--demo", work["out.wav"].getFullPathName() });
    ASSERT_EQ (result.exitCode, 0) << result.output;

    const auto xml = stateXml (saved);
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (paramValue (*xml, "1- N Segs"), 85.0);
    EXPECT_EQ (paramValue (*xml, "Mode"), 1.0);
}

TEST_F (RenderPresetTest, UnknownPresetNameListsCloseMatchesAndWritesNothing)
{
    const auto output = work["out.wav"];
    const auto result = run ({ "--preset", "twinkel", "--demo", output.getFullPathName() });
    EXPECT_EQ (result.exitCode, 2);
    EXPECT_TRUE (result.output.contains ("unknown preset \"twinkel\"")) << result.output;
    EXPECT_TRUE (result.output.contains ("\"Twinkle\"")) << result.output;
    EXPECT_FALSE (output.exists());

    const auto missingFile = run ({ "--preset", work["nothing.td11"].getFullPathName(), "--demo", output.getFullPathName() });
    EXPECT_EQ (missingFile.exitCode, 2);
    EXPECT_FALSE (output.exists());
}

TEST_F (RenderPresetTest, ListPresetsShowsTheBankInOrderThenUserPresets)
{
    const auto presets = dataDir["Presets"];
    ASSERT_TRUE (presets.createDirectory());
    ASSERT_TRUE (factoryPresetFiles.getChildFile ("Twinkle.td11").copyFileTo (presets.getChildFile ("My_own_sound.td11")));

    const auto result = run ({ "--list-presets" });
    ASSERT_EQ (result.exitCode, 0) << result.output;

    juce::StringArray lines;
    lines.addLines (result.output);
    lines.removeEmptyStrings();
    ASSERT_GE (lines.size(), 38);
    EXPECT_EQ (lines[0], "Factory presets:");
    EXPECT_TRUE (lines[1].trim().startsWith ("Black pepper")) << lines[1];
    EXPECT_TRUE (lines[1].trim().endsWith ("Bass//Guitar")) << lines[1];
    EXPECT_TRUE (lines[35].trim().startsWith ("Kelmorathen called")) << lines[35];
    EXPECT_TRUE (lines[35].trim().endsWith ("Parallel//Spicy")) << lines[35];
    EXPECT_TRUE (lines[36].startsWith ("User presets")) << lines[36];
    EXPECT_TRUE (lines[37].trim().startsWith ("My own sound")) << lines[37];
}

// The search compared every character of the query with every character of
// each name, reaching each by walking the text from its start: a pasted
// paragraph took minutes.
TEST (CloseNames, LongQueriesCostNoComparisonAndTyposStillMatch)
{
    const juce::String overdrive (juce::CharPointer_UTF8 ("\xc3\x9c" "berdrive"));
    const juce::StringArray names { "Twinkle", "Black pepper", "Bell de sure", overdrive };
    EXPECT_EQ (findCloseNames (juce::String::repeatedString ("qwerty ", 20000), names), juce::StringArray());
    EXPECT_EQ (findCloseNames ("twinkel", names), juce::StringArray ("Twinkle"));
    EXPECT_EQ (findCloseNames ("pepper", names), juce::StringArray ("Black pepper"));
    EXPECT_EQ (findCloseNames ("uberdrive", names), juce::StringArray (overdrive));
}
