#pragma once

#include "AudioBlockStreams.h"
#include "SampleFormat.h"

#include <juce_core/juce_core.h>

/** Reads a mono or stereo WAV stream (16/24-bit PCM or 32-bit float, RIFF or
    RF64) strictly front to back, so it works on pipes: chunks before the audio
    are skipped by reading, and a data length of 0 or 0xFFFFFFFF (what a writer
    that cannot seek back leaves) means "read to the end of the stream". */
class WavStreamReader : public AudioBlockSource
{
public:
    /** name is used in messages ("standard input" or a path). */
    WavStreamReader (std::unique_ptr<juce::InputStream> source, const juce::String& name);

    /** Parses the header up to the audio data; false with error filled when the
        stream is not a WAV this reader takes. */
    bool open (juce::String& error);

    const WavFormat& getFormat() const noexcept { return format; }

    int getNumChannels() const override { return format.channels; }
    double getSampleRate() const override { return format.sampleRate; }
    std::optional<juce::int64> getLengthInFrames() const override { return declaredFrames; }

    int read (juce::AudioBuffer<float>& destination, int frames, juce::String& error) override;

    /** True when the stream ended before the length its header declared. */
    bool endedEarly() const noexcept { return shortOfDeclaredLength; }
    juce::int64 getFramesRead() const noexcept { return framesRead; }

private:
    bool readExactly (void* destination, size_t bytes);
    bool skip (juce::uint64 bytes);
    bool parseFormatChunk (juce::uint32 size, juce::String& error);

    std::unique_ptr<juce::InputStream> input;
    const juce::String name;
    WavFormat format;
    bool haveFormat = false;
    std::optional<juce::int64> declaredFrames;
    juce::int64 framesRead = 0;
    bool shortOfDeclaredLength = false;
    juce::HeapBlock<char> bytes;
    size_t bytesSize = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (WavStreamReader)
};
