#pragma once

namespace juce::qorv_dsp
{

/** A segment length set in microseconds and used in seconds. */
template <typename Sample>
template <typename ArgSample>
class TandrelStage<Sample>::SecondsTrackingMicrosecondsArg_v2 : public FloatArg_v2<ArgSample, 1>
{
public:
    ArgSample convert (ArgSample x) const override { return x * (ArgSample) SegmentLimits::secondsPerMicrosecond; }
};

} // namespace juce::qorv_dsp
