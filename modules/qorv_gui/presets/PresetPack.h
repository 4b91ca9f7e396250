#pragma once

namespace juce::qorv_gui
{

/** Preset packs: a ZIP archive of a user folder's preset files. */
struct PresetPack
{
    /** Writes the folder's presets into packFile, replacing it atomically. */
    static bool write (const PresetManager::UserFolder& folder, const juce::File& packFile);

    /** The pack file's name without its extension (a leading dot stays). */
    static juce::String packNameFromPath (const juce::String& path);

    /** Extracts every entry in order into target, overwriting, and stops at the
        first entry that fails; earlier entries stay. Entries whose path would
        leave target (parent steps, absolute paths, drive letters, symbolic
        links in the archive or on disk) fail. True when all entries were
        extracted. */
    static bool extractInto (const juce::File& pack, const juce::File& target);

    /** True for a relative entry path, valid UTF-8, that stays inside the
        folder it is extracted into. Both "/" and "\" count as separators. */
    static bool isSafeEntryPath (const juce::String& entryPath);
};

} // namespace juce::qorv_gui
