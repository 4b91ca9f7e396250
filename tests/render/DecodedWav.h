#pragma once

#include "WavStreamReader.h"

namespace tandrel::test
{
/** A whole WAV stream read through the tool's own reader, for checking what it wrote. */
struct DecodedWav
{
    bool ok = false;
    juce::String error;
    WavFormat format;
    std::optional<juce::int64> declared; // the length the header gives, if any
    juce::AudioBuffer<float> audio;
};

inline DecodedWav decodeWav (std::unique_ptr<juce::InputStream> stream, int blockSize = 4096)
{
    DecodedWav result;
    WavStreamReader reader (std::move (stream), "output");
    if (! reader.open (result.error))
        return result;
    result.format = reader.getFormat();
    result.declared = reader.getLengthInFrames();

    BufferSink sink (result.format.channels);
    juce::AudioBuffer<float> block (result.format.channels, blockSize);
    for (int n; (n = reader.read (block, blockSize, result.error)) > 0;)
        sink.write (block, 0, n, result.error);
    result.audio = sink.getAudio();
    result.ok = true;
    return result;
}

inline DecodedWav decodeWav (const juce::MemoryBlock& bytes, int blockSize = 4096)
{
    return decodeWav (std::make_unique<juce::MemoryInputStream> (bytes, true), blockSize);
}
} // namespace tandrel::test
