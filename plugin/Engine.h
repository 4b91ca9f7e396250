#pragma once

#include "ParameterLayout.h"

#include <qorv_dsp/qorv_dsp.h>

/** The DSP engine the processor owns and runs: three segment stages. */
using Engine = juce::qorv_dsp::TandrelMultistage<float, numStages>;

/** Pushes one parameter value (real units) into the engine: atomic stores or
    the arguments' own setter locks, never the engine's spin lock. With
    SetterWaiting::never (the audio thread) nothing waits: a value whose
    argument is busy lands at the start of the next block. */
void applyParameterToEngine (Engine& engine, ParsedParameterId parameter, float value,
                             juce::qorv_dsp::SetterWaiting waiting = juce::qorv_dsp::SetterWaiting::allowed);

/** The display text of one control's value, built from the engine's arguments. */
juce::String engineValueText (Engine& engine, ParsedParameterId parameter);
