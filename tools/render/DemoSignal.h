#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

/** A few seconds of synthesised drums and a chord, stereo, at the given rate:
    enough high-frequency detail and transients to hear what the effect does. */
juce::AudioBuffer<float> makeDemoSignal (double sampleRate, double seconds = 6.0);
