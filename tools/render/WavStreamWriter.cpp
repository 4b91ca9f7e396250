#include "WavStreamWriter.h"

namespace
{
constexpr juce::uint32 unknownSize = 0xffffffff;

void put32 (juce::MemoryOutputStream& out, juce::uint32 value) { out.writeInt ((int) value); }
void putId (juce::MemoryOutputStream& out, const char* id) { out.write (id, 4); }
} // namespace

WavStreamWriter::WavStreamWriter (juce::OutputStream& destination, const WavFormat& wavFormat, bool dither,
                                  std::optional<juce::int64> expectedFrames)
    : out (destination), format (wavFormat), encoder (wavFormat.sample, dither), expected (expectedFrames)
{
}

juce::MemoryBlock WavStreamWriter::makeHeader (const WavFormat& format, std::optional<juce::uint64> dataBytes, std::optional<juce::int64> frames)
{
    const bool isFloat = format.sample == SampleFormat::f32;
    const juce::uint32 fmtSize = isFloat ? 18 : 16; // non-PCM formats carry an (empty) extension size
    const juce::uint64 headerBytes = 12 + 8 + 28 + 8 + fmtSize + 8;
    const juce::uint64 paddedData = dataBytes ? *dataBytes + (*dataBytes & 1) : 0;
    const juce::uint64 riffSize = headerBytes - 8 + paddedData;
    const bool rf64 = dataBytes && riffSize > 0xfffffffe;

    juce::MemoryOutputStream header;
    putId (header, rf64 ? "RF64" : "RIFF");
    put32 (header, ! dataBytes || rf64 ? unknownSize : (juce::uint32) riffSize);
    putId (header, "WAVE");

    putId (header, rf64 ? "ds64" : "JUNK");
    put32 (header, 28);
    header.writeInt64 (rf64 ? (juce::int64) riffSize : 0);
    header.writeInt64 (rf64 ? (juce::int64) *dataBytes : 0);
    header.writeInt64 (rf64 && frames ? *frames : 0);
    put32 (header, 0); // no table entries

    putId (header, "fmt ");
    put32 (header, fmtSize);
    header.writeShort (isFloat ? 3 : 1);
    header.writeShort ((short) format.channels);
    put32 (header, (juce::uint32) format.sampleRate);
    put32 (header, (juce::uint32) (format.sampleRate * format.bytesPerFrame()));
    header.writeShort ((short) format.bytesPerFrame());
    header.writeShort ((short) (8 * bytesPerSample (format.sample)));
    if (isFloat)
        header.writeShort (0);

    putId (header, "data");
    put32 (header, ! dataBytes || rf64 ? unknownSize : (juce::uint32) *dataBytes);

    jassert (header.getDataSize() == headerBytes);
    return header.getMemoryBlock();
}

bool WavStreamWriter::start (juce::String& error)
{
    headerStart = out.getPosition();
    std::optional<juce::uint64> dataBytes;
    if (expected)
        dataBytes = (juce::uint64) *expected * (juce::uint64) format.bytesPerFrame();

    const auto header = makeHeader (format, dataBytes, expected);
    if (! out.write (header.getData(), header.getSize()))
    {
        error = "writing the WAV header failed";
        return false;
    }
    return true;
}

bool WavStreamWriter::write (const juce::AudioBuffer<float>& source, int start, int frames, juce::String& error)
{
    const auto wanted = (size_t) frames * (size_t) format.bytesPerFrame();
    if (bytesSize < wanted)
    {
        bytes.malloc (wanted);
        bytesSize = wanted;
    }

    auto* p = bytes.getData();
    for (int i = start; i < start + frames; ++i)
        for (int c = 0; c < format.channels; ++c)
            p = encoder.encode (source.getSample (c, i), p);

    if (! out.write (bytes.getData(), wanted))
    {
        error = "writing the audio data failed";
        return false;
    }
    framesWritten += frames;
    return true;
}

bool WavStreamWriter::finish (juce::String& error)
{
    const auto dataBytes = (juce::uint64) framesWritten * (juce::uint64) format.bytesPerFrame();
    if ((dataBytes & 1) != 0 && ! out.writeByte (0))
    {
        error = "writing the audio data failed";
        return false;
    }

    if (expected == framesWritten)
    {
        out.flush();
        return true;
    }

    // The length differs from the one announced: rewrite the header in place if the stream allows it.
    const auto end = out.getPosition();
    if (out.setPosition (headerStart))
    {
        const auto header = makeHeader (format, dataBytes, framesWritten);
        if (! out.write (header.getData(), header.getSize()) || ! out.setPosition (end))
        {
            error = "writing the WAV header failed";
            return false;
        }
    }
    out.flush();
    return true;
}
