#include "TestLoader.h"

#if ! defined(_WIN32)
 #include <unistd.h>
#endif

using namespace tandrel::test;

namespace
{
struct UserFolderTest : public PresetFixture
{
    juce::StringArray listedNames (const PresetManager::UserFolder& f)
    {
        juce::StringArray names;
        for (auto* p : f.presets)
            names.add (p->name);
        return names;
    }
};
} // namespace

TEST (PresetNames, DisplayNamesFollowTheFileNames)
{
    const struct { const char* path; const char* expected; } rows[] = {
        { "/x/Bass_lead.td11", "Bass lead" },
        { "/x/my_bass", "My bass" },
        { "/x/.hidden", ".hidden" },
        { "/x/.hidden_one.td11", ".hidden one" },
        { "/x/a.b.td11", "A.b" },
        { "plain", "Plain" },
        { "", "" },
#if JUCE_WINDOWS // where both separators divide a path
        { "C:\\x\\Bass_lead.td11", "Bass lead" },
        { "C:\\x/y\\my_bass", "My bass" },
#endif
    };

    for (auto& row : rows)
        EXPECT_EQ (PresetManager::presetNameFromPath (row.path), juce::String (row.expected)) << row.path;
}

TEST_F (UserFolderTest, ListsPresetFilesOnlyDownToThreeLevels)
{
    loader.writePreset (folder["Bass_lead.td11"], 1);
    ASSERT_TRUE (folder["notes.txt"].replaceWithText ("x"));
    loader.writePreset (folder["one/two/three/Deep.td11"], 3);
    loader.writePreset (folder["one/two/three/four/Deeper.td11"], 4);
    makeManager();

    ASSERT_NE (manager->getRootFolder(), nullptr);
    EXPECT_EQ (listedNames (*manager->getRootFolder()), juce::StringArray { "Bass lead" });

    auto* three = manager->findFolder (folder["one/two/three"]);
    ASSERT_NE (three, nullptr);
    EXPECT_EQ (listedNames (*three), juce::StringArray { "Deep" });
    EXPECT_TRUE (three->subfolders.isEmpty());
    EXPECT_EQ (manager->findFolder (folder["one/two/three/four"]), nullptr);
    EXPECT_FALSE (manager->isKnownPresetFile (folder["one/two/three/four/Deeper.td11"]));
    EXPECT_EQ (manager->findFolder (folder["one"])->name, "One");
}

TEST_F (UserFolderTest, IdsAreGivenDepthFirstAndTwoStartUpPresetsComeBeforeTheFactoryBank)
{
    loader.writePreset (folder["Top.td11"], 1);
    loader.writePreset (folder["sub/Inner.td11"], 2);
    makeManager();

    EXPECT_EQ (manager->findUserPreset (folder["Top.td11"])->id, 10);
    EXPECT_EQ (manager->findUserPreset (folder["sub/Inner.td11"])->id, 11);
    EXPECT_EQ (addFactory ("Black pepper", 5)->id, 12);
    manager->setUserFolder (folder.get()); // finds the existing record, hands out nothing new
    EXPECT_EQ (manager->getNextId(), 13);
}

TEST_F (UserFolderTest, AFileThatVanishesAndReturnsKeepsItsId)
{
    const auto file = folder["Coming_back.td11"];
    loader.writePreset (file, 1);
    loader.writePreset (folder["Other.td11"], 2);
    makeManager();
    const auto id = manager->findUserPreset (file)->id;

    juce::MemoryBlock bytes;
    ASSERT_TRUE (file.loadFileAsData (bytes));
    ASSERT_TRUE (file.deleteFile());
    manager->rescan();
    EXPECT_EQ (listedNames (*manager->getRootFolder()), juce::StringArray { "Other" });
    EXPECT_FALSE (manager->isUserPresetId (id));

    ASSERT_TRUE (file.replaceWithData (bytes.getData(), bytes.getSize()));
    loader.writePreset (folder["New_one.td11"], 3);
    manager->rescan();
    EXPECT_EQ (manager->findUserPreset (file)->id, id);
    EXPECT_TRUE (manager->isUserPresetId (id));
    EXPECT_EQ (manager->findUserPreset (folder["New_one.td11"])->id, 12);
}

TEST_F (UserFolderTest, SavingInPlaceClearsModifiedAndFailsOnceTheFileHasGone)
{
    const auto file = folder["Mine.td11"];
    loader.writePreset (file, 1);
    makeManager();
    ASSERT_TRUE (manager->openChosenFile (file));
    loader.edit ("b", 42);
    ASSERT_TRUE (loader.isModified());

    EXPECT_TRUE (manager->saveCurrent());
    EXPECT_FALSE (loader.isModified());
    loader.resetToDefault();
    ASSERT_TRUE (loader.loadFromFile (file));
    EXPECT_EQ (loader.value ("b"), 42);

    loader.edit ("b", 43);
    ASSERT_TRUE (file.deleteFile());
    EXPECT_FALSE (manager->saveCurrent());
    EXPECT_TRUE (loader.isModified());
    EXPECT_FALSE (file.exists());
}

TEST_F (UserFolderTest, SaveAsOverAnExistingFileOfTheFolderMakesItCurrent)
{
    const auto file = folder["sub/Target.td11"];
    loader.writePreset (file, 1);
    makeManager();
    const auto id = manager->findUserPreset (file)->id;
    loader.edit ("a", 77);

    ASSERT_TRUE (manager->saveToChosenFile (file));
    EXPECT_EQ (manager->getCurrentId(), id);
    ASSERT_NE (manager->getCurrentUserPreset(), nullptr);
    EXPECT_EQ (manager->getCurrentUserPreset()->file, file);
    EXPECT_FALSE (loader.isModified());
}

TEST_F (UserFolderTest, ANewFileSavedInsideTheFolderIsRegisteredAtOnceAndReloads)
{
    loader.writePreset (folder["Old.td11"], 1);
    makeManager();
    ASSERT_TRUE (manager->openChosenFile (folder["Old.td11"]));
    loader.edit ("a", 66);

    const auto created = folder["fresh/New_one.td11"];
    ASSERT_TRUE (manager->saveToChosenFile (created));
    ASSERT_TRUE (manager->isKnownPresetFile (created));
    EXPECT_EQ (manager->getCurrentId(), manager->findUserPreset (created)->id);
    EXPECT_EQ (manager->getCurrentUserPreset(), manager->findUserPreset (created));
    EXPECT_TRUE (manager->isUserPresetId (manager->getCurrentId()));

    loader.edit ("a", 1);
    ASSERT_TRUE (loader.loadFromFile (manager->getCurrentUserPreset()->file)); // "Reload"
    EXPECT_EQ (loader.value ("a"), 66);
}

TEST_F (UserFolderTest, SaveAsIntoADirectoryOrAnEmptyChoiceChangesNothing)
{
    makeManager();
    ASSERT_TRUE (folder["adir"].createDirectory().wasOk());
    loader.edit ("a", 5);

    EXPECT_FALSE (manager->saveToChosenFile (folder["adir"]));
    EXPECT_FALSE (manager->saveToChosenFile ({}));
    EXPECT_EQ (manager->getCurrentUserPreset(), nullptr);
    EXPECT_EQ (manager->getCurrentId(), -1);
    EXPECT_TRUE (loader.isModified());
}

TEST_F (UserFolderTest, OpeningAFileFromOutsideMakesItExternalAndKeepsTheHostReference)
{
    ScopedTempDir elsewhere;
    const auto outside = elsewhere["Visitor_preset.td11"];
    loader.writePreset (outside, 31);
    loader.writePreset (folder["Home.td11"], 1);
    makeManager();
    ASSERT_TRUE (manager->openChosenFile (folder["Home.td11"]));
    const auto homeId = manager->getCurrentId();

    ASSERT_TRUE (manager->openChosenFile (outside));
    EXPECT_EQ (loader.value ("a"), 31);
    ASSERT_NE (manager->getCurrentUserPreset(), nullptr);
    EXPECT_EQ (manager->getCurrentUserPreset()->name, "Visitor preset");
    EXPECT_EQ (manager->getCurrentUserPreset()->id, -1);
    EXPECT_FALSE (manager->isKnownPresetFile (outside));
    EXPECT_EQ (manager->getCurrentId(), homeId);

    juce::ValueTree state ("Td11");
    manager->writePresetInfo (state);
    EXPECT_EQ (state["LoadedPreset"].toString(), folder["Home.td11"].getFullPathName());
}

TEST_F (UserFolderTest, OpeningAFileThatIsNotAPresetChangesNothing)
{
    ASSERT_TRUE (folder["Broken.td11"].replaceWithText ("hello"));
    makeManager();
    EXPECT_FALSE (manager->openChosenFile (folder["Broken.td11"]));
    EXPECT_FALSE (manager->openChosenFile (folder["Absent.td11"]));
    EXPECT_EQ (manager->getCurrentUserPreset(), nullptr);
    EXPECT_EQ (manager->getCurrentId(), -1);
}

// Thirty links to "." and links back up used to be followed down to the
// deepest level: 27,930 folders listed for one, each of its presets again.
TEST_F (UserFolderTest, LinksAreFollowedOnlyToFoldersTheScanHasNotReached)
{
    if (! canMakeSymbolicLinks())
        GTEST_SKIP() << "no symbolic links can be made here";
    loader.writePreset (folder["Top.td11"], 1);
    loader.writePreset (folder["real/Inside.td11"], 2);
    for (int i = 0; i < 30; ++i)
        ASSERT_TRUE (folder.get().createSymbolicLink (folder["loop " + juce::String (i)], true));
    ASSERT_TRUE (folder.get().createSymbolicLink (folder["real/up"], true));

    ScopedTempDir elsewhere;
    loader.writePreset (elsewhere["Shared.td11"], 3);
    ASSERT_TRUE (elsewhere.get().createSymbolicLink (folder["shared"], true));

    makeManager();
    manager->rescan();

    juce::StringArray names;
    for (const auto& [id, preset] : manager->getUserPresets())
        names.add (preset.name);
    names.sort (false);
    EXPECT_EQ (names, juce::StringArray ({ "Inside", "Shared", "Top" }));

    auto* root = manager->getRootFolder();
    ASSERT_NE (root, nullptr);
    juce::StringArray subfolders;
    for (auto* sub : root->subfolders)
        subfolders.add (sub->name);
    EXPECT_EQ (subfolders, juce::StringArray ({ "Real", "Shared" }));
    EXPECT_TRUE (manager->findFolder (folder["real"])->subfolders.isEmpty());
}

#if ! defined(_WIN32)
// Such a name made a String the framework's text operations read past the end of.
TEST_F (UserFolderTest, FilesWhoseNamesAreNotStrictlyUtf8AreNotListed)
{
    loader.writePreset (folder["Good.td11"], 1);
    const auto good = folder["Good.td11"];
    std::vector<std::string> rawPaths;
    for (const char* rawName : { "Overlong \xc0\xbc.td11", "Cut \xe2\x82.td11", "Byte \xff.td11" })
    {
        rawPaths.push_back (folder.get().getFullPathName().toStdString() + "/" + rawName);
        ASSERT_EQ (::link (good.getFullPathName().toRawUTF8(), rawPaths.back().c_str()), 0) << rawName;
    }

    makeManager();
    juce::StringArray names;
    for (const auto& [id, preset] : manager->getUserPresets())
        names.add (preset.name);
    EXPECT_EQ (names, juce::StringArray ("Good"));

    // Removed here: the folder's own clean-up reads names through the framework.
    for (const auto& path : rawPaths)
        ::unlink (path.c_str());
}
#endif
