#pragma once

#include "ParameterLayout.h"

#include <qorv_gui/qorv_gui.h>

#include <array>

/** The factory presets' parameter values: one readable table from which the
    stored preset files are generated (tools/presetgen) and against which the
    tests check them. Order, names and categories are the bank's registration
    order. */
struct FactoryStageValues
{
    int nSegs;
    float segSize; // microseconds
    float segMix;  // percent
};

struct FactoryPresetValues
{
    const char* name;
    const char* category; // leaf category; "Parent//Leaf" under a parent
    int mode;             // 0 Series, 1 Parallel
    float tone;
    FactoryStageValues stages[numStages];
};

constexpr int numFactoryPresets = 35;

const std::array<FactoryPresetValues, numFactoryPresets>& getFactoryBankTable();

/** "Black pepper" -> "Black_pepper.td11", the stored file of a preset. */
juce::String getFactoryPresetFileName (const juce::String& presetName);

/** "Black pepper" -> "Black_pepper_td11", the embedded resource of a preset. */
juce::String getFactoryPresetResourceName (const juce::String& presetName);

/** Registers every embedded preset with the manager in table order, each leaf
    category after its presets, each parent after its last leaf, then "Root". */
void registerFactoryBank (juce::qorv_gui::PresetManager& manager);

/** Sets the model tree's parameters to a table row's values (as host changes). */
void applyFactoryPresetValues (juce::AudioProcessorValueTreeState& tree, const FactoryPresetValues& preset);
