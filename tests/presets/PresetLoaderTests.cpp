#include "TestLoader.h"

using namespace tandrel::test;

namespace
{
struct LoaderTest : public PresetFixture
{
    void SetUp() override
    {
        makeManager();
        idA = addFactory ("A", 10)->id;
        idB = addFactory ("B", 20)->id;
    }

    int idA = -1, idB = -1;
};
} // namespace

TEST_F (LoaderTest, UndoingALoadBringsBackThePreviousPresetAndEmptiesTheHistory)
{
    TestDisplay display;
    loader.setDisplay (&display);
    ASSERT_TRUE (manager->selectPreset (idB));
    loader.edit ("a", 99);

    ASSERT_TRUE (manager->selectPreset (idA));
    EXPECT_EQ (loader.value ("a"), 10);
    EXPECT_TRUE (loader.history.canUndo());

    ASSERT_TRUE (loader.history.undo());
    EXPECT_EQ (loader.value ("a"), 99);
    EXPECT_EQ (manager->getCurrentId(), idB);
    EXPECT_TRUE (loader.isModified()); // B had been edited when A was loaded
    EXPECT_EQ (display.newItemSelections, 1);
    EXPECT_FALSE (loader.history.canUndo());
    EXPECT_FALSE (loader.history.canRedo());

    // The history still works after the step cleared it from inside.
    loader.edit ("b", 5);
    EXPECT_TRUE (loader.history.undo());
    EXPECT_EQ (loader.value ("b"), 21);
    EXPECT_TRUE (loader.history.redo());
    EXPECT_EQ (loader.value ("b"), 5);
    loader.setDisplay (nullptr);
}

TEST_F (LoaderTest, PerformUndoRedoSequencesAroundALoadKeepTheHistoryConsistent)
{
    loader.edit ("a", 1);
    loader.edit ("a", 2);
    ASSERT_TRUE (manager->selectPreset (idA));
    EXPECT_TRUE (loader.history.canUndo()); // exactly the load itself
    EXPECT_FALSE (loader.history.canRedo());

    ASSERT_TRUE (loader.history.undo());
    EXPECT_EQ (loader.value ("a"), 2);
    EXPECT_FALSE (loader.history.canUndo());
    EXPECT_FALSE (loader.history.redo());

    // Load, edit, undo the edit, load again, undo twice.
    ASSERT_TRUE (manager->selectPreset (idB));
    loader.edit ("c", 7);
    ASSERT_TRUE (loader.history.undo());
    EXPECT_EQ (loader.value ("c"), 22);
    EXPECT_TRUE (loader.history.canRedo());
    ASSERT_TRUE (manager->selectPreset (idA));
    EXPECT_FALSE (loader.history.canRedo());
    ASSERT_TRUE (loader.history.undo());
    EXPECT_EQ (loader.value ("a"), 20);
    EXPECT_FALSE (loader.history.undo());
}

TEST_F (LoaderTest, UndoingALoadWithoutAnEarlierPresetRestoresTheEarlierSelection)
{
    ASSERT_EQ (manager->getCurrentId(), -1);
    ASSERT_TRUE (manager->selectPreset (idA));
    ASSERT_TRUE (loader.history.undo());
    EXPECT_EQ (manager->getCurrentId(), -1);
    EXPECT_EQ (manager->getCurrentUserPreset(), nullptr);

    manager->restorePresetInfo (folder["gone.td11"].getFullPathName(), false); // "New" becomes current
    ASSERT_EQ (manager->getCurrentId(), 4);
    ASSERT_TRUE (manager->selectPreset (idB));
    ASSERT_TRUE (loader.history.undo());
    EXPECT_EQ (manager->getCurrentId(), 4);
}

TEST_F (LoaderTest, AnInvalidBlobChangesNothingAndKeepsTheHistory)
{
    loader.edit ("a", 3);
    const auto callsBefore = loader.setStateCalls;

    juce::MemoryBlock garbage ("not a preset at all", 19);
    EXPECT_FALSE (loader.loadStateUndoable (garbage));
    EXPECT_EQ (loader.setStateCalls, callsBefore + 1);
    EXPECT_EQ (loader.value ("a"), 3);
    EXPECT_TRUE (loader.history.canUndo());
}

TEST_F (LoaderTest, FactoryReferencesMatchTheExactNameOnly)
{
    manager->selectPreset (idA);
    manager->restorePresetInfo ("FactoryPreset:b", true);
    EXPECT_EQ (manager->getCurrentId(), idA);
    EXPECT_FALSE (loader.isModified());

    manager->restorePresetInfo ("FactoryPreset:B", true);
    EXPECT_EQ (manager->getCurrentId(), idB);
    EXPECT_TRUE (loader.isModified());
}

TEST_F (LoaderTest, AMissingUserFileSelectsNewAndClearsModified)
{
    manager->selectPreset (idA);
    loader.markModified();
    manager->restorePresetInfo (folder["gone.td11"].getFullPathName(), true);
    EXPECT_EQ (manager->getCurrentId(), 4);
    EXPECT_EQ (manager->getCurrentUserPreset(), nullptr);
    EXPECT_FALSE (loader.isModified());
}

TEST_F (LoaderTest, RestoringAStateReproducesTheStoredModifiedFlag)
{
    for (const bool wasModified : { false, true })
    {
        ASSERT_TRUE (manager->selectPreset (idB));
        if (wasModified)
            loader.edit ("a", 55);

        juce::MemoryBlock state;
        loader.getState (state, true);

        ASSERT_TRUE (manager->selectPreset (idA));
        ASSERT_TRUE (loader.setState (state.getData(), (int) state.getSize()));
        EXPECT_EQ (manager->getCurrentId(), idB);
        EXPECT_EQ (loader.isModified(), wasModified);
    }
}

TEST_F (LoaderTest, TheFirstChangeAfterALoadShowsTheMarkOnce)
{
    TestDisplay display;
    loader.setDisplay (&display);
    ASSERT_TRUE (manager->selectPreset (idA));
    display.shown.clear();

    loader.edit ("a", 1);
    loader.edit ("a", 2);
    EXPECT_EQ (display.shown, std::vector<bool> { true });
    loader.setDisplay (nullptr);
}

TEST_F (LoaderTest, ChangesFromOtherThreadsReachTheDisplayOnTheMessageThreadLater)
{
    TestDisplay display;
    loader.setDisplay (&display);

    std::thread ([this] { loader.markModified(); }).join();
    EXPECT_TRUE (loader.isModified());
    EXPECT_TRUE (display.shown.empty()); // never called directly from the other thread

    EXPECT_TRUE (pumpUntil ([&] { return ! display.shown.empty(); }));
    EXPECT_EQ (display.shown, std::vector<bool> { true });
    EXPECT_TRUE (display.onMessageThread);

    std::thread ([this] { loader.clearModified(); loader.markModified(); loader.clearModified(); }).join();
    EXPECT_TRUE (pumpUntil ([&] { return display.shown.size() == 2; }));
    EXPECT_EQ (display.shown.back(), false);
    loader.setDisplay (nullptr);
}

TEST_F (LoaderTest, AChangeFromAnotherThreadIsDroppedWhenTheDisplayHasGone)
{
    auto display = std::make_unique<TestDisplay>();
    loader.setDisplay (display.get());
    std::thread ([this] { loader.markModified(); }).join();
    loader.setDisplay (nullptr);
    display.reset(); // a late delivery would now touch freed memory

    juce::MessageManager::getInstance()->runDispatchLoopUntil (100);
    EXPECT_TRUE (loader.isModified());

    TestDisplay next;
    loader.setDisplay (&next);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (100);
    EXPECT_TRUE (next.shown.empty()); // registered after the change: nothing stale delivered
    loader.setDisplay (nullptr);
}

TEST_F (LoaderTest, ResetToDefaultAlwaysEndsUnmodified)
{
    TestDisplay display;
    loader.setDisplay (&display);
    loader.edit ("a", 3);
    loader.resetToDefault();
    EXPECT_FALSE (loader.isModified());
    EXPECT_EQ (display.shown, (std::vector<bool> { true, false }));
    loader.setDisplay (nullptr);
}

TEST_F (LoaderTest, PresetOperationsAndStateCallsShareOneLock)
{
    EXPECT_EQ (&manager->getLock(), &loader.getStateLock());

    auto enteredFromHost = [this]
    {
        bool entered = false;
        std::thread ([&] {
            entered = loader.getStateLock().tryEnter();
            if (entered)
                loader.getStateLock().exit();
        }).join();
        return entered;
    };

    {
        const juce::ScopedLock held (manager->getLock());
        EXPECT_FALSE (enteredFromHost());
    }
    EXPECT_TRUE (enteredFromHost());
}

TEST_F (LoaderTest, SelectingAnIdLoadsWhatItNamesAndMakesItCurrentEvenWhenNothingLoads)
{
    loader.writePreset (folder["Kept.td11"], 30);
    loader.writePreset (folder["Going.td11"], 40);
    manager->rescan();
    const auto kept = manager->findUserPreset (folder["Kept.td11"])->id;
    const auto going = manager->findUserPreset (folder["Going.td11"])->id;
    ASSERT_TRUE (folder["Going.td11"].deleteFile());

    const struct { int id; bool loads; int a; bool userCurrent; const char* shown; } rows[] = {
        { idB,   true,  20, false, "B " },
        { kept,  true,  30, true,  "Kept " },
        { going, false, 30, false, "Going " }, // named still, but Save no longer writes into Kept
        { idA,   true,  10, false, "A " },
        { 99,    false, 10, false, "*New " },
    };

    for (const auto& row : rows)
    {
        loader.markModified();
        EXPECT_EQ (manager->selectPreset (row.id), row.loads) << row.id;
        EXPECT_EQ (manager->getCurrentId(), row.id);
        EXPECT_EQ (manager->hasCurrentPreset(), row.id >= PresetManager::firstPresetId);
        EXPECT_EQ (loader.value ("a"), row.a) << row.id;
        EXPECT_EQ (manager->getCurrentUserPreset() != nullptr, row.userCurrent) << row.id;
        EXPECT_EQ (manager->getDisplayName(), row.shown) << row.id;
        EXPECT_EQ (manager->saveCurrent(), row.userCurrent) << row.id;
        EXPECT_EQ (loader.isModified(), ! row.loads) << "a load clears the mark; a selection that loads nothing leaves it";
    }
}
