#pragma once

namespace juce::qorv_gui
{

/** One folder of the user preset tree, as the last scan listed it. Records are
    never removed: a folder that disappears keeps its record in case it returns. */
class PresetManager::UserFolder
{
public:
    UserFolder (const juce::File& directoryToUse, PresetManager& owner);

    /** Adds this folder's presets, then each subfolder's, depth first, as
        uncompressed entries named relative to base with "/" between levels.
        Presets whose file has gone since the last scan are left out. */
    void addFolderToPack (juce::ZipFile::Builder& builder, const juce::File& base) const;

    juce::File directory;
    juce::String name; // display name
    juce::Array<UserPreset*> presets;
    juce::Array<UserFolder*> subfolders;
    PresetManager* manager;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (UserFolder)
};

} // namespace juce::qorv_gui
