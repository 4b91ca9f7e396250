// The exact float-to-integer steps the stage's loops share.
#pragma once

namespace juce::qorv_dsp
{

/** The exact float-to-integer steps the stage's loops share. */
struct StageArithmetic
{
    /** trunc(x) for 0 <= x < 2^31, exactly, without a library call. */
    static float truncated (float x) noexcept { return (float) (int) x; }

    /** The largest integer not above x, for |x| < 2^31. */
    static int floorToInt (float x) noexcept
    {
        const int t = (int) x;
        return (float) t > x ? t - 1 : t;
    }
};

} // namespace juce::qorv_dsp
