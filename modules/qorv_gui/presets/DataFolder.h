#pragma once

namespace juce::qorv_gui
{

/** Finds (or creates) the per-user data folder <location>/<vendor>/<product>
    and its "Presets" folder. The caller names the vendor and product (the
    plug-in's own identity). When the environment variable TANDREL_DATA_DIR is
    set it replaces the search and names the data folder itself, so tests and
    portable set-ups never touch the real user folders. */
struct DataFolder
{
    static constexpr const char* overrideVariable = "TANDREL_DATA_DIR";

    /** Where an existing data folder is looked for, in order: the shared
        locations first (on Linux /usr, then /opt), then the user's own. */
    static juce::Array<juce::File> searchLocations();

    /** Where a new data folder may be made: the user's own locations only, so a
        process run as root never puts user data into a system folder. */
    static juce::Array<juce::File> creationLocations();

    /** The first search root under which <vendor>/<product> exists, else the
        first creation root where it can be created; an empty File when none
        works. */
    static juce::File locateIn (const juce::Array<juce::File>& searchRoots, const juce::Array<juce::File>& creationRoots,
                                const juce::String& vendor, const juce::String& product);

    /** The override folder when set, otherwise locateIn over the special
        locations above. A relative override names no folder (it would depend
        on the host's working folder): the result is empty then, never the
        real user folder the override was set to keep away from. */
    static juce::File locate (const juce::String& vendor, const juce::String& product);

    /** The override's text when it is set but not an absolute path, else empty. */
    static juce::String relativeOverride();

    /** dataFolder/Presets, created when missing; empty when that fails or
        dataFolder is empty. */
    static juce::File presetsFolderOf (const juce::File& dataFolder);

    /** presetsFolderOf (locate (vendor, product)): empty when no data folder
        could be found or created. */
    static juce::File findPresetsFolder (const juce::String& vendor, const juce::String& product);

    /** Up to five attempts 100 ms apart. */
    static bool createDirectoryWithRetry (const juce::File& directory);

    /** Up to five attempts 100 ms apart, stopping early when the calling thread
        has been asked to exit. */
    static bool createFileWithRetry (const juce::File& file);
};

} // namespace juce::qorv_gui
