// File and pack outcomes: saving the current preset, opening or saving a chosen file, creating and unpacking packs.

namespace juce::qorv_gui
{

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
