// The factory registry: compiled-in presets and their categories, and lookups by id and name.

namespace juce::qorv_gui
{

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

} // namespace juce::qorv_gui
