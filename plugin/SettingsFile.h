#pragma once

#include <juce_data_structures/juce_data_structures.h>

#include <filesystem>

/** The user's own settings, such as the interface scale: a small
    juce::PropertiesFile (XML) in the user data folder, beside the presets.
    Settings are per user, not per project: they are neither host state nor
    part of a preset.

    Reading never fails: a missing file, one that is not a plain file, one
    larger than any settings file we write, or one that is not a settings
    document reads as no settings at all. Writing replaces the whole file
    through a staging file renamed over it, so no reader ever sees half a file. */
namespace SettingsFile
{
inline constexpr const char* fileName = "Settings.xml";

/** Larger files are not ours: reading one would only cost time and memory. */
inline constexpr juce::int64 maximumBytes = 64 * 1024;

/** <user data folder>/Settings.xml; an empty File when there is no data folder. */
juce::File defaultLocation();

/** The settings the file holds; empty when it cannot be used. */
juce::PropertySet read (const juce::File& file);

/** Writes values as the whole file. False, and the file as it was, when that fails. */
bool write (const juce::File& file, const juce::PropertySet& values);

/** What tells one version of the file from another without reading it: two
    writes a few milliseconds apart differ in it on every platform. */
struct Version
{
    bool exists = false;
    std::uintmax_t size = 0;
    // The standard library's time is exact to the nanosecond on Linux but to
    // the second on Windows, the framework's the other way round: both are kept.
    std::filesystem::file_time_type modified {};
    juce::int64 modifiedMilliseconds = 0;

    bool operator== (const Version& other) const noexcept
    {
        return exists == other.exists && size == other.size && modified == other.modified
               && modifiedMilliseconds == other.modifiedMilliseconds;
    }
    bool operator!= (const Version& other) const noexcept { return ! operator== (other); }
};

/** The file's version now; a default Version when it is not there. */
Version versionOf (const juce::File& file);
} // namespace SettingsFile
