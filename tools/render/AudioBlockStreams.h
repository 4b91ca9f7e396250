#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <optional>

/** Where a render pulls its input from, one block at a time. */
class AudioBlockSource
{
public:
    virtual ~AudioBlockSource() = default;

    virtual int getNumChannels() const = 0;
    virtual double getSampleRate() const = 0;
    /** The number of frames the source will give, when it is known in advance. */
    virtual std::optional<juce::int64> getLengthInFrames() const = 0;

    /** Fills frames [0, frames) of destination. Returns the frames read, fewer
        than asked only at the end of the source, or -1 with error filled when
        the source failed. */
    virtual int read (juce::AudioBuffer<float>& destination, int frames, juce::String& error) = 0;
};

/** Where a render pushes its output, one block at a time. */
class AudioBlockSink
{
public:
    virtual ~AudioBlockSink() = default;

    /** Takes frames [start, start + frames) of source; false with error filled on failure. */
    virtual bool write (const juce::AudioBuffer<float>& source, int start, int frames, juce::String& error) = 0;
};

/** An in-memory buffer (a copy) read from its start. */
class BufferSource : public AudioBlockSource
{
public:
    BufferSource (juce::AudioBuffer<float> audioToRead, double rate) : audio (std::move (audioToRead)), sampleRate (rate) {}

    int getNumChannels() const override { return audio.getNumChannels(); }
    double getSampleRate() const override { return sampleRate; }
    std::optional<juce::int64> getLengthInFrames() const override { return audio.getNumSamples(); }

    int read (juce::AudioBuffer<float>& destination, int frames, juce::String&) override
    {
        const int n = juce::jmin (frames, audio.getNumSamples() - position);
        for (int c = 0; c < audio.getNumChannels(); ++c)
            destination.copyFrom (c, 0, audio, c, position, n);
        position += n;
        return n;
    }

private:
    const juce::AudioBuffer<float> audio;
    const double sampleRate;
    int position = 0;
};

/** Collects everything written into one buffer. */
class BufferSink : public AudioBlockSink
{
public:
    explicit BufferSink (int numChannels) : channels (numChannels) {}

    bool write (const juce::AudioBuffer<float>& source, int start, int frames, juce::String&) override
    {
        if (length + frames > storage.getNumSamples()) // grows by doubling: appending stays linear
            storage.setSize (channels, juce::jmax (length + frames, 2 * storage.getNumSamples()), true, true);
        for (int c = 0; c < channels; ++c)
            storage.copyFrom (c, length, source, c, start, frames);
        length += frames;
        return true;
    }

    /** What was written, exactly as long as it was. */
    juce::AudioBuffer<float> getAudio() const
    {
        juce::AudioBuffer<float> audio (channels, length);
        for (int c = 0; c < channels; ++c)
            audio.copyFrom (c, 0, storage, c, 0, length);
        return audio;
    }

private:
    const int channels;
    juce::AudioBuffer<float> storage { channels, 0 };
    int length = 0;
};
