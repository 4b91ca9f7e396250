#pragma once

#include "PluginProcessor.h"

/** --state: applies a host state blob read from a file, as a host restoring a
    project would. Returns an empty string on success, otherwise a message; a
    refused blob leaves the processor as it was. */
juce::String applyStateFile (PluginProcessor& processor, const juce::File& file);

/** --save-state: writes the blob getStateInformation gives, replacing the file
    atomically. Returns an empty string on success, otherwise a message. */
juce::String saveStateFile (PluginProcessor& processor, const juce::File& file);

/** Whether --save-state can write the file, checked before the render starts:
    an empty string when it can, otherwise a message. */
juce::String checkStateTarget (const juce::File& file);
