#pragma once

namespace juce::qorv_gui
{

/** One folder of the user preset tree, as the last scan listed it: its preset
    files and subfolders in PresetNameOrder. Records are never removed: a folder
    that disappears keeps its record in case it returns. */
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

private:
    friend class PresetManager;

    /** True when the lists above still hold what the folder holds: it was
        listed at this depth with this stamp, after its last change had settled. */
    bool isListingCurrent (const FolderListing::Stamp& stamp, int depth) const noexcept;

    void rememberListing (const FolderListing::Stamp& stamp, int depth, bool reusable) noexcept;
    void forgetListing() noexcept;

    FolderListing::Stamp listedStamp;
    int listedDepth = -1;
    bool listingReusable = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (UserFolder)
};

} // namespace juce::qorv_gui
