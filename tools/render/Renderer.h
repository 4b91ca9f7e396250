#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <functional>

/** Drives a processor the way a host does: prepare, then consecutive blocks.
    Without raw, the first latency samples are dropped and the tail is flushed
    with silence, so output sample k lines up with input sample k. */
struct Renderer
{
    int blockSize = 512;
    bool raw = false;
    std::function<void (double)> onProgress; // fraction done, 0..1

    juce::AudioBuffer<float> render (juce::AudioProcessor& processor, const juce::AudioBuffer<float>& input, double sampleRate) const;

    /** Chooses the mono or stereo layout for the given channel count. */
    static bool configureLayout (juce::AudioProcessor& processor, int channels);
};
