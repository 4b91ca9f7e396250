#pragma once

namespace juce::qorv_dsp
{

/** Exact, monotonic linear interpolation for the scalar loops: the one
    formula of SegmentFormulas.h on a single lane. */
inline float lerp (float a, float b, float t) noexcept
{
    return exactLerp<PlainLane> (a, b, t);
}

} // namespace juce::qorv_dsp
