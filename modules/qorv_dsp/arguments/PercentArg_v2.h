#pragma once

namespace juce::qorv_dsp
{

/** A percentage in user units, a fraction internally. */
template <typename Sample>
class PercentArg_v2 : public FloatArg_v2<Sample, 1>
{
public:
    Sample convert (Sample x) const override { return x * (Sample) 0.01f; }
};

} // namespace juce::qorv_dsp
