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

/** How the framework holds a parameter. */
enum class ParameterType
{
    choice,  // juce::AudioParameterChoice over the mode names
    integer, // juce::AudioParameterInt
    decimal  // juce::AudioParameterFloat, linear
};

/** One kind of parameter as the host and the editor see it: its base name,
    whether every stage has one, its range and step in the parameter's own
    units, the step an arrow key nudges it by and its default. A global kind
    has one default, kept in every stage's slot. */
struct ParameterRow
{
    ParamKind kind;
    const char* baseName;
    bool perStage;
    ParameterType type;
    float minimum, maximum;
    float step;
    float nudgeStep;
    float defaults[numStages];

    /** A stage outside 1..numStages reads the nearest stage's slot. */
    constexpr float defaultFor (int stage) const { return defaults[stage < 1 ? 0 : (stage > numStages ? numStages - 1 : stage - 1)]; }
    constexpr bool accepts (float value) const { return value >= minimum && value <= maximum; } // false for NaN
};

/** The one description of every parameter; everything else derives from it.
    Its order is the host's: the global parameters, then each stage's. */
inline constexpr ParameterRow parameterTable[] = {
    //  kind              base name    per stage  type                     min    max     step   nudge  default: stage 1, 2, 3 (global: one)
    { ParamKind::mode,    "Mode",     false, ParameterType::choice,  0.0f,  1.0f,   1.0f,  1.0f, { 0.0f, 0.0f, 0.0f } }, // "Series"
    { ParamKind::tone,    "Tone",     false, ParameterType::decimal, 0.0f,  100.0f, 0.01f, 1.0f, { 75.0f, 75.0f, 75.0f } },
    { ParamKind::nSegs,   "N Segs",   true,  ParameterType::integer, 2.0f,  91.0f,  1.0f,  1.0f, { 31.0f, 31.0f, 31.0f } },
    { ParamKind::segSize, "Seg Size", true,  ParameterType::decimal, 1.0f,  48.0f,  0.01f, 0.2f, { 11.0f, 11.0f, 11.0f } },
    { ParamKind::segMix,  "Seg Mix",  true,  ParameterType::decimal, 0.0f,  120.0f, 0.01f, 1.0f, { 100.0f, 0.0f, 0.0f } }, // only stage 1 sounds
};

/** Calls visit (kind, stage) for every parameter in host order: each global
    one with stage -1, then for stage 1, 2, 3 in turn each per-stage one. */
template <typename Visit>
constexpr void forEachParameter (Visit&& visit)
{
    for (const auto& row : parameterTable)
        if (! row.perStage)
            visit (row.kind, -1);

    for (int stage = 1; stage <= numStages; ++stage)
        for (const auto& row : parameterTable)
            if (row.perStage)
                visit (row.kind, stage);
}

/** How many parameters the host sees. */
constexpr int countParameters()
{
    int count = 0;
    forEachParameter ([&count] (ParamKind, int) { ++count; });
    return count;
}

constexpr int numParameters = countParameters();

/** The row of a kind; nullptr for ParamKind::none. */
constexpr const ParameterRow* findParameterRow (ParamKind kind)
{
    for (const auto& row : parameterTable)
        if (row.kind == kind)
            return &row;
    return nullptr;
}

/** The row of a kind that names a parameter (not ParamKind::none). */
constexpr const ParameterRow& getParameterRow (ParamKind kind) { return *findParameterRow (kind); }

/** "Mode", "Tone", or for a stage (stage >= 0) "<stage>- <base name>". */
juce::String makeParameterId (ParamKind kind, int stage);

/** Inverse of makeParameterId; per-stage suffixes compare case-sensitively, the
    global names ignore case. */
ParsedParameterId parseParameterId (const juce::String& identifier);

/** The eleven parameter ids in host order. */
const juce::StringArray& getParameterIdsInOrder();

juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout();

/** Default of each parameter as a normalised value, keyed by identifier:
    (default - minimum) / (maximum - minimum), as the linear range maps it. */
float getDefaultNormalisedValue (const juce::String& identifier);
