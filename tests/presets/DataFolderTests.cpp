#include "TestLoader.h"

using namespace tandrel::test;
using juce::qorv_gui::DataFolder;

TEST (DataFolder, TheFirstRootHoldingTheFolderWinsElseTheFirstWhereItCanBeMade)
{
    ScopedTempDir roots;
    const auto blocked = roots["blocked"];
    ASSERT_TRUE (blocked.replaceWithText ("a file, so nothing can be created below it"));
    const auto first = roots["first"], second = roots["second"];

    auto found = DataFolder::locateIn ({ blocked, first, second }, "Quorvex", "Tandrel_v1-1");
    EXPECT_EQ (found, first.getChildFile ("Quorvex/Tandrel_v1-1"));
    EXPECT_TRUE (found.isDirectory());

    ASSERT_TRUE (second.getChildFile ("Quorvex/Tandrel_v1-1").createDirectory().wasOk());
    ASSERT_TRUE (found.deleteRecursively());
    EXPECT_EQ (DataFolder::locateIn ({ blocked, first, second }, "Quorvex", "Tandrel_v1-1"),
               second.getChildFile ("Quorvex/Tandrel_v1-1"));
}

TEST (DataFolder, TheEnvironmentVariableNamesTheDataFolder)
{
    // The test main points TANDREL_DATA_DIR into a temporary folder.
    const juce::File dataDir (juce::SystemStats::getEnvironmentVariable (DataFolder::overrideVariable, {}));
    ASSERT_TRUE (dataDir.isDirectory());

    const auto presets = juce::qorv_gui::findTandrelPresetsFolder();
    EXPECT_EQ (presets, dataDir.getChildFile ("Presets"));
    EXPECT_TRUE (presets.isDirectory());
}

TEST (DataFolder, APresetsFolderThatCannotBeMadeIsEmpty)
{
    ScopedTempDir dir;
    ASSERT_TRUE (dir["data"].replaceWithText ("not a folder"));
    EXPECT_EQ (DataFolder::presetsFolderOf (dir["data"]), juce::File());
    EXPECT_EQ (DataFolder::presetsFolderOf ({}), juce::File());
    EXPECT_EQ (DataFolder::presetsFolderOf (dir.get()), dir["Presets"]);
}
