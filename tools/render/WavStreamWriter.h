#pragma once

#include "AudioBlockStreams.h"
#include "SampleEncoder.h"
#include "SampleFormat.h"

#include <juce_core/juce_core.h>

/** Writes a WAV stream front to back, so it works on pipes. The header goes out
    first with the expected length (or 0xFFFFFFFF, "unknown", when there is
    none); finish() rewrites it with the real sizes when the stream can seek
    back. Outputs beyond 4 GB become RF64: the header always reserves the ds64
    chunk's room as a JUNK chunk. */
class WavStreamWriter : public AudioBlockSink
{
public:
    WavStreamWriter (juce::OutputStream& destination, const WavFormat& format, bool dither, std::optional<juce::int64> expectedFrames);

    /** Writes the header; false when the stream refused it. */
    bool start (juce::String& error);

    bool write (const juce::AudioBuffer<float>& source, int start, int frames, juce::String& error) override;

    /** Pads the data to an even length and fixes the header where possible. */
    bool finish (juce::String& error);

    const SampleEncoder& getEncoder() const noexcept { return encoder; }
    juce::int64 getFramesWritten() const noexcept { return framesWritten; }

    /** The header for dataBytes of audio (or an unknown amount): RIFF, JUNK or
        ds64, fmt, data. Always the same size for a format, so it can be
        rewritten in place. */
    static juce::MemoryBlock makeHeader (const WavFormat& format, std::optional<juce::uint64> dataBytes, std::optional<juce::int64> frames);

private:
    juce::OutputStream& out;
    const WavFormat format;
    SampleEncoder encoder;
    const std::optional<juce::int64> expected;
    juce::int64 headerStart = 0;
    juce::int64 framesWritten = 0;
    juce::HeapBlock<unsigned char> bytes;
    size_t bytesSize = 0;

    JUCE_DECLARE_NON_COPYABLE (WavStreamWriter)
};
