#include "TestLoader.h"

#include "FactoryBank.h"

using namespace tandrel::test;
using juce::qorv_gui::PresetComponent;
using juce::qorv_gui::PresetScroller;

namespace
{
/** The menu as one line: "#" section headers, "-" separators, "text=id" items,
    "text[...]" sub-menus, "!" before anything disabled or ticked. */
juce::String describe (const juce::PopupMenu& menu)
{
    juce::StringArray parts;

    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
    {
        const auto& item = it.getItem();
        const auto flag = (! item.isEnabled || item.isTicked) ? juce::String ("!") : juce::String();

        if (item.isSeparator)
            parts.add ("-");
        else if (item.isSectionHeader)
            parts.add ("#" + item.text);
        else if (item.subMenu != nullptr)
            parts.add (flag + item.text + "[" + describe (*item.subMenu) + "]");
        else
            parts.add (flag + item.text + "=" + juce::String (item.itemID));
    }

    return parts.joinIntoString ("|");
}

struct Launch
{
    juce::String title;
    juce::File initialFolder;
    juce::String pattern;
    int flags;
    std::function<void (const juce::File&)> answer;
};

/** A presets folder with one preset per folder (so ids do not depend on the
    file system's listing order), a small factory tree, and a browser whose
    choosers are answered by the test. */
struct BrowserTest : public PresetFixture
{
    void SetUp() override
    {
        const auto root = folder.get();
        loader.writePreset (root.getChildFile ("Twinkle.td11"), 1);          // id 10
        loader.writePreset (root.getChildFile ("my_sub/TWINKLE.td11"), 2);   // id 11
        ASSERT_TRUE (root.getChildFile ("my_sub/empty_one").createDirectory().wasOk());
        makeManager();

        auto* twinkle = addFactory ("Twinkle", 30);                          // id 12
        auto* anchor = addFactory ("Anchor", 40);                            // id 13
        auto* guitar = manager->addPresetCategory ("Bass//Guitar", { twinkle });
        auto* oneStage = manager->addPresetCategory ("One-stage", { anchor });
        auto* bass = manager->addParentCategory ("Bass", { guitar }, false);
        manager->addParentCategory ("Root", { bass, oneStage }, true);

        makeBox();
    }

    void TearDown() override { box.reset(); }

    void makeBox()
    {
        box = std::make_unique<PresetComponent> (lookAndFeel, *manager, juce::URL ("https://example.invalid/presets/tandrel/"));
        box->setChooserLauncher ([this] (juce::FileChooser&, const PresetComponent::ChooserInfo& info, int flags, auto answer)
        {
            launches.push_back ({ info.title, info.initialFolder, info.pattern, flags, std::move (answer) });
        });
        box->setUrlOpener ([this] (const juce::URL& url) { openedUrls.add (url.toString (true)); });
    }

    /** Picks a menu item as a click in the open menu does, reported at once. */
    void choose (int id) { box->setSelectedId (id, juce::sendNotificationSync); }

    juce::File presetFile (const char* relativePath) const { return folder.get().getChildFile (relativePath); }

    juce::qorv_gui::LookAndFeel lookAndFeel;
    std::unique_ptr<PresetComponent> box;
    std::vector<Launch> launches;
    juce::StringArray openedUrls;
};

constexpr int fileSave = juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles
                       | juce::FileBrowserComponent::warnAboutOverwriting;
constexpr int fileOpen = juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles;
constexpr int folderOpen = juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectDirectories;
} // namespace

//==============================================================================
TEST_F (BrowserTest, MenuListsCommandsFactoryTreeAndUserFoldersWithUniqueNames)
{
    EXPECT_EQ (describe (*box->getRootMenu()),
               "#Options:|New=4|Browse/Open...=3|Save=1|Save as...=2|-"
               "|Preset Pack Options[Import...=6|Create...=5|Downloads & Info=7]|-"
               "|#Factory Presets:|Bass[Guitar[Twinkle=12]]|One-stage[Anchor=13]"
               "|#User Presets:|Twinkle (2)=10|My sub[TWINKLE (3)=11|Empty one[]]");

    // A file that went since the last scan is left out; one added from
    // outside shows up when the menu opens (which rescans first).
    ASSERT_TRUE (presetFile ("Twinkle.td11").deleteFile());
    loader.writePreset (presetFile ("my_sub/empty_one/Fresh.td11"), 3);
    box->rebuildMenu();
    EXPECT_EQ (describe (*box->getRootMenu()).fromFirstOccurrenceOf ("#User Presets:|", false, false),
               "My sub[TWINKLE (2)=11|Empty one[]]");

    box->refreshFromDisk(); // what opening the menu does first
    EXPECT_EQ (describe (*box->getRootMenu()).fromFirstOccurrenceOf ("#User Presets:|", false, false),
               "My sub[TWINKLE (2)=11|Empty one[Fresh=14]]");
}

TEST (PresetBrowserFactoryBank, TopLevelSubMenusAreTheBankCategoriesWithLeafNames)
{
    ScopedTempDir folder;
    TestLoader loader;
    PresetManager manager (loader, "Td11", folder.get());
    registerFactoryBank (manager);
    juce::qorv_gui::LookAndFeel lookAndFeel;
    PresetComponent box (lookAndFeel, manager, juce::URL ("https://example.invalid/"));

    juce::StringArray topSubMenus, bassLeaves;

    for (juce::PopupMenu::MenuItemIterator it (*box.getRootMenu()); it.next();)
    {
        const auto& item = it.getItem();

        if (item.subMenu != nullptr && item.text != "Preset Pack Options")
            topSubMenus.add (item.text);

        if (item.text == "Bass")
            for (juce::PopupMenu::MenuItemIterator sub (*item.subMenu); sub.next();)
                bassLeaves.add (sub.getItem().text);
    }

    EXPECT_EQ (topSubMenus.joinIntoString (","), "Bass,Drums,Guitar,One-stage,Series,Parallel");
    EXPECT_EQ (bassLeaves.joinIntoString (","), "Guitar,Synth");
}

//==============================================================================
TEST_F (BrowserTest, ShownTextNamesThePresetAndCarriesTheModifiedMark)
{
    EXPECT_EQ (box->getText(), "*New ");
    loader.edit ("a", 5);
    EXPECT_EQ (box->getText(), "*New*");

    choose (13);
    EXPECT_EQ (box->getText(), "Anchor ");
    EXPECT_EQ (box->getSelectedId(), 0); // no item matches the shown text
    loader.edit ("a", 6);
    EXPECT_EQ (box->getText(), "Anchor*");

    choose (PresetComponent::newPreset);
    EXPECT_EQ (box->getText(), "New");
    EXPECT_EQ (loader.value ("a"), 0);
    EXPECT_EQ (manager->getCurrentId(), 13); // "New" resets but keeps the preset reference
    loader.edit ("b", 1);
    EXPECT_EQ (box->getText(), "New*");

    box->updateShownPreset();
    EXPECT_EQ (box->getText(), "Anchor*");

    // Undoing a load shows "New" until the next refresh names the preset again.
    choose (12);
    ASSERT_TRUE (loader.history.undo());
    EXPECT_EQ (box->getText(), "New*");
    box->updateShownPreset();
    EXPECT_EQ (box->getText(), "Anchor*");
}

TEST_F (BrowserTest, ModifiedMarkSetOffTheMessageThreadArrivesOnIt)
{
    // Straight to the display, and through the loader as automation does.
    std::thread ([this] { box->setModified (true); }).join();
    EXPECT_EQ (box->getText(), "*New "); // nothing touched from the other thread
    EXPECT_TRUE (pumpUntil ([this] { return box->getText() == "*New*"; }));

    box->setModified (false);
    std::thread ([this] { loader.markModified(); }).join();
    EXPECT_TRUE (pumpUntil ([this] { return box->getText() == "*New*"; }));

    // A mark still in transit does not overwrite a later one.
    std::thread ([this] { box->setModified (false); }).join();
    box->setModified (true);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
    EXPECT_EQ (box->getText(), "*New*");
}

TEST_F (BrowserTest, ChoosingTheCurrentPresetAgainReloadsIt)
{
    for (const auto id : { 13, 10 }) // a factory preset, a user preset
    {
        choose (id);
        const auto loadedA = loader.value ("a");
        loader.edit ("a", 99);
        const auto calls = loader.setStateCalls;

        choose (id);
        EXPECT_EQ (loader.setStateCalls, calls + 1) << id;
        EXPECT_EQ (loader.value ("a"), loadedA) << id;
        EXPECT_FALSE (loader.isModified()) << id;
        EXPECT_EQ (manager->getCurrentId(), id);
    }

    EXPECT_EQ (box->getText(), "Twinkle ");
    EXPECT_EQ (manager->getCurrentUserPreset(), &manager->getUserPreset (10));
}

//==============================================================================
TEST_F (BrowserTest, SaveWithAFactoryPresetCurrentAsksForAFileAndSaveAsRegistersIt)
{
    choose (13);
    loader.edit ("c", 7);
    choose (PresetComponent::save);

    ASSERT_EQ (launches.size(), 1u);
    EXPECT_EQ (launches[0].title, "Save Preset");
    EXPECT_EQ (launches[0].pattern, "*.td11");
    EXPECT_EQ (launches[0].initialFolder, folder.get());
    EXPECT_EQ (launches[0].flags, fileSave);
    EXPECT_EQ (box->getText(), "Anchor*"); // shown while the dialog is open

    // A new file inside the presets folder becomes a registered preset at once.
    const auto mine = presetFile ("my_sub/Mine.td11");
    launches[0].answer (mine);
    ASSERT_TRUE (mine.existsAsFile());
    ASSERT_NE (manager->findUserPreset (mine), nullptr);
    EXPECT_EQ (manager->getCurrentId(), manager->findUserPreset (mine)->id);
    EXPECT_EQ (box->getText(), "Mine ");
    EXPECT_TRUE (describe (*box->getRootMenu()).contains ("Mine=" + juce::String (manager->getCurrentId())));

    // Save with a user preset current writes it in place, no dialog.
    loader.edit ("c", 8);
    EXPECT_EQ (box->getText(), "Mine*");
    choose (PresetComponent::save);
    EXPECT_EQ (launches.size(), 1u);
    EXPECT_EQ (box->getText(), "Mine ");
    loader.edit ("c", 9);
    choose (manager->getCurrentId());
    EXPECT_EQ (loader.value ("c"), 8);

    // The file went: Save falls back to the dialog.
    ASSERT_TRUE (mine.deleteFile());
    choose (PresetComponent::save);
    ASSERT_EQ (launches.size(), 2u);
    EXPECT_EQ (launches[1].title, "Save Preset");
}

TEST_F (BrowserTest, OpenAndSaveAsAnswersReachTheModelAndRefreshTheBox)
{
    choose (12);
    ScopedTempDir elsewhere;
    const auto outside = elsewhere.get().getChildFile ("Far_away.td11");
    loader.writePreset (outside, 55);

    choose (PresetComponent::browseOpen);
    ASSERT_EQ (launches.size(), 1u);
    EXPECT_EQ (launches[0].title, "Load Preset");
    EXPECT_EQ (launches[0].flags, fileOpen);

    launches[0].answer (outside);
    EXPECT_EQ (loader.value ("a"), 55);
    EXPECT_EQ (box->getText(), "Far away ");
    EXPECT_EQ (manager->getCurrentId(), 12); // the host reference still names the factory preset
    EXPECT_FALSE (describe (*box->getRootMenu()).contains ("Far away"));

    // A cancelled dialog changes nothing but the shown text stays right.
    choose (PresetComponent::saveAs);
    ASSERT_EQ (launches.size(), 2u);
    launches[1].answer ({});
    EXPECT_EQ (box->getText(), "Far away ");
    EXPECT_EQ (loader.value ("a"), 55);
}

TEST_F (BrowserTest, ADialogIsNotOpenedTwiceAndAnAnswerAfterTheBrowserWentIsDropped)
{
    box->launchOpen();
    box->launchOpen();
    ASSERT_EQ (launches.size(), 1u);

    box.reset();
    EXPECT_EQ (loader.getDisplay(), nullptr);
    const auto calls = loader.setStateCalls;
    launches[0].answer (presetFile ("Twinkle.td11"));
    EXPECT_EQ (loader.setStateCalls, calls);
}

//==============================================================================
TEST_F (BrowserTest, ArrowsStepThroughAllPresetsAndWrap)
{
    PresetScroller scroller (lookAndFeel, *box);

    const struct { juce::Button* button; int expectedId; const char* text; } steps[] = {
        { &scroller.rightButton, 10, "Twinkle " },  // from nothing: the lowest id
        { &scroller.leftButton, 13, "Anchor " },    // wraps down to the highest
        { &scroller.rightButton, 10, "Twinkle " },  // wraps up to the lowest
        { &scroller.rightButton, 11, "TWINKLE " },
        { &scroller.rightButton, 12, "Twinkle " },
    };

    for (const auto& step : steps)
    {
        scroller.buttonClicked (step.button);
        EXPECT_EQ (manager->getCurrentId(), step.expectedId);
        EXPECT_EQ (box->getText(), step.text);
    }

    EXPECT_EQ (loader.value ("a"), 30); // the factory Twinkle was loaded
}

TEST (PresetScrollerLayout, ArrowsSitAtBothEnds)
{
    ScopedTempDir folder;
    TestLoader loader;
    PresetManager manager (loader, "Td11", folder.get());
    juce::qorv_gui::LookAndFeel lookAndFeel;
    PresetComponent box (lookAndFeel, manager, juce::URL());
    PresetScroller scroller (lookAndFeel, box);

    const struct { int w, h; juce::Rectangle<int> left, right; } rows[] = {
        { 36, 22, { 0, 0, 11, 22 }, { 25, 0, 11, 22 } },
        { 10, 40, { 0, 0, 5, 40 }, { 5, 0, 5, 40 } },
        { 15, 15, { 0, 0, 8, 15 }, { 8, 0, 8, 15 } }, // 7.5 rounds up on both
    };

    for (const auto& row : rows)
    {
        scroller.setSize (row.w, row.h);
        EXPECT_EQ (scroller.leftButton.getBounds(), row.left) << row.w << "x" << row.h;
        EXPECT_EQ (scroller.rightButton.getBounds(), row.right) << row.w << "x" << row.h;
    }

    EXPECT_EQ (scroller.leftButton.getName(), "LeftScrollerButton");
    EXPECT_EQ (scroller.rightButton.getName(), "RightScrollerButton");
}

TEST_F (BrowserTest, ReloadOfADeletedUserFileKeepsItsNameAndChangesNothing)
{
    for (const auto menuRebuiltSinceDeletion : { false, true })
    {
        loader.writePreset (presetFile ("Twinkle.td11"), 1);
        manager->rescan();
        box->rebuildMenu();
        choose (10);
        loader.edit ("b", 4);
        ASSERT_EQ (box->getText(), "Twinkle*");

        ASSERT_TRUE (presetFile ("Twinkle.td11").deleteFile());

        if (menuRebuiltSinceDeletion)
            box->rebuildMenu();

        const auto calls = loader.setStateCalls;
        box->selectPresetId (manager->getCurrentId(), juce::sendNotificationAsync); // what Reload does
        EXPECT_TRUE (pumpUntil ([this] { return box->getText() == "Twinkle*"; })) << box->getText();

        EXPECT_EQ (loader.setStateCalls, calls);
        EXPECT_EQ (loader.value ("b"), 4);
        EXPECT_TRUE (loader.history.canUndo());
        EXPECT_EQ (manager->getCurrentId(), 10);
    }
}

TEST_F (BrowserTest, DownloadsItemOpensThePresetsPage)
{
    choose (PresetComponent::downloadsInfo);
    ASSERT_EQ (openedUrls.size(), 1);
    EXPECT_EQ (openedUrls[0], "https://example.invalid/presets/tandrel/");
    EXPECT_EQ (box->getText(), "*New ");
}

//==============================================================================
TEST_F (BrowserTest, PackCreationAndImportGoThroughTheirChoosers)
{
    ScopedTempDir elsewhere;
    choose (PresetComponent::createPack);
    ASSERT_EQ (launches.size(), 1u);
    EXPECT_EQ (launches[0].title, "Create Preset Pack From..");
    EXPECT_EQ (launches[0].pattern, "*.td11_pack");
    EXPECT_EQ (launches[0].flags, folderOpen);

    // A folder outside the user tree ends the action quietly.
    launches[0].answer (elsewhere.get());
    EXPECT_EQ (launches.size(), 1u);

    box->launchCreatePresetPack();
    ASSERT_EQ (launches.size(), 2u);
    launches[1].answer (folder.get());
    ASSERT_EQ (launches.size(), 3u);
    EXPECT_EQ (launches[2].title, "Save Pack To...");
    EXPECT_EQ (launches[2].flags, fileSave);

    const auto pack = elsewhere.get().getChildFile ("Bass_collection.td11_pack");
    launches[2].answer (pack);
    {
        juce::ZipFile zip (pack);
        ASSERT_EQ (zip.getNumEntries(), 2);
        EXPECT_EQ (zip.getEntry (0)->filename, "Twinkle.td11");
        EXPECT_EQ (zip.getEntry (1)->filename, "my_sub/TWINKLE.td11");
    }

    choose (PresetComponent::importPack);
    ASSERT_EQ (launches.size(), 4u);
    EXPECT_EQ (launches[3].title, "Open Preset Pack");
    EXPECT_EQ (launches[3].flags, fileOpen);
    launches[3].answer (pack);

    EXPECT_TRUE (presetFile ("Bass_collection/my_sub/TWINKLE.td11").existsAsFile());
    const auto menu = describe (*box->getRootMenu());
    EXPECT_TRUE (menu.contains ("|Bass collection[")) << menu;
    EXPECT_EQ (box->getText(), "*New ");
}
