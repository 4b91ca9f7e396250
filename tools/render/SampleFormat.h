#pragma once

#include <juce_core/juce_core.h>

#include <optional>

/** The sample encodings the render tool reads and writes: 16- and 24-bit PCM
    and 32-bit float, as stored in a WAV file. */
enum class SampleFormat
{
    s16,
    s24,
    f32
};

inline int bytesPerSample (SampleFormat format) noexcept
{
    return format == SampleFormat::s16 ? 2 : format == SampleFormat::s24 ? 3 : 4;
}

inline juce::String sampleFormatName (SampleFormat format)
{
    return format == SampleFormat::s16 ? "s16" : format == SampleFormat::s24 ? "s24" : "f32";
}

/** "f32", "s24" or "s16"; nothing for any other text. */
inline std::optional<SampleFormat> parseSampleFormat (const juce::String& text)
{
    for (auto format : { SampleFormat::s16, SampleFormat::s24, SampleFormat::f32 })
        if (text == sampleFormatName (format))
            return format;
    return std::nullopt;
}

/** What a WAV stream carries: channel count, rate and sample encoding. */
struct WavFormat
{
    int channels = 2;
    double sampleRate = 44100.0;
    SampleFormat sample = SampleFormat::f32;

    int bytesPerFrame() const noexcept { return channels * bytesPerSample (sample); }
};
