#pragma once

namespace juce::qorv_gui
{

/** Finds (or creates) the per-user data folder <location>/<vendor>/<product>
    and its "Presets" folder. When the environment variable TANDREL_DATA_DIR is
    set it replaces the search and names the data folder itself, so tests and
    portable set-ups never touch the real user folders. */
struct DataFolder
{
    static constexpr const char* overrideVariable = "TANDREL_DATA_DIR";

    /** The special locations searched, in order. */
    static juce::Array<juce::File> searchLocations();

    /** The first root under which <vendor>/<product> exists, else the first
        where it can be created; an empty File when none works. */
    static juce::File locateIn (const juce::Array<juce::File>& roots, const juce::String& vendor, const juce::String& product);

    /** The override folder when set, otherwise locateIn (searchLocations()). */
    static juce::File locate (const juce::String& vendor, const juce::String& product);

    /** dataFolder/Presets, created when missing; empty when that fails or
        dataFolder is empty. */
    static juce::File presetsFolderOf (const juce::File& dataFolder);

    /** Up to five attempts 100 ms apart. */
    static bool createDirectoryWithRetry (const juce::File& directory);

    /** Up to five attempts 100 ms apart, stopping early when the calling thread
        has been asked to exit. */
    static bool createFileWithRetry (const juce::File& file);
};

/** The presets folder of this plug-in: <data folder>/Presets, honouring
    TANDREL_DATA_DIR. Empty when no data folder could be found or created. */
juce::File findTandrelPresetsFolder();

} // namespace juce::qorv_gui
