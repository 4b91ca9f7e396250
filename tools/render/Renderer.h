#pragma once

#include "AudioBlockStreams.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <functional>

/** Drives a processor the way a host does: prepare, then consecutive blocks,
    pulling input from a source and pushing output to a sink one block at a
    time, so memory stays the same for any length. Without raw, the first
    latency samples are dropped and the tail is flushed with silence, so
    output sample k lines up with input sample k and the output is as long as
    the input. The blocks fall exactly where they fall when the whole input,
    followed by latency samples of silence, is cut into blocks from its start. */
struct Renderer
{
    int blockSize = 512;
    bool raw = false;
    std::function<void (juce::int64 framesWritten)> onProgress;

    /** False with error filled when the source or the sink failed. */
    bool render (juce::AudioProcessor& processor, AudioBlockSource& input, AudioBlockSink& output, juce::String& error) const;

    /** The same render from one buffer into another. */
    juce::AudioBuffer<float> render (juce::AudioProcessor& processor, const juce::AudioBuffer<float>& input, double sampleRate) const;

    /** Chooses the mono or stereo layout for the given channel count. */
    static bool configureLayout (juce::AudioProcessor& processor, int channels);
};
