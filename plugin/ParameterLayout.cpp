#include "ParameterLayout.h"

#include <qorv_dsp/qorv_dsp.h>

namespace
{
const char* baseName (ParamKind kind)
{
    switch (kind)
    {
        case ParamKind::nSegs:   return "N Segs";
        case ParamKind::segSize: return "Seg Size";
        case ParamKind::segMix:  return "Seg Mix";
        case ParamKind::tone:    return "Tone";
        case ParamKind::mode:    return "Mode";
        case ParamKind::none:    break;
    }
    return "";
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

std::unique_ptr<juce::AudioParameterFloat> makeFloatParameter (const juce::String& id, const juce::String& name,
                                                               float minimum, float maximum, float defaultValue)
{
    return std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { id, 0 }, name,
                                                        juce::NormalisableRange<float> (minimum, maximum, 0.01f, 1.0f),
                                                        defaultValue);
}

struct StageDefaults
{
    int nSegs;
    float segSize;
    float segMix;
};

constexpr StageDefaults stageDefaults[numStages] = { { 31, 11.0f, 100.0f }, { 31, 11.0f, 0.0f }, { 31, 11.0f, 0.0f } };
} // namespace

juce::String makeParameterId (ParamKind kind, int stage)
{
    const juce::String base (baseName (kind));
    return stage >= 0 ? juce::String (stage) + "- " + base : base;
}

ParsedParameterId parseParameterId (const juce::String& identifier)
{
    ParamKind kind = ParamKind::none;

    if (identifier.endsWith ("N Segs"))
        kind = ParamKind::nSegs;
    else if (identifier.endsWith ("Seg Size"))
        kind = ParamKind::segSize;
    else if (identifier.endsWith ("Seg Mix"))
        kind = ParamKind::segMix;

    if (kind != ParamKind::none)
        return { kind, parseLeadingInteger (identifier.upToFirstOccurrenceOf ("-", false, false)) };

    if (identifier.equalsIgnoreCase ("Mode"))
        return { ParamKind::mode, -1 };
    if (identifier.equalsIgnoreCase ("Tone"))
        return { ParamKind::tone, -1 };

    return { ParamKind::none, -1 };
}

const juce::StringArray& getParameterIdsInOrder()
{
    static const juce::StringArray ids = []
    {
        juce::StringArray result { makeParameterId (ParamKind::mode, -1), makeParameterId (ParamKind::tone, -1) };
        for (int stage = 1; stage <= numStages; ++stage)
            for (auto kind : { ParamKind::nSegs, ParamKind::segSize, ParamKind::segMix })
                result.add (makeParameterId (kind, stage));
        return result;
    }();
    return ids;
}

juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout()
{
    juce::AudioProcessorValueTreeState::ParameterLayout layout;

    const auto& modes = juce::qorv_dsp::getModeNames();
    const auto modeId = makeParameterId (ParamKind::mode, -1);
    layout.add (std::make_unique<juce::AudioParameterChoice> (juce::ParameterID { modeId, 0 }, modeId, modes,
                                                              modes.indexOf ("Series")));

    const auto toneId = makeParameterId (ParamKind::tone, -1);
    layout.add (makeFloatParameter (toneId, toneId, 0.0f, 100.0f, 75.0f));

    for (int stage = 1; stage <= numStages; ++stage)
    {
        const auto& defaults = stageDefaults[stage - 1];
        const auto nSegsId = makeParameterId (ParamKind::nSegs, stage);
        const auto sizeId = makeParameterId (ParamKind::segSize, stage);
        const auto mixId = makeParameterId (ParamKind::segMix, stage);

        layout.add (std::make_unique<juce::AudioParameterInt> (juce::ParameterID { nSegsId, 0 }, nSegsId, 2, 91, defaults.nSegs));
        layout.add (makeFloatParameter (sizeId, sizeId, 1.0f, 48.0f, defaults.segSize));
        layout.add (makeFloatParameter (mixId, mixId, 0.0f, 120.0f, defaults.segMix));
    }

    return layout;
}

float getDefaultNormalisedValue (const juce::String& identifier)
{
    const auto parsed = parseParameterId (identifier);
    const int stage = juce::jlimit (1, numStages, parsed.stage);

    switch (parsed.kind)
    {
        case ParamKind::mode:    return 0.0f;
        case ParamKind::tone:    return 0.75f;
        case ParamKind::nSegs:   return (float) (stageDefaults[stage - 1].nSegs - 2) / 89.0f;
        case ParamKind::segSize: return (stageDefaults[stage - 1].segSize - 1.0f) / 47.0f;
        case ParamKind::segMix:  return stageDefaults[stage - 1].segMix / 120.0f;
        case ParamKind::none:    break;
    }
    return 0.0f;
}
