#pragma once

#include "PluginProcessor.h"

/** --preset: loads a factory preset by its exact name, or a preset file by
    path, the way the preset browser does (the preset becomes current and
    unmodified). Returns an empty string on success, otherwise a message; an
    unknown name lists the closest factory names. */
juce::String applyPresetOption (PluginProcessor& processor, const juce::String& nameOrPath);

/** A preset as --all-presets renders it: its display name and what
    --preset takes to load it (the factory name, or the user file's path). */
struct BankEntry
{
    juce::String name;
    juce::String selector;
};

/** The factory presets in bank order, then (with includeUser) the user presets
    of the presets folder in the order --list-presets shows them. */
std::vector<BankEntry> listBank (PluginProcessor& processor, bool includeUser);

/** --list-presets: the factory presets in bank order with their categories,
    then the user presets of the presets folder. */
juce::String describePresets (PluginProcessor& processor);

/** Up to maxResults names close to query (ignoring case), closest first. */
juce::StringArray findCloseNames (const juce::String& query, const juce::StringArray& names, int maxResults = 5);
