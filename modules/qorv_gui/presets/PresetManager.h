#pragma once

namespace juce::qorv_gui
{

/** The preset model: every known preset under an integer id, which one is
    current, the user preset folder tree, the factory bank and its categories.

    Ids start at 10 and are handed out once per preset (user files by full path,
    factory presets by registration); ids 1..9 belong to the browser's fixed
    menu items, 4 meaning "New".

    Threading: everything here runs on the message thread, except
    writePresetInfo/restorePresetInfo, which the loader's getState/setState may
    call on a host thread. The operations that read or change the model take the
    loader's state lock (getLock()), so a host state call never races a preset
    operation; a browser reading the maps directly should hold getLock() too. */
class PresetManager
{
public:
    class PresetLoader;
    class UserFolder;

    struct FactoryPreset
    {
        int id = -1;
        juce::String name;
        juce::MemoryBlock data; // the stored preset file bytes (shifted)
    };

    struct UserPreset
    {
        juce::File file;
        juce::String name; // display name
        int id = -1;
    };

    struct FactoryCategory
    {
        juce::String name; // a leaf under a parent carries "Parent//Leaf"
        juce::Array<FactoryPreset*> presets;
        juce::Array<FactoryCategory*> subcategories;
        PresetManager* manager = nullptr;
    };

    /** What the browser has selected: restored when a load is undone. */
    struct Selection
    {
        int id = -1;
        juce::File userFile;       // empty when no user preset was current
        bool external = false;     // userFile was the external preset
    };

    static constexpr int firstPresetId = 10;
    /** The browser's "New" item: defaults, no preset. */
    static constexpr int newItemId = 4;
    /** Folders this many levels below the root list their files but no subfolders. */
    static constexpr int deepestFolderDepth = 3;

    /** The state tree's root properties holding the loaded-preset reference. */
    static const juce::Identifier loadedPresetProperty;
    static const juce::Identifier loadedPresetModifiedProperty;

    /** Scans presetsFolder at once when it is an existing directory, so user
        presets present at start-up take the lowest ids. An empty File means
        "no user folder". */
    PresetManager (PresetLoader& loader, const juce::String& pluginCode, const juce::File& presetsFolder);
    ~PresetManager();

    //==============================================================================
    // Loaded-preset reference in the host state
    void writePresetInfo (juce::ValueTree& stateTree) const;
    void restorePresetInfo (const juce::String& loadedPreset, bool storedModified);

    /** The text writePresetInfo stores as "LoadedPreset" for the current id. */
    juce::String getLoadedPresetReference() const;

    //==============================================================================
    // The current preset

    /** Makes id current the way a choice in the browser does, under the state
        lock: a user preset whose file is there is loaded from it and becomes the
        current user preset if that worked (none if not); a factory preset is
        loaded from a copy of its bytes as one undoable step and no user preset is
        current; either way the modified mark is cleared. A user preset whose
        file has gone loads nothing and keeps the mark; it stops another user
        preset from being current, so Save never writes into a file the browser
        no longer names. The id becomes current last, also when nothing could be
        loaded or when it names no preset. True when a preset was applied. */
    bool selectPreset (int id);

    /** -1 before anything was current, 4 for "New", else a preset id. */
    int getCurrentId() const;

    /** True when the current id is a preset's (10 or more), which Reload reloads
        and Random leaves out. */
    bool hasCurrentPreset() const;

    /** The user preset (or the external preset) last loaded, opened or saved;
        nullptr after a factory preset or a failed load. */
    const UserPreset* getCurrentUserPreset() const;

    /** The name the browser shows for the current preset, before any modified
        mark: the external preset's name when that is current, else the name of
        the user or factory preset with the current id (a user preset keeps its
        name when its file has gone), each followed by one blank, or "*New " when
        the id names no preset. The trailing blank keeps the text from matching
        a menu item, so choosing the same preset again is still a change. */
    juce::String getDisplayName() const;

    //==============================================================================
    // Navigation. The arrows and Random go through what the browser's menu can
    // list: factory presets and the user presets of the scanned tree. A file
    // registered deeper than the tree goes (opened or saved there) is never
    // landed on, although it can be current.
    int stepPreset (int direction) const;
    int randomPresetId (int excludedId);
    bool isUserPresetId (int id) const;
    /** A user preset of the scanned tree whose file is still there. */
    bool isListedUserPresetId (int id) const;
    /** The record of a known user id; an empty record (id -1) for unknown ids. */
    UserPreset& getUserPreset (int id);
    FactoryPreset* findFactoryPreset (int id);
    const FactoryPreset* findFactoryPreset (const juce::String& name) const;

    Selection getSelection() const;

    /** After a load was undone: without a stored reference the earlier id and
        user preset come back; after a factory reference the user preset does
        (restorePresetInfo has set the id but leaves the user preset alone). */
    void restoreSelectionAfterUndo (const Selection& before, bool hadPresetReference);

    //==============================================================================
    // Factory bank
    FactoryPreset* addFactoryPreset (const juce::String& name, const void* data, int size);
    FactoryCategory* addPresetCategory (const juce::String& name, const juce::Array<FactoryPreset*>& presets);
    FactoryCategory* addParentCategory (const juce::String& name, const juce::Array<FactoryCategory*>& subcategories, bool makeRoot);

    //==============================================================================
    // User folder tree
    void setUserFolder (const juce::File& directory);
    /** Relists one folder and, while depth < deepestFolderDepth, its subfolders: files and
        folders in PresetNameOrder, so new files take their ids in that order.
        A folder whose stamp shows no entry added, removed or renamed since its
        last listing keeps that listing without being read again. */
    void scanFolder (UserFolder& folder, int depth);
    /** Relists the whole tree from the root; does nothing without a root. */
    void rescan();
    UserFolder* getOrAddFolder (const juce::File& directory, int depth);
    UserPreset* getOrAddUserPreset (const juce::File& file);
    UserPreset* findUserPreset (const juce::File& file);
    UserFolder* findFolder (const juce::File& directory);
    bool isKnownPresetFile (const juce::File& file);
    bool isInsidePresetsFolder (const juce::File& file) const;
    bool saveCurrent();
    void setExternalPreset (const juce::File& file);

    /** Display name of a preset file or folder: last path element, extension cut,
        "_" as blanks, first letter upper-cased. */
    static juce::String presetNameFromPath (const juce::String& path);

    //==============================================================================
    // File-choice outcomes, for the browser's chooser callbacks. Both rescan the
    // tree before returning; the browser then rebuilds its menu and its text.

    /** Loads a chosen file as one undoable step. A file inside the presets folder
        becomes the current user preset, any other the external preset. */
    bool openChosenFile (const juce::File& file);

    /** Saves the current state into a chosen file (created when missing). A file
        inside the presets folder, new or existing, becomes a registered current
        user preset; any other becomes the external preset. */
    bool saveToChosenFile (const juce::File& file);

    //==============================================================================
    // Packs

    /** Packs a folder of the scanned user tree into packFile (replaced
        atomically). False for folders outside the tree or a failed write. */
    bool createPresetPack (const juce::File& folderDirectory, const juce::File& packFile);

    /** Unpacks into <presets folder>/<pack name>, then rescans. True when every
        entry was extracted. */
    bool unpackPresetPack (const juce::File& pack);

    //==============================================================================
    const juce::CriticalSection& getLock() const noexcept;
    PresetLoader& getLoader() noexcept { return loader; }
    juce::File getPresetsFolder() const;

    /** The preset file extension of a plug-in code: "." and the code in lower case. */
    static juce::String extensionFor (const juce::String& pluginCode);

    /** ".td11" and ".td11_pack": the preset file and pack extensions. */
    const juce::String& getExtension() const noexcept { return extension; }
    const juce::String& getPackExtension() const noexcept { return packExtension; }

    //==============================================================================
    // Read-only views for listings (hold getLock() while walking them).
    const std::map<int, FactoryPreset>& getFactoryPresets() const noexcept { return factoryPresets; }
    const std::map<int, UserPreset>& getUserPresets() const noexcept { return userPresets; }
    const std::map<juce::String, std::unique_ptr<FactoryCategory>>& getCategories() const noexcept { return categories; }
    const FactoryCategory* getRootCategory() const noexcept { return rootCategory; }
    const UserFolder* getRootFolder() const noexcept { return rootFolder; }
    /** The id the next preset to become known will take. */
    int getNextId() const noexcept { return nextId; }

private:
    void makeUserPresetCurrent (UserPreset& preset);
    /** The ids of the scanned tree's presets, ascending, as last listed (their
        files are not checked). */
    std::vector<int> listedUserPresetIds() const;

    const juce::String extension;     // ".td11"
    const juce::String packExtension; // ".td11_pack"

    PresetLoader& loader;
    int currentId = -1;
    int nextId = firstPresetId;
    std::map<int, FactoryPreset> factoryPresets;
    std::map<int, UserPreset> userPresets;
    std::map<juce::String, UserPreset*> userPresetsByPath;
    UserPreset* currentUserPreset = nullptr;
    std::unique_ptr<UserPreset> externalPreset;

    std::map<juce::String, std::unique_ptr<UserFolder>> folders;
    UserFolder* rootFolder = nullptr;
    FolderVisits folderVisits;

    std::map<juce::String, std::unique_ptr<FactoryCategory>> categories;
    FactoryCategory* rootCategory = nullptr;

    std::mt19937 randomEngine;
    UserPreset missingPreset;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PresetManager)
};

} // namespace juce::qorv_gui
