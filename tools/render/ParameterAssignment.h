#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/** Applies "ID=VALUE" to a processor's parameter, the value in the parameter's
    own units ("1- Seg Mix=50") or, for a choice, its name or index
    ("Mode=Parallel", "Mode=1"). Returns an empty string on success, otherwise
    a message naming the id and its range. */
juce::String applyParameterAssignment (juce::AudioProcessor& processor, const juce::String& assignment);

/** "id: range, default" lines for every parameter, in host order. */
juce::String describeParameters (juce::AudioProcessor& processor);
