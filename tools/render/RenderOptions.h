#pragma once

#include "SampleFormat.h"

#include <juce_core/juce_core.h>

#include <optional>

/** The command line of tandrel-render, parsed but not yet applied. */
struct RenderOptions
{
    juce::File input, output;  // unset when standard input / output is meant
    bool inputFromStdin = false;
    bool outputToStdout = false;
    bool demo = false;
    bool raw = false;
    bool listParams = false;
    bool listPresets = false;
    bool help = false;
    bool version = false;
    int blockSize = 512;
    juce::StringArray sets;   // "ID=VALUE", applied in order after the state and the preset
    juce::String preset;      // factory preset name or path to a preset file
    juce::File state;         // host state blob applied first
    juce::File saveState;     // where to write the instance's state blob after all options

    std::optional<SampleFormat> format; // unset: the input's own format
    bool dither = true;                 // TPDF dither when writing 16 bits

    bool allPresets = false;  // render INPUT through every preset into outputDir
    juce::File outputDir;
    int jobs = 0;             // parallel renders for allPresets; 0 means one per core
    bool userPresets = false; // allPresets also renders the user presets

    /** Parses argv; on failure returns no options and fills error. */
    static std::optional<RenderOptions> parse (const juce::StringArray& arguments, juce::String& error);

    static juce::String usage();
};
