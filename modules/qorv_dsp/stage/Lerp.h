#pragma once

namespace juce::qorv_dsp
{

/** Exact, monotonic linear interpolation: gives a at t = 0 and b at t = 1
    exactly, never overshoots b for t in [0, 1], and rounds once (a fused
    multiply-add) when a and b share a sign. */
inline float lerp (float a, float b, float t) noexcept
{
    if ((a <= 0.0f && b >= 0.0f) || (a >= 0.0f && b <= 0.0f))
        return (1.0f - t) * a + t * b;

    if (t == 1.0f)
        return b;

    const float z = std::fma (t, b - a, a);
    return (t > 1.0f) == (b > a) ? (b < z ? z : b)
                                 : (b > z ? z : b);
}

} // namespace juce::qorv_dsp
