// The user folder tree: scanning folders into records, and finding user presets and folders by path.

#include "PathNames.h"

namespace juce::qorv_gui
{

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
    const FolderVisits::Scan scan (folderVisits);
    const auto listingStart = juce::Time::getCurrentTime();
    const auto stamp = FolderListing::readStamp (folder.directory);

    if (! stamp.has_value())
    {
        folder.presets.clearQuick();
        folder.subfolders.clearQuick();
        folder.forgetListing();
        return;
    }

    folderVisits.markReached (stamp->identity);

    // Nothing was added, removed or renamed in the folder since it was listed:
    // its lists stand, and only its subfolders need looking at.
    if (folder.isListingCurrent (*stamp, depth))
    {
        for (auto* sub : folder.subfolders)
            scanFolder (*sub, depth + 1);

        return;
    }

    const auto listing = FolderListing::read (folder.directory, extension, depth < deepestFolderDepth);
    folder.presets.clearQuick();
    folder.subfolders.clearQuick();

    for (auto& file : listing.files)
        if (auto* preset = getOrAddUserPreset (file))
            folder.presets.add (preset);

    for (auto& directory : listing.subfolders)
    {
        // Each real folder is followed once: a link to one the scan has
        // reached already (".", a folder above) would list it over again.
        if (directory.isSymbolicLink())
            if (const auto target = FolderListing::readStamp (directory); target && folderVisits.wasReached (target->identity))
                continue;

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

PresetManager::UserPreset& PresetManager::getUserPreset (int id)
{
    if (auto it = userPresets.find (id); it != userPresets.end())
        return it->second;

    missingPreset = {};
    return missingPreset;
}

juce::String PresetManager::presetNameFromPath (const juce::String& path)
{
    auto name = PathNames::lastPart (path);
    const auto lastDot = name.lastIndexOfChar ('.');

    if (lastDot > 0)
        name = name.substring (0, lastDot);

    name = name.replaceCharacter ('_', ' ');
    return name.substring (0, 1).toUpperCase() + name.substring (1);
}

} // namespace juce::qorv_gui
