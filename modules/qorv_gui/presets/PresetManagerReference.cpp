// The loaded-preset reference the host state carries: written from the current id, restored into it.

namespace juce::qorv_gui
{

namespace
{
const juce::String factoryPrefix { "FactoryPreset:" };
} // namespace

const juce::Identifier PresetManager::loadedPresetProperty { "LoadedPreset" };
const juce::Identifier PresetManager::loadedPresetModifiedProperty { "LoadedPresetModified" };

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
    stateTree.setProperty (loadedPresetProperty, text, nullptr);
    stateTree.setProperty (loadedPresetModifiedProperty, text.isNotEmpty() && loader.isModified(), nullptr);
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

} // namespace juce::qorv_gui
