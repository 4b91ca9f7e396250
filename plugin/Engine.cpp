#include "Engine.h"

namespace
{
bool isStageNumber (int stage) { return stage >= 1 && stage <= numStages; }
} // namespace

void applyParameterToEngine (Engine& engine, ParsedParameterId parameter, float value, juce::qorv_dsp::SetterWaiting waiting)
{
    switch (parameter.kind)
    {
        case ParamKind::nSegs:
            if (isStageNumber (parameter.stage))
                engine.getStage (parameter.stage - 1).setNumberOfSegments (value);
            break;
        case ParamKind::segSize:
            if (isStageNumber (parameter.stage))
                engine.getStage (parameter.stage - 1).setSegmentSize (value, waiting);
            break;
        case ParamKind::segMix:
            if (isStageNumber (parameter.stage))
                engine.getStage (parameter.stage - 1).setSegmentMix (value, waiting);
            break;
        case ParamKind::tone:
            // every stage filters with the same tone
            for (int s = 0; s < numStages; ++s)
                engine.getStage (s).setTone (value);
            break;
        case ParamKind::mode:
            engine.setModeIndex (value);
            break;
        case ParamKind::none:
            break;
    }
}

juce::String engineValueText (Engine& engine, ParsedParameterId parameter)
{
    const bool perStage = isStageNumber (parameter.stage);

    switch (parameter.kind)
    {
        case ParamKind::nSegs:
            return perStage ? engine.getStage (parameter.stage - 1).numberOfSegments.toString() : juce::String();
        case ParamKind::segSize:
            return perStage ? engine.getStage (parameter.stage - 1)
                                  .segmentSize.toString (1)
                                  .replace ("<microseconds>", juce::String (juce::CharPointer_UTF8 ("\xc2\xb5s")))
                            : juce::String();
        case ParamKind::segMix:
            return perStage ? engine.getStage (parameter.stage - 1).segmentMix.toString (1) : juce::String();
        case ParamKind::tone:
            return engine.getStage (0).toneFilter.tone.toString();
        case ParamKind::mode:
            return engine.mode.toString();
        case ParamKind::none:
            break;
    }
    return {};
}
