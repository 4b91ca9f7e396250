// The current preset: choosing one as the browser does, what is current, its display name, and the selection an undo restores.

namespace juce::qorv_gui
{

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

} // namespace juce::qorv_gui
