#pragma once

namespace juce::qorv_gui
{

/** The preset browser: a combo box whose menu lists the preset commands, the
    factory presets and the user preset tree, and whose closed text names the
    current preset with a trailing "*" while it is modified. It is the loader's
    display while it exists.

    Every menu refresh leaves the box with no selected item (the shown text ends
    in a blank or a "*", which no item does), so choosing any preset, even the
    current one, is always reported as a change and loads it.

    The five file choosers answer through a ChooserLauncher, which tests can
    replace to feed a file to the same outcome code a dialog would reach. */
class PresetComponent : public juce::ComboBox,
                        public juce::ComboBox::Listener,
                        public PresetManager::PresetLoader::PresetDisplay
{
public:
    enum MenuItemId
    {
        save = 1,
        saveAs = 2,
        browseOpen = 3,
        newPreset = PresetManager::newItemId,
        createPack = 5,
        importPack = 6,
        downloadsInfo = 7,
        noSelection = 9
    };

    /** What a chooser was built with (juce::FileChooser keeps it private). */
    struct ChooserInfo
    {
        juce::String title;
        juce::File initialFolder;
        juce::String pattern;
    };

    /** Shows chooser with the given FileBrowserComponent flags and hands its
        result to onResult on the message thread (an empty File when cancelled). */
    using ChooserLauncher = std::function<void (juce::FileChooser& chooser, const ChooserInfo& info, int flags,
                                                std::function<void (const juce::File&)> onResult)>;
    using UrlOpener = std::function<void (const juce::URL&)>;

    /** Message thread. downloadsAddress is the web page behind "Downloads & Info". */
    PresetComponent (LookAndFeel& lf, PresetManager& presetManager, const juce::URL& downloadsAddress);
    ~PresetComponent() override;

    //==============================================================================
    // PresetDisplay
    /** Safe from any thread: off the message thread the change is handed over
        asynchronously. */
    void setModified (bool isModified) override;
    void selectNewItem (juce::NotificationType notification) override;

    //==============================================================================
    void rebuildMenu();
    void updateShownPreset();

    /** Saves the current user preset in place, else asks for a file. */
    void savePreset();

    void launchSaveAs();
    void launchOpen();
    void launchCreatePresetPack();
    void launchUnpackPresetPack();

    /** Selects a preset id, first relisting the menu when it does not hold the
        id yet (a file registered since the last refresh). A preset that no item
        can carry (a file deeper than the menu lists, made current by opening or
        saving it) is loaded directly, so the selection never silently does
        nothing. The arrows, Reload and Random all select through here. */
    void selectPresetId (int id, juce::NotificationType notification);

    /** Relists the user tree, rebuilds the menu and refreshes the text: the
        menu then lists the preset files present on disk. */
    void refreshFromDisk();

    void comboBoxChanged (juce::ComboBox*) override;
    void showPopup() override;

    //==============================================================================
    // Chooser outcomes: what each chooser does with the file it returns.
    void openChosenFile (const juce::File& file);
    void saveToChosenFile (const juce::File& file);
    void packFolderChosen (const juce::File& directory);
    void packFileChosen (const juce::File& folderDirectory, const juce::File& packFile);
    void packToImportChosen (const juce::File& pack);

    //==============================================================================
    void setChooserLauncher (ChooserLauncher newLauncher);
    void setUrlOpener (UrlOpener newOpener);

    PresetManager& getManager() noexcept { return manager; }
    const juce::URL& getDownloadsUrl() const noexcept { return downloadsUrl; }

private:
    class ModifiedMarkHandover;

    struct OwnedChooser
    {
        ChooserInfo info;
        std::unique_ptr<juce::FileChooser> dialog;
    };

    void showModifiedMark (bool isModified);
    bool menuHolds (int id);
    void launch (OwnedChooser& chooser, int chooserFlags, std::function<void (PresetComponent&, const juce::File&)> outcome);
    OwnedChooser makeChooser (const juce::String& title, const juce::String& extensionToUse) const;

    const juce::URL downloadsUrl;
    PresetManager& manager;

    OwnedChooser saveChooser;
    OwnedChooser loadChooser;
    OwnedChooser packFolderChooser;
    OwnedChooser packSaveChooser;
    OwnedChooser packOpenChooser;

    ChooserLauncher launcher;
    UrlOpener urlOpener;
    juce::Array<OwnedChooser*> runningChoosers;
    std::unique_ptr<ModifiedMarkHandover> modifiedMarkHandover;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PresetComponent)
};

} // namespace juce::qorv_gui
