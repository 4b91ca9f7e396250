namespace juce::qorv_gui
{

namespace
{
void launchNativeChooser (juce::FileChooser& chooser, const PresetComponent::ChooserInfo&, int flags,
                          std::function<void (const juce::File&)> onResult)
{
    chooser.launchAsync (flags, [onResult = std::move (onResult)] (const juce::FileChooser& fc)
    {
        onResult (fc.getResult());
    });
}

constexpr int fileOpenFlags = juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles;
constexpr int fileSaveFlags = juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles
                            | juce::FileBrowserComponent::warnAboutOverwriting;
constexpr int folderOpenFlags = juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectDirectories;
} // namespace

/** Carries a modified mark set off the message thread over to it; the latest
    value wins. Posting reuses the updater's own message, so the calling thread
    allocates nothing. */
class PresetComponent::ModifiedMarkHandover : private juce::AsyncUpdater
{
public:
    explicit ModifiedMarkHandover (PresetComponent& ownerToUse) : owner (ownerToUse) {}
    ~ModifiedMarkHandover() override { cancelPendingUpdate(); }

    void post (bool isModified)
    {
        pending.store (isModified);
        triggerAsyncUpdate();
    }

    /** A mark shown later on the message thread supersedes one still in transit. */
    void drop() { cancelPendingUpdate(); }

private:
    void handleAsyncUpdate() override { owner.showModifiedMark (pending.load()); }

    PresetComponent& owner;
    std::atomic<bool> pending { false };
};

PresetComponent::PresetComponent (LookAndFeel& lf, PresetManager& presetManager, const juce::URL& downloadsAddress)
    : downloadsUrl (downloadsAddress),
      manager (presetManager),
      saveChooser (makeChooser ("Save Preset", manager.getExtension())),
      loadChooser (makeChooser ("Load Preset", manager.getExtension())),
      packFolderChooser (makeChooser ("Create Preset Pack From..", manager.getPackExtension())),
      packSaveChooser (makeChooser ("Save Pack To...", manager.getPackExtension())),
      packOpenChooser (makeChooser ("Open Preset Pack", manager.getPackExtension())),
      launcher (launchNativeChooser),
      urlOpener ([] (const juce::URL& url) { url.launchInDefaultBrowser(); }),
      modifiedMarkHandover (std::make_unique<ModifiedMarkHandover> (*this))
{
    JUCE_ASSERT_MESSAGE_THREAD
    setLookAndFeel (&lf);
    addListener (this);
    manager.getLoader().setDisplay (this);
    refreshFromDisk();
}

PresetComponent::~PresetComponent()
{
    if (manager.getLoader().getDisplay() == this)
        manager.getLoader().setDisplay (nullptr);

    modifiedMarkHandover.reset();
    removeListener (this);
    setLookAndFeel (nullptr);

    // A chooser still open is dropped with its callback; the callbacks also
    // check that the browser still exists before they touch it.
    packOpenChooser.dialog.reset();
    packSaveChooser.dialog.reset();
    packFolderChooser.dialog.reset();
    loadChooser.dialog.reset();
    saveChooser.dialog.reset();
}

PresetComponent::OwnedChooser PresetComponent::makeChooser (const juce::String& title, const juce::String& extensionToUse) const
{
    ChooserInfo info { title, manager.getPresetsFolder(), "*" + extensionToUse };
    auto dialog = std::make_unique<juce::FileChooser> (info.title, info.initialFolder, info.pattern);
    return { std::move (info), std::move (dialog) };
}

//==============================================================================
void PresetComponent::setModified (bool isModified)
{
    if (juce::MessageManager::existsAndIsCurrentThread())
    {
        modifiedMarkHandover->drop();
        showModifiedMark (isModified);
        return;
    }

    // A component may only be touched on the message thread.
    modifiedMarkHandover->post (isModified);
}

void PresetComponent::showModifiedMark (bool isModified)
{
    const auto text = getText();

    if (isModified && ! text.endsWithChar ('*'))
        setText (text.trimCharactersAtEnd (" ") + "*", juce::dontSendNotification);
    else if (! isModified && text.endsWithChar ('*'))
        setText (text.dropLastCharacters (1) + " ", juce::dontSendNotification);
}

void PresetComponent::selectNewItem (juce::NotificationType notification)
{
    JUCE_ASSERT_MESSAGE_THREAD
    setSelectedId (newPreset, notification);
}

//==============================================================================
void PresetComponent::rebuildMenu()
{
    // Replacing the menu directly keeps the shown text, which clear() would wipe.
    *getRootMenu() = PresetMenuBuilder::buildMenu (manager);
}

void PresetComponent::updateShownPreset()
{
    setSelectedId (noSelection, juce::dontSendNotification);

    setText (manager.getDisplayName(), juce::dontSendNotification);
    modifiedMarkHandover->drop();
    showModifiedMark (manager.getLoader().isModified());
}

//==============================================================================
void PresetComponent::comboBoxChanged (juce::ComboBox*)
{
    const auto id = getSelectedId();

    if (id >= PresetManager::firstPresetId)
    {
        manager.selectPreset (id);
        updateShownPreset();
        return;
    }

    switch (id)
    {
        case save:       savePreset(); break;
        case saveAs:     launchSaveAs(); break;
        case browseOpen: launchOpen(); updateShownPreset(); break;
        case newPreset:  manager.getLoader().resetToDefault(); break;
        case createPack: launchCreatePresetPack(); updateShownPreset(); break;
        case importPack: launchUnpackPresetPack(); updateShownPreset(); break;
        case downloadsInfo:
            if (urlOpener != nullptr)
                urlOpener (downloadsUrl);
            updateShownPreset();
            break;
        default:         updateShownPreset(); break;
    }
}

bool PresetComponent::menuHolds (int id)
{
    for (juce::PopupMenu::MenuItemIterator it (*getRootMenu(), true); it.next();)
        if (it.getItem().itemID == id)
            return true;

    return false;
}

void PresetComponent::selectPresetId (int id, juce::NotificationType notification)
{
    // Deferred as a whole: selecting now and loading on a later message would
    // let a refresh in between (the editor thread's first one, a modified mark
    // arriving) replace the shown text, and the load would find nothing selected.
    if (notification == juce::sendNotificationAsync)
    {
        juce::MessageManager::callAsync ([safeThis = juce::Component::SafePointer<PresetComponent> (this), id]
        {
            if (auto* self = safeThis.getComponent())
                self->selectPresetId (id, juce::sendNotificationSync);
        });
        return;
    }

    if (! menuHolds (id))
        refreshFromDisk();

    if (menuHolds (id))
    {
        setSelectedId (id, notification);
        return;
    }

    // Selecting an id without an item would select nothing and load nothing.
    if (id >= PresetManager::firstPresetId && notification != juce::dontSendNotification)
    {
        manager.selectPreset (id);
        updateShownPreset();
    }
}

void PresetComponent::refreshFromDisk()
{
    {
        // One lock for both, so the menu lists exactly what the rescan found.
        const juce::ScopedLock sl (manager.getLock());
        manager.rescan();
        *getRootMenu() = PresetMenuBuilder::buildMenu (manager, PresetMenuBuilder::FileCheck::trustLastScan);
    }

    updateShownPreset();
}

void PresetComponent::showPopup()
{
    refreshFromDisk();
    juce::ComboBox::showPopup();
}

//==============================================================================
void PresetComponent::savePreset()
{
    if (manager.saveCurrent())
        updateShownPreset();
    else
        launchSaveAs();
}

void PresetComponent::launchSaveAs()
{
    launch (saveChooser, fileSaveFlags, [] (PresetComponent& self, const juce::File& file) { self.saveToChosenFile (file); });
    updateShownPreset();
}

void PresetComponent::launchOpen()
{
    launch (loadChooser, fileOpenFlags, [] (PresetComponent& self, const juce::File& file) { self.openChosenFile (file); });
}

void PresetComponent::launchCreatePresetPack()
{
    launch (packFolderChooser, folderOpenFlags, [] (PresetComponent& self, const juce::File& directory) { self.packFolderChosen (directory); });
}

void PresetComponent::launchUnpackPresetPack()
{
    launch (packOpenChooser, fileOpenFlags, [] (PresetComponent& self, const juce::File& pack) { self.packToImportChosen (pack); });
}

void PresetComponent::launch (OwnedChooser& chooser, int chooserFlags, std::function<void (PresetComponent&, const juce::File&)> outcome)
{
    // A chooser runs one dialog at a time; launching it again would tear down
    // the dialog that is open.
    if (runningChoosers.contains (&chooser) || launcher == nullptr)
        return;

    runningChoosers.add (&chooser);

    launcher (*chooser.dialog, chooser.info, chooserFlags, [safeThis = juce::Component::SafePointer<PresetComponent> (this), chooserPtr = &chooser,
                               outcome = std::move (outcome)] (const juce::File& result)
    {
        // The browser may have gone while the dialog was open.
        if (auto* self = safeThis.getComponent())
        {
            self->runningChoosers.removeFirstMatchingValue (chooserPtr);
            outcome (*self, result);
        }
    });
}

//==============================================================================
void PresetComponent::openChosenFile (const juce::File& file)
{
    manager.openChosenFile (file); // rescans the tree
    rebuildMenu();
    updateShownPreset();
}

void PresetComponent::saveToChosenFile (const juce::File& file)
{
    manager.saveToChosenFile (file); // rescans the tree
    rebuildMenu();
    updateShownPreset();
}

void PresetComponent::packFolderChosen (const juce::File& directory)
{
    // Only folders of the user tree can be packed.
    if (directory == juce::File() || manager.findFolder (directory) == nullptr)
        return;

    launch (packSaveChooser, fileSaveFlags, [directory] (PresetComponent& self, const juce::File& packFile)
    {
        self.packFileChosen (directory, packFile);
    });
}

void PresetComponent::packFileChosen (const juce::File& folderDirectory, const juce::File& packFile)
{
    if (packFile != juce::File())
        manager.createPresetPack (folderDirectory, packFile);
}

void PresetComponent::packToImportChosen (const juce::File& pack)
{
    if (pack != juce::File())
    {
        manager.unpackPresetPack (pack); // rescans the tree
        rebuildMenu();
    }

    updateShownPreset();
}

//==============================================================================
void PresetComponent::setChooserLauncher (ChooserLauncher newLauncher)
{
    launcher = std::move (newLauncher);
}

void PresetComponent::setUrlOpener (UrlOpener newOpener)
{
    urlOpener = std::move (newOpener);
}

} // namespace juce::qorv_gui
