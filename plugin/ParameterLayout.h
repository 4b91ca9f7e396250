#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/** What a parameter identifier names. The numeric values travel across the
    processor/editor interfaces (LabelUpdater's kind argument). */
enum class ParamKind : int
{
    nSegs = 0,
    segSize = 1,
    segMix = 2,
    tone = 3,
    mode = 4,
    none = 5
};

struct ParsedParameterId
{
    ParamKind kind = ParamKind::none;
    int stage = -1;

    bool operator== (const ParsedParameterId& other) const { return kind == other.kind && stage == other.stage; }
};

constexpr int numStages = 3;
constexpr int numParameters = 11;

/** "Mode", "Tone", or for a stage (stage >= 0) "<stage>- <base name>". */
juce::String makeParameterId (ParamKind kind, int stage);

/** Inverse of makeParameterId; per-stage suffixes compare case-sensitively, the
    global names ignore case. */
ParsedParameterId parseParameterId (const juce::String& identifier);

/** The eleven parameter ids in host order. */
const juce::StringArray& getParameterIdsInOrder();

juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout();

/** Default of each parameter as a normalised value, keyed by identifier. */
float getDefaultNormalisedValue (const juce::String& identifier);
