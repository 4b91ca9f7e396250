#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

struct WavData
{
    juce::AudioBuffer<float> audio;
    double sampleRate = 44100.0;
};

/** Reads a mono or stereo WAV file (16/24-bit PCM or 32-bit float). On failure
    returns false and fills error. */
bool readWav (const juce::File& file, WavData& data, juce::String& error);

/** Writes 32-bit float WAV through a temporary file moved into place, so a
    failed write never leaves a partial output file. */
bool writeWav (const juce::File& file, const juce::AudioBuffer<float>& audio, double sampleRate, juce::String& error);
