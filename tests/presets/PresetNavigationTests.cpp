#include "TestLoader.h"

using namespace tandrel::test;

namespace
{
struct NavigationTest : public PresetFixture
{
    void SetUp() override
    {
        loader.writePreset (folder["User_one.td11"], 1);
        loader.writePreset (folder["User_two.td11"], 2);
        makeManager(); // user presets 10, 11
        for (auto* name : { "F1", "F2", "F3" })
            addFactory (name, 5); // 12, 13, 14
    }
};
} // namespace

TEST_F (NavigationTest, SteppingWrapsBothWaysAndSkipsPresetsWhoseFileHasGone)
{
    const struct { int current; int direction; int expected; } rows[] = {
        { 14, +1, 10 }, { 10, -1, 14 }, { 10, +1, 11 }, { 12, -1, 11 },
        { -1, +1, 10 }, { 4, +1, 10 }, { -1, -1, 14 }, { 4, -1, 14 }, { 12, 0, -1 },
    };

    for (auto& row : rows)
    {
        manager->selectPreset (row.current);
        EXPECT_EQ (manager->stepPreset (row.direction), row.expected) << row.current << " " << row.direction;
    }

    ASSERT_TRUE (folder["User_one.td11"].deleteFile());
    manager->selectPreset (14);
    EXPECT_EQ (manager->stepPreset (+1), 11);
    manager->selectPreset (11);
    EXPECT_EQ (manager->stepPreset (-1), 14);
}

TEST_F (NavigationTest, ArrowsAndRandomOnlyReachPresetsTheMenuLists)
{
    // Registered by opening it, but one level deeper than the scanned tree goes.
    const auto deepFile = folder["a/b/c/d/Deep.td11"];
    loader.writePreset (deepFile, 9);
    manager->rescan();
    const auto deep = manager->getOrAddUserPreset (deepFile)->id; // 15
    ASSERT_TRUE (manager->isUserPresetId (deep));
    EXPECT_FALSE (manager->isListedUserPresetId (deep));
    EXPECT_TRUE (manager->isListedUserPresetId (10));
    EXPECT_FALSE (manager->isListedUserPresetId (12)) << "a factory id is no user preset";

    const struct { int current; int direction; int expected; } rows[] = {
        { 14, +1, 10 }, { 10, -1, 14 },      // the deep id sits between them
        { deep, +1, 10 }, { deep, -1, 14 },  // leaving it when it is current
        { -1, -1, 14 }, { 4, -1, 14 },
    };
    for (auto& row : rows)
    {
        manager->selectPreset (row.current);
        EXPECT_EQ (manager->stepPreset (row.direction), row.expected) << row.current << " " << row.direction;
    }

    std::set<int> seen;
    for (int i = 0; i < 2000; ++i)
        seen.insert (manager->randomPresetId (12));
    EXPECT_EQ (seen, (std::set<int> { 10, 11, 13, 14 }));

    // Moved to where the menu lists it, it takes part again.
    const auto listedFile = folder["a/b/c/Deep.td11"];
    ASSERT_TRUE (deepFile.moveFileTo (listedFile));
    manager->rescan();
    const auto listedId = manager->findUserPreset (listedFile)->id;
    EXPECT_TRUE (manager->isListedUserPresetId (listedId));
    manager->selectPreset (14);
    EXPECT_EQ (manager->stepPreset (+1), listedId);
}

TEST_F (NavigationTest, SteppingWithNothingElseAvailableGivesMinusOne)
{
    PresetFixture::folder.get().getChildFile ("User_one.td11").deleteFile();
    PresetFixture::folder.get().getChildFile ("User_two.td11").deleteFile();
    TestLoader otherLoader;
    ScopedTempDir emptyFolder;
    PresetManager empty (otherLoader, "Td11", emptyFolder.get());

    for (auto current : { -1, 4, 10 })
    {
        empty.selectPreset (current);
        EXPECT_EQ (empty.stepPreset (+1), -1);
        EXPECT_EQ (empty.stepPreset (-1), -1);
    }

    const auto bytes = otherLoader.presetBytes (1, 2, 3);
    const auto only = empty.addFactoryPreset ("Only", bytes.getData(), (int) bytes.getSize())->id;
    empty.selectPreset (only);
    EXPECT_EQ (empty.stepPreset (+1), -1);
    empty.selectPreset (4);
    EXPECT_EQ (empty.stepPreset (+1), only);
}

TEST_F (NavigationTest, RandomChoiceNeverGivesTheExcludedOrAMissingPresetAndReachesAllOthers)
{
    ASSERT_TRUE (folder["User_two.td11"].deleteFile());
    std::set<int> seen;

    for (int i = 0; i < 2000; ++i)
    {
        const auto id = manager->randomPresetId (12);
        ASSERT_NE (id, 12);
        ASSERT_NE (id, 11);
        seen.insert (id);
    }

    EXPECT_EQ (seen, (std::set<int> { 10, 13, 14 }));
}

TEST_F (NavigationTest, RandomChoiceNeedsTwoCandidates)
{
    TestLoader otherLoader;
    PresetManager small (otherLoader, "Td11", {});
    const auto bytes = otherLoader.presetBytes (1, 2, 3);
    const auto a = small.addFactoryPreset ("A", bytes.getData(), (int) bytes.getSize())->id;
    const auto b = small.addFactoryPreset ("B", bytes.getData(), (int) bytes.getSize())->id;
    EXPECT_EQ (small.randomPresetId (a), -1);
    const auto drawn = small.randomPresetId (-1);
    EXPECT_TRUE (drawn == a || drawn == b) << drawn;
}

TEST_F (NavigationTest, TheHostReferenceNamesFactoryAndUserPresetsByTheirKinds)
{
    const struct { int current; bool modified; juce::String reference; bool storedModified; } rows[] = {
        { -1, true, "", false },
        { 4, true, "", false },
        { 12, true, "FactoryPreset:F1", true },
        { 10, false, folder["User_one.td11"].getFullPathName(), false },
        { 99, true, "", false },
    };

    for (auto& row : rows)
    {
        manager->selectPreset (row.current);
        loader.setModifiedState (row.modified);
        juce::ValueTree state ("Td11");
        manager->writePresetInfo (state);
        EXPECT_EQ (state["LoadedPreset"].toString(), row.reference) << row.current;
        EXPECT_EQ ((bool) state["LoadedPresetModified"], row.storedModified) << row.current;
    }
}

TEST_F (NavigationTest, RestoringAUserReferenceFindsTheFileAfterARescan)
{
    const auto later = folder["sub/Later.td11"];
    loader.writePreset (later, 4);
    manager->restorePresetInfo (later.getFullPathName(), true);
    ASSERT_NE (manager->getCurrentUserPreset(), nullptr);
    EXPECT_EQ (manager->getCurrentUserPreset()->file, later);
    EXPECT_EQ (manager->getCurrentId(), manager->getCurrentUserPreset()->id);
    EXPECT_TRUE (loader.isModified());
}

TEST_F (NavigationTest, CategoriesFormATreeUnderTheRoot)
{
    auto* f1 = manager->findFactoryPreset (12);
    auto* f2 = manager->findFactoryPreset (13);
    ASSERT_NE (f1, nullptr);
    EXPECT_EQ (f1->name, "F1");
    EXPECT_EQ (manager->findFactoryPreset (10), nullptr);

    auto* leafA = manager->addPresetCategory ("Bass//Guitar", { f1 });
    auto* leafB = manager->addPresetCategory ("Bass//Synth", { f2 });
    auto* parent = manager->addParentCategory ("Bass", { leafA, leafB }, false);
    EXPECT_EQ (manager->getRootCategory(), nullptr);
    auto* root = manager->addParentCategory ("Root", { parent }, true);

    EXPECT_EQ (manager->getRootCategory(), root);
    EXPECT_EQ (manager->getCategories().size(), 4u);
    ASSERT_EQ (root->subcategories.size(), 1);
    EXPECT_EQ (root->subcategories[0]->subcategories[1]->presets[0], f2);
    EXPECT_EQ (leafA->manager, manager.get());
    EXPECT_EQ (manager->addPresetCategory ("Bass//Guitar", { f2 }), leafA); // same record, parents stay valid
}
