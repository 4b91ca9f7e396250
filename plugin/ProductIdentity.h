#pragma once

#include <juce_core/juce_core.h>

/** The product's identity as the build defines it: name, vendor, version and
    plug-in code are set once, in CMakeLists.txt's juce_add_plugin, and reach
    the code as JUCE's generated JucePlugin_* definitions (the code also as
    text, TANDREL_PLUGIN_CODE, which JUCE does not give). */
namespace ProductIdentity
{
/** The name hosts list, carrying the major and minor version: "Name_v1-1". */
inline juce::String name() { return JucePlugin_Name; }
inline juce::String vendor() { return JucePlugin_Manufacturer; }
inline juce::String version() { return JucePlugin_VersionString; }

/** The four-character plug-in code; it also names the state tree and the
    preset files. */
inline const char* const code = TANDREL_PLUGIN_CODE;

/** The name without its "_v<major>-<minor>" suffix: "Name". */
inline juce::String nameWithoutVersion() { return name().upToLastOccurrenceOf ("_v", false, false); }

/** The name with the full version, as the editor's title shows it: "Name_v1-1-3". */
inline juce::String nameWithFullVersion() { return nameWithoutVersion() + "_v" + version().replaceCharacter ('.', '-'); }
} // namespace ProductIdentity
