#pragma once

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_core/juce_core.h>

/** One group of segments of a real signal through one stage of the engine, at
    several mixes: the input samples under the group, the segment values the
    stage cut (before and after mirroring, read from the engine's segment
    ring) and the audio it rebuilt from them (its output, D samples late,
    with the tone shelf flat). */
struct StageGroupSettings
{
    int segments = 12;          // N Segs
    float microseconds = 48.0f; // Seg Size
    int offset = 0;             // first input sample of the group
    juce::Array<float> mixes { 0.0f, 50.0f, 100.0f, 120.0f };
};

/** Runs the stage on channel 0 of signal and returns the numbers as a JSON object. */
juce::var captureStageGroup (const juce::AudioBuffer<float>& signal, double sampleRate, const StageGroupSettings& settings);
