// The render tool's streaming parts driven directly: the WAV stream reader and
// writer, the sample encodings, and the block-by-block renderer against the
// whole-buffer render it replaces.

#include "AudioCompare.h"
#include "DecodedWav.h"
#include "WholeBufferRender.h"
#include "PresetOption.h"
#include "Renderer.h"
#include "Signals.h"
#include "WavStreamReader.h"
#include "WavStreamWriter.h"

#include "PluginProcessor.h"

#include <gtest/gtest.h>

namespace
{
/** A memory stream that cannot seek back, as a pipe. */
class PipeLikeOutputStream : public juce::MemoryOutputStream
{
public:
    bool setPosition (juce::int64 newPosition) override { return newPosition == getPosition(); }
};

juce::MemoryBlock writeWav (const juce::AudioBuffer<float>& audio, SampleFormat sample, bool dither, std::optional<juce::int64> expected,
                            bool seekable = true, std::vector<int> blockSizes = {})
{
    PipeLikeOutputStream pipe;
    juce::MemoryOutputStream file;
    juce::OutputStream& out = seekable ? static_cast<juce::OutputStream&> (file) : pipe;

    WavStreamWriter writer (out, { audio.getNumChannels(), 48000.0, sample }, dither, expected);
    juce::String error;
    EXPECT_TRUE (writer.start (error)) << error;
    int at = 0;
    for (size_t i = 0; at < audio.getNumSamples(); ++i)
    {
        const int n = juce::jmin (audio.getNumSamples() - at, blockSizes.empty() ? audio.getNumSamples() : blockSizes[i % blockSizes.size()]);
        EXPECT_TRUE (writer.write (audio, at, n, error)) << error;
        at += n;
    }
    EXPECT_TRUE (writer.finish (error)) << error;
    return seekable ? file.getMemoryBlock() : pipe.getMemoryBlock();
}

tandrel::test::DecodedWav readWav (const juce::MemoryBlock& bytes, int blockSize = 1000) { return tandrel::test::decodeWav (bytes, blockSize); }

juce::AudioBuffer<float> samples (std::initializer_list<float> values)
{
    juce::AudioBuffer<float> audio (1, (int) values.size());
    int i = 0;
    for (float v : values)
        audio.setSample (0, i++, v);
    return audio;
}
} // namespace

TEST (WavStream, EveryFormatRoundTripsItsOwnSamplesExactly)
{
    // Values each format holds exactly: full scale both ways, one step, zero, odd codes.
    const struct
    {
        SampleFormat format;
        juce::AudioBuffer<float> audio;
    } rows[] = {
        { SampleFormat::s16, samples ({ -1.0f, 32767.0f / 32768, 1.0f / 32768, -1.0f / 32768, 0.0f, 12345.0f / 32768, -0.5f }) },
        { SampleFormat::s24, samples ({ -1.0f, 8388607.0f / 8388608, 1.0f / 8388608, -1.0f / 8388608, 0.0f, 1234567.0f / 8388608, 0.25f }) },
        { SampleFormat::f32, samples ({ -1.0f, 1.0f, 3.5f, -0.0f, 1.0e-30f, 0.123456789f, -7.25f }) },
    };

    for (const auto& row : rows)
    {
        const auto bytes = writeWav (row.audio, row.format, false, row.audio.getNumSamples());
        const auto back = readWav (bytes);
        ASSERT_TRUE (back.ok) << back.error;
        EXPECT_EQ (back.format.sample, row.format);
        EXPECT_EQ (back.format.sampleRate, 48000.0);
        EXPECT_EQ (back.declared, row.audio.getNumSamples());
        EXPECT_TRUE (tandrel::test::bitsMatch (back.audio, row.audio)) << sampleFormatName (row.format);
        const auto dataBytes = 7u * (size_t) bytesPerSample (row.format);
        EXPECT_EQ (bytes.getSize(), (row.format == SampleFormat::f32 ? 82u : 80u) + dataBytes + (dataBytes & 1)) // odd data is padded
            << sampleFormatName (row.format);
    }
}

TEST (WavStream, DitherOnlyAtSixteenBitsAndTheSameBytesForAnyBlocking)
{
    // A level a quarter of a 16-bit step above zero: plain rounding gives all zeros.
    juce::AudioBuffer<float> quiet (2, 4000);
    for (int c = 0; c < 2; ++c)
        juce::FloatVectorOperations::fill (quiet.getWritePointer (c), 0.25f / 32768, quiet.getNumSamples());

    const auto dithered = readWav (writeWav (quiet, SampleFormat::s16, true, 4000));
    const auto plain = readWav (writeWav (quiet, SampleFormat::s16, false, 4000));
    const auto deep = readWav (writeWav (quiet, SampleFormat::s24, true, 4000));

    double sum = 0.0;
    int nonZero = 0;
    for (int i = 0; i < 4000; ++i)
    {
        const float v = dithered.audio.getSample (0, i) * 32768;
        EXPECT_TRUE (v == -1.0f || v == 0.0f || v == 1.0f) << v; // within one step of the level
        nonZero += v != 0.0f;
        sum += v;
        EXPECT_EQ (plain.audio.getSample (0, i), 0.0f);
        EXPECT_EQ (deep.audio.getSample (0, i), std::round (0.25f * 256) / 8388608); // 24 bits: rounded, no noise
    }
    EXPECT_GT (nonZero, 400);
    EXPECT_NEAR (sum / 4000, 0.25, 0.05); // dither keeps the level on average

    // Two renders of the same audio give the same file whatever the blocks were.
    EXPECT_EQ (writeWav (quiet, SampleFormat::s16, true, 4000, true, { 512 }), writeWav (quiet, SampleFormat::s16, true, 4000, true, { 1, 999, 37 }));
}

TEST (WavStream, ClippingIsCountedForPcmAndFloatKeepsEveryValue)
{
    const auto loud = samples ({ 1.5f, -1.5f, 1.0f, -1.0f, 0.5f, 2.0f });
    const struct
    {
        SampleFormat format;
        juce::int64 clipped;
    } rows[] = { { SampleFormat::s16, 4 }, { SampleFormat::s24, 4 }, { SampleFormat::f32, 0 } }; // +1.0 is one step over PCM's top

    for (const auto& row : rows)
    {
        juce::MemoryOutputStream out;
        WavStreamWriter writer (out, { 1, 48000.0, row.format }, false, loud.getNumSamples());
        juce::String error;
        ASSERT_TRUE (writer.start (error) && writer.write (loud, 0, loud.getNumSamples(), error) && writer.finish (error));
        EXPECT_EQ (writer.getEncoder().getClippedSamples(), row.clipped) << sampleFormatName (row.format);
        EXPECT_EQ (writer.getEncoder().getPeak(), 2.0f);

        const auto back = readWav (out.getMemoryBlock());
        const float top = row.format == SampleFormat::f32 ? 2.0f : row.format == SampleFormat::s16 ? 32767.0f / 32768 : 8388607.0f / 8388608;
        EXPECT_EQ (back.audio.getSample (0, 5), top) << sampleFormatName (row.format);
        EXPECT_EQ (back.audio.getSample (0, 1), row.format == SampleFormat::f32 ? -1.5f : -1.0f);
    }
}

TEST (WavStream, UnknownLengthIsReadToTheEnd)
{
    const auto audio = tandrel::test::makeNoise (2, 3001);
    // As a writer that cannot seek back leaves it: "unknown" in the header.
    const auto streamed = writeWav (audio, SampleFormat::s24, false, std::nullopt, false);
    EXPECT_EQ (juce::ByteOrder::littleEndianInt (static_cast<const char*> (streamed.getData()) + 76), 0xffffffffu);

    // And the other marker pipes use: a data length of zero.
    auto zeroed = streamed;
    for (int i = 76; i < 80; ++i)
        zeroed[i] = 0;

    for (const auto& bytes : { streamed, zeroed })
    {
        const auto back = readWav (bytes, 256);
        ASSERT_TRUE (back.ok) << back.error;
        EXPECT_FALSE (back.declared.has_value());
        ASSERT_EQ (back.audio.getNumSamples(), 3001);
        EXPECT_TRUE (tandrel::test::buffersMatch (back.audio, audio, 1.0f / 8388608));
    }

    // A seekable stream gets the real sizes afterwards.
    const auto fixed = writeWav (audio, SampleFormat::s24, false, std::nullopt, true);
    EXPECT_EQ (readWav (fixed).declared, 3001);
}

TEST (WavStream, HeadersBeyondFourGigabytesBecomeRf64)
{
    const WavFormat format { 2, 96000.0, SampleFormat::f32 };
    const juce::int64 frames = 700'000'000; // 5.6 GB of data
    const auto header = WavStreamWriter::makeHeader (format, (juce::uint64) frames * 8, frames);
    ASSERT_EQ (juce::String (static_cast<const char*> (header.getData()), 4), "RF64");

    WavStreamReader reader (std::make_unique<juce::MemoryInputStream> (header, false), "memory");
    juce::String error;
    ASSERT_TRUE (reader.open (error)) << error;
    EXPECT_EQ (reader.getLengthInFrames(), frames);

    // The header is the same size either way, so it can be rewritten in place.
    EXPECT_EQ (header.getSize(), WavStreamWriter::makeHeader (format, 8, 1).getSize());
}

TEST (WavStream, RefusesWhatItCannotRead)
{
    auto wav = writeWav (samples ({ 0.1f, 0.2f, 0.3f }), SampleFormat::s16, false, 3);
    auto with = [&] (int offset, std::initializer_list<unsigned char> bytes)
    {
        auto changed = wav;
        int i = offset;
        for (auto b : bytes)
            changed[i++] = (char) b;
        return changed;
    };

    const struct
    {
        juce::MemoryBlock bytes;
        const char* mentions;
    } rows[] = {
        { juce::MemoryBlock ("this is not a WAV file", 22), "not a WAV file" },
        { with (56 + 14, { 8, 0 }), "16/24-bit PCM and 32-bit float" },       // 8-bit samples
        { with (56 + 2, { 6, 0 }), "it has 6 channels" },                    // 5.1
        { with (56 + 4, { 0x10, 0x0e, 0, 0 }), "unsupported sample rate" }, // 3600 Hz
        { juce::MemoryBlock (wav.getData(), 40), "not a WAV file" },          // cut inside the header
    };
    for (const auto& row : rows)
    {
        const auto back = readWav (row.bytes);
        EXPECT_FALSE (back.ok);
        EXPECT_TRUE (back.error.contains (row.mentions)) << back.error;
    }

    // Audio cut short of its declared length: what is there is read, and the reader says so.
    WavStreamReader reader (std::make_unique<juce::MemoryInputStream> (wav.getData(), wav.getSize() - 3, false), "memory");
    juce::String error;
    ASSERT_TRUE (reader.open (error));
    juce::AudioBuffer<float> block (1, 10);
    EXPECT_EQ (reader.read (block, 10, error), 1);
    EXPECT_TRUE (reader.endedEarly());
}

namespace
{
/** A mono WAV whose format chunk is the extensible form with the given
    sub-format GUID, holding two samples of the given width. */
juce::MemoryBlock extensibleWav (std::initializer_list<unsigned char> guid, int bits)
{
    const int bytes = bits / 8;
    juce::MemoryOutputStream out;
    out.write ("RIFF", 4);
    out.writeInt (4 + 8 + 40 + 8 + 2 * bytes);
    out.write ("WAVEfmt ", 8);
    out.writeInt (40);
    out.writeShort ((short) 0xfffe);
    out.writeShort (1);
    out.writeInt (48000);
    out.writeInt (48000 * bytes);
    out.writeShort ((short) bytes);
    out.writeShort ((short) bits);
    out.writeShort (22);
    out.writeShort ((short) bits);
    out.writeInt (4);
    for (auto b : guid)
        out.writeByte ((char) b);
    out.write ("data", 4);
    out.writeInt (2 * bytes);
    for (int i = 0; i < 2 * bytes; ++i)
        out.writeByte (0);
    return out.getMemoryBlock();
}
} // namespace

// The sub-format used to be read from the GUID's first two bytes alone, so a
// GUID of another codec that happens to start like PCM played as PCM.
TEST (WavStream, ExtensibleFormatsAreReadOnlyWithTheStandardPcmOrFloatGuid)
{
    const struct
    {
        std::initializer_list<unsigned char> guid;
        int bits;
        bool readable;
    } rows[] = {
        { { 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71 }, 16, true },  // PCM
        { { 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71 }, 32, true },  // float
        { { 0x01, 0x00, 0x00, 0x00, 0x21, 0x07, 0xd3, 0x11, 0x86, 0x44, 0xc8, 0xc1, 0xca, 0x00, 0x00, 0x00 }, 16, false }, // B-format PCM
        { { 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x72 }, 16, false }, // one byte off
        { { 0x06, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71 }, 16, false }, // A-law
    };
    for (const auto& row : rows)
    {
        const auto back = readWav (extensibleWav (row.guid, row.bits));
        EXPECT_EQ (back.ok, row.readable) << back.error;
        if (! row.readable)
        {
            EXPECT_TRUE (back.error.contains ("16/24-bit PCM and 32-bit float")) << back.error;
        }
    }
}

namespace
{
std::unique_ptr<PluginProcessor> makeProcessor (int channels, const juce::String& preset)
{
    auto processor = std::make_unique<PluginProcessor> (juce::File());
    EXPECT_TRUE (Renderer::configureLayout (*processor, channels));
    if (preset.isNotEmpty())
    {
        EXPECT_EQ (applyPresetOption (*processor, preset), "");
    }
    return processor;
}
} // namespace

TEST (StreamingRenderer, GivesTheWholeBufferRenderBitForBit)
{
    const struct
    {
        int channels, length, blockSize;
        bool raw;
        const char* preset;
    } rows[] = {
        { 2, 44100, 512, false, "Twinkle" },
        { 1, 10007, 333, false, "" },
        { 2, 4096 * 5, 4096, false, "Black pepper" }, // the input ends exactly on a block boundary
        { 2, 20000, 256, true, "Kelmorathen called" },
        { 2, 100, 512, false, "" },                    // shorter than the latency
        { 1, 0, 64, false, "" },
    };

    for (const auto& row : rows)
    {
        const auto input = tandrel::test::makeNoise (row.channels, row.length, 7);
        auto reference = makeProcessor (row.channels, row.preset);
        const auto expected = tandrel::test::renderWholeBuffer (*reference, input, 44100.0, row.blockSize, row.raw);

        auto streamed = makeProcessor (row.channels, row.preset);
        Renderer renderer;
        renderer.blockSize = row.blockSize;
        renderer.raw = row.raw;
        juce::int64 lastProgress = 0;
        renderer.onProgress = [&] (juce::int64 frames) { lastProgress = frames; };
        const auto actual = renderer.render (*streamed, input, 44100.0);

        EXPECT_TRUE (tandrel::test::bitsMatch (actual, expected)) << row.preset << ", block " << row.blockSize << ", length " << row.length;
        EXPECT_EQ (lastProgress, row.length);
    }
}
