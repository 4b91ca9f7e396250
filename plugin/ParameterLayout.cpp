#include "ParameterLayout.h"

#include <qorv_dsp/qorv_dsp.h>

namespace
{
const char* baseName (ParamKind kind)
{
    const auto* row = findParameterRow (kind);
    return row != nullptr ? row->baseName : "";
}

// Leading blanks, optional sign, digits up to the first non-digit; 0 without digits.
int parseLeadingInteger (const juce::String& text)
{
    auto p = text.getCharPointer();
    while (*p == ' ' || *p == '\t')
        ++p;

    bool negative = false;
    if (*p == '-' || *p == '+')
        negative = (*p++ == '-');

    long long value = 0;
    while (*p >= '0' && *p <= '9')
    {
        value = value * 10 + (int) (*p++ - '0');
        if (value > std::numeric_limits<int>::max())
            value = std::numeric_limits<int>::max();
    }
    return (int) (negative ? -value : value);
}

// The engine clamps to its own limits; the controls must offer exactly those.
using juce::qorv_dsp::SegmentLimits;
static_assert (getParameterRow (ParamKind::nSegs).minimum == (float) SegmentLimits::minimumSegments
               && getParameterRow (ParamKind::nSegs).maximum == (float) SegmentLimits::maximumSegments,
               "N Segs must span the engine's segment counts");
static_assert (getParameterRow (ParamKind::segSize).minimum == SegmentLimits::minimumMicroseconds
               && getParameterRow (ParamKind::segSize).maximum == SegmentLimits::maximumMicroseconds,
               "Seg Size must span the engine's segment lengths");

// Every float parameter ("Tone", Seg Size, Seg Mix) is built here: linear, on the row's step.
std::unique_ptr<juce::AudioParameterFloat> makeFloatParameter (const juce::String& id, const juce::String& name,
                                                               float minimum, float maximum, float step, float defaultValue)
{
    return std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { id, 0 }, name,
                                                        juce::NormalisableRange<float> (minimum, maximum, step, 1.0f),
                                                        defaultValue);
}

std::unique_ptr<juce::RangedAudioParameter> makeParameter (ParamKind kind, int stage)
{
    const auto& row = getParameterRow (kind);
    const auto id = makeParameterId (kind, stage);
    const auto defaultValue = row.defaultFor (stage);

    switch (row.type)
    {
        case ParameterType::choice:
        {
            const auto& modes = juce::qorv_dsp::getModeNames();
            jassert (modes[(int) defaultValue] == "Series");
            return std::make_unique<juce::AudioParameterChoice> (juce::ParameterID { id, 0 }, id, modes, (int) defaultValue);
        }
        case ParameterType::integer:
            return std::make_unique<juce::AudioParameterInt> (juce::ParameterID { id, 0 }, id, (int) row.minimum,
                                                              (int) row.maximum, (int) defaultValue);
        case ParameterType::decimal:
            break;
    }
    return makeFloatParameter (id, id, row.minimum, row.maximum, row.step, defaultValue);
}
} // namespace

juce::String makeParameterId (ParamKind kind, int stage)
{
    const juce::String base (baseName (kind));
    return stage >= 0 ? juce::String (stage) + "- " + base : base;
}

ParsedParameterId parseParameterId (const juce::String& identifier)
{
    // Per-stage suffixes first, then the global names, each in table order.
    for (const auto& row : parameterTable)
        if (row.perStage && identifier.endsWith (row.baseName))
            return { row.kind, parseLeadingInteger (identifier.upToFirstOccurrenceOf ("-", false, false)) };

    for (const auto& row : parameterTable)
        if (! row.perStage && identifier.equalsIgnoreCase (row.baseName))
            return { row.kind, -1 };

    return { ParamKind::none, -1 };
}

const juce::StringArray& getParameterIdsInOrder()
{
    static const juce::StringArray ids = []
    {
        juce::StringArray result;
        forEachParameter ([&result] (ParamKind kind, int stage) { result.add (makeParameterId (kind, stage)); });
        return result;
    }();
    return ids;
}

juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout()
{
    juce::AudioProcessorValueTreeState::ParameterLayout layout;

    forEachParameter ([&layout] (ParamKind kind, int stage) { layout.add (makeParameter (kind, stage)); });

    return layout;
}

float getDefaultNormalisedValue (const juce::String& identifier)
{
    const auto parsed = parseParameterId (identifier);
    const auto* row = findParameterRow (parsed.kind);

    if (row == nullptr)
        return 0.0f;

    return (row->defaultFor (parsed.stage) - row->minimum) / (row->maximum - row->minimum);
}
