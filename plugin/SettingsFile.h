#pragma once

#include <juce_data_structures/juce_data_structures.h>

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
} // namespace SettingsFile
