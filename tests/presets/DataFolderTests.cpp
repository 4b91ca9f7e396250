#include "TestLoader.h"
#include <Environment.h>

using namespace tandrel::test;
using juce::qorv_gui::DataFolder;

namespace
{
const juce::String vendor { "Quorvex" }, product { "Tandrel_v1-1" };
} // namespace

TEST (DataFolder, TheFirstRootHoldingTheFolderWinsElseTheFirstWhereItCanBeMade)
{
    ScopedTempDir roots;
    const auto blocked = roots["blocked"];
    ASSERT_TRUE (blocked.replaceWithText ("a file, so nothing can be created below it"));
    const auto first = roots["first"], second = roots["second"];

    auto found = DataFolder::locateIn ({ blocked, first, second }, { blocked, first, second }, vendor, product);
    EXPECT_EQ (found, first.getChildFile ("Quorvex/Tandrel_v1-1"));
    EXPECT_TRUE (found.isDirectory());

    ASSERT_TRUE (second.getChildFile ("Quorvex/Tandrel_v1-1").createDirectory().wasOk());
    ASSERT_TRUE (found.deleteRecursively());
    EXPECT_EQ (DataFolder::locateIn ({ blocked, first, second }, { blocked, first, second }, vendor, product),
               second.getChildFile ("Quorvex/Tandrel_v1-1"));
}

TEST (DataFolder, ANewFolderIsMadeOnlyInTheUsersOwnLocations)
{
    // Two writable "system" roots, as /usr and /opt are for root, ahead of the
    // user's: the new folder still goes to the first user root that works.
    ScopedTempDir roots;
    const auto usr = roots["usr"], opt = roots["opt"], config = roots["config"], home = roots["home"];
    for (auto& root : { usr, opt, home })
        ASSERT_TRUE (root.createDirectory().wasOk());
    ASSERT_TRUE (config.replaceWithText ("a file, so nothing can be created below it"));

    const auto found = DataFolder::locateIn ({ usr, opt, config, home }, { config, home }, vendor, product);
    EXPECT_EQ (found, home.getChildFile ("Quorvex/Tandrel_v1-1"));
    EXPECT_TRUE (found.isDirectory());
    EXPECT_EQ (usr.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);
    EXPECT_EQ (opt.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);

    // With no user root usable, there is no data folder rather than one in a system root.
    EXPECT_EQ (DataFolder::locateIn ({ usr, opt, config }, { config }, vendor, product), juce::File());
    EXPECT_EQ (usr.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);
}

TEST (DataFolder, AFolderAlreadyInASystemLocationKeepsBeingUsed)
{
    ScopedTempDir roots;
    const auto usr = roots["usr"], opt = roots["opt"], home = roots["home"];
    const auto existing = opt.getChildFile ("Quorvex/Tandrel_v1-1");
    ASSERT_TRUE (existing.getChildFile ("Presets/Mine.td11").create().wasOk());
    ASSERT_TRUE (home.createDirectory().wasOk());

    EXPECT_EQ (DataFolder::locateIn ({ usr, opt, home }, { home }, vendor, product), existing);
    EXPECT_EQ (home.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);
    EXPECT_TRUE (existing.getChildFile ("Presets/Mine.td11").existsAsFile());
}

TEST (DataFolder, SystemLocationsAreSearchedFirstButNeverCreatedIn)
{
    // Only the paths are compared: nothing is looked up or made on disk.
    const juce::Array<juce::File> system { juce::File::getSpecialLocation (juce::File::globalApplicationsDirectory),
                                           juce::File::getSpecialLocation (juce::File::commonApplicationDataDirectory),
                                           juce::File::getSpecialLocation (juce::File::commonDocumentsDirectory) };
    const auto creation = DataFolder::creationLocations();
    ASSERT_FALSE (creation.isEmpty());

    for (auto& root : creation)
    {
        for (auto& shared : system)
            EXPECT_FALSE (root == shared || root.isAChildOf (shared)) << root.getFullPathName();
       #if JUCE_LINUX
        for (auto* forbidden : { "/usr", "/opt" })
            EXPECT_FALSE (root == juce::File (forbidden) || root.isAChildOf (juce::File (forbidden))) << root.getFullPathName();
       #endif
    }

    auto expectedSearch = system;
    expectedSearch.addArray (creation);
    EXPECT_EQ (DataFolder::searchLocations(), expectedSearch);
}

#if JUCE_WINDOWS
TEST (DataFolder, OnWindowsANewFolderGoesIntoTheUsersRoamingAppDataNeverProgramFilesOrProgramData)
{
    // Only the paths are compared: nothing is looked up or made on disk.
    const auto creation = DataFolder::creationLocations();
    ASSERT_FALSE (creation.isEmpty());
    const juce::File appData (juce::SystemStats::getEnvironmentVariable ("APPDATA", {}));
    ASSERT_TRUE (juce::File::isAbsolutePath (appData.getFullPathName()));
    EXPECT_EQ (creation.getFirst(), appData);

    for (auto* shared : { "ProgramFiles", "ProgramW6432", "CommonProgramFiles", "ProgramData", "ALLUSERSPROFILE", "PUBLIC" })
    {
        const auto path = juce::SystemStats::getEnvironmentVariable (shared, {});
        if (path.isEmpty())
            continue;
        for (auto& root : creation)
            EXPECT_FALSE (root == juce::File (path) || root.isAChildOf (juce::File (path))) << root.getFullPathName() << " in " << shared;
    }
}
#endif

TEST (DataFolder, ThePlugInsIdentityNamesTheFolderAsBefore)
{
    ScopedTempDir root;
    EXPECT_EQ (DataFolder::locateIn ({}, { root.get() }, JucePlugin_Manufacturer, JucePlugin_Name),
               root["Quorvex/Tandrel_v1-1"]);
}

TEST (DataFolder, TheEnvironmentVariableNamesTheDataFolder)
{
    // The test main points TANDREL_DATA_DIR into a temporary folder.
    const juce::File dataDir (juce::SystemStats::getEnvironmentVariable (DataFolder::overrideVariable, {}));
    ASSERT_TRUE (dataDir.isDirectory());

    const auto presets = DataFolder::findPresetsFolder (vendor, product);
    EXPECT_EQ (presets, dataDir.getChildFile ("Presets"));
    EXPECT_TRUE (presets.isDirectory());
}

// A relative path would name a folder that moves with the host's working
// folder; it used to fall back to the real user folder instead.
TEST (DataFolder, ARelativeOverrideNamesNoFolderAndIsReported)
{
    const auto previous = juce::SystemStats::getEnvironmentVariable (DataFolder::overrideVariable, {});
    ScopedTempDir work;
    const auto previousCwd = juce::File::getCurrentWorkingDirectory();
    ASSERT_TRUE (work.get().setAsCurrentWorkingDirectory());

    setEnvironmentVariable (DataFolder::overrideVariable, "relative/data");
    EXPECT_EQ (DataFolder::locate (vendor, product), juce::File());
    EXPECT_EQ (DataFolder::findPresetsFolder (vendor, product), juce::File());
    EXPECT_EQ (DataFolder::relativeOverride(), "relative/data");
    EXPECT_FALSE (work["relative"].exists());

    setEnvironmentVariable (DataFolder::overrideVariable, previous);
    previousCwd.setAsCurrentWorkingDirectory();
    EXPECT_EQ (DataFolder::relativeOverride(), "");
}

TEST (DataFolder, APresetsFolderThatCannotBeMadeIsEmpty)
{
    ScopedTempDir dir;
    ASSERT_TRUE (dir["data"].replaceWithText ("not a folder"));
    EXPECT_EQ (DataFolder::presetsFolderOf (dir["data"]), juce::File());
    EXPECT_EQ (DataFolder::presetsFolderOf ({}), juce::File());
    EXPECT_EQ (DataFolder::presetsFolderOf (dir.get()), dir["Presets"]);
}
