#include "SampleEncoder.h"

#include <cmath>

namespace
{
constexpr juce::int64 ditherSeed = 0x54616e6472656c; // any fixed value: renders must repeat exactly
}

SampleEncoder::SampleEncoder (SampleFormat sampleFormat, bool dither)
    : format (sampleFormat), ditherOn (dither && sampleFormat == SampleFormat::s16), noise (ditherSeed)
{
}

int SampleEncoder::quantise (float sample, double scale, int lowest, int highest) noexcept
{
    if (std::isnan (sample))
        return 0;

    double value = (double) sample * scale;
    if (ditherOn)
        value += (double) noise.nextFloat() - (double) noise.nextFloat(); // sum of two uniforms: triangular over ±1 LSB

    const double rounded = std::floor (value + 0.5);
    if (rounded < lowest || rounded > highest)
    {
        ++clipped;
        return rounded < lowest ? lowest : highest;
    }
    return (int) rounded;
}

unsigned char* SampleEncoder::encode (float sample, unsigned char* destination) noexcept
{
    peak = juce::jmax (peak, std::abs (sample));

    switch (format)
    {
        case SampleFormat::s16:
        {
            const int v = quantise (sample, 32768.0, -32768, 32767);
            destination[0] = (unsigned char) (v & 0xff);
            destination[1] = (unsigned char) ((v >> 8) & 0xff);
            return destination + 2;
        }
        case SampleFormat::s24:
        {
            const int v = quantise (sample, 8388608.0, -8388608, 8388607);
            destination[0] = (unsigned char) (v & 0xff);
            destination[1] = (unsigned char) ((v >> 8) & 0xff);
            destination[2] = (unsigned char) ((v >> 16) & 0xff);
            return destination + 3;
        }
        case SampleFormat::f32:
        default:
        {
            juce::uint32 bits;
            std::memcpy (&bits, &sample, sizeof (bits));
            for (int i = 0; i < 4; ++i)
                destination[i] = (unsigned char) ((bits >> (8 * i)) & 0xff);
            return destination + 4;
        }
    }
}
