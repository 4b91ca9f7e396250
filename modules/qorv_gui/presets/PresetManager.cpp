namespace juce::qorv_gui
{

namespace
{
const juce::String factoryPrefix { "FactoryPreset:" };
const juce::Identifier loadedPresetId { "LoadedPreset" };
const juce::Identifier loadedPresetModifiedId { "LoadedPresetModified" };

juce::String extensionFor (const juce::String& pluginCode)
{
    const auto lower = pluginCode.toLowerCase();
    return lower.startsWithChar ('.') ? lower : "." + lower;
}
} // namespace

PresetManager::PresetManager (PresetLoader& loaderToUse, const juce::String& pluginCode, const juce::File& presetsFolder)
    : extension (extensionFor (pluginCode)),
      packExtension (extension + "_pack"),
      loader (loaderToUse),
      randomEngine (std::random_device{}())
{
    loader.manager = this;

    if (presetsFolder.isDirectory())
        setUserFolder (presetsFolder);
}

PresetManager::~PresetManager()
{
    if (loader.manager == this)
        loader.manager = nullptr;
}

const juce::CriticalSection& PresetManager::getLock() const noexcept
{
    return loader.getStateLock();
}

juce::File PresetManager::getPresetsFolder() const
{
    return rootFolder != nullptr ? rootFolder->directory : juce::File();
}

//==============================================================================
juce::String PresetManager::getLoadedPresetReference() const
{
    const juce::ScopedLock sl (getLock());

    if (currentId < 1)
        return {};

    if (auto it = factoryPresets.find (currentId); it != factoryPresets.end())
        return factoryPrefix + it->second.name;

    if (isUserPresetId (currentId))
        return userPresets.at (currentId).file.getFullPathName();

    return {};
}

void PresetManager::writePresetInfo (juce::ValueTree& stateTree) const
{
    const juce::ScopedLock sl (getLock());
    const auto text = getLoadedPresetReference();
    stateTree.setProperty (loadedPresetId, text, nullptr);
    stateTree.setProperty (loadedPresetModifiedId, text.isNotEmpty() && loader.isModified(), nullptr);
}

void PresetManager::restorePresetInfo (const juce::String& loadedPreset, bool storedModified)
{
    const juce::ScopedLock sl (getLock());

    if (loadedPreset.isEmpty())
        return;

    if (loadedPreset.startsWith (factoryPrefix))
    {
        const auto name = loadedPreset.substring (factoryPrefix.length());
        auto matched = false;

        for (auto& [id, preset] : factoryPresets)
        {
            if (preset.name == name)
            {
                currentId = id;
                matched = true;
            }
        }

        if (matched)
            loader.setModifiedState (storedModified);

        return;
    }

    const juce::File file (juce::File::isAbsolutePath (loadedPreset) ? juce::File (loadedPreset) : juce::File());
    auto* preset = file != juce::File() ? findUserPreset (file) : nullptr;

    if (preset == nullptr && file != juce::File())
    {
        rescan();
        preset = findUserPreset (file);
    }

    if (preset != nullptr)
    {
        currentUserPreset = preset;
        currentId = preset->id;
        loader.setModifiedState (storedModified);
        return;
    }

    currentUserPreset = nullptr;
    loader.clearModified();
    currentId = newItemId;
}

//==============================================================================
bool PresetManager::selectPreset (int id)
{
    const juce::ScopedLock sl (getLock());
    auto loaded = false;

    if (isUserPresetId (id))
    {
        auto& preset = getUserPreset (id);
        loaded = loader.loadFromFile (preset.file);
        currentUserPreset = loaded ? &preset : nullptr;
        loader.clearModified();
    }
    else if (auto* factory = findFactoryPreset (id))
    {
        auto bytes = factory->data; // the load unshifts its bytes in place
        loaded = loader.loadStateUndoable (bytes);
        currentUserPreset = nullptr;
        loader.clearModified();
    }
    else if (userPresets.count (id) > 0 && currentUserPreset != &userPresets.at (id))
    {
        // A user file that has gone since the menu was built: nothing is loaded,
        // but Save must not write into the file of the preset that was current
        // while the browser names this one.
        currentUserPreset = nullptr;
    }

    // Set also when nothing could be loaded (a user file that has gone).
    currentId = id;
    return loaded;
}

int PresetManager::getCurrentId() const
{
    const juce::ScopedLock sl (getLock());
    return currentId;
}

bool PresetManager::hasCurrentPreset() const
{
    return getCurrentId() >= firstPresetId;
}

const PresetManager::UserPreset* PresetManager::getCurrentUserPreset() const
{
    const juce::ScopedLock sl (getLock());
    return currentUserPreset;
}

juce::String PresetManager::getDisplayName() const
{
    const juce::ScopedLock sl (getLock());

    if (currentUserPreset != nullptr && currentUserPreset == externalPreset.get())
        return currentUserPreset->name + " ";

    // Also when the file has gone: the browser keeps naming the preset the user
    // picked, whose load then changed nothing.
    if (auto it = userPresets.find (currentId); it != userPresets.end())
        return it->second.name + " ";

    if (auto it = factoryPresets.find (currentId); it != factoryPresets.end())
        return it->second.name + " ";

    return "*New ";
}

//==============================================================================
int PresetManager::stepPreset (int direction) const
{
    const juce::ScopedLock sl (getLock());

    if (direction == 0)
        return -1;

    // Only the ids the walk lands on are checked on disk.
    const auto listed = listedUserPresetIds();
    auto isAvailable = [this, &listed] (int id)
    {
        return factoryPresets.count (id) > 0
            || (std::binary_search (listed.begin(), listed.end(), id) && isUserPresetId (id));
    };

    // Without anything to land on, the walk below would never meet currentId
    // again when that lies outside the id range.
    const auto anyAvailable = std::any_of (factoryPresets.begin(), factoryPresets.end(), [&] (auto& p) { return p.first != currentId; })
                           || std::any_of (listed.begin(), listed.end(), [&] (int id) { return id != currentId && isUserPresetId (id); });

    if (! anyAvailable)
        return -1;

    auto n = currentId + direction;

    for (;;)
    {
        if (n != currentId && isAvailable (n))
            return n;

        if (direction > 0)
        {
            if (++n >= nextId)
                n = firstPresetId;
        }
        else
        {
            if (--n < firstPresetId)
                n = nextId - 1;
        }

        if (n == currentId)
            return -1;
    }
}

int PresetManager::randomPresetId (int excludedId)
{
    const juce::ScopedLock sl (getLock());
    std::vector<int> candidates;
    const auto listed = listedUserPresetIds();
    candidates.reserve (factoryPresets.size() + listed.size());

    for (auto& [id, preset] : factoryPresets)
        if (id != excludedId)
            candidates.push_back (id);

    for (auto id : listed)
        if (id != excludedId && isUserPresetId (id))
            candidates.push_back (id);

    if (candidates.size() < 2)
        return -1;

    std::uniform_int_distribution<size_t> draw (0, candidates.size() - 1);
    return candidates[draw (randomEngine)];
}

bool PresetManager::isUserPresetId (int id) const
{
    const auto it = userPresets.find (id);
    return it != userPresets.end()
        && it->second.file.getFullPathName().isNotEmpty()
        && it->second.file.existsAsFile();
}

bool PresetManager::isListedUserPresetId (int id) const
{
    const juce::ScopedLock sl (getLock());
    const auto listed = listedUserPresetIds();
    return std::binary_search (listed.begin(), listed.end(), id) && isUserPresetId (id);
}

std::vector<int> PresetManager::listedUserPresetIds() const
{
    std::vector<int> ids;
    ids.reserve (userPresets.size());

    std::function<void (const UserFolder&)> collect = [&] (const UserFolder& folder)
    {
        for (auto* preset : folder.presets)
            ids.push_back (preset->id);

        for (auto* sub : folder.subfolders)
            collect (*sub);
    };

    if (rootFolder != nullptr)
        collect (*rootFolder);

    std::sort (ids.begin(), ids.end());
    return ids;
}

PresetManager::UserPreset& PresetManager::getUserPreset (int id)
{
    if (auto it = userPresets.find (id); it != userPresets.end())
        return it->second;

    missingPreset = {};
    return missingPreset;
}

PresetManager::FactoryPreset* PresetManager::findFactoryPreset (int id)
{
    auto it = factoryPresets.find (id);
    return it != factoryPresets.end() ? &it->second : nullptr;
}

const PresetManager::FactoryPreset* PresetManager::findFactoryPreset (const juce::String& name) const
{
    for (auto& [id, preset] : factoryPresets)
        if (preset.name == name)
            return &preset;

    return nullptr;
}

PresetManager::Selection PresetManager::getSelection() const
{
    const juce::ScopedLock sl (getLock());
    Selection selection;
    selection.id = currentId;

    if (currentUserPreset != nullptr)
    {
        selection.userFile = currentUserPreset->file;
        selection.external = currentUserPreset == externalPreset.get();
    }

    return selection;
}

void PresetManager::restoreSelectionAfterUndo (const Selection& before, bool hadPresetReference)
{
    const juce::ScopedLock sl (getLock());

    if (hadPresetReference && factoryPresets.count (currentId) == 0)
        return; // a user reference was restored with its own record

    auto resolve = [this, &before]() -> UserPreset*
    {
        if (before.userFile == juce::File())
            return nullptr;

        if (before.external)
        {
            if (externalPreset == nullptr || externalPreset->file != before.userFile)
                externalPreset = std::make_unique<UserPreset> (UserPreset { before.userFile, presetNameFromPath (before.userFile.getFullPathName()), -1 });

            return externalPreset.get();
        }

        auto it = userPresetsByPath.find (before.userFile.getFullPathName());
        return it != userPresetsByPath.end() ? it->second : nullptr;
    };

    currentUserPreset = resolve();

    if (! hadPresetReference)
        currentId = before.id;
}

//==============================================================================
PresetManager::FactoryPreset* PresetManager::addFactoryPreset (const juce::String& name, const void* data, int size)
{
    const juce::ScopedLock sl (getLock());
    const auto id = nextId++;
    auto& preset = factoryPresets[id];
    preset.id = id;
    preset.name = name;

    if (data != nullptr && size > 0)
        preset.data.replaceAll (data, (size_t) size);

    return &preset;
}

PresetManager::FactoryCategory* PresetManager::addPresetCategory (const juce::String& name, const juce::Array<FactoryPreset*>& presets)
{
    const juce::ScopedLock sl (getLock());
    auto& slot = categories[name];

    // A name registered twice keeps its record, so pointers held by parents stay valid.
    if (slot == nullptr)
        slot = std::make_unique<FactoryCategory>();

    *slot = FactoryCategory { name, presets, {}, this };
    return slot.get();
}

PresetManager::FactoryCategory* PresetManager::addParentCategory (const juce::String& name, const juce::Array<FactoryCategory*>& subcategories, bool makeRoot)
{
    const juce::ScopedLock sl (getLock());
    auto& slot = categories[name];

    if (slot == nullptr)
        slot = std::make_unique<FactoryCategory>();

    *slot = FactoryCategory { name, {}, subcategories, this };

    if (makeRoot)
        rootCategory = slot.get();

    return slot.get();
}

//==============================================================================
void PresetManager::setUserFolder (const juce::File& directory)
{
    const juce::ScopedLock sl (getLock());

    if (directory.isDirectory())
        rootFolder = getOrAddFolder (directory, 0);
}

void PresetManager::rescan()
{
    const juce::ScopedLock sl (getLock());

    if (rootFolder != nullptr)
        scanFolder (*rootFolder, 0);
}

void PresetManager::scanFolder (UserFolder& folder, int depth)
{
    const juce::ScopedLock sl (getLock());
    const auto listingStart = juce::Time::getCurrentTime();
    const auto stamp = FolderListing::readStamp (folder.directory);

    if (! stamp.has_value())
    {
        folder.presets.clearQuick();
        folder.subfolders.clearQuick();
        folder.forgetListing();
        return;
    }

    // Nothing was added, removed or renamed in the folder since it was listed:
    // its lists stand, and only its subfolders need looking at.
    if (folder.isListingCurrent (*stamp, depth))
    {
        for (auto* sub : folder.subfolders)
            scanFolder (*sub, depth + 1);

        return;
    }

    // Folders three levels below the root show their files but no subfolders.
    const auto listing = FolderListing::read (folder.directory, extension, depth < 3);
    folder.presets.clearQuick();
    folder.subfolders.clearQuick();

    for (auto& file : listing.files)
        if (auto* preset = getOrAddUserPreset (file))
            folder.presets.add (preset);

    for (auto& directory : listing.subfolders)
    {
        auto* sub = findFolder (directory);

        if (sub == nullptr)
            sub = getOrAddFolder (directory, depth + 1); // scans the new record
        else
            scanFolder (*sub, depth + 1);

        folder.subfolders.add (sub);
    }

    folder.rememberListing (*stamp, depth, listing.reusable && stamp->isSettledAt (listingStart));
}

PresetManager::UserFolder* PresetManager::getOrAddFolder (const juce::File& directory, int depth)
{
    const juce::ScopedLock sl (getLock());

    if (auto* existing = findFolder (directory))
        return existing;

    const auto path = directory.getFullPathName();
    auto& slot = folders[path];

    // A record whose folder had vanished is reused when it comes back.
    if (slot == nullptr)
        slot = std::make_unique<UserFolder> (directory, *this);

    scanFolder (*slot, depth);
    return slot.get();
}

PresetManager::UserPreset* PresetManager::getOrAddUserPreset (const juce::File& file)
{
    const juce::ScopedLock sl (getLock());
    const auto path = file.getFullPathName();

    // Looked up by path alone: a file that vanished and came back keeps its id.
    if (auto it = userPresetsByPath.find (path); it != userPresetsByPath.end())
        return it->second;

    const auto id = nextId++;
    auto& preset = userPresets[id];
    preset = UserPreset { file, presetNameFromPath (path), id };
    userPresetsByPath[path] = &preset;
    return &preset;
}

PresetManager::UserPreset* PresetManager::findUserPreset (const juce::File& file)
{
    const juce::ScopedLock sl (getLock());
    auto it = userPresetsByPath.find (file.getFullPathName());
    return it != userPresetsByPath.end() && file.existsAsFile() ? it->second : nullptr;
}

PresetManager::UserFolder* PresetManager::findFolder (const juce::File& directory)
{
    const juce::ScopedLock sl (getLock());
    auto it = folders.find (directory.getFullPathName());
    return it != folders.end() && directory.isDirectory() ? it->second.get() : nullptr;
}

bool PresetManager::isKnownPresetFile (const juce::File& file)
{
    return findUserPreset (file) != nullptr;
}

bool PresetManager::isInsidePresetsFolder (const juce::File& file) const
{
    return rootFolder != nullptr && file.isAChildOf (rootFolder->directory);
}

bool PresetManager::saveCurrent()
{
    const juce::ScopedLock sl (getLock());
    return currentUserPreset != nullptr && loader.saveToFile (currentUserPreset->file);
}

void PresetManager::setExternalPreset (const juce::File& file)
{
    const juce::ScopedLock sl (getLock());
    externalPreset = std::make_unique<UserPreset> (UserPreset { file, presetNameFromPath (file.getFullPathName()), -1 });
    currentUserPreset = externalPreset.get();
    loader.clearModified();
}

void PresetManager::makeUserPresetCurrent (UserPreset& preset)
{
    currentUserPreset = &preset;
    loader.clearModified();
    currentId = preset.id;
}

juce::String PresetManager::presetNameFromPath (const juce::String& path)
{
    auto name = path.fromLastOccurrenceOf (juce::File::getSeparatorString(), false, false);
    const auto lastDot = name.lastIndexOfChar ('.');

    if (lastDot > 0)
        name = name.substring (0, lastDot);

    name = name.replaceCharacter ('_', ' ');
    return name.substring (0, 1).toUpperCase() + name.substring (1);
}

//==============================================================================
bool PresetManager::openChosenFile (const juce::File& file)
{
    const juce::ScopedLock sl (getLock());
    auto loaded = false;

    if (file != juce::File() && file.existsAsFile() && loader.loadFromFile (file))
    {
        loaded = true;

        if (isInsidePresetsFolder (file))
            makeUserPresetCurrent (*getOrAddUserPreset (file));
        else
            setExternalPreset (file);
    }

    rescan();
    return loaded;
}

bool PresetManager::saveToChosenFile (const juce::File& file)
{
    const juce::ScopedLock sl (getLock());

    if (file == juce::File() || file.isDirectory())
    {
        rescan();
        return false;
    }

    const auto created = ! file.existsAsFile();

    if (created && ! DataFolder::createFileWithRetry (file))
    {
        rescan();
        return false;
    }

    // Recorded as current only once the state is in the file, so a failed save
    // never leaves an empty or stale file named as the current preset.
    const auto saved = loader.saveToFile (file);

    if (saved)
    {
        if (isInsidePresetsFolder (file))
            makeUserPresetCurrent (*getOrAddUserPreset (file));
        else
            setExternalPreset (file);
    }
    else if (created)
    {
        file.deleteFile();
    }

    rescan();
    return saved;
}

//==============================================================================
bool PresetManager::createPresetPack (const juce::File& folderDirectory, const juce::File& packFile)
{
    const juce::ScopedLock sl (getLock());
    auto* folder = folderDirectory != juce::File() ? findFolder (folderDirectory) : nullptr;

    if (folder == nullptr || packFile == juce::File() || packFile.isDirectory())
        return false;

    return PresetPack::write (*folder, packFile);
}

bool PresetManager::unpackPresetPack (const juce::File& pack)
{
    const juce::ScopedLock sl (getLock());
    const auto root = getPresetsFolder();
    auto extracted = false;

    if (root.isDirectory() && pack.existsAsFile())
    {
        const auto name = PresetPack::packNameFromPath (pack.getFullPathName());
        const auto target = root.getChildFile (name);

        // A name like "." or ".." would put the pack beside or above the folder.
        const auto targetIsSafe = PresetPack::isSafeEntryPath (name)
                               && ! name.containsAnyOf ("/\\")
                               && name != "."
                               && target.isAChildOf (root)
                               && ! target.isSymbolicLink();

        if (targetIsSafe && (target.isDirectory() || target.createDirectory().wasOk()))
            extracted = PresetPack::extractInto (pack, target);
    }

    rescan();
    return extracted;
}

} // namespace juce::qorv_gui
