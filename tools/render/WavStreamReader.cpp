#include "WavStreamReader.h"

namespace
{
constexpr juce::uint32 unknownSize = 0xffffffff;

juce::uint32 fourCC (const char* id) { return juce::ByteOrder::littleEndianInt (id); }

juce::uint16 le16 (const unsigned char* p) { return (juce::uint16) (p[0] | (p[1] << 8)); }
juce::uint32 le32 (const unsigned char* p) { return juce::ByteOrder::littleEndianInt (p); }
juce::uint64 le64 (const unsigned char* p) { return juce::ByteOrder::littleEndianInt64 (p); }

constexpr juce::uint16 formatPcm = 1, formatFloat = 3, formatExtensible = 0xfffe;
} // namespace

WavStreamReader::WavStreamReader (std::unique_ptr<juce::InputStream> source, const juce::String& sourceName)
    : input (std::move (source)), name (sourceName)
{
}

bool WavStreamReader::readExactly (void* destination, size_t count)
{
    auto* out = static_cast<char*> (destination);
    size_t done = 0;
    while (done < count)
    {
        const int got = input->read (out + done, (int) juce::jmin (count - done, (size_t) 1 << 20));
        if (got <= 0)
            break;
        done += (size_t) got;
    }
    return done == count;
}

bool WavStreamReader::skip (juce::uint64 count)
{
    char scratch[4096];
    while (count > 0)
    {
        const auto n = (size_t) juce::jmin (count, (juce::uint64) sizeof (scratch));
        if (! readExactly (scratch, n))
            return false;
        count -= n;
    }
    return true;
}

bool WavStreamReader::parseFormatChunk (juce::uint32 size, juce::String& error)
{
    unsigned char fmt[40] = {};
    if (size < 16 || ! readExactly (fmt, juce::jmin ((size_t) size, sizeof (fmt))) || ! skip (size - juce::jmin (size, (juce::uint32) sizeof (fmt)) + (size & 1)))
    {
        error = "cannot read " + name + ": its format chunk is damaged";
        return false;
    }

    auto tag = le16 (fmt);
    const int channels = le16 (fmt + 2);
    const auto rate = le32 (fmt + 4);
    const int blockAlign = le16 (fmt + 12);
    const int bits = le16 (fmt + 14);
    if (tag == formatExtensible)
    {
        // The sub-format GUID is the plain format tag followed by the fixed
        // tail of the standard audio GUIDs; any other GUID is another codec.
        static constexpr unsigned char guidTail[14] = { 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71 };
        const bool standard = size >= 40 && std::memcmp (fmt + 26, guidTail, sizeof (guidTail)) == 0;
        tag = standard ? le16 (fmt + 24) : formatExtensible;
    }

    std::optional<SampleFormat> sample;
    if (tag == formatPcm && bits == 16)
        sample = SampleFormat::s16;
    else if (tag == formatPcm && bits == 24)
        sample = SampleFormat::s24;
    else if (tag == formatFloat && bits == 32)
        sample = SampleFormat::f32;

    if (! sample)
    {
        error = "cannot read " + name + ": only 16/24-bit PCM and 32-bit float WAV are supported";
        return false;
    }
    if (channels < 1 || channels > 2)
    {
        error = "cannot read " + name + ": only mono and stereo files are supported (it has " + juce::String (channels) + " channels)";
        return false;
    }
    if (rate < 8000 || rate > 768000)
    {
        error = "cannot read " + name + ": unsupported sample rate " + juce::String (rate) + " Hz";
        return false;
    }

    format = { channels, (double) rate, *sample };
    if (blockAlign != format.bytesPerFrame())
    {
        error = "cannot read " + name + ": its format chunk is damaged";
        return false;
    }
    haveFormat = true;
    return true;
}

bool WavStreamReader::open (juce::String& error)
{
    unsigned char header[12];
    if (input == nullptr || ! readExactly (header, sizeof (header))
        || (le32 (header) != fourCC ("RIFF") && le32 (header) != fourCC ("RF64")) || le32 (header + 8) != fourCC ("WAVE"))
    {
        error = "cannot read " + name + ": not a WAV file";
        return false;
    }
    const bool rf64 = le32 (header) == fourCC ("RF64");
    std::optional<juce::uint64> ds64DataSize;

    for (;;)
    {
        unsigned char chunk[8];
        if (! readExactly (chunk, sizeof (chunk)))
        {
            error = "cannot read " + name + (haveFormat ? ": it holds no audio data" : ": not a WAV file");
            return false;
        }
        const auto id = le32 (chunk);
        const auto size = le32 (chunk + 4);

        if (id == fourCC ("fmt "))
        {
            if (! parseFormatChunk (size, error))
                return false;
        }
        else if (id == fourCC ("ds64") && rf64 && size >= 16)
        {
            unsigned char sizes[16];
            if (! readExactly (sizes, sizeof (sizes)) || ! skip (size - 16 + (size & 1)))
                break;
            ds64DataSize = le64 (sizes + 8);
        }
        else if (id == fourCC ("data"))
        {
            if (! haveFormat)
            {
                error = "cannot read " + name + ": its audio data comes before its format";
                return false;
            }
            std::optional<juce::uint64> dataSize;
            if (rf64 && size == unknownSize && ds64DataSize)
                dataSize = *ds64DataSize;
            else if (size != 0 && size != unknownSize)
                dataSize = size;

            if (dataSize)
                declaredFrames = (juce::int64) (*dataSize / (juce::uint64) format.bytesPerFrame());
            return true;
        }
        else if (size == unknownSize || ! skip ((juce::uint64) size + (size & 1)))
            break;
    }

    error = "cannot read " + name + ": not a WAV file";
    return false;
}

int WavStreamReader::read (juce::AudioBuffer<float>& destination, int frames, juce::String&)
{
    if (declaredFrames)
        frames = (int) juce::jmin ((juce::int64) frames, *declaredFrames - framesRead);
    if (frames <= 0 || shortOfDeclaredLength)
        return 0;

    const auto frameBytes = (size_t) format.bytesPerFrame();
    const auto wanted = frameBytes * (size_t) frames;
    if (bytesSize < wanted)
    {
        bytes.malloc (wanted);
        bytesSize = wanted;
    }

    size_t got = 0;
    while (got < wanted)
    {
        const int n = input->read (bytes + got, (int) (wanted - got));
        if (n <= 0)
            break;
        got += (size_t) n;
    }

    // A trailing partial frame is dropped: there is nothing to pair it with.
    const int complete = (int) (got / frameBytes);
    if (complete < frames && declaredFrames)
        shortOfDeclaredLength = true;

    const int channels = format.channels;
    const auto* p = reinterpret_cast<const unsigned char*> (bytes.getData());
    for (int i = 0; i < complete; ++i)
        for (int c = 0; c < channels; ++c)
        {
            float value;
            switch (format.sample)
            {
                case SampleFormat::s16:
                    value = (float) (juce::int16) le16 (p) * (1.0f / 32768.0f);
                    break;
                case SampleFormat::s24:
                    value = (float) juce::ByteOrder::littleEndian24Bit (p) * (1.0f / 8388608.0f);
                    break;
                case SampleFormat::f32:
                default:
                {
                    const auto bits = le32 (p);
                    std::memcpy (&value, &bits, sizeof (value));
                    break;
                }
            }
            destination.setSample (c, i, value);
            p += bytesPerSample (format.sample);
        }

    framesRead += complete;
    return complete;
}
