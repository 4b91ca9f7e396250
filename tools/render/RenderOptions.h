#pragma once

#include <juce_core/juce_core.h>

#include <optional>

/** The command line of tandrel-render, parsed but not yet applied. */
struct RenderOptions
{
    juce::File input, output;
    bool demo = false;
    bool raw = false;
    bool listParams = false;
    bool listPresets = false;
    bool help = false;
    int blockSize = 512;
    juce::StringArray sets;   // "ID=VALUE", applied in order after the state and the preset
    juce::String preset;      // factory preset name or path to a preset file
    juce::File state;         // host state blob applied first
    juce::File saveState;     // where to write the instance's state blob after all options

    /** Parses argv; on failure returns no options and fills error. */
    static std::optional<RenderOptions> parse (const juce::StringArray& arguments, juce::String& error);

    static juce::String usage();
};
