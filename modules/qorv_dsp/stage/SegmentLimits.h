#pragma once

namespace juce::qorv_dsp
{

/** The segment shapes the engine accepts. A stage clamps what it is given to
    these bounds, and the multistage sizes its queues for the longest group
    (maximumSegments segments of maximumMicroseconds each) and for the densest
    segment ring (segments of minimumMicroseconds). */
struct SegmentLimits
{
    static constexpr int minimumSegments = 2, maximumSegments = 91;
    static constexpr float minimumMicroseconds = 1.0f, maximumMicroseconds = 48.0f;

    /** The factor that turns a length in microseconds into seconds. */
    static constexpr float secondsPerMicrosecond = 0.000001f;
};

} // namespace juce::qorv_dsp
